#include "shell/report.h"

namespace fortelle {

std::string WholeTextReport(std::string_view text)
{
    Report r;
    r.line(text);
    return r.take();
}

std::string CrLfToLineFeeds(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

std::string BareDigits(std::int64_t value)
{
    std::string s = PrintStyleNumber(value);
    return s.substr(1, s.size() - 2);
}

} // namespace fortelle
