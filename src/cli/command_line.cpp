#include "cli/command_line.h"

#include <algorithm>
#include <functional>
#include <span>
#include <string_view>
#include <variant>

#include "cli/commands.h"
#include "lottery/digit_games.h"
#include "lottery/euro.h"
#include "lottery/lotto.h"
#include "lottery/powerball.h"
#include "shell/calculator.h"
#include "shell/report.h"
#include "shell/texts.h"
#include "stats/stddev.h"
#include "wagers/horses.h"
#include "wagers/pools.h"
#include "wagers/roulette.h"

namespace fortelle {
namespace {

constexpr std::string_view kUsage =
    "Usage: fortelle-cli [--raw] CALCULATOR [VALUE...]\n"
    "       fortelle-cli --help | --version\n"
    "\n"
    "Prints the report of one calculator.\n"
    "CALCULATOR is one of: pick3 pick4 lotto powerball euro horses roulette parlay soccer stddev\n"
    "The VALUEs answer the calculator's prompts, in prompt order:\n"
    "  lotto: N k p    powerball: N B k p    euro: N1 P1 N2 P2\n"
    "  horses, soccer, parlay: N    stddev: n N T\n"
    "A missing VALUE takes the built-in default. pick3, pick4 and roulette take none.\n"
    "\n"
    "Options:\n"
    "  --raw      write the report's exact bytes, lines ended by CR LF\n"
    "  --         every word after it is a calculator or a value (for values such as --5)\n"
    "  --help     show this help\n"
    "  --version  show the version\n";

struct Calculator {
    std::string_view name;
    std::size_t values;
    // The report bytes, or a refusal message (status 1).
    std::function<CommandLineResult(std::span<const std::string>)> run;
};

CommandLineResult Report(std::string bytes) { return {std::move(bytes), {}, 0}; }

CommandLineResult Whole(const WholeNumberCalculator& c, std::span<const std::string> values)
{
    return Report(WholeNumberReport(c, values));
}

const std::vector<Calculator>& Calculators()
{
    static const std::vector<Calculator> all{
        {"pick3", 0, [](auto) { return Report(Pick3Report()); }},
        {"pick4", 0, [](auto) { return Report(Pick4Report()); }},
        {"lotto", 3, [](auto v) { return Whole(LottoCalculator(), v); }},
        {"powerball", 4, [](auto v) { return Whole(PowerballCalculator(), v); }},
        {"euro", 4, [](auto v) { return Whole(EuroCalculator(), v); }},
        {"horses", 1, [](auto v) { return Whole(HorsesCalculator(), v); }},
        {"roulette", 0, [](auto) { return Report(RouletteReport()); }},
        {"parlay", 1, [](auto v) { return Whole(ParlayCalculator(), v); }},
        {"soccer", 1, [](auto v) { return Whole(SoccerCalculator(), v); }},
        {"stddev", 3,
         [](auto v) {
             auto outcome = StdDevCommandLine(v);
             if (auto* report = std::get_if<std::string>(&outcome)) return Report(*report);
             const auto& refusal = std::get<StdDevRefusal>(outcome);
             return CommandLineResult{{},
                                      "fortelle-cli: stddev: the entry " + std::string(refusal.entry) +
                                          " is not accepted: " + refusal.reason + "\n",
                                      1};
         }},
    };
    return all;
}

CommandLineResult UsageError(const std::string& message)
{
    return {{}, "fortelle-cli: " + message + "\n" + std::string(kUsage), 2};
}

} // namespace

CommandLineResult RunCommandLine(const std::vector<std::string>& args) { return RunCommandLine(args, {}); }

CommandLineResult RunCommandLine(const std::vector<std::string>& args, std::string_view programFolder)
{
    // The named-game commands have options of their own: they take every
    // word after their name.
    std::size_t first = 0;
    while (first < args.size() && args[first] == "--raw") ++first;
    if (first < args.size()) {
        for (const CommandSet& set : CommandSets()) {
            if (std::find(set.names.begin(), set.names.end(), args[first]) == set.names.end()) continue;
            const std::span<const std::string> rest(args.data() + first + 1, args.size() - first - 1);
            return set.run(args[first], rest, first > 0, programFolder);
        }
    }

    bool raw = false;
    bool options = true; // until "--": every word after it is a calculator or a value
    std::vector<std::string> words;
    for (const std::string& arg : args) {
        if (!options || arg.rfind("--", 0) != 0) {
            words.push_back(arg);
            continue;
        }
        if (arg == "--") {
            options = false;
        } else if (arg == "--help") {
            std::string usage(kUsage);
            for (const CommandSet& set : CommandSets()) usage += set.usage;
            return {usage, {}, 0};
        } else if (arg == "--version") {
            return {"fortelle-cli " + std::string(kVersion) + "\n", {}, 0};
        } else if (arg == "--raw") {
            raw = true;
        } else {
            return UsageError("unknown option '" + arg + "'");
        }
    }
    if (words.empty()) return UsageError("no calculator named");

    for (const Calculator& c : Calculators()) {
        if (c.name != words[0]) continue;
        const std::span<const std::string> values(words.data() + 1, words.size() - 1);
        if (values.size() > c.values) {
            return UsageError("too many values for " + std::string(c.name) + " (at most " + std::to_string(c.values) +
                              ")");
        }
        CommandLineResult result = c.run(values);
        if (!raw) result.out = CrLfToLineFeeds(result.out);
        return result;
    }
    return UsageError("unknown calculator '" + words[0] + "'");
}

} // namespace fortelle
