// How much to stake: the Kelly stake for a price and one's own chance, and
// stakes spread over several outcomes so that each returns the same
// (arbitrage across bookmakers, dutching a few selections).
//
// Kelly (1956): with the decimal price D, b = D - 1 and one's chance p, the
// share of the bankroll that maximises the expected logarithm of the
// bankroll is f* = (p D - 1) / b, the edge over the net odds; with no edge
// (p D <= 1) it stakes nothing. A fraction F of it (half Kelly, F = 1/2)
// gives up a little growth for much less risk (Thorp 2006; MacLean, Thorp
// and Ziemba 2010). The expected log growth of a bet of the share f is
// G(f) = p ln(1 + f b) + (1 - p) ln(1 - f), computed here in 50-digit
// arithmetic; e^G - 1 is the typical growth a bet.
//
// Equal returns: staking S in proportion to the implied chances,
// s_i = S (1/D_i) / B where B is their sum, makes every outcome return
// S / B. Over every outcome of an event at the best price each bookmaker
// offers, B < 1 is an arbitrage: a sure profit of S (1/B - 1).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "prices/price.h"

namespace fortelle::prices {

struct KellyQuestion {
    Conversion price;
    Rational chance = 0;              // one's own chance of winning, 0 < p < 1
    Rational fraction = 1;            // of the Kelly stake, 0 < F <= 1
    std::optional<Rational> bankroll; // nothing: stakes as shares only
};

// The problems of a question: the chance, the fraction or the bankroll
// out of range.
Problems KellyProblems(const KellyQuestion& q);

std::string KellyReport(const KellyQuestion& q);
std::string KellyJson(const KellyQuestion& q);

// One outcome's prices, one per bookmaker; the best is staked on.
struct Outcome {
    std::vector<Conversion> offers;
    std::size_t best = 0; // index of the highest decimal price
};

enum class Cover {
    Every, // the outcomes are all there are: an arbitrage question
    Some,  // selections only: dutching
};

struct SpreadQuestion {
    std::vector<Outcome> outcomes;
    Cover cover = Cover::Every;
    Rational amount = 100; // the total stake, or the return when `forReturn`
    bool forReturn = false;
};

// Reads outcomes typed one per word, a word holding one price or several
// separated by commas ("2.10,2.15"); `problem` names the first fault.
struct OutcomeList {
    std::vector<Outcome> outcomes;
    std::string problem;
};
OutcomeList ReadOutcomes(const std::vector<std::string>& words);

Problems SpreadProblems(const SpreadQuestion& q);
// Each outcome's offered prices, the best, its stake and return, the
// stakes rounded to the cent.
TextTable SpreadTable(const SpreadQuestion& q);
std::string SpreadReport(const SpreadQuestion& q);
std::string SpreadJson(const SpreadQuestion& q);

} // namespace fortelle::prices
