#include "shell/report.h"

namespace fortelle {

std::string WholeTextReport(std::string_view text)
{
    Report r;
    r.line(text);
    return r.take();
}

std::string BareDigits(std::int64_t value)
{
    std::string s = PrintStyleNumber(value);
    return s.substr(1, s.size() - 2);
}

} // namespace fortelle
