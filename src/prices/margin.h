// Removing a bookmaker's margin: from the decimal prices of every outcome
// of one event to fair chances that sum to 1.
//
// A price D implies the chance 1/D; over a whole market these implied
// chances add up to the booksum, above 1 by the bookmaker's overround. Each
// method below takes the excess away under its own assumption of how the
// bookmaker put it there:
//
// - multiplicative: p = (1/D) / booksum, every chance scaled alike. Exact.
// - additive: p = 1/D - (booksum - 1)/n, the excess taken equally from each
//   of the n outcomes (Clarke, Kovalchik and Ingram 2017). Exact; it fails
//   where a longshot's implied chance is smaller than its equal share.
// - power: p = (1/D)^k with k chosen so the chances sum to 1 (Clarke,
//   Kovalchik and Ingram 2017; the "logarithmic" method of Buchdahl).
// - Shin: the bookmaker prices against a share z of insiders who know the
//   winner (Shin 1991, 1992, 1993). With the implied chances pi and booksum
//   B, the chances are
//       p = (sqrt(z^2 + 4 (1 - z) pi^2 / B) - z) / (2 (1 - z)),
//   z chosen so they sum to 1: the formulation of Jullien and Salanie (1994)
//   and Strumbelj (2014), whose fixed point z = (sum sqrt(...) - 2) / (n - 2)
//   is the same root. With two outcomes it is the additive method exactly.
//   It needs a booksum above 1 (z >= 0).
// - odds ratio: the odds of the implied chance are c times the odds of the
//   fair one, pi/(1 - pi) = c p/(1 - p), so p = pi / (c (1 - pi) + pi), c
//   chosen so the chances sum to 1 (Cheung 2015).
//
// Power, Shin and odds ratio find their parameter by bisection inside a
// bracket where the sum of the chances passes 1 (the sum falls as the
// parameter grows, for each of them), in 50-digit arithmetic, until the
// bracket is narrower than 1e-30 of the parameter. The chances at the
// parameter found must then sum to 1 within kRootTolerance (1e-12), or the
// method reports that it did not converge; they are finally divided by
// their sum, so that the chances returned add up to exactly 1 and each is
// within 1e-12 of the method's own root (in practice within about 1e-28).
// On a book of exactly 100 % every method gives the implied chances
// themselves, exactly.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "prices/numbers.h"

namespace fortelle::prices {

enum class Method { Multiplicative, Additive, Power, Shin, OddsRatio };

inline constexpr Method kMethods[] = {Method::Multiplicative, Method::Additive, Method::Power, Method::Shin,
                                      Method::OddsRatio};

// How close the root-found methods' chances are to their method's root, and
// how close to 1 their sum must come before they are accepted.
inline constexpr double kRootTolerance = 1e-12;

// The command line's and JSON's name: "multiplicative", "additive",
// "power", "shin", "odds-ratio".
std::string_view MethodName(Method m);
// A person's name: "multiplicative", "additive", "power", "Shin's", "odds-ratio".
std::string_view MethodTitle(Method m);
// The method in a sentence: "the multiplicative method", "Shin's method".
std::string MethodPhrase(Method m);
std::optional<Method> MethodNamed(std::string_view name);
// The method's parameter: "booksum", "taken from each", "exponent k",
// "insiders' share z", "odds ratio c".
std::string_view ParameterName(Method m);

struct FairChances {
    Method method = Method::Multiplicative;
    bool ok = false;
    // Why there are no chances, one sentence ("Outcome 6 (price 100.00)
    // would get a chance of -3.17 %, ..."), when not ok.
    std::string failure;
    // The chances are the method's exact values (multiplicative, additive,
    // any method on a book of exactly 100 %); otherwise they are within
    // kRootTolerance of them.
    bool exact = false;
    // One per price, in the prices' order; they sum to exactly 1. For the
    // root-found methods each is the 50-digit result as an exact fraction
    // (with a large power-of-two denominator): convert_to<double>() suits
    // most uses.
    std::vector<Rational> chances;
    // Multiplicative: the booksum every implied chance is divided by;
    // additive: the amount taken from each; power: k; Shin: z; odds ratio: c.
    Rational parameter = 0;
};

// The sum of the implied chances 1/D.
Rational Booksum(std::span<const Rational> decimalPrices);

// Why the prices cannot make a market (fewer than two, one not above 1),
// or nothing.
std::optional<std::string> MarketProblem(std::span<const Rational> decimalPrices);

// The fair chances by `method`. Never throws: a market the method cannot
// take, or a root that is not found, is a FairChances that is not ok.
// `names` (one per price, when given) name the outcomes in the failure
// sentence ("Runner 6"); otherwise they are "Outcome 1", "Outcome 2", ...
FairChances RemoveMargin(std::span<const Rational> decimalPrices, Method method,
                         std::span<const std::string> names = {});

} // namespace fortelle::prices
