// Soccer pools 1X2 and American sports parlays: one row per count of games,
// the odds being 3 (or 2) to the power of that count.
#pragma once

#include <cstdint>
#include <string>

#include "shell/calculator.h"
#include "shell/print_style.h"

namespace fortelle {

// The most games a pool or parlay report takes: a million rows reach the
// box in a few seconds; larger answers are brought down to it.
inline constexpr std::int32_t kMostGames = 1'000'000;

// Powers of a small whole base, row after row, to 15 significant digits far
// beyond the double range. The significand is carried as a double-double
// (about 32 digits), so a million steps stay exact to the last digit shown.
class PowerSteps {
public:
    explicit PowerSteps(int base) : base_(base) {}
    // Moves from base^k to base^(k+1).
    void step();
    Figure15 figure() const;

private:
    int base_;
    double hi_ = 1.0;
    double lo_ = 0.0;
    std::int64_t exponent_ = 0;
};

std::string SoccerReport(std::int32_t games);
std::string ParlayReport(std::int32_t games);

const WholeNumberCalculator& SoccerCalculator();
const WholeNumberCalculator& ParlayCalculator();

} // namespace fortelle
