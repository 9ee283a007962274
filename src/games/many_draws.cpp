#include "games/many_draws.h"

#include <boost/math/special_functions/expm1.hpp>
#include <boost/math/special_functions/log1p.hpp>
#include <nlohmann/json.hpp>

#include "games/readable.h"
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
        // A 100-digit power is never exactly halfway; a figure that close
        // to a boundary is settled by `side` below.
        Figure15 f = RatioFigure(round(scaled).convert_to<BigInt>(), 1); // exponent 14, or 15 for 1E15
        f.exponent += e.convert_to<std::int64_t>() - 14;
        return f;
    };
    const Figure15 low = figureAt(log10x - error), high = figureAt(log10x + error);
    if (low == high) return low;
    // Beyond 1E+80000 the exact value is out of reach anyway (see ExactNoWin).
    if (low.exponent < 80000) {
        const Rational boundary = (FigureValue(low) + FigureValue(high)) / 2;
        if (const auto s = side(boundary)) return *s < 0 ? low : *s > 0 ? high : RoundedFigure(boundary);
    }
    return figureAt(log10x);
}

std::string CountText(const DrawCount& c)
{
    if (c.exact) return Grouped(c.exact->str());
    return "about " + GeneralForm(c.about);
}

Rational CountValue(const DrawCount& c) { return c.exact ? Rational(*c.exact) : FigureValue(c.about); }

std::string Draws(std::int64_t n) { return Grouped(std::to_string(n)) + (n == 1 ? " draw" : " draws"); }

// A span of time rounded to the whole unit: minutes below 2 hours, hours
// below 2 days, days below 2 weeks, weeks below 2 years, then years of
// 365.2425 days (the mean Gregorian year).
std::string Duration(const Rational& weeks)
{
    static const Rational kWeeksAYear(3652425, 70000);
    struct Unit {
        const char* name;
        Rational perWeek, below; // in weeks
    };
    const Unit units[] = {{"minute", 10080, Rational(2, 168)},
                          {"hour", 168, Rational(2, 7)},
                          {"day", 7, 2},
                          {"week", 1, kWeeksAYear * 2},
                          {"year", 1 / kWeeksAYear, 0}};
    for (const Unit& u : units) {
        if (u.below != 0 && weeks >= u.below) continue;
        const Figure15 f = WholeFigure(weeks * u.perWeek);
        return FigureText(f) + " " + u.name + (FigureValue(f) == 1 ? "" : "s");
    }
    return {};
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
        // (r > 0, so m >= 1.)
        const auto power = ExactNoWin(q, nearest.convert_to<std::int64_t>());
        count.exact = power ? (*power <= 1 - c ? nearest : BigInt(nearest + 1)) : ceil(r).convert_to<BigInt>();
    }
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

void SetSchedule(ManyDrawsInput& input, const GameDefinition& game)
{
    input.drawsPerWeek = game.drawsPerWeek;
    input.drawsPerWeekText = game.drawsPerWeekText;
    input.price = game.keno ? std::nullopt : game.price;
    input.currency = game.currency;
}

std::string TimeAndMoney(const DrawCount& draws, const ManyDrawsInput& in)
{
    const Rational n = CountValue(draws);
    const std::string about = draws.exact ? "" : "about ";
    std::string s;
    if (in.drawsPerWeek) {
        s = "about " + Duration(n / *in.drawsPerWeek) + " at " + Grouped(in.drawsPerWeekText) +
            (*in.drawsPerWeek == 1 ? " draw" : " draws") + " a week";
    }
    if (in.price) {
        s += (s.empty() ? about : ", " + about) + MoneyText(n * in.tickets * *in.price, in.currency);
    }
    return s;
}

std::string ManyDrawsVerdict(const ManyDraws& r)
{
    const ManyDrawsInput& in = r.input;
    std::string s = "In " + Draws(in.draws);
    if (in.tickets > 1) s += ", " + Grouped(std::to_string(in.tickets)) + " different tickets in each,";
    s += " the chance of winning at least once is " + PercentWords(r.atLeastPercent, r.certain);
    if (r.certain) return s + ".";
    const bool one = r.drawsFor50.exact && *r.drawsFor50.exact == 1;
    s += "; an even chance takes " + CountText(r.drawsFor50) + (one ? " draw" : " draws");
    const std::string more = TimeAndMoney(r.drawsFor50, in);
    return s + (more.empty() ? "" : ": " + more) + ".";
}

std::string ManyDrawsReport(const ManyDraws& r)
{
    const ManyDrawsInput& in = r.input;
    Report out;
    out.blank();
    WriteWrapped(out, ManyDrawsVerdict(r));
    out.blank();
    WriteWrapped(out, "The chance of winning at least once: " + in.what);
    WriteWrapped(out, "One ticket: " + OneInText(in.p) + " (" + ChanceText(in.p) + "), p = " + FractionText(in.p));
    const std::string spent = TimeAndMoney(DrawCount{BigInt(in.draws), {}}, in);
    const std::string spentText = spent.empty() ? "" : " (" + spent + ")";
    if (in.tickets > 1) {
        WriteWrapped(out, Grouped(std::to_string(in.tickets)) +
                              " different tickets in one draw: " + OneInText(r.perDraw) + " (" + ChanceText(r.perDraw) +
                              "), p = " + FractionText(r.perDraw));
        WriteWrapped(out, "Independent draws: " + Grouped(std::to_string(in.draws)) + ", " +
                              Grouped(std::to_string(in.tickets)) + " tickets in each" + spentText);
    } else {
        WriteWrapped(out,
                     "Independent draws: " + Grouped(std::to_string(in.draws)) + ", one ticket in each" + spentText);
    }
    out.blank(2);
    const std::string n = Grouped(std::to_string(in.draws));
    const std::string draws = n + (in.draws == 1 ? " draw" : " draws");
    const std::string atLeast = "~ At least one win in " + draws, none = "~ No win in " + draws;
    const std::size_t lead = std::max(atLeast.size(), none.size());
    using Align = TextTable::Align;
    TextTable chances({Align::Left, Align::Point, Align::Left});
    chances.row({Padded(atLeast, lead) + " ->", "1 in " + FigureText(r.atLeastOdds),
                 "= " + PercentWords(r.atLeastPercent, r.certain)});
    if (r.certain) {
        chances.row({Padded(none, lead) + " ->", "0 (impossible)", ""});
    } else {
        chances.row({Padded(none, lead) + " ->", "1 in " + FigureText(r.noWinOdds),
                     "= " + (r.noWinTiny ? std::string("below 1E-100 %") : PercentWords(r.noWinPercent, false))});
    }
    for (const auto& lines : chances.lines({{{0, 1, 2}}, {{0, 1}, {2}}}, 4)) {
        for (const std::string& line : lines) out.line(line);
    }
    WriteWrapped(out,
                 "Expected number of wins: " + FigureText(PercentFigure(r.expectedWins)) + " (exactly " +
                     FractionText(r.expectedWins) + ")",
                 "~ ", "    ");
    out.blank();
    for (const auto& [percent, count] : {std::pair{50, &r.drawsFor50}, {90, &r.drawsFor90}, {99, &r.drawsFor99}}) {
        out.line("~ Draws needed for a ", std::to_string(percent), " % chance: ", CountText(*count));
        const std::string more = TimeAndMoney(*count, in);
        if (!more.empty()) WriteWrapped(out, more, "    ", "    ");
    }
    out.blank();
    std::string how;
    if (in.tickets > 1 && in.typedOdds) {
        how = "Tickets in one draw have " + Grouped(std::to_string(in.tickets)) +
              " times one ticket's chance when they are different combinations of a prize that only one "
              "combination wins. ";
    } else if (in.tickets > 1) {
        how = "Different tickets never win this prize in the same draw (it asks every number drawn), so " +
              Grouped(std::to_string(in.tickets)) + " tickets have " + Grouped(std::to_string(in.tickets)) +
              " times one ticket's chance. ";
    }
    WriteWrapped(out, how + "Computed as 1 - (1 - p)^n with 100 significant digits: every digit shown is right, and "
                            "no chance shown passes 100 %.");
    if (in.drawsPerWeek) {
        WriteWrapped(out, "Time at the game's " + Grouped(in.drawsPerWeekText) +
                              (*in.drawsPerWeek == 1 ? " draw" : " draws") + " a week, in years of 365.2425 days" +
                              (in.price ? "; money at its price." : "."));
    } else if (in.price) {
        WriteWrapped(out, "Money at the game's price of a ticket.");
    }
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
