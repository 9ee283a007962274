// The reading of parameter files: any bytes, any length. Values written by
// the program must read back as they were.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "shell/parameter_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::size_t count = 1 + data[0] % 4;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto values = fortelle::ParseParameterValues(bytes, count);
    if (values.size() != count) std::abort();

    // Round trip: the numbers read, written in a layout and read again.
    std::vector<double> numbers;
    for (const auto& v : values) numbers.push_back(v && std::isfinite(*v) ? *v : 0.0);
    const fortelle::ParameterLayout layout{static_cast<int>(count)};
    const std::string file = fortelle::FormatParameterFile(numbers, layout);
    const auto again = fortelle::ParseParameterValues(file, count);
    for (std::size_t i = 0; i < count; ++i) {
        if (!again[i]) std::abort();
        const double a = numbers[i], b = *again[i];
        // Written to 15 significant digits.
        if (!(a == b || std::fabs(a - b) <= std::fabs(a) * 1e-14)) std::abort();
    }
    if (file.size() < 2 || file.compare(file.size() - 2, 2, "\r\n") != 0) std::abort();
    return 0;
}
