// What a wheel guarantees and wins, counted exactly.
//
// Only the part of a draw that falls among the player's v numbers matters
// to the tickets, so the checker walks the sets S of j of those numbers
// (j = 0..k) instead of the draws: every S stands for the
// C(N - v, k - j) draws that meet the player's numbers in exactly S. For
// |S| = m those sets are also the m-sets a guarantee "t if m" speaks of, so
// one walk gives the guarantees, their holes and the whole distribution.
// A second, plainer walk visits every draw of the game one by one; it
// counts the best match alone and is there to be compared with the first
// (and timed: bench/wheel_bench.cpp).
//
// The walks split their sets into chunks shared by threads (the calling
// thread is one of them), call `tick` on the calling thread between chunks
// with the fraction done, and stop soon after `tick` returns false. With one
// thread nothing is started: the web page runs the same code in a worker.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "wheels/wheel.h"

namespace fortelle::wheels {

// Returns false to stop the computation. Called on the calling thread only.
using Ticker = std::function<bool(double fraction)>;

int DefaultThreads();

// Tickets checked against sets of numbers: above this a computation is
// refused rather than left to run for hours (2 * 10^11 take about a minute
// and a half on two cores).
inline constexpr double kMostWork = 2e11;

// A named game's prize tiers as the walk sees them: the tickets' matches in
// the first drum (h drawn numbers and x supplementary ones) and, for the
// other drums, an outcome shared by every ticket of the wheel: the wheel
// plays one choice there (its Powerball, its stars) on all its tickets.
struct TierMap {
    int extra = 0; // supplementary numbers drawn in the first drum
    int tiers = 0;
    // For each outcome o of the other drums: its chance, and the tier a
    // ticket with h and x wins, at [h * (extra + 1) + x] (-1: none).
    std::vector<Rational> outcomeChance;
    std::vector<std::vector<int>> tierOf;
};
TierMap MakeTierMap(const WheelGame& game);

struct SubsetJob {
    int v = 0, k = 0; // the player's numbers; the draw's size
    int n = 0;        // the drum's size (for the supplementary numbers' counts)
    std::vector<Mask> tickets;
    int holes = 5;     // how many holes to keep per guarantee, the first in dictionary order
    int onlySize = -1; // walk only the sets of this size (a built wheel's proof)
    const TierMap* tiers = nullptr;
    int threads = 1;
};

struct SubsetTally {
    bool stopped = false;
    // best[j][h]: the sets of j of the player's numbers whose best ticket
    // holds h of them.
    std::vector<std::vector<std::uint64_t>> best;
    // holes[m][t]: the first sets of m numbers (dictionary order) that no
    // ticket meets in t numbers, as masks over the player's numbers.
    std::vector<std::vector<std::vector<Mask>>> holes;
    // With tiers, per set size j, supplementary numbers b among the player's,
    // outcome o: how many (S, B) pairs have the wheel's best tier i (index
    // tiers = none) and how many have tier i won by some ticket.
    std::vector<std::vector<std::vector<std::vector<std::uint64_t>>>> bestTier, anyTier;
};

// The work a walk takes (sets times tickets), to refuse before starting.
double SubsetWork(const SubsetJob& job);
SubsetTally WalkSubsets(const SubsetJob& job, const Ticker& tick);

// Every draw of k numbers of a drum of n one by one, the tickets and the
// player's numbers as masks over the drum (bit i: the drum's i-th number).
struct DrawJob {
    int n = 0, k = 0;
    std::vector<WideMask> tickets;
    WideMask player = 0;
    int threads = 1;
};
struct DrawTally {
    bool stopped = false;
    // draws[j][h]: draws meeting the player's numbers in j and whose best
    // ticket matches h.
    std::vector<std::vector<std::uint64_t>> draws;
};
double DrawWork(const DrawJob& job);
DrawTally WalkDraws(const DrawJob& job, const Ticker& tick);

// Which build of the walks' inner loop (the best match of a set against the
// tickets) this processor runs: "AVX-512" (eight tickets counted at once),
// "POPCNT" or "plain".
const char* BestMatchKernel();

} // namespace fortelle::wheels
