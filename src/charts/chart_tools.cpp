#include "charts/chart_tools.h"

#include <algorithm>
#include <optional>

#include "charts/charts.h"
#include "lottery/lotto.h"

namespace fortelle::charts {
namespace {

std::string Get(const forms::Values& values, const std::string& key)
{
    const auto it = values.find(key);
    return it == values.end() ? std::string() : it->second;
}

forms::Field Count(std::string key, std::string label, std::string unit, std::string initial, std::string help)
{
    forms::Field f;
    f.key = std::move(key);
    f.label = std::move(label);
    f.kind = forms::Kind::Count;
    f.unit = std::move(unit);
    f.placeholder = initial;
    f.initial = std::move(initial);
    f.help = std::move(help);
    return f;
}

class MatchChartTool final : public forms::Tool {
public:
    forms::ToolInfo info() const override
    {
        forms::ToolInfo info;
        info.id = "match-chart";
        info.menu = "Games";
        info.title = "Lotto and Keno match chart";
        info.summary = "The chance of each number of matches in a lotto or Keno game of your own, as a chart and as "
                       "the Lotto Odds report";
        return info;
    }

    std::vector<forms::Field> fields(const forms::Values& /*values*/) const override
    {
        return {
            Count("biggest", "Biggest number", "", "49",
                  "The numbers run from 1 to this: 49 in lotto 6/49, 80 in Keno"),
            Count("drawn", "Numbers drawn", "numbers", "6",
                  "6 in lotto 6/49; for Keno, the spots you mark (the chances are the same either way round)"),
            Count("pool", "Numbers played", "numbers", "6",
                  "Your numbers: as many as are drawn for a plain ticket, more for a system; for Keno, the 20 the "
                  "house draws"),
        };
    }

    std::vector<forms::Problem> check(const forms::Values& values) const override { return read(values).problems; }

    forms::Result compute(const forms::Values& values, forms::Progress& /*progress*/) const override
    {
        const Reading in = read(values);
        forms::Result r;
        r.problems = in.problems;
        if (!r.ok()) return r;
        const forms::Chart chart = LottoMatchesChart(in.N, in.k, in.p);
        const std::string game = std::to_string(in.k) + "/" + std::to_string(in.N);
        r.title = "Lotto " + game + ": matches";
        // The Lotto Odds button's report for the same game, byte for byte.
        r.report = LottoReport(
            {static_cast<std::int32_t>(in.N), static_cast<std::int32_t>(in.k), static_cast<std::int32_t>(in.p)});
        const auto& bars = chart.series.front().points;
        const auto likeliest =
            std::max_element(bars.begin(), bars.end(), [](const auto& a, const auto& b) { return a.y < b.y; });
        r.verdict = "Most likely: " + likeliest->xText + ", " + likeliest->yText + "; all " + std::to_string(in.k) +
                    ": " + bars.back().yText + ".";
        r.charts.push_back(chart);
        return r;
    }

private:
    struct Reading {
        std::int64_t N = 0, k = 0, p = 0;
        std::vector<forms::Problem> problems;
    };

    // Whole numbers, blanks and thousands separators allowed; then the
    // chart's own limits, each beside its field.
    static Reading read(const forms::Values& values)
    {
        Reading in;
        const auto whole = [&](const std::string& key, const std::string& what) -> std::int64_t {
            std::string text;
            for (const char c : Get(values, key)) {
                if (c != ' ' && c != ',') text += c;
            }
            const auto value = ParseDecimal(text);
            if (text.empty()) {
                in.problems.push_back({key, "Enter " + what + "."});
            } else if (!value || denominator(*value) != 1 || *value < 1 || *value > 1'000'000'000) {
                in.problems.push_back({key, "The " + what + " must be a whole number from 1 up."});
            } else {
                return numerator(*value).convert_to<std::int64_t>();
            }
            return 0;
        };
        in.N = whole("biggest", "biggest number");
        in.k = whole("drawn", "numbers drawn");
        in.p = whole("pool", "numbers played");
        if (!in.problems.empty()) return in;
        if (const auto refusal = LottoMatchesRefusal(in.N, in.k, in.p)) {
            // The refusal names the first entry out of bounds, in this order.
            const bool numbersOk = !LottoMatchesRefusal(in.N, 1, in.N);
            const bool drawnOk = numbersOk && !LottoMatchesRefusal(in.N, in.k, in.N);
            const std::string key = !numbersOk ? "biggest" : !drawnOk ? "drawn" : "pool";
            std::string message = *refusal;
            message[0] = static_cast<char>(message[0] - 'a' + 'A');
            in.problems.push_back({key, message + "."});
        }
        return in;
    }
};

} // namespace

GameToolCharts GameCharts()
{
    GameToolCharts c;
    c.odds = [](const GameOdds& odds) { return std::vector<forms::Chart>{MatchesChart(odds)}; };
    c.value = [](const GameDefinition& game, const ValueAssumptions& assumed, bool jackpotEntered) {
        return std::vector<forms::Chart>{ValueChart(game, assumed, jackpotEntered)};
    };
    c.draws = [](const ManyDrawsInput& input) { return std::vector<forms::Chart>{DrawsChart(input)}; };
    c.kenoReturn = [](const KenoReturn& keno, const std::function<bool(double)>& going) {
        std::optional<forms::Chart> chart = KenoChart(keno, going);
        return chart ? std::vector<forms::Chart>{*chart} : std::vector<forms::Chart>{};
    };
    return c;
}

std::vector<std::unique_ptr<forms::Tool>> MakeChartTools()
{
    std::vector<std::unique_ptr<forms::Tool>> tools;
    tools.push_back(std::make_unique<MatchChartTool>());
    return tools;
}

} // namespace fortelle::charts
