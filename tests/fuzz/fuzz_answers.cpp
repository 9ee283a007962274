// The reading of prompt answers and the whole-number conversions.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "shell/answers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double value = fortelle::ReadAnswer(text);
    if (std::isnan(value)) std::abort();
    if (const auto w = fortelle::ToWhole32(value)) {
        // The whole number is the nearest one to the value.
        if (std::fabs(static_cast<double>(*w) - value) > 0.5) std::abort();
    } else if (std::fabs(value) < 2147483647.0) {
        std::abort();
    }
    if (const auto h = fortelle::ToWhole16(value)) {
        if (std::fabs(static_cast<double>(*h) - value) > 0.5) std::abort();
    }
    const std::string offered = fortelle::WholeDefaultText(value);
    // What the prompt offers reads back as the same whole number.
    if (const auto w = fortelle::ToWhole32(value)) {
        if (fortelle::ReadAnswer(offered) != static_cast<double>(*w)) std::abort();
    } else if (offered != "0") {
        std::abort();
    }
    return 0;
}
