#include "lottery/lotto.h"

#include <utility>

#include "lottery/combinations.h"
#include "shell/report.h"

namespace fortelle {

LottoGame NormaliseLotto(LottoGame g)
{
    if (g.N < g.k) std::swap(g.N, g.k);
    if (g.k > kMostDrawn) g.k = kMostDrawn;
    if (g.p < g.k) g.p = g.k;
    return g;
}

std::string LottoReport(const LottoGame& g)
{
    const Game game(g.N, g.k, g.p);
    const std::string label = BareDigits(g.k) + "/" + BareDigits(g.N) + "':";

    Report r;
    r.blank();
    r.line(" The odds calculated as EXACTLY in a lotto game '", label);
    r.blank(2);
    WriteOddsRows(r, game, OddsTable::Exactly, 1, " -> 1 in", " -> 0 (impossible)");
    r.blank(2);
    r.line(" The odds calculated as AT LEAST in a lotto game '", label);
    r.blank(2);
    WriteOddsRows(r, game, OddsTable::AtLeast, 1, " -> 1 in", " -> 0 (impossible)");
    r.blank();
    return r.take();
}

const WholeNumberCalculator& LottoCalculator()
{
    static const WholeNumberCalculator calculator{
        .parameterFile = "Lotto.INI",
        .layout = {1, 1, 1},
        .defaults = {49, 6, 12},
        .prompts =
            {
                {"Biggest Lotto/Keno Number",
                 PromptLines({" Calculate the odds of lotto and Keno games ",
                              " Enter the BIGGEST number in the game - ", " for example 10, 12, 35, 49, 54, etc. "})},
                {"Numbers Per Combination",
                 PromptLines({" Calculate the odds of lotto and Keno games ", " How many numbers in a combination - ",
                              " for example 5, 6, 7, etc. "})},
                {"Pool of Numbers",
                 PromptLines({" You can select numbers from a group (pool) - ",
                              " For example, play from a pool of 18 in lotto-6;",
                              " or you can select just 6 numbers in lotto-6;", " How many numbers in the pool - ",
                              " for example 6, 10, 35, 49, 54, etc. "})},
            },
        .prepareBoxFirst = false, // the file is read before the box is prepared
        .accept =
            [](WholeValues v) {
                const LottoGame g = NormaliseLotto({v[0], v[1], v[2]});
                return WholeValues{g.N, g.k, g.p};
            },
        .report =
            [](const WholeValues& v) {
                return LottoReport({v[0], v[1], v[2]});
            },
    };
    return calculator;
}

} // namespace fortelle
