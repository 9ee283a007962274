// Powerball: k regular numbers from 1..N plus one Powerball from 1..B.
#pragma once

#include <cstdint>
#include <string>

#include "shell/calculator.h"

namespace fortelle {

struct PowerballGame {
    std::int32_t N, B, k, p;
};

// N and k exchanged when N < k; k capped as in lotto; the pool raised to k.
PowerballGame NormalisePowerball(PowerballGame game);

std::string PowerballReport(const PowerballGame& game);
const WholeNumberCalculator& PowerballCalculator();

} // namespace fortelle
