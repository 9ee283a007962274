#include "wagers/pools.h"

#include <cmath>
#include <string_view>

#include "shell/report.h"

namespace fortelle {
namespace {

// Error-free sum of two doubles when |a| >= |b|.
void FastTwoSum(double a, double b, double& sum, double& error)
{
    sum = a + b;
    error = b - (sum - a);
}

std::string PowerReport(int base, std::string_view headerLead, std::string_view rowLead, std::int32_t games)
{
    Report r;
    // A row is about 40 characters; reserve once for the whole report.
    r.reserve(static_cast<std::size_t>(games + 1) * (rowLead.size() + 40) + 128);
    r.blank();
    r.line(headerLead, games, "games:");
    r.blank(2);

    // "of", then the number of games: the same on every row.
    const std::string ofGames = "of" + PrintStyleNumber(static_cast<std::int64_t>(games));
    PowerSteps exact(base);
    for (std::int32_t k = 0; k <= games; ++k) {
        // While the double power is finite the row shows it, rounded to two
        // places as every odds figure is; beyond, the exact figure.
        const double power = std::pow(static_cast<double>(base), static_cast<double>(k));
        if (std::isfinite(power)) {
            r.line(rowLead, k, ofGames, " -> 1 in", RoundPlaces(power, 2));
        } else {
            r.line(rowLead, k, ofGames, " -> 1 in", exact.figure());
        }
        exact.step();
    }
    return r.take();
}

WholeValues AcceptGames(WholeValues v, std::int32_t replacement)
{
    if (v[0] < 1) v[0] = replacement;
    if (v[0] > kMostGames) v[0] = kMostGames;
    return v;
}

} // namespace

void PowerSteps::step()
{
    const double b = base_;
    const double product = hi_ * b;
    const double productError = std::fma(hi_, b, -product);
    FastTwoSum(product, lo_ * b + productError, hi_, lo_);
    if (hi_ >= 10.0) {
        const double quotient = hi_ / 10.0;
        const double remainder = std::fma(-quotient, 10.0, hi_); // exact
        FastTwoSum(quotient, (remainder + lo_) / 10.0, hi_, lo_);
        ++exponent_;
    }
}

Figure15 PowerSteps::figure() const { return Figure15FromScaled(hi_, lo_, exponent_, false); }

std::string SoccerReport(std::int32_t games)
{
    return PowerReport(3, " The AT LEAST odds in soccer pools 1X2 for", "~", games);
}

std::string ParlayReport(std::int32_t games)
{
    return PowerReport(2, " The AT LEAST odds in American sports betting,", " - parlay probability", games);
}

const WholeNumberCalculator& SoccerCalculator()
{
    static const WholeNumberCalculator calculator{
        .parameterFile = "SoccerBet.INI",
        .layout = {1},
        .defaults = {13},
        .prompts = {{"Number of Games To Pool",
                     PromptLines({" Calculate the odds in soccer pools 1X2 -",
                                  " i.e. choose one of three outcomes in the game:",
                                  " 1 = home victory; 2 = visiting victory; X = tie.", "", " How many games to pool - ",
                                  " for example 5, 8, 10, 13, etc. "})}},
        .prepareBoxFirst = true,
        .accept = [](WholeValues v) { return AcceptGames(std::move(v), 13); },
        .report = [](const WholeValues& v) { return SoccerReport(v[0]); },
    };
    return calculator;
}

const WholeNumberCalculator& ParlayCalculator()
{
    static const WholeNumberCalculator calculator{
        .parameterFile = "USBet.INI",
        .layout = {1},
        .defaults = {5},
        .prompts = {{"Number of Games To Parlay",
                     PromptLines({" Calculate the odds in American sports betting -",
                                  " i.e. choose one of the two teams in the game.", "", " How many games to parlay - ",
                                  " for example 2, 5, 8, 10, etc. "})}},
        .prepareBoxFirst = true,
        .accept = [](WholeValues v) { return AcceptGames(std::move(v), 2); },
        .report = [](const WholeValues& v) { return ParlayReport(v[0]); },
    };
    return calculator;
}

} // namespace fortelle
