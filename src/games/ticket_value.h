// What a ticket of a named game is worth: every tier's prize after sharing,
// the cash option and tax, weighed by its exact chance; the return per unit
// staked; and the advertised jackpot at which a ticket breaks even.
//
// Fixed prizes, free tickets and amounts a winner receives whole are exact
// fractions. A shared prize's expected share involves e^-mean: it is
// computed to 50 significant digits, and a figure is printed only when the
// computation's error (far below 1E-30 of it) cannot change a printed digit.
#pragma once

#include <boost/multiprecision/cpp_bin_float.hpp>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "games/game_odds.h"

namespace fortelle {

using Real = boost::multiprecision::cpp_bin_float_50;

// The largest amount the value takes (a jackpot, a price, a prize, a pool, a
// tax threshold): far above any real one, and small enough that every
// figure stays within the report's two decimal places.
inline const Rational kMostValueAmount = Rational(BigInt("1000000000000000"));
inline constexpr std::string_view kMostValueAmountText = "1E+15";

struct ValueAssumptions {
    Rational jackpot = 0;                   // advertised (annuity) jackpot
    std::optional<Rational> price;          // nothing: the game file's price
    Rational cash = 1;                      // cash option, a fraction of the jackpot
    Rational taxRate = 0;                   // 0 to 1
    std::optional<Rational> taxAbove;       // prizes above it are taxed whole; nothing: no tax
    Rational ticketsSold = 0;               // other tickets in the draw
    std::map<std::string, Rational> prizes; // by tier name: what one winner receives
    std::map<std::string, Rational> pools;  // by tier name: a pari-mutuel tier's whole pool, shared
};

// Where a tier's amount comes from.
enum class AmountSource {
    None,        // a pari-mutuel tier left out: no amount
    GameFile,    // the game file's fixed prize (or the jackpot entered)
    FreeTicket,  // a free ticket, worth the ticket's price
    Entered,     // --prize: what one winner receives
    EnteredPool, // --pool: the tier's whole pool, shared
    PrizeFund,   // the game's prize fund share of the draw's sales, shared
    Typical,     // the game file's typical amount per winner
};

struct TierValue {
    bool counted = false; // false: a pari-mutuel tier with no amount
    bool shared = false;  // split among the draw's winners
    AmountSource source = AmountSource::None;
    Rational lambda = 0; // the expected number of other winners: tickets x chance
    Rational pool = 0;   // shared: the prize or pool split among the winners
    Rational perWin = 0; // what a winner receives on average, after everything
    Rational adds = 0;   // p * perWin
    bool exact = true;   // perWin and adds are exact (nothing shared)
};

struct BreakEven {
    enum class Kind { Jackpot, AnyJackpot, Unreachable, NoJackpotTier } kind = Kind::NoJackpotTier;
    Rational jackpot = 0;   // advertised; Jackpot: the least that breaks even; Unreachable: the best
    Rational bestValue = 0; // Unreachable: the value of a ticket at the best jackpot
    bool exact = true;
};

struct TicketValue {
    GameOdds odds;
    ValueAssumptions assumed;
    Rational price = 0;
    std::vector<TierValue> tiers;
    Rational value = 0;      // expected value of one ticket
    Rational returnRate = 0; // value / price
    bool exact = true;       // value and returnRate are exact fractions
    int leftOut = 0;         // tiers without an amount: the value is partial
    // The multiplier's expected factor on every prize but the jackpot; when
    // the chances are not published, the least factor (a lower bound).
    std::optional<Rational> multiplier;
    bool multiplierIsLeast = false;
    BreakEven breakEven;
    // A printed figure the computation's error could change (never seen;
    // reported rather than printed wrong).
    bool uncertain = false;
    // The value and the return alone are among them (a chart, which shows
    // only these, can still draw the others: a tier's share of the value
    // at a break-even jackpot may sit on a tie).
    bool valueUncertain = false;
};

// The reasons a set of entries is refused, one line each; empty when fine.
std::string CheckValueAssumptions(const GameDefinition& game, const ValueAssumptions& assumed);

// Entries must have passed CheckValueAssumptions.
TicketValue ComputeTicketValue(const GameDefinition& game, const ValueAssumptions& assumed);

// The plain answer the report starts with: what a ticket returns on
// average and what you lose or gain, marked partial when it is a bound.
std::string TicketValueVerdict(const TicketValue& value);
std::string TicketValueReport(const TicketValue& value);
std::string TicketValueJson(const TicketValue& value);

// The expected amount a winner keeps of a prize `amount` shared with the
// other winners of the draw, their number Poisson with mean `lambda`, each
// share taxed at `rate` when it is above `above` (no tax: rate 0). With
// lambda 0 it is the prize itself, taxed or not. To 50 digits for any lambda.
Real ExpectedShareAfterTax(const Real& amount, const Real& lambda, const Real& rate, const std::optional<Real>& above);

// The exact value of a double, and of a 50-digit number.
Rational RationalOf(double x);
Rational RationalOf(const Real& x);

} // namespace fortelle
