// What a Keno pay table returns: the return to player and house edge
// (exact), the standard deviation of one game's result, and the chance of
// being behind after n games.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "games/game_odds.h"

namespace fortelle {

// Catch count -> pay per unit staked (what comes back, stake included).
using PayTable = std::map<int, Rational>;

struct KenoReturn {
    GameOdds odds; // one tier per catch count
    PayTable pays;
    bool typedTable = false; // entered, not from the game file
    std::int64_t games = 0;
    Rational returnToPlayer = 0; // expected pay per unit
    Rational houseEdge = 0;
    double deviation = 0;         // of one game's result, in units
    double chanceBehind = 0;      // of returns below stakes after `games` games
    bool exactConvolution = true; // false: normal approximation
};

inline constexpr std::int64_t kExactGamesUpTo = 1000;
inline constexpr std::int64_t kMostGames = 1'000'000'000LL;

// The chance that `games` games return less than they staked: exact by
// convolution of the pay distribution up to kExactGamesUpTo games (when the
// pays fit a grid of at most a few million steps), otherwise the normal
// approximation with a continuity correction.
KenoReturn ComputeKenoReturn(const GameDefinition& game, int spots, const PayTable& pays, bool typed,
                             std::int64_t games);

std::string KenoReturnReport(const KenoReturn& result);
std::string KenoReturnJson(const KenoReturn& result);

} // namespace fortelle
