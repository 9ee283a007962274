#include <algorithm>
#include <boost/math/special_functions/expm1.hpp>
#include <boost/math/special_functions/log1p.hpp>
#include <cmath>

#include "charts/chart_text.h"
#include "charts/charts.h"
#include "shell/print_style.h"

namespace fortelle::charts {
namespace {

// The counts drawn between two powers of ten: the E24 series of preferred
// numbers, about equally spaced on a log scale (1 to 9 in the first decade,
// where only whole counts exist).
constexpr int kPreferred[] = {10, 11, 12, 13, 15, 16, 18, 20, 22, 24, 27, 30,
                              33, 36, 39, 43, 47, 51, 56, 62, 68, 75, 82, 91};

struct Chance {
    Precise win, none; // 1 - (1 - p)^n and (1 - p)^n, each to 50 digits
};

// The count as a 50-digit number: every digit below 2^53, the 15 the text
// shows beyond (a count that large is known to 15 significant digits only).
Precise CountValue(double n)
{
    if (n < 0x1p53) return Precise(static_cast<std::int64_t>(n));
    return Precise(GeneralForm(ToFigure15(n)));
}

// "39.347 %": five significant digits; a chance so near 1 that five digits
// would show 100 %, as what it lacks: "100 % less 0.0000289 %".
std::string ChanceText(const Chance& c, bool certain)
{
    if (certain) return "100 %";
    if (c.win == 0) return "0 %";
    // (1 - p)^n beyond even the 50-digit range: less than 1E-600000000 %.
    if (c.none == 0) return "100 % less a chance too small to write";
    const Rational win = ExactOf(c.win * 100);
    if (win < Rational(999'995, 10'000)) return SignificantText(win, 5) + " %";
    return "100 % less " + PercentText(c.none);
}

} // namespace

forms::Chart DrawsChart(const ManyDrawsInput& input)
{
    ManyDrawsInput once = input;
    once.draws = std::max<std::int64_t>(1, input.draws);
    const ManyDraws figures = ComputeManyDraws(once);
    const bool certain = input.p >= 1;
    const Precise logNone = certain ? Precise(0) : Precise(boost::math::log1p(-PreciseOf(input.p)));
    const auto chanceAt = [&](double n) {
        if (certain) return Chance{1, 0};
        const Precise t = CountValue(n) * logNone;
        return Chance{-boost::math::expm1(t), exp(t)};
    };
    const auto pointAt = [&](double n) {
        const Chance c = chanceAt(n);
        return forms::ChartPoint{n, c.win.convert_to<double>() * 100, CountText(n), ChanceText(c, certain), {}};
    };

    forms::Chart chart;
    chart.kind = "draws";
    chart.title = input.what + ": the chance of at least one win";
    chart.note = "Each draw independent, with the chance p = " + FractionText(input.p) +
                 " of a win; the chance of at least one win in n draws is 1 - (1 - p)^n, computed to 50 significant "
                 "digits.";

    // From 1 draw (or a dozen powers of ten below the end) to the power of
    // ten that passes the 99 % count by a fifth, and the draws entered.
    const double entered = static_cast<double>(input.draws);
    const int hi = std::max(1, static_cast<int>(std::ceil(std::log10(std::max(figures.drawsFor99 * 1.2, entered)))));
    int lo = std::max(0, hi - 12);
    if (input.draws > 0) lo = std::min(lo, static_cast<int>(std::floor(std::log10(entered))));

    std::vector<double> counts;
    for (int e = lo; e < hi; ++e) {
        if (e == 0) {
            for (int n = 1; n < 10; ++n) counts.push_back(n);
        } else {
            for (const int m : kPreferred) counts.push_back(m * std::pow(10.0, e - 1));
        }
    }
    counts.push_back(std::pow(10.0, hi));
    const std::pair<int, double> marked[] = {
        {50, figures.drawsFor50}, {90, figures.drawsFor90}, {99, figures.drawsFor99}};
    for (const auto& [percent, n] : marked) {
        counts.push_back(n);
        chart.marks.push_back(
            {std::to_string(percent) + " %: " + CountText(n) + (n == 1 ? " draw" : " draws"), pointAt(n), 0});
    }
    if (input.draws > 0) {
        counts.push_back(entered);
        const forms::ChartPoint at = pointAt(entered);
        chart.marks.push_back({"Entered: " + at.xText + (input.draws == 1 ? " draw, " : " draws, ") + at.yText, at, 0});
    }
    std::sort(counts.begin(), counts.end());
    counts.erase(std::unique(counts.begin(), counts.end()), counts.end());

    forms::Series curve;
    curve.name = "At least one win";
    for (const double n : counts) curve.points.push_back(pointAt(n));
    chart.series.push_back(std::move(curve));

    chart.x.title = "Number of draws";
    chart.x.unit = "draws";
    chart.x.log = true;
    chart.x.label = "Number of draws (log scale)";
    chart.x.from = std::pow(10.0, lo);
    chart.x.to = std::pow(10.0, hi);
    chart.x.ticks = DecadeTicks(lo, hi, 6, [](int e) { return RoundAmountWords(std::pow(10.0, e)); });
    chart.y.title = "Chance of at least one win";
    chart.y.unit = "%";
    chart.y.label = "Chance of at least one win (%)";
    chart.y.from = 0;
    chart.y.to = 100;
    for (int t = 0; t <= 100; t += 10) chart.y.ticks.push_back({static_cast<double>(t), std::to_string(t) + " %"});
    return chart;
}

} // namespace fortelle::charts
