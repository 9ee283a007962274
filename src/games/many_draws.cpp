#include "games/many_draws.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "lottery/combinations.h"
#include "shell/report.h"

namespace fortelle {
namespace {

double SignificantNumber(double x)
{
    // The report's figures are rounded once to 2 places; a chance far below
    // that keeps 3 significant digits instead, so it never shows as 0.
    if (x >= 0.01 || x == 0) return RoundPlaces(x, 2);
    const double scale = std::pow(10.0, 2 - std::floor(std::log10(x)));
    return std::nearbyint(x * scale) / scale;
}

// A count of draws: every digit while a double counts one by one, then 15
// significant digits in the program's exponent form.
std::string DrawsText(double draws)
{
    return draws < 0x1p53 ? PrintStyleNumber(static_cast<std::int64_t>(draws)) : PrintStyleNumber(draws);
}

std::string OneIn(double chance)
{
    const double odds = 1.0 / chance;
    return " -> 1 in" + PrintStyleNumber(OddsFigure(odds));
}

} // namespace

double ChanceOfAtLeastOne(double p, double n)
{
    if (p >= 1) return 1.0;
    return -std::expm1(n * std::log1p(-p));
}

double DrawsForChance(double p, double c)
{
    if (p >= 1) return 1;
    const double estimate = std::max(1.0, std::ceil(std::log1p(-c) / std::log1p(-p)));
    if (!(estimate < 0x1p53)) return estimate;
    // The logarithms may put the estimate one off either way at a boundary.
    double n = estimate;
    for (int step = 0; step < 4 && n > 1 && ChanceOfAtLeastOne(p, n - 1) >= c; ++step) --n;
    for (int step = 0; step < 4 && ChanceOfAtLeastOne(p, n) < c; ++step) ++n;
    return n;
}

std::optional<std::string> ManyDrawsRefusal(const Rational& p)
{
    if (p <= 0) return "that chance is 0: no number of draws wins it";
    if (p.convert_to<double>() < 1e-300) return "that chance is below 1 in 1E+300, too small to count draws for";
    return std::nullopt;
}

std::string ChancePercent(double chance)
{
    const double percent = chance * 100;
    if (percent > 0 && percent < 0.01) return PrintStyleNumber(SignificantNumber(percent)) + "%";
    if (percent < 100 && RoundPlaces(percent, 2) >= 100) return " above 99.99 %";
    return PrintStyleNumber(RoundPlaces(percent, 2)) + "%";
}

ManyDraws ComputeManyDraws(const ManyDrawsInput& input)
{
    ManyDraws r;
    r.input = input;
    const double p = input.p.convert_to<double>();
    r.atLeastOnce = ChanceOfAtLeastOne(p, static_cast<double>(input.draws));
    r.noWin = p >= 1 ? 0.0 : std::exp(static_cast<double>(input.draws) * std::log1p(-p));
    r.expectedWins = input.p * input.draws;
    r.drawsFor50 = DrawsForChance(p, 0.5);
    r.drawsFor90 = DrawsForChance(p, 0.9);
    r.drawsFor99 = DrawsForChance(p, 0.99);
    return r;
}

std::string ManyDrawsReport(const ManyDraws& r)
{
    Report out;
    out.blank();
    out.line(" The chance of winning at least once: ", r.input.what);
    out.line(" One draw: 1 in", PrintStyleNumber(OneInFigure(r.input.p)), " p = ", FractionText(r.input.p));
    out.line(" Draws (or tickets), each independent:", r.input.draws);
    out.blank(2);
    // A chance below 1 that a double rounds to 1 is still below 100 %.
    const bool certain = r.input.p >= 1;
    out.line("~ At least one win in", r.input.draws, "draws", OneIn(r.atLeastOnce), " =",
             r.atLeastOnce >= 1 && !certain ? std::string(" above 99.99 %") : ChancePercent(r.atLeastOnce));
    if (certain) {
        out.line("~ No win in", r.input.draws, "draws -> 0 (impossible)");
    } else if (r.noWin > 0) {
        // A chance of winning too small for a double leaves (1 - p)^n at 1:
        // still not certain.
        out.line("~ No win in", r.input.draws, "draws", OneIn(r.noWin), " =",
                 r.noWin >= 1 && r.atLeastOnce > 0 ? std::string(" above 99.99 %") : ChancePercent(r.noWin));
    } else {
        out.line("~ No win in", r.input.draws, "draws -> below 1 in 1E+300 = below 0.01 %");
    }
    const double expected = r.expectedWins.convert_to<double>();
    out.line("~ Expected number of wins:", SignificantNumber(expected), " (exactly ", FractionText(r.expectedWins),
             ")");
    out.blank();
    out.line("~ Draws needed for a 50 % chance:", DrawsText(r.drawsFor50));
    out.line("~ Draws needed for a 90 % chance:", DrawsText(r.drawsFor90));
    out.line("~ Draws needed for a 99 % chance:", DrawsText(r.drawsFor99));
    out.blank();
    out.line(" Computed as 1 - (1 - p)^n = -expm1(n log1p(-p)), which keeps every digit for");
    out.line(" the smallest chances and never passes 100 %.");
    out.blank();
    return out.take();
}

std::string ManyDrawsJson(const ManyDraws& r)
{
    nlohmann::ordered_json j;
    j["schema"] = "fortelle-many-draws/1";
    j["what"] = r.input.what;
    j["probability"] = FractionText(r.input.p);
    j["draws"] = r.input.draws;
    j["at_least_once"] = r.atLeastOnce;
    j["at_least_once_odds"] = 1.0 / r.atLeastOnce;
    j["expected_wins"] = FractionText(r.expectedWins);
    for (const auto& [key, draws] : {std::pair{"draws_for_50", r.drawsFor50}, std::pair{"draws_for_90", r.drawsFor90},
                                     std::pair{"draws_for_99", r.drawsFor99}}) {
        if (draws < 0x1p53) {
            j[key] = static_cast<std::int64_t>(draws);
        } else {
            j[key] = draws;
        }
    }
    return j.dump(2) + "\n";
}

} // namespace fortelle
