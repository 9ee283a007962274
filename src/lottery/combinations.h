// The combination arithmetic of the lottery calculators.
//
// Odds are computed in doubles with a fixed order of operations, so that
// every figure matches, to the last digit, what the same steps give on any
// machine. Where the doubles cannot carry a row (an infinite or undefined
// result: products beyond the double range, a pool larger than the set, a
// count that is zero), the same formula is evaluated in exact integers.
//
// Counts are 64-bit here: the game's values are 32-bit, so differences such
// as N - p can never wrap.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "shell/print_style.h"

namespace fortelle {

// The number of m-element subsets of n elements: the ascending product of
// n - m + 1 up to n, divided once by the ascending product m!. For m <= 0
// both products are empty and the result is 1.
double Combinations(std::int64_t n, std::int64_t m);

// Rounds an odds value for a report: 2 decimal places, ties to even.
double RoundOdds(double x);

enum class OddsTable { Exactly, AtLeast };

// A single-drum game: k numbers drawn from 1..N, a pool of p played.
class Game {
public:
    Game(std::int64_t N, std::int64_t k, std::int64_t p);
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // m matches are impossible when the draw would need more numbers from
    // outside the pool than there are: m < (k - N) + p.
    bool impossible(std::int64_t m) const;

    // 1 in X for exactly m matches, and for at least m, in doubles.
    double exactOdds(std::int64_t m) const;
    double atLeastOdds(std::int64_t m) const;

    // The same values evaluated exactly, multiplied by `factor`, as report
    // figures: rounded to 2 places below 1E15, 15 significant digits in all.
    // Nothing when the outcome cannot happen (no way to draw it).
    std::optional<Figure15> exactOddsFigure(std::int64_t m, std::int64_t factor = 1) const;
    std::optional<Figure15> atLeastOddsFigure(std::int64_t m, std::int64_t factor = 1) const;

    // True when, in exact arithmetic, the odds (times `factor`) are below
    // one, zero or negative, or the outcome has no way to happen: no real
    // chance is better than certainty, so such a row is impossible.
    bool belowOne(OddsTable table, std::int64_t m, std::int64_t factor = 1) const;

    std::int64_t N() const { return N_; }
    std::int64_t k() const { return k_; }
    std::int64_t p() const { return p_; }

    // Figures for the products of two games' exact odds (two ballsets).
    friend std::optional<Figure15> CombinedOddsFigure(const Game& first, std::int64_t m1, const Game& second,
                                                      std::int64_t m2);

private:
    struct Exact;
    const Exact& exact() const;

    std::int64_t N_, k_, p_;
    double total_;                // Combinations(N, k)
    std::vector<double> pool_;    // Combinations(p, m), m = 0..k
    std::vector<double> outside_; // Combinations(N - p, j), j = 0..k
    mutable std::unique_ptr<Exact> exact_;
};

// The report figure of a finite odds value: rounded to 2 places.
Figure15 OddsFigure(double x);

class Report;

// True when odds computed in doubles as `odds` are below one (see
// Game::belowOne); only a figure too close to one, or not finite, is left to
// the exact test.
bool BelowOne(double odds, const std::function<bool()>& exactTest);

// Writes one row per match count m = 0..k of a single-drum game: "~", m,
// "of", k, "in", p, "from", N, then `oddsText` and the odds (each multiplied
// by `factor`), or `impossibleText` when the outcome cannot happen or its
// odds would be below one. A row keeps the double figure while it is finite;
// otherwise the exact figure.
void WriteOddsRows(Report& report, const Game& game, OddsTable table, std::int64_t factor, std::string_view oddsText,
                   std::string_view impossibleText);

} // namespace fortelle
