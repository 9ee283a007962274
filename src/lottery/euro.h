// Two-ballset games in the Euro Millions shape: 5 numbers drawn from 1..N1
// and 2 from 1..N2, pools of P1 and P2 played.
#pragma once

#include <cstdint>
#include <string>

#include "shell/calculator.h"

namespace fortelle {

struct EuroGame {
    std::int32_t N1, P1, N2, P2;
};

std::string EuroReport(const EuroGame& game);
const WholeNumberCalculator& EuroCalculator();

} // namespace fortelle
