// Pari-mutuel payoffs, as racing regulations compute them (the "standard
// price calculation"): the takeout comes off the gross pool; what was bet on
// the finishers that pay is taken from the net pool, leaving the profit;
// the profit is split among the finishers that pay (halves in a place pool,
// thirds in a show pool, a dead heat sharing the parts of the places it
// covers); each finisher's part divided by the amount bet on it is the
// profit per dollar, which is rounded down to the breakage (10 or 5 cents)
// and paid with the dollar staked, never below the minimum payoff.
// Prices are worked per dollar and quoted per base stake (2 dollars in the
// United States). What the rounding keeps is the breakage; when the payoffs
// exceed the net pool, the operator pays the difference (a minus pool).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "racing/jurisdictions.h"
#include "racing/tickets.h"

namespace fortelle::racing {

struct PayoffInput {
    BetType pool = BetType::Win;
    Rational gross = 0;               // every wager in the pool, refunds taken out
    std::string amounts;              // bet on each finisher that pays, in finishing order: "5000/3000", "800=500"
    std::string jurisdiction;         // an id of the rules table, or ""
    std::optional<Rational> takeout;  // a fraction (0.18); else the table's
    std::optional<Rational> breakage; // per dollar; else the table's, else 0.10
    std::optional<Rational> minimum;  // per base stake, stake included; else the table's (per dollar)
    Rational base = 2;
};

struct FinisherPayoff {
    std::size_t position = 0; // the first place its group covers (1, 2, 3)
    bool deadHeat = false;
    Rational bet = 0;   // amount bet on it in this pool
    Rational share = 0; // its part of the profit
    Rational profitPerDollar = 0;
    Rational unbroken = 0; // per dollar, stake included
    Rational broken = 0;   // rounded down to the breakage
    Rational paid = 0;     // per dollar, after the minimum
    bool minimumPaid = false;
};

struct PayoffResult {
    PayoffInput input;
    const Jurisdiction* rules = nullptr;
    Rational takeout = 0, breakage = 0; // as applied
    std::optional<Rational> minimum;    // per dollar, as applied
    bool breakageDefaulted = false;
    bool minusPoolMinimum = false; // the lower minimum of a minus pool was applied
    Rational takeoutAmount = 0, net = 0, onFinishers = 0, profit = 0;
    std::vector<FinisherPayoff> finishers;
    // kept: the net pool less the payoffs (the breakage, after any minimum);
    // minusPool: what the payoffs exceed the net pool by.
    Rational paidOut = 0, kept = 0, minusPool = 0;
};

// Refuses (InputProblem) amounts, rates or rules that cannot be used.
PayoffResult ComputePayoff(const PayoffInput& input);

std::string PayoffReport(const PayoffResult& result);
// The report's table of finishers, its first row the column names.
std::vector<std::vector<std::string>> FinisherTable(const PayoffResult& result);
std::string PayoffJson(const PayoffResult& result);

} // namespace fortelle::racing
