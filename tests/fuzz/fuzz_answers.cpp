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
    // The whole number is the nearest one to the value, and there is one
    // whenever the value is within range.
    const auto w = fortelle::ToWhole32(value);
    if (w ? std::fabs(*w - value) > 0.5 : std::fabs(value) < 2147483647.0) std::abort();
    if (const auto h = fortelle::ToWhole16(value); h && std::fabs(*h - value) > 0.5) std::abort();
    // What the prompt offers reads back as the same whole number.
    const std::string offered = fortelle::WholeDefaultText(value);
    if (w ? fortelle::ReadAnswer(offered) != *w : offered != "0") std::abort();
    return 0;
}
