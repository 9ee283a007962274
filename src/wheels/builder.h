// Building a small wheel with "t if m" on v numbers, k a ticket: the exact
// design where theory gives one, otherwise a greedy wheel made smaller by
// simulated annealing (after Nurmela and Östergård, "Constructing covering
// designs by simulated annealing", 1993): with one ticket fewer, tickets
// are changed one number at a time, a change that leaves more m-sets
// unmet being taken only now and then, less and less often, until every
// m-set is met again.
//
// The search is deterministic: its time budget is counted in units of work
// (m-sets looked up), about `seconds` seconds on a two-core machine of 2024,
// so that a seed and a budget give the same wheel on every machine and in
// the web page.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "forms/form.h"
#include "wheels/checker.h"

namespace fortelle::wheels {

struct BuildRequest {
    int v = 0, k = 0, t = 0, m = 0;
    int seconds = 5;
    std::uint64_t seed = 1;
};

inline constexpr int kMostSeconds = 600;
// The m-sets the search keeps a count for.
inline constexpr std::uint64_t kMostTargets = 4'000'000;

// The reasons a request cannot be built, beside the fields "v", "k", "t",
// "m", "seconds" (empty when it can).
std::vector<forms::Problem> BuildRefusals(const BuildRequest& request);

struct BuildResult {
    bool stopped = false;
    std::vector<Mask> blocks; // over v numbers, bit i: the (i+1)-th
    std::string method;
    bool exact = false;     // a construction, not a search
    std::uint64_t work = 0; // units spent
    std::uint64_t greedySize = 0;
};

// Stops early when the wheel reaches `stopAt` tickets (the lower bound or
// the best known size), when the budget is spent, or when `tick` says so.
BuildResult BuildWheel(const BuildRequest& request, std::uint64_t stopAt, const Ticker& tick = {});

} // namespace fortelle::wheels
