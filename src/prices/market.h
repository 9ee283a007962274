// One market's prices: the bookmaker's margin three ways, and the fair
// chances and prices by each way of removing it (prices/margin.h).
//
// The booksum B is the sum of the implied chances 1/D. The overround is
// B - 1: how far the implied chances overshoot certainty. The hold is
// 1 - 1/B: the share of the stakes the bookmaker keeps when they are spread
// over the outcomes so that every outcome pays out the same (a balanced
// book). They differ: at -110 on both sides of a game B = 22/21, the
// overround is 4.76 % and the hold 4.55 %.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "prices/margin.h"
#include "prices/price.h"

namespace fortelle::prices {

struct MarketQuestion {
    std::vector<Conversion> prices;
    std::optional<Method> method;          // nothing: every method
    PriceFormat as = PriceFormat::Decimal; // how the report writes prices (not Implied)
};

struct Market {
    MarketQuestion question;
    Rational booksum = 0;
    Rational overround = 0;
    Rational hold = 0;
    std::vector<FairChances> methods; // the one asked for, or every method in kMethods' order
};

// Why the question has no answer (fewer than two prices), or nothing.
std::optional<std::string> MarketQuestionProblem(const MarketQuestion& q);

Market ComputeMarket(const MarketQuestion& q);
// What the method does, and its parameter, in one line: "Power method: each
// implied chance raised to the power k = 1.0309132393 (found to within 1e-12)."
std::string MethodLine(const FairChances& f);
// The table of each method that gives chances: outcome, price, implied
// chance, fair chance, fair price.
std::vector<TextTable> MarketTables(const Market& m);
std::string MarketReport(const Market& m);
std::string MarketJson(const Market& m);

} // namespace fortelle::prices
