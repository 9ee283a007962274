// A race's field: the runners as the user gives them (tote odds, bookmaker
// prices or chances), which of them are scratched, and the win chance of
// every runner that starts.
//
// Prices are read exactly, as the price tools read them (prices/price.h):
// fractional odds "5-2" or "5/2" (a profit of 5 for 2 staked: decimal price
// 3.5), "evens", decimal prices "3.5", American prices "+150" (a profit of
// 150 for 100) or "-120" (120 staked for a profit of 100), and implied
// chances "20%". A price's implied chance is 1 / decimal price; those of a
// bookmaker's or a tote's field add up to more or less than 1 (the book),
// and the margin is removed by one of the price tools' methods
// (prices/margin.h). Normalisation, each divided by the book, is the
// multiplicative method and the default: with it and with the additive
// method exact prices give exact chances; the power, Shin and odds-ratio
// methods give chances within prices::kRootTolerance of their own. Chances
// given directly are divided by their sum.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "games/game_file.h"
#include "prices/margin.h"

namespace fortelle::racing {

// Something the user gave that cannot be used: `field` names the entry it
// belongs to ("runners", "scratched", "bet", "selection", "model",
// "discount", "margin", "base", "will_pay", and the payoff's "pool", "takeout",
// "amounts", "pool_type", "rules", "breakage", "minimum"); `message` is a
// sentence for a person that names no command-line option.
struct InputProblem {
    std::string field;
    std::string message;
};
[[noreturn]] void Problem(std::string field, std::string message);

inline constexpr int kMostRunners = 24;

enum class EntryKind { Prices, Chances };

struct FieldInput {
    std::vector<std::string> entries; // one per runner, numbered from 1; "scr" marks a scratched one
    std::string scratched;            // runner numbers scratched besides those marked "scr": "3 7"
    EntryKind kind = EntryKind::Prices;
    prices::Method margin = prices::Method::Multiplicative; // for prices
};

struct Runner {
    int number = 0;
    std::string entry; // as given
    bool scratched = false;
    Rational price = 0;   // decimal price (prices), 0 otherwise
    Rational implied = 0; // implied chance (prices) or the chance as given
};

struct Field {
    EntryKind kind = EntryKind::Prices;
    std::vector<Runner> runners; // every runner, scratched or not, by number
    std::vector<int> starters;   // indices into `runners` of those that start
    Rational book = 0;           // the starters' implied chances added up
    // The margin method's result (prices): its chances are `win`; when it
    // is not ok, `win` is empty and its failure says why in one sentence.
    prices::FairChances margin;
    // Per starter: the win chance, adding up to exactly 1 (FindWinChances).
    std::vector<Rational> win;
    // How far each win chance may lie from the method's own: 0 when they
    // are exact, prices::kRootTolerance for a root-found method.
    double tolerance = 0;

    const Runner& starter(std::size_t i) const { return runners[static_cast<std::size_t>(starters[i])]; }
    // The starter's index of runner number `number`, or -1.
    int starterOf(int number) const;
};

// Reads the entries; refuses (InputProblem) an entry that is not a price or
// a chance, fewer than two starters, more than kMostRunners runners.
Field ReadField(const FieldInput& input);
// The win chances of a field that was read: the chances given divided by
// their sum, or the prices' with the margin taken out by the chosen method
// (which may fail: see Field::margin).
void FindWinChances(Field& field);

// One chance ("0.25", "25%", "1/4"); nothing when the text is not one.
std::optional<Rational> ReadChance(std::string_view text);

// Splits a list at blanks and commas.
std::vector<std::string> SplitList(std::string_view text);

} // namespace fortelle::racing
