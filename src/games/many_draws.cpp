#include "games/many_draws.h"

#include <boost/math/special_functions/expm1.hpp>
#include <boost/math/special_functions/log1p.hpp>
#include <nlohmann/json.hpp>

#include "lottery/exact_figure.h"
#include "shell/report.h"

namespace fortelle {
namespace {

// Each figure below is a few operations on 100-digit values of relative
// error 1E-99; their results are within this of the exact values.
const Precise kError("1e-80");
// Counts of draws are printed in full while 100 digits prove every one.
const Precise kWholeCountsBelow("1e60");

// (1 - q)^n exactly, when it has at most 2^18 bits: the draws counts and
// figures that fall on a rounding boundary are decided with it (they do
// only for small n).
std::optional<Rational> ExactNoWin(const Rational& q, std::int64_t n)
{
    const Rational base = 1 - q;
    const double bits = static_cast<double>(boost::multiprecision::msb(denominator(base)) + 1) * static_cast<double>(n);
    if (bits > 262144) return std::nullopt;
    const auto power = static_cast<unsigned>(n);
    const BigInt top = boost::multiprecision::pow(numerator(base), power);
    const BigInt bottom = boost::multiprecision::pow(denominator(base), power);
    return Rational(top, bottom);
}

// log(1 - q) for 0 < q < 1, to 100 digits whichever side of 1/2 q lies.
Precise LogOfRest(const Rational& q)
{
    if (q < Rational(1, 2)) return boost::math::log1p(-ToPrecise(q));
    return log(ToPrecise(1 - q));
}

// The report figure of x >= 1E15 from log10(x) within `error` (absolute):
// 15 significant digits, ties to even; `side` as for ProvenFigure, asked
// only where the boundary has a size an exact comparison can reach.
Figure15 FigureFromLog10(const Precise& log10x, const Precise& error, const Side& side)
{
    const auto figureAt = [](const Precise& l) {
        const Precise e = floor(l);
        const Precise scaled = pow(Precise(10), l - e + 14); // in [1E14, 1E15)
        BigInt q = scaled.convert_to<BigInt>();
        const Precise rest = scaled - Precise(q);
        if (rest > Precise(0.5) || (rest == Precise(0.5) && (q & 1) != 0)) ++q;
        Figure15 f = RatioFigure(q, 1); // exponent 14, or 15 for 1E15
        f.exponent += e.convert_to<std::int64_t>() - 14;
        return f;
    };
    const Figure15 low = figureAt(log10x - error), high = figureAt(log10x + error);
    if (low.significand == high.significand && low.exponent == high.exponent) return low;
    if (side && low.exponent < 80000) {
        const Rational boundary = (FigureValue(low) + FigureValue(high)) / 2;
        if (const auto s = side(boundary)) return *s < 0 ? low : *s > 0 ? high : RoundedFigure(boundary);
    }
    return figureAt(log10x);
}

std::string CountText(const DrawCount& c)
{
    if (c.exact) return " " + c.exact->str() + " ";
    return " about" + PrintStyleNumber(c.about);
}

nlohmann::ordered_json CountJson(const DrawCount& c)
{
    if (!c.exact) return GeneralForm(c.about);
    if (*c.exact <= (BigInt(1) << 53)) return c.exact->convert_to<std::int64_t>();
    return c.exact->str();
}

} // namespace

DrawCount DrawsForChance(const Rational& q, const Rational& c)
{
    DrawCount count;
    if (q >= 1) {
        count.exact = 1;
        return count;
    }
    const Precise r = log(ToPrecise(1 - c)) / LogOfRest(q); // n >= r
    if (r >= kWholeCountsBelow) {
        count.about = ProvenFigure(r, kError, RoundedFigure, nullptr);
        return count;
    }
    const BigInt nearest = round(r).convert_to<BigInt>();
    if (abs(r - Precise(nearest)) > r * kError) {
        count.exact = ceil(r).convert_to<BigInt>();
    } else {
        // r is next to a whole number m: m itself when (1 - q)^m <= 1 - c.
        const auto power = nearest >= 1 ? ExactNoWin(q, nearest.convert_to<std::int64_t>()) : std::nullopt;
        count.exact = power ? (*power <= 1 - c ? nearest : BigInt(nearest + 1)) : ceil(r).convert_to<BigInt>();
    }
    if (*count.exact < 1) count.exact = 1;
    return count;
}

std::optional<std::string> ManyDrawsRefusal(const Rational& p)
{
    if (p <= 0) return "that chance is 0: no number of draws wins it";
    static const BigInt kOddsLimit = boost::multiprecision::pow(BigInt(10), 300);
    if (p * kOddsLimit < 1) {
        return "that chance is below 1 in 1E+300, too small to count draws for";
    }
    return std::nullopt;
}

bool OneCombinationWins(const GameOdds& odds, std::size_t tier)
{
    const TierSpec& t = odds.tiers[tier];
    for (std::size_t i = 0; i < odds.drums.size(); ++i) {
        const DrumSpec& d = odds.drums[i];
        if (d.pick != d.draw || t.hits[i].lo != d.pick || t.hits[i].hi != d.pick) return false;
    }
    return true;
}

ManyDraws ComputeManyDraws(const ManyDrawsInput& input)
{
    ManyDraws r;
    r.input = input;
    r.perDraw = input.p * input.tickets;
    r.certain = r.perDraw >= 1;
    r.expectedWins = r.perDraw * input.draws;
    const Rational q = r.perDraw;
    const std::int64_t n = input.draws;
    if (r.certain) {
        r.atLeastOdds = RoundedFigure(1);
        r.atLeastPercent = PercentFigure(100);
        r.atLeastOnce = r.atLeastOnceOdds = 1;
        r.drawsFor50.exact = r.drawsFor90.exact = r.drawsFor99.exact = 1;
        return r;
    }
    // x = n log(1 - q) < 0: no win is e^x, at least one -expm1(x).
    const Precise x = LogOfRest(q) * static_cast<Precise>(n);
    std::optional<std::optional<Rational>> power; // computed when first needed
    const auto noWin = [&]() -> const std::optional<Rational>& {
        if (!power) power = ExactNoWin(q, n);
        return *power;
    };
    const auto sign = [](const Rational& d) { return d < 0 ? -1 : d > 0 ? 1 : 0; };
    const Precise atLeast = -boost::math::expm1(x);
    r.atLeastOnce = atLeast.convert_to<double>();
    r.atLeastOnceOdds = (1 / atLeast).convert_to<double>();
    r.atLeastOdds = ProvenFigure(1 / atLeast, kError, RoundedFigure, [&](const Rational& b) -> std::optional<int> {
        if (!noWin()) return std::nullopt;
        return sign(1 - b * (1 - *noWin())); // 1/a - b has the sign of 1 - b a
    });
    r.atLeastPercent = ProvenFigure(atLeast * 100, kError, PercentFigure, [&](const Rational& b) -> std::optional<int> {
        if (!noWin()) return std::nullopt;
        return sign((1 - *noWin()) * 100 - b);
    });
    const Side noWinOddsSide = [&](const Rational& b) -> std::optional<int> {
        if (!noWin()) return std::nullopt;
        return sign(1 - b * *noWin());
    };
    const Precise log10Odds = -x / log(Precise(10));
    if (log10Odds >= 15) {
        r.noWinOdds = FigureFromLog10(log10Odds, log10Odds * kError, noWinOddsSide);
    } else {
        r.noWinOdds = ProvenFigure(exp(-x), kError, RoundedFigure, noWinOddsSide);
    }
    r.noWinTiny = log10Odds > 102;
    if (!r.noWinTiny) {
        r.noWinPercent =
            ProvenFigure(exp(x) * 100, kError, PercentFigure, [&](const Rational& b) -> std::optional<int> {
                if (!noWin()) return std::nullopt;
                return sign(*noWin() * 100 - b);
            });
    }
    r.drawsFor50 = DrawsForChance(q, Rational(1, 2));
    r.drawsFor90 = DrawsForChance(q, Rational(9, 10));
    r.drawsFor99 = DrawsForChance(q, Rational(99, 100));
    return r;
}

std::string ManyDrawsReport(const ManyDraws& r)
{
    const ManyDrawsInput& in = r.input;
    Report out;
    out.blank();
    out.line(" The chance of winning at least once: ", in.what);
    out.line(" One ticket: 1 in", PrintStyleNumber(OneInFigure(in.p)), " p = ", FractionText(in.p));
    if (in.tickets > 1) {
        out.line(" ", std::to_string(in.tickets), " different tickets in one draw: 1 in",
                 PrintStyleNumber(OneInFigure(r.perDraw)), " p = ", FractionText(r.perDraw));
        out.line(" Independent draws: ", std::to_string(in.draws), ", ", std::to_string(in.tickets),
                 " tickets in each");
    } else {
        out.line(" Independent draws: ", std::to_string(in.draws), ", one ticket in each");
    }
    out.blank(2);
    out.line("~ At least one win in", in.draws, "draws -> 1 in", PrintStyleNumber(r.atLeastOdds), " =",
             PercentText(r.atLeastPercent, r.certain));
    if (r.certain) {
        out.line("~ No win in", in.draws, "draws -> 0 (impossible)");
    } else {
        out.line("~ No win in", in.draws, "draws -> 1 in", PrintStyleNumber(r.noWinOdds), " =",
                 r.noWinTiny ? std::string(" below 1E-100 %") : PercentText(r.noWinPercent, false));
    }
    out.line("~ Expected number of wins:", PrintStyleNumber(PercentFigure(r.expectedWins)), " (exactly ",
             FractionText(r.expectedWins), ")");
    out.blank();
    out.line("~ Draws needed for a 50 % chance:", CountText(r.drawsFor50));
    out.line("~ Draws needed for a 90 % chance:", CountText(r.drawsFor90));
    out.line("~ Draws needed for a 99 % chance:", CountText(r.drawsFor99));
    out.blank();
    if (in.tickets > 1 && in.typedOdds) {
        out.line(" Tickets in one draw have ", std::to_string(in.tickets),
                 " times one ticket's chance when they are different");
        out.line(" combinations of a prize that only one combination wins.");
    } else if (in.tickets > 1) {
        out.line(" Different tickets never win this prize in the same draw (it asks every number");
        out.line(" drawn), so ", std::to_string(in.tickets), " tickets have ", std::to_string(in.tickets),
                 " times one ticket's chance.");
    }
    out.line(" Computed as 1 - (1 - p)^n with 100 significant digits: every digit shown is");
    out.line(" right, and no chance shown passes 100 %.");
    out.blank();
    return out.take();
}

std::string ManyDrawsJson(const ManyDraws& r)
{
    nlohmann::ordered_json j;
    j["schema"] = "fortelle-many-draws/2";
    j["what"] = r.input.what;
    j["probability"] = FractionText(r.input.p);
    j["tickets_per_draw"] = r.input.tickets;
    j["probability_per_draw"] = FractionText(r.perDraw);
    j["draws"] = r.input.draws;
    j["at_least_once"] = r.atLeastOnce;
    j["at_least_once_odds"] = r.atLeastOnceOdds;
    j["expected_wins"] = FractionText(r.expectedWins);
    j["draws_for_50"] = CountJson(r.drawsFor50);
    j["draws_for_90"] = CountJson(r.drawsFor90);
    j["draws_for_99"] = CountJson(r.drawsFor99);
    return j.dump(2) + "\n";
}

} // namespace fortelle
