// Multiples (accumulators, parlays): one stake on several legs, the return
// of each winning leg riding on the next, so the combined price is the
// product of the legs' prices.
//
// A void leg (or a push) counts at price 1. A dead heat for the last paying
// place between K runners splits that leg's stake K ways, so the leg counts
// at D / K. A leg already won counts at its price. With one's own chance of
// each leg still open (for example a fair chance from prices/margin.h), the
// chance that they all win is the product of their chances, the expected
// return per unit staked the product of each leg's chance x price, and the
// bookmaker's margin compounds: legs that each return 95 % on average
// return 0.95^n together.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "prices/price.h"

namespace fortelle::prices {

enum class LegState { Open, Won, Void, DeadHeat };

struct Leg {
    std::string typed; // the leg as typed: "2.10@50%", "3.40:void", "5.0:dh2"
    Conversion price;
    LegState state = LegState::Open;
    int tied = 1;                   // DeadHeat: the runners tied
    std::optional<Rational> chance; // one's own chance, open legs only
};

// Reads legs typed one per word: PRICE, then optionally @CHANCE (for an open
// leg: "2.10@48%", "2.10@0.48") and :void, :won or :dhK. `problem` names
// the first fault in plain words.
struct LegList {
    std::vector<Leg> legs;
    std::string problem;
};
LegList ReadLegs(const std::vector<std::string>& words);

struct MultipleQuestion {
    std::vector<Leg> legs;
    Rational stake = 1;
};

// Problems with the legs taken together (a chance for some open legs but
// not all) and with the stake.
Problems MultipleProblems(const MultipleQuestion& q);

// Each leg: its price, result, what it counts as, one's chance of it and
// chance x price.
TextTable MultipleTable(const MultipleQuestion& q);
std::string MultipleReport(const MultipleQuestion& q);
std::string MultipleJson(const MultipleQuestion& q);

} // namespace fortelle::prices
