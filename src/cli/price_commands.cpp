#include "cli/price_commands.h"

#include <vector>

#include "cli/commands.h"
#include "cli/options.h"
#include "prices/questions.h"
#include "shell/report.h"

namespace fortelle {
namespace {

using namespace prices;

constexpr std::string_view kPriceUsage =
    "\n"
    "Prices (decimal 2.10, fractional 11/10, 6-4 or evens, American +110 or -110,\n"
    "implied chance 47.6%):\n"
    "  fortelle-cli price PRICE... [--json]\n"
    "  fortelle-cli market PRICE... [--method NAME|all] [--as FORM] [--json]\n"
    "  fortelle-cli kelly PRICE --chance P [--fraction F] [--bankroll B] [--json]\n"
    "  fortelle-cli arbitrage PRICE[,PRICE...]... [--stake S | --return R] [--json]\n"
    "  fortelle-cli dutch PRICE[,PRICE...]... [--stake S | --return R] [--json]\n"
    "  fortelle-cli multiple LEG... [--stake S] [--json]\n"
    "price converts each PRICE to every form. market takes one price per outcome\n"
    "and gives the margin and the fair chances by the method NAME: multiplicative,\n"
    "additive, power, shin or odds-ratio (all of them unless given), writing prices\n"
    "in the FORM decimal (unless given), fractional or american. P is your own\n"
    "chance (45%, 0.45 or 9/20); F the share of the Kelly stake (1/2 for half Kelly).\n"
    "arbitrage takes every outcome of an event, dutch some of them: an outcome may\n"
    "list several bookmakers' prices, separated by commas, and the best is staked\n"
    "(S 100 unless given). A LEG is PRICE[@P][:void|:push|:won|:dhK] (K runners in a\n"
    "dead heat); the stake S of a multiple is 10 unless given.\n";

const Problems* ProblemsOf(const auto& v) { return std::get_if<Problems>(&v); }

// The first problem, as the refusal's one line.
void RefuseProblems(const Problems& problems) { Refuse(problems.front().message); }

CommandLineResult Out(const std::string& report, bool raw) { return {raw ? report : CrLfToLineFeeds(report), {}, 0}; }

CommandLineResult Price(const Parsed& p, bool raw)
{
    const auto read = ReadConversion(p.words);
    if (const Problems* problems = ProblemsOf(read)) RefuseProblems(*problems);
    const auto& prices = std::get<std::vector<Conversion>>(read);
    if (p.has("--json")) return {ConversionJson(prices), {}, 0};
    return Out(ConversionReport(prices), raw);
}

CommandLineResult MarketCommand(const Parsed& p, bool raw)
{
    MarketEntries e;
    e.prices = p.words;
    if (const auto method = p.one("--method")) e.method = *method;
    if (const auto as = p.one("--as")) e.as = *as;
    const auto read = ReadMarket(e);
    if (const Problems* problems = ProblemsOf(read)) RefuseProblems(*problems);
    const Market m = ComputeMarket(std::get<MarketQuestion>(read));
    if (p.has("--json")) return {MarketJson(m), {}, 0};
    return Out(MarketReport(m), raw);
}

CommandLineResult KellyCommand(const Parsed& p, bool raw)
{
    KellyEntries e;
    e.price = p.words;
    const auto chance = p.one("--chance");
    if (!chance) Refuse("give your own chance of winning with --chance (45%, 0.45 or 9/20)");
    e.chance = *chance;
    e.fraction = p.one("--fraction");
    e.bankroll = p.one("--bankroll");
    const auto read = ReadKelly(e);
    if (const Problems* problems = ProblemsOf(read)) RefuseProblems(*problems);
    const auto& q = std::get<KellyQuestion>(read);
    if (p.has("--json")) return {KellyJson(q), {}, 0};
    return Out(KellyReport(q), raw);
}

CommandLineResult SpreadCommand(const Parsed& p, bool raw, Cover cover)
{
    SpreadEntries e;
    e.outcomes = p.words;
    e.cover = cover;
    e.stake = p.one("--stake");
    e.returns = p.one("--return");
    const auto read = ReadSpread(e);
    if (const Problems* problems = ProblemsOf(read)) RefuseProblems(*problems);
    const auto& q = std::get<SpreadQuestion>(read);
    if (p.has("--json")) return {SpreadJson(q), {}, 0};
    return Out(SpreadReport(q), raw);
}

CommandLineResult MultipleCommand(const Parsed& p, bool raw)
{
    MultipleEntries e;
    e.legs = p.words;
    e.stake = p.one("--stake");
    const auto read = ReadMultiple(e);
    if (const Problems* problems = ProblemsOf(read)) RefuseProblems(*problems);
    const auto& q = std::get<MultipleQuestion>(read);
    if (p.has("--json")) return {MultipleJson(q), {}, 0};
    return Out(MultipleReport(q), raw);
}

} // namespace

std::string_view PriceCommandsUsage() { return kPriceUsage; }

CommandLineResult RunPriceCommand(std::string_view command, std::span<const std::string> args, bool raw)
{
    return RunRefusing(command, [&] {
        // --raw may stand after the command too.
        auto parse = [&](std::initializer_list<std::string_view> withValue) {
            Parsed p = ParseWords(args, withValue, {"--json", "--raw"});
            raw = raw || p.has("--raw");
            return p;
        };
        if (command == "price") return Price(parse({}), raw);
        if (command == "market") return MarketCommand(parse({"--method", "--as"}), raw);
        if (command == "kelly") return KellyCommand(parse({"--chance", "--fraction", "--bankroll"}), raw);
        if (command == "multiple") return MultipleCommand(parse({"--stake"}), raw);
        const Parsed p = parse({"--stake", "--return"});
        return SpreadCommand(p, raw, command == "arbitrage" ? Cover::Every : Cover::Some);
    });
}

} // namespace fortelle
