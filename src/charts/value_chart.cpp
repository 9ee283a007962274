#include <algorithm>
#include <cmath>
#include <cstdio>

#include "charts/chart_text.h"
#include "charts/charts.h"

namespace fortelle::charts {
namespace {

// Jackpots along each curve: the axis in this many equal steps. Beyond the
// first few units of currency, where a tax threshold may bend it, a curve
// is a straight line: a few points draw it, and each value computed with
// sharing takes a millisecond or two.
constexpr int kSteps = 12;

// x rounded to one significant digit: 58,440,267 is 60,000,000.
Rational OneSignificant(const Rational& x)
{
    const int e = DecimalExponent(x);
    const Rational scaled = x / PowerOfTen(e);
    const BigInt whole = numerator(scaled + Rational(1, 2)) / denominator(scaled + Rational(1, 2));
    return whole * PowerOfTen(e);
}

// The exact decimal a round double stands for (0.1 is 1/10, not the
// binary fraction next to it).
Rational DecimalOf(double x)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", x);
    return ParseDecimal(text).value_or(Rational(0));
}

std::string SoldText(const Rational& sold)
{
    if (sold == 0) return "No other tickets";
    const double n = sold.convert_to<double>();
    const bool round = OneSignificant(sold) == sold && n >= 1e6;
    return (round ? RoundAmountWords(n) : FixedText(sold, 0)) + " other tickets";
}

// An amount as a person writes it: whole amounts whole, others to the cent.
std::string AmountText(const Rational& amount) { return FixedText(amount, denominator(amount) == 1 ? 0 : 2); }

struct Curve {
    Rational sold;
    ValueAssumptions assumed;
    TicketValue atZero; // its break-even and partial count
};

} // namespace

forms::Chart ValueChart(const GameDefinition& game, const ValueAssumptions& assumed, bool jackpotEntered)
{
    const TicketValue entered = ComputeTicketValue(game, assumed);
    const std::string cur = " " + game.currency;
    const Rational& price = entered.price;
    const int jackpot = game.jackpotTier(0);

    forms::Chart chart;
    chart.kind = "value";
    chart.title = game.name + ": the value of a ticket against the jackpot";

    // The numbers of other tickets: none, the entered one, and about 1 and 3
    // times the jackpot's odds (about 1 and 3 other winners of it).
    std::vector<Rational> levels{0};
    if (jackpot >= 0) {
        const Rational odds = 1 / entered.odds.p[static_cast<std::size_t>(jackpot)];
        for (const Rational& f : {Rational(1), Rational(3)}) {
            const Rational sold = OneSignificant(odds * f);
            if (sold >= 1 && sold <= Rational(1'000'000'000'000LL)) levels.push_back(sold);
        }
    }
    if (assumed.ticketsSold > 0) levels.push_back(assumed.ticketsSold);
    std::sort(levels.begin(), levels.end());
    levels.erase(std::unique(levels.begin(), levels.end()), levels.end());

    std::vector<Curve> curves;
    double top = 0;
    for (const Rational& sold : levels) {
        Curve c{sold, assumed, {}};
        c.assumed.ticketsSold = sold;
        c.assumed.jackpot = 0;
        c.atZero = ComputeTicketValue(game, c.assumed);
        if (c.atZero.breakEven.kind == BreakEven::Kind::Jackpot) {
            top = std::max(top, c.atZero.breakEven.jackpot.convert_to<double>() * 1.1);
        }
        curves.push_back(std::move(c));
    }
    if (jackpotEntered) top = std::max(top, assumed.jackpot.convert_to<double>() * 1.1);
    if (top == 0 && jackpot >= 0) {
        // No curve breaks even: the jackpot that would bring twice the price.
        top = (2 * price / entered.odds.p[static_cast<std::size_t>(jackpot)]).convert_to<double>();
    }
    // Billions of a currency read better as "1.5" beside "(billion USD)".
    const double scale = top >= 1e9 ? 1e9 : top >= 1e6 ? 1e6 : 1;
    const std::string scaleWord = scale == 1e9 ? "billion " : scale == 1e6 ? "million " : "";
    SetLinearRange(chart.x, top, [scale](double x) { return RoundAmountWords(x / scale); });

    const auto valueText = [&](const TicketValue& v) { return FixedText(v.value, 2) + cur; };
    const auto pointAt = [&](const Rational& j, const TicketValue& v) {
        return forms::ChartPoint{j.convert_to<double>(), v.value.convert_to<double>(), AmountText(j) + cur,
                                 valueText(v), "returns " + PercentText(v.value / price) + " of the price"};
    };
    double highest = price.convert_to<double>();
    int leftOut = 0;
    for (std::size_t i = 0; i < entered.tiers.size(); ++i) {
        const PrizeKind kind = entered.odds.tiers[i].prize.kind;
        if (kind == PrizeKind::PariMutuel && !entered.tiers[i].counted) ++leftOut;
    }
    for (const Curve& c : curves) {
        forms::Series s;
        s.name = SoldText(c.sold);
        std::vector<Rational> jackpots;
        for (int i = 0; i <= kSteps; ++i) jackpots.push_back(DecimalOf(chart.x.to * i / kSteps));
        const BreakEven& be = c.atZero.breakEven;
        const bool breaksEven = be.kind == BreakEven::Kind::Jackpot && be.jackpot <= DecimalOf(chart.x.to);
        if (breaksEven) jackpots.push_back(be.jackpot);
        const bool enteredHere = jackpotEntered && c.sold == assumed.ticketsSold;
        if (enteredHere) jackpots.push_back(assumed.jackpot);
        std::sort(jackpots.begin(), jackpots.end());
        jackpots.erase(std::unique(jackpots.begin(), jackpots.end()), jackpots.end());
        for (const Rational& j : jackpots) {
            ValueAssumptions a = c.assumed;
            a.jackpot = j;
            const TicketValue v = ComputeTicketValue(game, a);
            // A value the computation could not pin to the cent is left out
            // rather than drawn wrong.
            if (v.valueUncertain) continue;
            s.points.push_back(pointAt(j, v));
            highest = std::max(highest, s.points.back().y);
            forms::ChartPoint onCurve = s.points.back();
            onCurve.detail = s.name + "; " + onCurve.detail;
            if (breaksEven && j == be.jackpot) {
                chart.marks.push_back(
                    {"Break-even: " + AmountText(j) + cur, onCurve, static_cast<int>(chart.series.size())});
            }
            if (enteredHere && j == assumed.jackpot) {
                chart.marks.push_back(
                    {"Entered jackpot: " + valueText(v) + " a ticket", onCurve, static_cast<int>(chart.series.size())});
            }
        }
        if (be.kind == BreakEven::Kind::Unreachable) s.name += " (never breaks even)";
        if (be.kind == BreakEven::Kind::AnyJackpot) s.name += " (breaks even at any jackpot)";
        chart.series.push_back(std::move(s));
    }
    forms::Series line;
    line.reference = true;
    line.name = "Ticket price, " + AmountText(price) + cur;
    for (const double x : {0.0, chart.x.to}) {
        line.points.push_back({x, price.convert_to<double>(), RoundAmountWords(x) + cur, AmountText(price) + cur, {}});
    }
    chart.series.push_back(std::move(line));

    chart.x.title = "Advertised jackpot";
    chart.x.unit = game.currency;
    chart.x.label = "Advertised jackpot (" + scaleWord + game.currency + ")";
    chart.y.title = "Expected value of a ticket";
    chart.y.unit = game.currency;
    chart.y.label = "Expected value of a ticket (" + game.currency + ")";
    SetLinearRange(chart.y, highest * 1.05, RoundAmountWords);

    chart.note = "Each curve holds the number of other tickets in the draw fixed: their winners share the jackpot "
                 "(and pari-mutuel pools), Poisson with mean tickets x chance. The other prizes, the cash option and "
                 "tax are those of the ticket value report.";
    if (jackpot < 0) chart.note = "This game has no jackpot: a ticket's value does not depend on one.";
    if (leftOut > 0) {
        chart.note += " Pari-mutuel tiers without an amount are left out, so every value is a lower bound.";
    }
    return chart;
}

} // namespace fortelle::charts
