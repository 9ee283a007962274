#include "shell/answers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "shell/print_style.h"

namespace fortelle {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsIgnored(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// Scans a decimal number at the start of `s` (already free of blanks) and
// returns its value and how many characters it took (0 when none).
struct Scan {
    double value = 0.0;
    std::size_t length = 0;
};

Scan ScanNumber(std::string_view s)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    // Mantissa digits, kept without the point; `pointShift` counts the
    // fraction digits so the exponent can be corrected.
    std::string mantissa;
    std::int64_t pointShift = 0;
    bool anyDigit = false;
    for (; i < s.size() && IsDigit(s[i]); ++i) {
        mantissa += s[i];
        anyDigit = true;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        for (; i < s.size() && IsDigit(s[i]); ++i) {
            mantissa += s[i];
            ++pointShift;
            anyDigit = true;
        }
    }
    if (!anyDigit) return {};
    std::size_t length = i;

    std::int64_t exponent = 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            expNegative = s[j] == '-';
            ++j;
        }
        if (j < s.size() && IsDigit(s[j])) {
            for (; j < s.size() && IsDigit(s[j]); ++j) {
                // Clamp: any exponent this large already over- or underflows.
                if (exponent < 100'000'000) exponent = exponent * 10 + (s[j] - '0');
            }
            if (expNegative) exponent = -exponent;
            length = j;
        }
    }

    // Drop leading zeros so the magnitude test below is meaningful.
    std::size_t firstNonZero = mantissa.find_first_not_of('0');
    if (firstNonZero == std::string::npos) return {negative ? -0.0 : 0.0, length};
    mantissa.erase(0, firstNonZero);
    const std::int64_t scale = exponent - pointShift;

    std::string literal = mantissa + "e" + std::to_string(scale);
    double magnitude = 0.0;
#if defined(__cpp_lib_to_chars)
    auto [ptr, ec] = std::from_chars(literal.data(), literal.data() + literal.size(), magnitude);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // The decimal exponent of the leading digit tells overflow from underflow.
        const std::int64_t leading = scale + static_cast<std::int64_t>(mantissa.size()) - 1;
        magnitude = leading > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
#else
    // A standard library without floating-point from_chars (the WebAssembly
    // build's): strtod is correctly rounded as well and gives the same
    // infinity or zero out of range. The literal has no decimal point, so
    // the locale plays no part.
    magnitude = std::strtod(literal.c_str(), nullptr);
#endif
    return {negative ? -magnitude : magnitude, length};
}

} // namespace

double ReadAnswer(std::string_view text)
{
    std::string compact;
    compact.reserve(text.size());
    for (char c : text) {
        if (!IsIgnored(c)) compact += c;
    }
    return ScanNumber(compact).value;
}

std::optional<double> ReadWholeToken(std::string_view token)
{
    if (token.empty()) return std::nullopt;
    const Scan scan = ScanNumber(token);
    if (scan.length == 0 || scan.length != token.size()) return std::nullopt;
    return scan.value;
}

std::optional<std::int32_t> ToWhole32(double value)
{
    const double rounded = RoundHalfEven(value);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

std::optional<std::int16_t> ToWhole16(double value)
{
    const double rounded = RoundHalfEven(value);
    if (!(rounded >= -32768.0 && rounded <= 32767.0)) return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

std::string WholeDefaultText(std::optional<double> stored)
{
    if (!stored) return "0";
    const auto whole = ToWhole32(*stored);
    return whole ? std::to_string(*whole) : "0";
}

} // namespace fortelle
