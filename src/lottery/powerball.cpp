#include "lottery/powerball.h"

#include <cmath>
#include <utility>

#include "lottery/combinations.h"
#include "lottery/lotto.h"
#include "shell/report.h"

namespace fortelle {

PowerballGame NormalisePowerball(PowerballGame g)
{
    if (g.N < g.k) std::swap(g.N, g.k);
    if (g.k > kMostDrawn) g.k = kMostDrawn;
    if (g.p < g.k) g.p = g.k;
    return g;
}

std::string PowerballReport(const PowerballGame& g)
{
    const Game game(g.N, g.k, g.p);
    const double B = g.B;
    const std::string label = BareDigits(g.N) + "/" + BareDigits(g.k) + "/" + BareDigits(g.B) + "':";

    Report r;
    auto row = [&](std::int32_t i, std::optional<Figure15> odds) {
        if (odds) {
            r.line("~", i, "of", g.k, "in", g.p, "from", g.N, "plus the Powerball -> 1 in", *odds);
        } else {
            r.line("~", i, "of", g.k, "in", g.p, "from", g.N, "plus the Powerball -> 0 (impossible)");
        }
    };

    r.blank();
    r.line(" The odds calculated as EXACTLY in a Powerball game '", label);
    r.blank(2);
    for (std::int32_t i = 0; i <= g.k; ++i) {
        if (game.impossible(i)) {
            row(i, std::nullopt);
            continue;
        }
        const double x = RoundOdds(game.exactOdds(i) * B);
        row(i, std::isfinite(x) ? std::optional(ToFigure15(x)) : game.exactOddsFigure(i, g.B));
    }
    r.blank(2);
    r.line(" The odds calculated as AT LEAST in a Powerball game '", label);
    r.blank(2);
    for (std::int32_t i = 0; i <= g.k; ++i) {
        const double y = RoundOdds(game.atLeastOdds(i) * B);
        row(i, std::isfinite(y) ? std::optional(ToFigure15(y)) : game.atLeastOddsFigure(i, g.B));
    }
    r.blank(2);
    r.line(" To calculate the odds without the Powerball: ");
    r.line(" - use lotto odds for", g.k, "in", g.p, "from", g.N);
    r.blank();
    return r.take();
}

const WholeNumberCalculator& PowerballCalculator()
{
    static const WholeNumberCalculator calculator{
        .parameterFile = "Power51.INI",
        .layout = {2, 2},
        .defaults = {69, 26, 5, 5},
        .prompts =
            {
                {"Biggest Regular Number",
                 PromptLines({" Calculate the odds of Powerball games ",
                              " Enter the BIGGEST regular number in the game - ",
                              " for example 10, 12, 35, 49, 54, etc. "})},
                {"Biggest Powerball Number",
                 PromptLines({" Calculate the odds of Powerball games ",
                              " Enter the BIGGEST Powerball number in the game - ",
                              " for example 10, 12, 35, 49, 54, etc. "})},
                {"Regular Numbers Per Combination",
                 PromptLines({" Calculate the odds of Powerball games ",
                              " How many numbers in a combination - ",
                              " for example 4, 5, 6, etc. "})},
                {"Pool of Numbers",
                 PromptLines({" You can select numbers from a group (pool) - ",
                              " For example, play from a pool of 18 in Powerball_5+1;",
                              " or you can select just 6 numbers in Powerball_5+1;",
                              " How many numbers in the pool - ",
                              " for example 6, 10, 35, 49, 54, etc. "})},
            },
        .prepareBoxFirst = true,
        .accept =
            [](WholeValues v) {
                const PowerballGame g = NormalisePowerball({v[0], v[1], v[2], v[3]});
                return WholeValues{g.N, g.B, g.k, g.p};
            },
        .report = [](const WholeValues& v) { return PowerballReport({v[0], v[1], v[2], v[3]}); },
    };
    return calculator;
}

} // namespace fortelle
