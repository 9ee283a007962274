// The chance that n games of Keno return less than they staked.
//
// Pays and the stake are counted in steps of a grid on which every pay is a
// whole number of steps, so a game's return is one of a few whole numbers
// w with chances a_w, and n games return S, the sum of n of them. Behind
// means S < T = n x (the stake in steps). Only sums below T matter, and
// they are the first T coefficients of the polynomial f(z)^n, f(z) the sum
// of a_w z^w.
//
// Two ways to those coefficients, both in doubles with a proven bound on
// their rounding error, which the report prints:
//
// - The powers of a polynomial with few terms obey f h' = n f' h (h = f^n),
//   so, with the lowest return shifted to 0 and a_0 its chance,
//     h_t = (1 / (t a_0)) sum over w of (w (n + 1) - t) a_w h_(t - w),
//   a few products per coefficient: T coefficients in milliseconds even
//   for a million games. Every term is positive when each return other
//   than the lowest is at least the stake (w (n + 1) >= T), and then each
//   coefficient's relative error is at most t (r + 3) u (r returns, u the
//   unit roundoff). With a return strictly between the lowest and the
//   stake some terms are negative and the recurrence loses every digit,
//   so such tables take the second way.
// - Game by game: h_m(t) = sum over w of a_w h_(m-1)(t - w), n games of T
//   steps each, every term positive.
//
// When the exact grid is too fine for either within the limits below, the
// pays are rounded down and up to a coarser grid: the two chances bracket
// the true one, and their mean is given with half their distance (plus the
// rounding error) as its bound when that is below 0.005 percentage points.
// Otherwise the chance is not computed, with the reason.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "games/game_file.h"
#include "games/precise.h"

namespace fortelle {

// The recurrence's steps (coefficients) and the work of either way
// (coefficients times returns, times games for the second) that one chance
// may take: under half a second on the reference machine, under 150 MB.
struct BehindLimits {
    std::int64_t steps = std::int64_t{1} << 24;
    double work = 2e8;
};

struct ChanceBehind {
    enum class How { Certain, Exact, Rounded, NotComputed };
    How how = How::Exact;
    Rational certain = 0;   // How::Certain: 0 or 1
    Precise chance = 0;     // Exact, Rounded: as computed (it may lie far below a double's range)
    Precise error = 0;      // ... and the chance is within this of the true one
    std::int64_t steps = 0; // Rounded: the grid's steps per unit staked
    std::string reason;     // NotComputed: why, as words after "not computed: "
    // Which way computed it ("recurrence", "game by game"; the rounded pays:
    // down's and up's, "recurrence, game by game"): each way has its limits
    // of steps and work, and its speed depends on keeping to them.
    std::string way;
    // NotComputed from rounded pays: chance and error still bracket the
    // true chance, only too widely to be shown.
    bool stopped = false; // `going` asked to stop: nothing is known
};

// `p` holds the chance of each catch count, `pays` what a catch count pays
// per unit staked, stake included (a catch count it leaves out pays
// nothing); games from 1 to 1,000,000. `going`, when given, is told the
// fraction done now and then, and stops the computation by returning false.
ChanceBehind ComputeChanceBehind(const std::vector<Rational>& p, const std::map<int, Rational>& pays,
                                 std::int64_t games, const BehindLimits& limits = {},
                                 const std::function<bool(double)>& going = {});

} // namespace fortelle
