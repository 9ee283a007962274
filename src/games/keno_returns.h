// What a Keno pay table returns: the return to player and house edge
// (exact), the standard deviation of one game's result, and the chance of
// being behind after n games (games/chance_behind.h).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "games/chance_behind.h"
#include "games/game_odds.h"

namespace fortelle {

// Catch count -> pay per unit staked (what comes back, stake included).
using PayTable = std::map<int, Rational>;

// A pay table as text, written one way wherever a person types or reads
// one: CATCH=PAY pairs separated by commas ("5=9,6=95,7=1480,8=18000").
// Blanks are ignored; a catch left out pays nothing. `problem` says what is
// wrong (lower case, no full stop), or is empty.
struct PayTableReading {
    PayTable pays;
    std::string problem;
};
PayTableReading ReadPayTable(std::string_view text, int spots);
// A game file's table for `spots` in that form, its pays as the file wrote
// them; empty when it has none.
std::string PayTableText(const GameDefinition& game, int spots);

struct KenoReturn {
    GameOdds odds; // one tier per catch count
    PayTable pays;
    bool typedTable = false; // entered, not from the game file
    std::int64_t games = 0;
    Rational returnToPlayer = 0; // expected pay per unit
    Rational houseEdge = 0;
    Rational variance = 0; // of one game's result, in units squared
    ChanceBehind behind;   // of returns below stakes after `games` games
    bool stopped = false;  // `going` asked to stop: the chance behind is not known
};

inline constexpr std::int64_t kMostGames = 1'000'000;

// `going`, when given, is told the fraction done as the chance of being
// behind is computed, and stops it by returning false.
KenoReturn ComputeKenoReturn(const GameDefinition& game, int spots, const PayTable& pays, bool typed,
                             std::int64_t games, const std::function<bool(double)>& going = {});

// The plain answer the report starts with: what a stake of one returns on
// average and the chance of being behind after the games.
std::string KenoReturnVerdict(const KenoReturn& result);
std::string KenoReturnReport(const KenoReturn& result);
std::string KenoReturnJson(const KenoReturn& result);

// The square root of v >= 0 as a report figure (RoundedFigure's rounding),
// every digit right.
Figure15 SquareRootFigure(const Rational& v);

} // namespace fortelle
