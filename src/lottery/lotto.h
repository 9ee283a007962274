// Lotto and Keno: the odds of exactly and of at least m of the k drawn
// numbers falling into a pool of p played, out of the numbers 1 to N.
#pragma once

#include <cstdint>
#include <string>

#include "shell/calculator.h"

namespace fortelle {

// The most numbers a game may draw. Every accepted game reports within a
// second or two, exact rows included; a larger k is brought down to this.
inline constexpr std::int32_t kMostDrawn = 1000;

struct LottoGame {
    std::int32_t N, k, p;
};

// N and k exchanged when N < k; k capped; the pool raised to k. Powerball
// treats its regular numbers the same way.
LottoGame NormaliseLotto(LottoGame game);

std::string LottoReport(const LottoGame& game);
const WholeNumberCalculator& LottoCalculator();

} // namespace fortelle
