#include "wagers/horses.h"

#include "shell/report.h"

namespace fortelle {

std::string HorsesReport(std::int32_t horses)
{
    // Each product starts from 1.0 and takes its factors smallest first.
    const double n = horses;
    const double win = 1.0 * n;
    const double exacta = 1.0 * (n - 1) * n;
    const double trifecta = 1.0 * (n - 2) * (n - 1) * n;
    const double superfecta = 1.0 * (n - 3) * (n - 2) * (n - 1) * n;
    const double quinfecta = 1.0 * (n - 4) * (n - 3) * (n - 2) * (n - 1) * n;

    Report r;
    r.blank();
    r.line(" The odds in horseracing,", horses, "horses in the race:");
    r.blank(2);
    r.line(" - to win probability (top 1) -> 1 in", win);
    r.line(" - exacta probability (top 2) -> 1 in", exacta);
    r.line(" - trifecta probability (top 3) -> 1 in", trifecta);
    r.line(" - superfecta probability (top 4) -> 1 in", superfecta);
    r.line(" - quinfecta probability (top 5) -> 1 in", quinfecta);
    return r.take();
}

const WholeNumberCalculator& HorsesCalculator()
{
    static const WholeNumberCalculator calculator{
        .parameterFile = "Horses.INI",
        .layout = {1},
        .defaults = {8},
        .prompts = {{"Number of Horses in the Race",
                     PromptLines({" Calculate the odds of win, exacta, trifecta, superfecta.", "",
                                  " How many horses in the race - ", " for example 6, 8, 12, 17, 20, etc. "})}},
        .prepareBoxFirst = true,
        .accept =
            [](WholeValues v) {
                if (v[0] < kFewestHorses) v[0] = kFewestHorses;
                return v;
            },
        .report = [](const WholeValues& v) { return HorsesReport(v[0]); },
    };
    return calculator;
}

} // namespace fortelle
