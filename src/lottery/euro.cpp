#include "lottery/euro.h"

#include <cmath>

#include "lottery/combinations.h"
#include "shell/report.h"

namespace fortelle {
namespace {

constexpr std::int32_t kFirstDraw = 5;
constexpr std::int32_t kSecondDraw = 2;

} // namespace

std::string EuroReport(const EuroGame& g)
{
    const Game first(g.N1, kFirstDraw, g.P1);
    const Game second(g.N2, kSecondDraw, g.P2);

    Report r;
    r.blank();
    r.line(" The odds calculated as EXACTLY in a Euro Millions game");
    r.line(" '", BareDigits(kFirstDraw), "/", BareDigits(g.N1), " AND ", BareDigits(kSecondDraw), "/", BareDigits(g.N2),
           "':");
    r.blank(2);

    for (std::int32_t m1 = 0; m1 <= kFirstDraw; ++m1) {
        // A first-set count with no way to be drawn ends its group at once;
        // the doubles that cannot carry it are settled exactly.
        const double x1 = first.exactOdds(m1);
        if (first.impossible(m1) || (!std::isfinite(x1) && !first.exactOddsFigure(m1))) {
            r.line("~", m1, "of", kFirstDraw, "in", g.P1, "from", g.N1, " -> 0 (impossible)");
            continue;
        }
        // Odds below one are no chance at all: each row they would show is
        // the impossible row of the set that gives them.
        const bool firstBelowOne = BelowOne(x1, [&] { return first.belowOne(OddsTable::Exactly, m1); });
        for (std::int32_t m2 = 0; m2 <= kSecondDraw; ++m2) {
            const double x2 = second.exactOdds(m2);
            if (second.impossible(m2) || BelowOne(x2, [&] { return second.belowOne(OddsTable::Exactly, m2); })) {
                r.line("~", m2, "of", kSecondDraw, "in", g.P2, "from", g.N2, " -> 0 (impossible)");
                continue;
            }
            if (firstBelowOne) {
                r.line("~", m1, "of", kFirstDraw, "in", g.P1, "from", g.N1, " -> 0 (impossible)");
                continue;
            }
            // Both sets' odds are one or more, so their product is too.
            const double x = RoundOdds(x1 * x2);
            const std::optional<Figure15> odds =
                std::isfinite(x) ? std::optional(ToFigure15(x)) : CombinedOddsFigure(first, m1, second, m2);
            r.line("~", m1, "of", kFirstDraw, "in", g.P1, "from", g.N1, " AND ", m2, "of", kSecondDraw, "in", g.P2,
                   "from", g.N2, " -> 1 in", *odds);
        }
    }
    r.blank();
    return r.take();
}

const WholeNumberCalculator& EuroCalculator()
{
    static const WholeNumberCalculator calculator{
        .parameterFile = "EuroOdds.INI",
        .layout = {2, 2},
        .defaults = {50, 5, 11, 2},
        .prompts =
            {
                {"Biggest Number 1st Ballset", PromptLines({" Calculate the odds of Euro Millions ",
                                                            " Enter the BIGGEST number in the 1st ballset - ",
                                                            " for example 10, 12, 35, 49, 50, etc. "})},
                {"Pool of Numbers 1st Ballset",
                 PromptLines({" You can select numbers from a group (pool) - ",
                              " For example, play from a pool of 15 in the 1st set;",
                              " or you can select just 5 numbers in the 1st set;", " How many numbers in the pool - ",
                              " for example 6, 10, 35, 49, 54, etc. "})},
                {"Biggest Number 2nd Ballset",
                 PromptLines({" Calculate the odds of Euro Millions ",
                              " Enter the BIGGEST number in the 2nd ballset - ", " for example 9, 11, etc. "})},
                {"Pool of Numbers 2nd Ballset",
                 PromptLines({" You can select numbers from a group (pool) - ",
                              " For example, play from a pool of 11 in the 2nd set;",
                              " or you can select just 2 numbers in the 2nd set;", " How many numbers in the pool - ",
                              " for example 2, 9, etc. "})},
            },
        .prepareBoxFirst = true,
        // The values are taken as they come: no exchange, no raise.
        .accept = [](WholeValues v) { return v; },
        .report =
            [](const WholeValues& v) {
                return EuroReport({v[0], v[1], v[2], v[3]});
            },
    };
    return calculator;
}

} // namespace fortelle
