// A bookmaker's price in its four common forms, read and converted exactly.
//
// Every form comes down to the decimal price D, the return of a winning
// stake of 1 with the stake itself: fractional a/b is D = 1 + a/b ("evens"
// is 1/1, "6-4" is 6/4); American +A is D = 1 + A/100 and -A is
// D = 1 + 100/A; an implied chance of P % is D = 100/P. Each form is shown
// in its usual rounding: decimal to two places (more where two would show
// 1.00), fractional as the reduced fraction (the closest one with terms of
// at most 1,000 when its own are larger), American as a whole
// number with its sign, the implied chance in percent to two places. A
// shown value that differs from the exact one says so.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "prices/numbers.h"

namespace fortelle::prices {

// A problem with a typed value, in plain words: `what` names the value
// ("prices", "method", "chance", "fraction", "bankroll", "amount", "legs",
// "stake").
struct Problem {
    std::string what;
    std::string message;
};
using Problems = std::vector<Problem>;

enum class PriceFormat { Decimal, Fractional, American, Implied };

std::string_view FormatName(PriceFormat f);  // "decimal", "fractional", "american", "implied"
std::string_view FormatTitle(PriceFormat f); // "decimal", "fractional", "American", "implied chance"
// The format named "decimal", "fractional", "american" or "implied".
std::optional<PriceFormat> FormatNamed(std::string_view name);

struct PriceReading {
    std::optional<Rational> decimal; // nothing when the text is not a price
    PriceFormat format = PriceFormat::Decimal;
    std::string problem; // one sentence, in plain words, when it is not
};

// Reads "2.1", "11/10", "6-4", "evens", "+150", "-110" or "47.6%".
PriceReading ReadPrice(std::string_view text);

// The exact value of the price `decimal` in `format`: the decimal price,
// the fractional odds D - 1, the American figure (+ for D >= 2) or the
// implied chance 1/D (a share of 1, not a percentage).
Rational InFormat(const Rational& decimal, PriceFormat format);

struct ShownPrice {
    std::string text; // "2.10", "11/10", "evens", "+110", "47.62 %"
    bool exact = true;
};
ShownPrice Show(const Rational& decimal, PriceFormat format);

struct Conversion {
    std::string typed;
    PriceFormat format = PriceFormat::Decimal;
    Rational decimal = 0;
};

// The words of a line of text, split at blanks.
std::vector<std::string> Words(std::string_view text);

// The most prices a market, an arbitrage or a conversion takes: more
// outcomes than any event has, and few enough that the exact sums stay
// quick.
inline constexpr std::size_t kMostPrices = 200;

// Prices typed one per word; `problem` names the first that is not a price
// ("Price 3: ...") and leaves `prices` empty.
struct PriceList {
    std::vector<Conversion> prices;
    std::string problem;
};
PriceList ReadPriceList(const std::vector<std::string>& words);

// The decimal prices of a list.
std::vector<Rational> Decimals(const std::vector<Conversion>& prices);

// The report of one or more prices, each in every form; the JSON of the same.
std::string ConversionReport(const std::vector<Conversion>& prices);
std::string ConversionJson(const std::vector<Conversion>& prices);

} // namespace fortelle::prices
