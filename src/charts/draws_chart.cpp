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

// A number of draws: where it is drawn, its value and its text.
struct Count {
    double x = 0;
    Precise value;
    std::string text;
    bool operator<(const Count& other) const { return x < other.x; }
    bool operator==(const Count& other) const { return x == other.x; }
};

// A round count of our own: a whole number below 2^53, beyond it a count
// with at most two significant digits (E24 times a power of ten), exact as
// its text is.
Count RoundCount(double n)
{
    return {n, n < 0x1p53 ? Precise(static_cast<std::int64_t>(n)) : ToPrecise(FigureValue(ToFigure15(n))),
            CountText(n)};
}

// A count the many-draws figures give: every digit while it is exact,
// otherwise its 15 significant digits.
Count FigureCount(const DrawCount& n)
{
    if (n.exact) return {n.exact->convert_to<double>(), Precise(*n.exact), Grouped(n.exact->str())};
    return {ToDouble(FigureValue(n.about)), ToPrecise(FigureValue(n.about)), GeneralForm(n.about)};
}

struct Chance {
    Precise win, none; // 1 - (1 - q)^n and (1 - q)^n, each to 100 digits
};

// "39.347 %": five significant digits; a chance so near 1 that five digits
// would show 100 %, as what it lacks: "100 % less 0.0000289 %".
std::string ChanceText(const Chance& c, bool certain)
{
    if (certain) return "100 %";
    if (c.win == 0) return "0 %";
    // (1 - q)^n beyond even the 100-digit range: below 2^-(2^31).
    if (c.none == 0) return "100 % less a chance too small to write";
    const Rational win = ToRational(c.win * 100);
    if (win < Rational(999'995, 10'000)) return SignificantText(win, 5) + " %";
    return "100 % less " + PercentText(c.none);
}

} // namespace

forms::Chart DrawsChart(const ManyDrawsInput& input)
{
    ManyDrawsInput once = input;
    once.draws = std::max<std::int64_t>(1, input.draws);
    const ManyDraws figures = ComputeManyDraws(once);
    const Rational& q = figures.perDraw;
    const bool certain = figures.certain;
    const Precise logNone = certain ? Precise(0) : Precise(boost::math::log1p(-ToPrecise(q)));
    const auto pointAt = [&](const Count& n) {
        Chance c{1, 0};
        if (!certain) {
            const Precise t = n.value * logNone;
            c = {-boost::math::expm1(t), exp(t)};
        }
        return forms::ChartPoint{n.x, c.win.convert_to<double>() * 100, n.text, ChanceText(c, certain), {}};
    };

    forms::Chart chart;
    chart.kind = "draws";
    const std::string tickets =
        input.tickets > 1 ? ", " + Grouped(std::to_string(input.tickets)) + " different tickets a draw" : "";
    chart.title = input.what + tickets + ": the chance of at least one win";
    chart.note = "Each draw independent, with the chance p = " + FractionText(q) +
                 " of a win; the chance of at least one win in n draws is 1 - (1 - p)^n, computed to 100 significant "
                 "digits.";

    const Count fifty = FigureCount(figures.drawsFor50), ninety = FigureCount(figures.drawsFor90),
                most = FigureCount(figures.drawsFor99);
    // From 1 draw (or a dozen powers of ten below the end) to the power of
    // ten that passes the 99 % count by a fifth, and the draws entered.
    const double entered = static_cast<double>(input.draws);
    const int hi = std::max(1, static_cast<int>(std::ceil(std::log10(std::max(most.x * 1.2, entered)))));
    int lo = std::max(0, hi - 12);
    if (input.draws > 0) lo = std::min(lo, static_cast<int>(std::floor(std::log10(entered))));

    std::vector<Count> counts;
    for (int e = lo; e < hi; ++e) {
        if (e == 0) {
            for (int n = 1; n < 10; ++n) counts.push_back(RoundCount(n));
        } else {
            for (const int m : kPreferred) counts.push_back(RoundCount(m * std::pow(10.0, e - 1)));
        }
    }
    counts.push_back(RoundCount(std::pow(10.0, hi)));
    for (const auto& [percent, n] : {std::pair{50, fifty}, std::pair{90, ninety}, std::pair{99, most}}) {
        counts.push_back(n);
        chart.marks.push_back(
            {std::to_string(percent) + " %: " + n.text + (n.text == "1" ? " draw" : " draws"), pointAt(n), 0});
    }
    if (input.draws > 0) {
        const Count n = RoundCount(entered);
        counts.push_back(n);
        const forms::ChartPoint at = pointAt(n);
        chart.marks.push_back({"Entered: " + at.xText + (input.draws == 1 ? " draw, " : " draws, ") + at.yText, at, 0});
    }
    std::sort(counts.begin(), counts.end());
    counts.erase(std::unique(counts.begin(), counts.end()), counts.end());

    forms::Series curve;
    curve.name = "At least one win";
    for (const Count& n : counts) curve.points.push_back(pointAt(n));
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
