// Print-style numbers and the grouped whole-number pattern on arbitrary
// doubles, checked against an independent reading of the text.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
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
    int digits = 0;
    bool leading = true;
    for (char c : body) {
        if (c == 'E') break;
        if (c >= '1' && c <= '9') leading = false;
        if (c >= '0' && c <= '9' && !leading) ++digits;
    }
    if (digits > 15) std::abort();
    const double back = std::strtod(text.c_str(), nullptr);
    if (!Near(back, To15(v)) && !Near(back, v)) std::abort();

    // The grouped pattern: digits in threes, the rounded value to 15 digits.
    const std::string grouped = fortelle::GroupedWhole(v);
    const double rounded = std::round(v);
    if (rounded == 0) {
        if (!grouped.empty()) std::abort();
    } else {
        std::string plain;
        std::size_t start = grouped[0] == '-' ? 1 : 0;
        const std::size_t firstGroup = (grouped.size() - start) % 4 == 0 ? 3 : (grouped.size() - start) % 4;
        for (std::size_t i = start; i < grouped.size(); ++i) {
            const std::size_t pos = i - start;
            const bool comma = pos >= firstGroup && (pos - firstGroup) % 4 == 0;
            if (comma != (grouped[i] == ',')) std::abort();
            if (!comma) plain += grouped[i];
        }
        if (plain.empty() || plain[0] == '0') std::abort();
        const double parsed = std::strtod(plain.c_str(), nullptr) * (start ? -1 : 1);
        if (!Near(parsed, To15(rounded)) && !Near(parsed, rounded)) std::abort();
    }
    return 0;
}
