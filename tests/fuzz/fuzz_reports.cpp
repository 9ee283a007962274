// Every calculator's report from arbitrary answers, through the entry the
// command line uses: no crash, no "inf" or "nan", every line well formed.
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"
#include "shell/answers.h"

namespace {

const char* const kCalculators[] = {"pick3",  "pick4",    "lotto",  "powerball", "euro",
                                    "horses", "roulette", "parlay", "soccer",    "stddev"};
const std::size_t kValues[] = {0, 0, 3, 4, 4, 1, 0, 1, 1, 3};

// True when a word of the text is a platform's rendering of an infinite or
// undefined value ("inf", "-nan", "Infinity", "1.#INF", ...). Words such as
// "quinfecta" are not.
bool ShowsNonFinite(const std::string& text)
{
    static const std::regex kNonFinite(R"((^|\s)[-+]?(inf|nan|infinity)(\s|$)|#)", std::regex::icase);
    return std::regex_search(text, kNonFinite);
}

// Every odds figure after " -> 1 in" is a well-formed number, however large.
bool FiguresAreNumbers(const std::string& text)
{
    static const std::regex kMalformed(R"( -> 1 in (?![ -]?[0-9]+(\.[0-9]+)?(E[-+][0-9]+)? ))");
    return !std::regex_search(text, kMalformed);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::size_t which = data[0] % 10;
    std::vector<std::string> args{"--raw", "--", kCalculators[which]};
    // The answers: the rest split at zero bytes, at most as many as the
    // calculator asks for.
    std::string current;
    for (std::size_t i = 1; i < size && args.size() - 3 < kValues[which]; ++i) {
        if (data[i] == 0) {
            args.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    if (!current.empty() && args.size() - 3 < kValues[which]) args.push_back(current);
    // A pool or parlay of a million games takes a fifth of a second in a
    // release build but tens of seconds under the fuzzer's instrumentation;
    // the million-row reports are covered by the unit tests and the
    // benchmark. Here they stop at 20,000 games, well past the rows beyond
    // the double range (from 647 and 1024).
    if ((which == 7 || which == 8) && args.size() > 3 && fortelle::ReadAnswer(args[3]) > 20000) {
        args[3] = "20000";
    }
    const fortelle::CommandLineResult r = fortelle::RunCommandLine(args);
    if (r.status != 0 && !(r.status == 1 && which == 9)) std::abort();
    if (r.status == 1) {
        if (!r.out.empty() || r.err.empty()) std::abort(); // a refusal prints only its reason
        return 0;
    }
    const std::string& out = r.out;
    if (out.empty()) std::abort();
    if (ShowsNonFinite(out) || !FiguresAreNumbers(out)) std::abort();
    // The report ends with CR LF, a carriage return comes only before a line
    // feed, and the rest is printable ASCII and blanks.
    if (!out.ends_with("\r\n")) std::abort();
    for (std::size_t i = 0; i < out.size(); ++i) {
        const bool lineEnd = out[i] == '\n' || out.compare(i, 2, "\r\n") == 0;
        if (!lineEnd && (out[i] < 0x20 || out[i] > 0x7E)) std::abort();
    }
    return 0;
}
