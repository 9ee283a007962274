// What a ticket of a named game is worth: every tier's prize after sharing,
// the cash option and tax, weighed by its exact chance; the return per unit
// staked; and the advertised jackpot at which a ticket breaks even.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "games/game_odds.h"

namespace fortelle {

struct ValueAssumptions {
    Rational jackpot = 0;                   // advertised (annuity) jackpot
    std::optional<Rational> price;          // nothing: the game file's price
    Rational cash = 1;                      // cash option, a fraction of the jackpot
    Rational taxRate = 0;                   // 0 to 1
    std::optional<Rational> taxAbove;       // prizes above it are taxed whole; nothing: no tax
    Rational ticketsSold = 0;               // other tickets in the draw
    std::map<std::string, Rational> prizes; // by tier name: fixed overrides, pari-mutuel amounts
};

struct TierValue {
    bool counted = false; // false: a pari-mutuel tier with no amount given
    bool shared = false;  // split among the draw's winners
    double lambda = 0;    // the expected number of other winners
    Rational perWin = 0;  // what a winner receives on average, after everything
    Rational adds = 0;    // p * perWin
};

struct BreakEven {
    enum class Kind { Jackpot, AnyJackpot, Unreachable, NoJackpotTier } kind = Kind::NoJackpotTier;
    Rational jackpot = 0;   // advertised; Jackpot: the least that breaks even; Unreachable: the best
    Rational bestValue = 0; // Unreachable: the value of a ticket at the best jackpot
};

struct TicketValue {
    GameOdds odds;
    ValueAssumptions assumed;
    Rational price = 0;
    std::vector<TierValue> tiers;
    Rational value = 0;      // expected value of one ticket
    Rational returnRate = 0; // value / price
    BreakEven breakEven;
};

// The reasons a set of entries is refused, one line each; empty when fine.
std::string CheckValueAssumptions(const GameDefinition& game, const ValueAssumptions& assumed);

// Entries must have passed CheckValueAssumptions.
TicketValue ComputeTicketValue(const GameDefinition& game, const ValueAssumptions& assumed);

std::string TicketValueReport(const TicketValue& value);
std::string TicketValueJson(const TicketValue& value);

// The expected amount a winner keeps of a prize `amount` shared with the
// other winners of the draw, their number Poisson with mean `lambda`, each
// share taxed at `rate` when it is above `above` (no tax: rate 0). With
// lambda 0 it is the prize itself, taxed or not. Stable for any lambda.
double ExpectedShareAfterTax(double amount, double lambda, double rate, std::optional<double> above);

// The expected share of a prize split among the winners: (1 - e^-lambda) /
// lambda, 1 at lambda 0.
double ExpectedShare(double lambda);

// The exact value of a double.
Rational RationalOf(double x);

} // namespace fortelle
