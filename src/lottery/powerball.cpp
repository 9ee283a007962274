#include "lottery/powerball.h"

#include "lottery/combinations.h"
#include "lottery/lotto.h"
#include "shell/report.h"

namespace fortelle {

PowerballGame NormalisePowerball(PowerballGame g)
{
    const LottoGame regular = NormaliseLotto({g.N, g.k, g.p});
    return {regular.N, g.B, regular.k, regular.p};
}

std::string PowerballReport(const PowerballGame& g)
{
    const Game game(g.N, g.k, g.p);
    const std::string label = BareDigits(g.N) + "/" + BareDigits(g.k) + "/" + BareDigits(g.B) + "':";

    constexpr std::string_view kOdds = "plus the Powerball -> 1 in";
    constexpr std::string_view kImpossible = "plus the Powerball -> 0 (impossible)";
    Report r;
    r.blank();
    r.line(" The odds calculated as EXACTLY in a Powerball game '", label);
    r.blank(2);
    WriteOddsRows(r, game, OddsTable::Exactly, g.B, kOdds, kImpossible);
    r.blank(2);
    r.line(" The odds calculated as AT LEAST in a Powerball game '", label);
    r.blank(2);
    WriteOddsRows(r, game, OddsTable::AtLeast, g.B, kOdds, kImpossible);
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
                {"Biggest Regular Number", PromptLines({" Calculate the odds of Powerball games ",
                                                        " Enter the BIGGEST regular number in the game - ",
                                                        " for example 10, 12, 35, 49, 54, etc. "})},
                {"Biggest Powerball Number", PromptLines({" Calculate the odds of Powerball games ",
                                                          " Enter the BIGGEST Powerball number in the game - ",
                                                          " for example 10, 12, 35, 49, 54, etc. "})},
                {"Regular Numbers Per Combination",
                 PromptLines({" Calculate the odds of Powerball games ", " How many numbers in a combination - ",
                              " for example 4, 5, 6, etc. "})},
                {"Pool of Numbers",
                 PromptLines({" You can select numbers from a group (pool) - ",
                              " For example, play from a pool of 18 in Powerball_5+1;",
                              " or you can select just 6 numbers in Powerball_5+1;", " How many numbers in the pool - ",
                              " for example 6, 10, 35, 49, 54, etc. "})},
            },
        .prepareBoxFirst = true,
        .accept =
            [](WholeValues v) {
                const PowerballGame g = NormalisePowerball({v[0], v[1], v[2], v[3]});
                return WholeValues{g.N, g.B, g.k, g.p};
            },
        .report =
            [](const WholeValues& v) {
                return PowerballReport({v[0], v[1], v[2], v[3]});
            },
    };
    return calculator;
}

} // namespace fortelle
