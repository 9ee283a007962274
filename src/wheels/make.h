// Making a wheel: build it, prove it with the checker, and report it beside
// the lower bound and the best known size.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "wheels/builder.h"
#include "wheels/designs.h"

namespace fortelle::wheels {

struct MakeInput {
    BuildRequest request;
    std::vector<int> numbers; // the player's v numbers; empty: 1 to v
    int threads = DefaultThreads();
};

// Problems with the request, beside the fields "v", "k", "t", "m",
// "seconds" and "numbers".
std::vector<forms::Problem> MakeRefusals(const MakeInput& input);

struct MakeResult {
    bool stopped = false;
    MakeInput input;
    BuildResult built;
    Wheel wheel; // the tickets over the player's numbers, in dictionary order
    LowerBound bound;
    std::optional<KnownCovering> known; // coverings (m = t) in the shipped table
    std::uint64_t sets = 0;             // C(v, m): the m-sets the proof checked one by one
};

MakeResult MakeWheel(const MakeInput& input, const Ticker& tick = {});
std::string MakeReport(const MakeResult& result); // CR LF line ends
std::string MakeJson(const MakeResult& result);
// "C(22,6,3)" or "L(27,6,4,3)".
std::string DesignName(int v, int k, int m, int t);

} // namespace fortelle::wheels
