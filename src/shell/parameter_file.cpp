#include "shell/parameter_file.h"

#include "platform/file_system.h"
#include "shell/answers.h"
#include "shell/print_style.h"

namespace fortelle {
namespace {

constexpr std::size_t kPrintZone = 14;

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n'; }

} // namespace

std::string FormatParameterFile(std::span<const double> values, const ParameterLayout& layout)
{
    std::string out;
    std::size_t next = 0;
    for (int perLine : layout) {
        const std::size_t lineStart = out.size();
        for (int i = 0; i < perLine && next < values.size(); ++i, ++next) {
            if (i > 0) {
                // Blanks up to the start of the next print zone.
                const std::size_t column = out.size() - lineStart;
                const std::size_t zone = (column / kPrintZone + 1) * kPrintZone;
                out.append(zone - column, ' ');
            }
            AppendPrintStyle(out, values[next]);
        }
        out += "\r\n";
    }
    return out;
}

std::vector<StoredValue> ParseParameterValues(std::string_view bytes, std::size_t count)
{
    std::vector<StoredValue> values(count);
    if (count == 0) return values;
    std::size_t slot = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        while (i < bytes.size() && IsSeparator(bytes[i])) ++i;
        const std::size_t start = i;
        while (i < bytes.size() && !IsSeparator(bytes[i])) ++i;
        if (i == start) break;
        values[slot] = ReadWholeToken(bytes.substr(start, i - start));
        slot = (slot + 1) % count;
    }
    return values;
}

std::vector<StoredValue> ReadParameterFile(FileSystem& files, std::string_view name, std::span<const double> defaults,
                                           const ParameterLayout& layout)
{
    if (!files.exists(name)) {
        files.replaceWith(name, FormatParameterFile(defaults, layout));
        return {defaults.begin(), defaults.end()};
    }
    const auto bytes = files.readAll(name, kParameterFileLimit);
    if (!bytes) return std::vector<StoredValue>(defaults.size());
    return ParseParameterValues(*bytes, defaults.size());
}

bool WriteParameterFile(FileSystem& files, std::string_view name, std::span<const double> values,
                        const ParameterLayout& layout)
{
    return files.replaceWith(name, FormatParameterFile(values, layout));
}

} // namespace fortelle
