#include "shell/print_style.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace fortelle {
namespace {

constexpr double kExponentFormFrom = 1e15;

Figure15 StripTrailingZeros(Figure15 f)
{
    if (f.significand == 0) {
        f.exponent = 0;
        return f;
    }
    while (f.significand % 10 == 0) f.significand /= 10;
    return f;
}

void AppendUnsigned(std::string& out, std::uint64_t v)
{
    std::array<char, 24> buf{};
    auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), v);
    (void)ec;
    out.append(buf.data(), end);
}

} // namespace

Figure15 ToFigure15(double value)
{
    Figure15 f;
    f.negative = std::signbit(value) && value != 0.0;
    const double magnitude = std::fabs(value);
    if (magnitude == 0.0 || !std::isfinite(magnitude)) return f;

    // "d.dddddddddddddde+XX": fifteen significant digits, correctly rounded.
    std::array<char, 40> buf{};
#if defined(__cpp_lib_to_chars)
    auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude, std::chars_format::scientific, 14);
    (void)ec;
#else
    // A standard library without floating-point to_chars (the WebAssembly
    // build's): printf rounds the same way. Only digits and the exponent are
    // read below, so the locale's decimal point plays no part.
    const int length = std::snprintf(buf.data(), buf.size(), "%.14e", magnitude);
    const char* end = buf.data() + length;
#endif
    std::uint64_t digits = 0;
    const char* p = buf.data();
    for (; p != end && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9') digits = digits * 10 + static_cast<unsigned>(*p - '0');
    }
    std::int64_t exponent = 0;
    if (p != end) std::from_chars(p[1] == '+' ? p + 2 : p + 1, end, exponent);
    f.significand = digits;
    f.exponent = exponent;
    return StripTrailingZeros(f);
}

Figure15 Figure15FromScaled(double hi, double lo, std::int64_t exponent, bool negative)
{
    // Scale the significand to fourteen places before the point and round
    // the double-double sum to a whole number. The product hi * 1e14 is
    // split exactly with fma, so the rounding sees every bit of hi + lo.
    const double scale = 1e14;
    const double product = hi * scale;
    const double productError = std::fma(hi, scale, -product);
    const double rest = productError + lo * scale;
    double whole = std::nearbyint(product);
    const double fraction = (product - whole) + rest; // product - whole is exact here
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) {
        whole += 1.0;
    } else if (fraction < -0.5 || (fraction == -0.5 && std::fmod(whole, 2.0) != 0.0)) {
        whole -= 1.0;
    }
    auto digits = static_cast<std::uint64_t>(whole);
    if (digits >= 1'000'000'000'000'000ULL) { // rounded up to 10.000...
        digits /= 10;
        ++exponent;
    }
    Figure15 f{negative, digits, exponent};
    return StripTrailingZeros(f);
}

std::string GeneralForm(const Figure15& figure)
{
    if (figure.significand == 0) return "0";
    std::string digits;
    AppendUnsigned(digits, figure.significand);
    const std::int64_t e = figure.exponent;
    std::string out;
    if (e >= 15) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out.append(digits, 1);
        }
        out += "E+";
        if (e < 10) out += '0';
        AppendUnsigned(out, static_cast<std::uint64_t>(e));
    } else if (e >= 0) {
        const auto integerDigits = static_cast<std::size_t>(e) + 1;
        if (digits.size() <= integerDigits) {
            out = digits;
            out.append(integerDigits - digits.size(), '0');
        } else {
            out.assign(digits, 0, integerDigits);
            out += '.';
            out.append(digits, integerDigits);
        }
    } else {
        out = "0.";
        out.append(static_cast<std::size_t>(-e - 1), '0');
        out += digits;
    }
    return out;
}

void AppendPrintStyle(std::string& out, std::int64_t value)
{
    out += value < 0 ? '-' : ' ';
    const std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    AppendUnsigned(out, magnitude);
    out += ' ';
}

void AppendPrintStyle(std::string& out, double value)
{
    // Most report figures are small whole numbers or have two decimals;
    // take the quick road for whole values below 1E15.
    const double magnitude = std::fabs(value);
    if (magnitude < kExponentFormFrom && value == std::trunc(value)) {
        out += value < 0 ? '-' : ' ';
        AppendUnsigned(out, static_cast<std::uint64_t>(magnitude));
        out += ' ';
        return;
    }
    AppendPrintStyle(out, ToFigure15(value));
}

void AppendPrintStyle(std::string& out, const Figure15& value)
{
    out += value.negative && value.significand != 0 ? '-' : ' ';
    out += GeneralForm(value);
    out += ' ';
}

std::string PrintStyleNumber(std::int64_t value)
{
    std::string s;
    AppendPrintStyle(s, value);
    return s;
}

std::string PrintStyleNumber(double value)
{
    std::string s;
    AppendPrintStyle(s, value);
    return s;
}

std::string PrintStyleNumber(const Figure15& value)
{
    std::string s;
    AppendPrintStyle(s, value);
    return s;
}

double RoundHalfEven(double value)
{
    return std::nearbyint(value); // the default rounding mode: to nearest, ties to even
}

double RoundPlaces(double value, int places)
{
    if (!std::isfinite(value) || std::fabs(value) >= kExponentFormFrom) return value;
    static constexpr std::array<double, 10> kPowers{1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    const double scale = kPowers.at(static_cast<std::size_t>(places));
    const double scaled = value * scale;
    if (!std::isfinite(scaled)) return value;
    return RoundHalfEven(scaled) / scale;
}

std::string GroupedWhole(double value)
{
    const double rounded = std::round(value); // halves away from zero
    if (!std::isfinite(rounded) || rounded == 0.0) return {};
    std::string digits;
    const double magnitude = std::fabs(rounded);
    if (magnitude < kExponentFormFrom) {
        AppendUnsigned(digits, static_cast<std::uint64_t>(magnitude));
    } else {
        const Figure15 f = ToFigure15(magnitude);
        AppendUnsigned(digits, f.significand);
        digits.append(static_cast<std::size_t>(f.exponent + 1) - digits.size(), '0');
    }
    std::string out;
    if (rounded < 0) out += '-';
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i != 0 && (n - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

std::string Grouped(std::string_view text)
{
    if (text.find('E') != std::string_view::npos) return std::string(text);
    const std::size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
    std::size_t end = text.find('.');
    if (end == std::string_view::npos) end = text.size();
    std::string out(text.substr(0, start));
    for (std::size_t i = start; i < end; ++i) {
        if (i > start && (end - i) % 3 == 0) out += ',';
        out += text[i];
    }
    out += text.substr(end);
    return out;
}

} // namespace fortelle
