#include <algorithm>
#include <cmath>
#include <limits>

#include "charts/chart_text.h"
#include "charts/charts.h"
#include "games/named_games.h"

namespace fortelle::charts {
namespace {

// A fraction longer than this is left out of a point's detail: its odds say
// the same, and a tooltip of a thousand digits helps nobody.
constexpr std::size_t kLongestFraction = 80;

// The most the lotto match chart takes: far beyond any lotto or Keno game,
// and every chart still computed in a moment.
constexpr std::int64_t kMostNumbers = 1'000'000;
constexpr std::int64_t kMostDrawn = 100;

std::string PrizeWords(const Prize& prize, const GameDefinition& game)
{
    switch (prize.kind) {
    case PrizeKind::Jackpot: return "the jackpot";
    case PrizeKind::PariMutuel: return "a pari-mutuel prize";
    case PrizeKind::FreeTicket: return "a free ticket";
    case PrizeKind::Fixed:
        return game.keno ? "pays " + Grouped(prize.text) + " per unit" : Grouped(prize.text) + " " + game.currency;
    case PrizeKind::None: break;
    }
    return game.keno ? "pays nothing" : "no prize";
}

forms::ChartPoint Bar(std::size_t index, const std::string& what, const Rational& p, std::string detail)
{
    const std::string fraction = FractionText(p);
    if (fraction.size() <= kLongestFraction) detail = "p = " + fraction + (detail.empty() ? "" : "; " + detail);
    return {static_cast<double>(index), p.convert_to<double>(), what, OneInText(p), std::move(detail)};
}

// A log axis of chance from below the least bar drawn (a double may hold
// none of the smallest) up to 1.
void SetChanceAxis(forms::Axis& axis, const forms::Series& bars)
{
    double least = 1;
    for (const forms::ChartPoint& p : bars.points) {
        if (p.y > 0) least = std::min(least, p.y);
    }
    // A power of ten below the least bar, so that every bar shows.
    const int lo = std::min(-1, static_cast<int>(std::floor(std::log10(least))) - 1);
    axis.title = "Chance";
    axis.unit = "probability";
    axis.log = true;
    axis.label = "Chance (log scale)";
    axis.from = std::pow(10.0, lo);
    axis.to = 1;
    axis.ticks = DecadeTicks(
        lo, 0, 10, [](int e) { return e == 0 ? std::string("1") : "1 in " + RoundAmountWords(std::pow(10.0, -e)); });
}

Rational Choose(std::int64_t n, std::int64_t m)
{
    if (m < 0 || m > n) return 0;
    BigInt c = 1;
    for (std::int64_t i = 1; i <= m; ++i) c = c * (n - m + i) / i;
    return c;
}

} // namespace

forms::Chart MatchesChart(const GameOdds& odds)
{
    const GameDefinition& game = *odds.game;
    forms::Chart chart;
    chart.kind = "matches";
    chart.title = TicketTitle(odds) + (game.keno ? ": the chance of each catch" : ": the chance of each prize");
    forms::Series bars;
    bars.name = "Chance";
    bars.style = forms::Series::Style::Bars;
    Rational rest = 1;
    for (std::size_t i = 0; i < odds.tiers.size(); ++i) {
        const TierSpec& t = odds.tiers[i];
        std::string prize = PrizeWords(t.prize, game);
        if (game.keno && !odds.anyPrizeKnown) prize.clear();
        bars.points.push_back(Bar(i, t.label, odds.p[i], prize));
        chart.x.categories.push_back(t.name);
        rest -= odds.p[i];
    }
    if (rest > 0) {
        bars.points.push_back(Bar(odds.tiers.size(), "No prize", rest, {}));
        chart.x.categories.emplace_back("none");
    }
    chart.x.title = game.keno ? "Numbers caught" : "Prize tier";
    chart.x.label = game.keno ? "Numbers caught (of " + std::to_string(odds.spots) + " spots)" : "Prize tier";
    chart.x.from = -0.5;
    chart.x.to = static_cast<double>(bars.points.size()) - 0.5;
    SetChanceAxis(chart.y, bars);
    chart.series.push_back(std::move(bars));
    chart.note = "Exact chances from the game's rules; a bar's height is on a log scale, so each step down is ten "
                 "times less likely.";
    return chart;
}

std::optional<std::string> LottoMatchesRefusal(std::int64_t N, std::int64_t k, std::int64_t p)
{
    if (N < 1 || N > kMostNumbers) return "the biggest number must be 1 to " + Grouped(std::to_string(kMostNumbers));
    if (k < 1 || k > std::min(N, kMostDrawn)) {
        return "the numbers drawn must be 1 to " + std::to_string(std::min(N, kMostDrawn));
    }
    if (p < k || p > N)
        return "the numbers played must be " + std::to_string(k) + " (as many as are drawn) to " + std::to_string(N);
    return std::nullopt;
}

forms::Chart LottoMatchesChart(std::int64_t N, std::int64_t k, std::int64_t p)
{
    forms::Chart chart;
    chart.kind = "matches";
    const std::string game = "Lotto " + std::to_string(k) + "/" + std::to_string(N);
    chart.title = game + (p == k ? "" : ", a pool of " + std::to_string(p)) + ": the chance of each number of matches";
    forms::Series bars;
    bars.name = "Chance";
    bars.style = forms::Series::Style::Bars;
    // m of the k drawn in the pool: C(p, m) C(N - p, k - m) of C(N, k) draws.
    const Rational total = Choose(N, k);
    const std::int64_t lo = std::max<std::int64_t>(0, k - (N - p)), hi = std::min(k, p);
    for (std::int64_t m = lo; m <= hi; ++m) {
        const Rational chance = Choose(p, m) * Choose(N - p, k - m) / total;
        const std::string what = std::to_string(m) + " of the " + std::to_string(k) + " drawn " +
                                 (p == k ? "on your ticket" : "among your " + std::to_string(p) + " numbers");
        bars.points.push_back(Bar(static_cast<std::size_t>(m - lo), what, chance, {}));
        chart.x.categories.push_back(std::to_string(m));
    }
    chart.x.title = "Drawn numbers matched";
    chart.x.label = "Drawn numbers matched (of " + std::to_string(k) + ")";
    chart.x.from = -0.5;
    chart.x.to = static_cast<double>(bars.points.size()) - 0.5;
    SetChanceAxis(chart.y, bars);
    chart.series.push_back(std::move(bars));
    chart.note = "Exact chances: C(" + std::to_string(p) + ", m) C(" + std::to_string(N - p) + ", " +
                 std::to_string(k) + " - m) of C(" + std::to_string(N) + ", " + std::to_string(k) +
                 ") draws; a bar's height is on a log scale, so each step down is ten times less likely.";
    if (lo > 0) chart.note += " Fewer than " + std::to_string(lo) + " matches cannot happen.";
    return chart;
}

} // namespace fortelle::charts
