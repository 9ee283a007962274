// What theory says about the smallest wheels: lower bounds, the designs
// known to be smallest (built here from their classical constructions),
// and the best sizes published for coverings.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "wheels/combinatorics.h"

namespace fortelle::wheels {

// Schönheim's bound on a covering design C(v, k, t):
//   L(v, k, t) = ceil(v/k ceil((v-1)/(k-1) ... ceil((v-t+1)/(k-t+1)) ...)),
// computed in whole numbers (Schönheim 1964; Gordon, Kuperberg and
// Patashnik 1995, Theorem 1).
BigInt SchoenheimBound(int v, int k, int t);

// The counting bound on a lotto design L(v, k, m, t): each ticket meets
// H = sum over i >= t of C(k, i) C(v - k, m - i) of the C(v, m) m-sets in t
// or more numbers, so at least ceil(C(v, m) / H) tickets are needed. For
// m = t it is weaker than Schönheim's; for m > t Schönheim's bound does not
// apply at all (a lotto design is not a covering).
BigInt CountingBound(int v, int k, int m, int t);

struct LowerBound {
    BigInt value;
    std::string name; // "Schönheim bound", "counting bound"
};
LowerBound BestLowerBound(int v, int k, int m, int t);

// A wheel theory gives exactly: blocks as masks over v numbers (bit i: the
// (i+1)-th number), with what it is. Each meets a lower bound: no smaller
// wheel exists (the report checks this against the bound it prints).
struct ExactDesign {
    std::vector<Mask> blocks;
    std::string name; // "the Steiner system S(3,6,22), from the binary Golay code"
};
std::optional<ExactDesign> ExactWheel(int v, int k, int m, int t);

// A covering size published by the La Jolla Covering Repository.
struct KnownCovering {
    int v, k, t;
    int size;       // best known C(v, k, t)
    int lowerBound; // the repository's lower bound
};
const std::vector<KnownCovering>& KnownCoverings();
std::optional<KnownCovering> FindKnownCovering(int v, int k, int t);
// Where the table comes from and under which licence, for reports and --help.
extern const char* const kKnownCoveringsSource;

} // namespace fortelle::wheels
