// The chance of winning at least once in many independent draws, the
// expected number of wins, and the draws needed for a 50, 90 and 99 %
// chance; with one ticket in each draw, or several different tickets.
//
// Several tickets in one draw are not independent draws: for a prize that
// one combination wins (every number of every drum matched, a ticket
// picking as many as are drawn), different tickets never win it together,
// so k of them win with exactly k times one ticket's chance p. Over n
// draws that gives 1 - (1 - k p)^n. Other prizes can be won by several
// tickets of one draw at once; they are counted one ticket per draw.
//
// 1 - (1 - q)^n is computed as -expm1(n log1p(-q)) with 100 significant
// digits, and every figure is rounded from there with its error bound
// (games/precise.h): where the bound reaches a rounding boundary, (1 - q)^n
// is computed exactly when that is small enough, so every digit printed is
// right.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "games/game_odds.h"
#include "games/precise.h"

namespace fortelle {

struct ManyDrawsInput {
    std::string what;         // "US Powerball, tier 5+PB" or "1 in 1000"
    Rational p = 0;           // one ticket's chance, 0 < p <= 1
    std::int64_t draws = 0;   // 1 or more
    std::int64_t tickets = 1; // different tickets in each draw, tickets p <= 1
    bool typedOdds = false;   // p was typed, not a game's tier
    // The game's draw schedule and ticket price, where it has them: counts
    // of draws are then also shown as time and money.
    std::optional<Rational> drawsPerWeek{};
    std::string drawsPerWeekText{}; // as the game file writes it: "3"
    std::optional<Rational> price{};
    std::string currency{};
};

// The schedule and price of a game's draws (a Keno game's pays are per
// unit staked: no price).
void SetSchedule(ManyDrawsInput& input, const GameDefinition& game);

// A count of draws: every digit below 1E+60, where 100 digits prove it;
// beyond, its 15 significant digits.
struct DrawCount {
    std::optional<BigInt> exact;
    Figure15 about;
};

struct ManyDraws {
    ManyDrawsInput input;
    Rational perDraw = 0; // tickets p
    bool certain = false; // perDraw is 1
    // At least one win in n draws, and none: "1 in X" and the percentage.
    Figure15 atLeastOdds, atLeastPercent, noWinOdds, noWinPercent;
    bool noWinTiny = false; // below 1E-100 %: the percentage not shown
    double atLeastOnce = 0; // the nearest double, for JSON
    double atLeastOnceOdds = 0;
    Rational expectedWins = 0; // n tickets p, exact
    DrawCount drawsFor50, drawsFor90, drawsFor99;
};

inline constexpr std::int64_t kMostDraws = 1'000'000'000'000LL;

// The smallest n >= 1 with 1 - (1 - q)^n >= c, for 0 < q <= 1, 0 < c < 1.
DrawCount DrawsForChance(const Rational& q, const Rational& c);

// Why a chance cannot be counted over many draws (it is 0, or below 1 in
// 1E+300), or nothing when it can.
std::optional<std::string> ManyDrawsRefusal(const Rational& p);

// Whether different tickets of one draw never win the tier together: it
// asks every number of every drum, and a ticket picks as many as are drawn.
bool OneCombinationWins(const GameOdds& odds, std::size_t tier);

ManyDraws ComputeManyDraws(const ManyDrawsInput& input);
// The plain answer the report starts with: the chance over the draws and
// the draws an even chance takes, as time and money where they are known.
std::string ManyDrawsVerdict(const ManyDraws& result);
// What a count of draws comes to: "about 1,294,162 years at 3 draws a
// week, 405,077,068 USD"; empty without a schedule and a price.
std::string TimeAndMoney(const DrawCount& draws, const ManyDrawsInput& input);
std::string ManyDrawsReport(const ManyDraws& result);
std::string ManyDrawsJson(const ManyDraws& result);

} // namespace fortelle
