// What a Keno pay table returns: the return to player and house edge
// (exact), the standard deviation of one game's result, and the chance of
// being behind after n games (games/chance_behind.h).
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "games/chance_behind.h"
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
    Rational variance = 0; // of one game's result, in units squared
    ChanceBehind behind;   // of returns below stakes after `games` games
};

inline constexpr std::int64_t kMostGames = 1'000'000;

KenoReturn ComputeKenoReturn(const GameDefinition& game, int spots, const PayTable& pays, bool typed,
                             std::int64_t games);

std::string KenoReturnReport(const KenoReturn& result);
std::string KenoReturnJson(const KenoReturn& result);

// The square root of v >= 0 as a report figure (RoundedFigure's rounding),
// every digit right.
Figure15 SquareRootFigure(const Rational& v);

} // namespace fortelle
