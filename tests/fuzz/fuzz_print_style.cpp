// Print-style numbers and the grouped whole-number pattern on arbitrary
// doubles, checked against an independent reading of the text.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>

#include "shell/print_style.h"

namespace {

// The value to 15 significant digits, as the C library rounds it.
double To15(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", v);
    return std::strtod(buf, nullptr);
}

bool Near(double a, double b) { return a == b || std::fabs(a - b) <= std::fabs(b) * 2e-15; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < sizeof(double)) return 0;
    double v;
    std::memcpy(&v, data, sizeof v);
    if (!std::isfinite(v)) return 0;

    const std::string text = fortelle::PrintStyleNumber(v);
    if (text.size() < 3 || text.back() != ' ') std::abort();
    if (text[0] != (v < 0 ? '-' : ' ')) std::abort();
    const std::string body = text.substr(1, text.size() - 2);
    // Exponent form exactly from 1E15 up (after rounding to 15 digits).
    const bool exponent = body.find('E') != std::string::npos;
    if (exponent != (std::fabs(To15(v)) >= 1e15)) std::abort();
    if (exponent && body.find("E+") == std::string::npos) std::abort();
    if (body.find('.') != std::string::npos && !exponent && body.back() == '0') std::abort();
    // At most 15 significant digits, and the text reads back as the value.
    std::string mantissa = body.substr(0, body.find('E'));
    std::erase(mantissa, '.');
    if (mantissa.size() - std::min(mantissa.find_first_not_of('0'), mantissa.size()) > 15) std::abort();
    const double back = std::strtod(text.c_str(), nullptr);
    if (!Near(back, To15(v)) && !Near(back, v)) std::abort();

    // The grouped pattern: digits in threes, the rounded value to 15 digits.
    const std::string grouped = fortelle::GroupedWhole(v);
    const double rounded = std::round(v);
    if (rounded == 0) {
        if (!grouped.empty()) std::abort();
    } else {
        static const std::regex kGrouped("-?[1-9][0-9]{0,2}(,[0-9]{3})*");
        if (!std::regex_match(grouped, kGrouped)) std::abort();
        std::string plain = grouped;
        std::erase(plain, ',');
        const double parsed = std::strtod(plain.c_str(), nullptr);
        if (!Near(parsed, To15(rounded)) && !Near(parsed, rounded)) std::abort();
    }
    return 0;
}
