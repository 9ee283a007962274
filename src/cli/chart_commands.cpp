#include "cli/chart_commands.h"

#include "charts/charts.h"
#include "cli/game_commands.h"
#include "cli/options.h"

namespace fortelle {
namespace {

constexpr std::string_view kChartUsage =
    "\n"
    "Charts (their data: CSV, or JSON with --json):\n"
    "  fortelle-cli chart draws (ID [TIER] [--spots S] | --odds X) [--tickets K] [--draws N]\n"
    "  fortelle-cli chart value ID [--jackpot X] [value's other options]\n"
    "  fortelle-cli chart matches (ID [SPOTS] | --lotto N K P)\n"
    "  fortelle-cli chart keno ID SPOTS [--games N] [--pay CATCH=PAY,...]\n"
    "draws: the chance of at least one win against the number of draws; value: a\n"
    "ticket's value against the jackpot, one curve per number of other tickets;\n"
    "matches: the chance of each prize (or catch, or number of the K drawn in a\n"
    "pool of P out of 1 to N); keno: the spread of the net result after N games,\n"
    "the stretch behind shaded. The CSV starts with '#' lines (title, note, axes),\n"
    "then one row per point and per marked point: type,name,x,y,x_text,y_text,detail.\n";

forms::Chart Draws(std::span<const std::string> words, const GameCatalog& catalog, Parsed& p)
{
    p = ParseWords(words, {"--odds", "--draws", "--spots", "--tickets"}, {"--csv", "--json"});
    std::int64_t draws = 0;
    if (const auto text = p.one("--draws")) draws = WholeCount("the number of draws", *text, 1, kMostDraws);
    ManyDrawsInput in = ReadDrawsTarget(p, catalog);
    in.draws = draws;
    return charts::DrawsChart(in);
}

forms::Chart Value(std::span<const std::string> words, const GameCatalog& catalog, Parsed& p)
{
    p = ParseWords(words,
                   {"--jackpot", "--price", "--cash", "--tax", "--tax-above", "--tickets-sold", "--prize", "--pool"},
                   {"--csv", "--json"});
    if (p.words.empty()) Refuse("name a game (fortelle-cli games lists them)");
    NoMoreWords(p, 1);
    const GameDefinition& g = FindGame(catalog, p.words[0]);
    const ValueAssumptions a = ReadValueOptions(p, g, false);
    return charts::ValueChart(g, a, p.has("--jackpot"));
}

forms::Chart Matches(std::span<const std::string> words, const GameCatalog& catalog, Parsed& p)
{
    p = ParseWords(words, {}, {"--lotto", "--csv", "--json"});
    if (p.has("--lotto")) {
        if (p.words.size() != 3) Refuse("--lotto takes three numbers: N (the biggest), K (drawn) and P (the pool)");
        const std::int64_t most = 1'000'000'000;
        const std::int64_t N = WholeCount("N", p.words[0], 1, most), k = WholeCount("K", p.words[1], 1, most),
                           pool = WholeCount("P", p.words[2], 1, most);
        if (const auto refusal = charts::LottoMatchesRefusal(N, k, pool)) Refuse(*refusal);
        return charts::LottoMatchesChart(N, k, pool);
    }
    if (p.words.empty()) Refuse("name a game, or give --lotto N K P");
    NoMoreWords(p, 2);
    const GameDefinition& g = FindGame(catalog, p.words[0]);
    const int spots = SpotsOf(g, p.words.size() > 1 ? std::optional(p.words[1]) : std::nullopt);
    return charts::MatchesChart(ComputeGameOdds(g, spots));
}

forms::Chart Keno(std::span<const std::string> words, const GameCatalog& catalog, Parsed& p)
{
    p = ParseWords(words, {"--games", "--pay"}, {"--csv", "--json"});
    const KenoEntries k = ReadKenoEntries(p, catalog);
    return *charts::KenoChart(ComputeKenoReturn(*k.game, k.spots, k.pays, k.typed, k.games));
}

} // namespace

std::string_view ChartCommandsUsage() { return kChartUsage; }

CommandLineResult RunChartCommand(std::span<const std::string> args, bool raw,
                                  const std::function<GameCatalog()>& loadCatalog)
{
    return RunOnCatalog(
        "chart", args, raw, loadCatalog,
        [](std::span<const std::string> words, const GameCatalog& catalog, bool /*raw*/) -> CommandLineResult {
            if (words.empty()) Refuse("name a chart: draws, value, matches or keno");
            const std::string& kind = words[0];
            const auto rest = words.subspan(1);
            Parsed p;
            forms::Chart chart;
            if (kind == "draws") {
                chart = Draws(rest, catalog, p);
            } else if (kind == "value") {
                chart = Value(rest, catalog, p);
            } else if (kind == "matches") {
                chart = Matches(rest, catalog, p);
            } else if (kind == "keno") {
                chart = Keno(rest, catalog, p);
            } else {
                Refuse("no chart '" + kind + "': draws, value, matches or keno");
            }
            if (p.has("--csv") && p.has("--json")) Refuse("give --csv or --json, not both");
            return {p.has("--json") ? charts::ChartJson(chart) : charts::ChartCsv(chart), {}, 0};
        });
}

} // namespace fortelle
