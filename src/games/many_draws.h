// The chance of winning at least once in many independent draws (or with
// many tickets), the expected number of wins, and the draws needed for a
// 50, 90 and 99 % chance.
//
// 1 - (1 - p)^n is computed as -expm1(n log1p(-p)): plain doubles would
// lose every digit once p is near 1E-12, and a sum n p would pass 100 %.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "games/game_odds.h"

namespace fortelle {

struct ManyDrawsInput {
    std::string what;       // "US Powerball, tier 5+PB" or "1 in 1000"
    Rational p = 0;         // 0 < p <= 1
    std::int64_t draws = 0; // 1 or more
};

struct ManyDraws {
    ManyDrawsInput input;
    double atLeastOnce = 0;    // never above 1
    double noWin = 1;          // (1 - p)^n, computed on its own for its digits
    Rational expectedWins = 0; // n p, exact
    // Whole numbers; from 2^53 on, counted to 15 significant digits.
    double drawsFor50 = 0, drawsFor90 = 0, drawsFor99 = 0;
};

inline constexpr std::int64_t kMostDraws = 1'000'000'000'000LL;

// The chance of at least one win in n draws.
double ChanceOfAtLeastOne(double p, double n);
// The fewest draws that give at least the chance `c` (0 < c < 1). Beyond
// 2^53 draws, where a double no longer counts one by one, the count to 15
// significant digits.
double DrawsForChance(double p, double c);

// Why a chance cannot be counted over many draws (it is 0, or below what a
// double holds), or nothing when it can.
std::optional<std::string> ManyDrawsRefusal(const Rational& p);

ManyDraws ComputeManyDraws(const ManyDrawsInput& input);
std::string ManyDrawsReport(const ManyDraws& result);
std::string ManyDrawsJson(const ManyDraws& result);

// A chance as a percentage for a report: 2 places, with "below 0.01 %" and
// "above 99.99 %" where 2 places would show 0 or 100 for what is neither.
std::string ChancePercent(double chance);

} // namespace fortelle
