// The wheel checker's speed: draws x tickets per second for 163 tickets on
// every draw of 6 from 49 (13,983,816 draws), against a plain loop over the
// same draws and tickets in the same run, and the grouped walk the reports
// use. The tickets are drawn from a fixed seed: the speed does not depend on
// what they guarantee. With one thread the walk is what the web page runs in
// its worker.
//
//   build/bench/fortelle_wheel_bench
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <random>

#include "wheels/checker.h"

using namespace fortelle::wheels;

namespace {

constexpr int kN = 49, kK = 6, kTickets = 163;

double Seconds(std::chrono::steady_clock::time_point from)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

// The plain loop: every draw as six numbers, every ticket as a table of the
// numbers it holds, the best match kept.
std::array<std::uint64_t, kK + 1> PlainLoop(const std::vector<std::array<bool, kN + 1>>& tickets)
{
    std::array<std::uint64_t, kK + 1> best{};
    std::array<int, kK> d{};
    for (int i = 0; i < kK; ++i) d[i] = i + 1;
    for (;;) {
        int top = 0;
        for (const auto& t : tickets) {
            int h = 0;
            for (const int x : d) h += t[x] ? 1 : 0;
            top = std::max(top, h);
        }
        ++best[top];
        int i = kK - 1;
        while (i >= 0 && d[i] == kN - kK + i + 1) --i;
        if (i < 0) return best;
        ++d[i];
        for (int j = i + 1; j < kK; ++j) d[j] = d[j - 1] + 1;
    }
}

} // namespace

int main()
{
    std::mt19937_64 random(163);
    DrawJob job{kN, kK, {}, 0, 1};
    std::vector<std::array<bool, kN + 1>> plain;
    for (int i = 0; i < kTickets; ++i) {
        std::array<int, kN> all{};
        for (int x = 0; x < kN; ++x) all[x] = x + 1;
        std::shuffle(all.begin(), all.end(), random);
        WideMask m = 0;
        std::array<bool, kN + 1> table{};
        for (int j = 0; j < kK; ++j) {
            m |= WideMask{1} << (all[j] - 1);
            table[all[j]] = true;
        }
        job.tickets.push_back(m);
        plain.push_back(table);
    }
    for (int x = 0; x < kN; ++x) job.player |= WideMask{1} << x;
    const double checks = static_cast<double>(Choose(kN, kK)) * kTickets;

    auto start = std::chrono::steady_clock::now();
    const auto base = PlainLoop(plain);
    const double plainTime = Seconds(start);
    std::printf("163 tickets x 13,983,816 draws of 6/49 (best-match kernel: %s)\n", BestMatchKernel());
    std::printf("  plain loop, 1 thread:      %7.3f s  %8.3g draws x tickets/s\n", plainTime, checks / plainTime);
    for (const int threads : {1, DefaultThreads()}) {
        job.threads = threads;
        start = std::chrono::steady_clock::now();
        const DrawTally t = WalkDraws(job, {});
        const double time = Seconds(start);
        bool same = true;
        for (int h = 0; h <= kK; ++h) same = same && t.draws[kK][h] == base[h];
        std::printf("  draw by draw, %d thread%s:   %7.3f s  %8.3g draws x tickets/s  %5.1f x the plain loop%s\n",
                    threads, threads == 1 ? " " : "s", time, checks / time, plainTime / time,
                    same ? "" : "  (COUNTS DIFFER)");
    }
    // The reports' walk: sets of the player's numbers, each standing for the
    // draws that meet them. On 49 numbers it visits every draw too; on a wheel
    // of 22 numbers it visits the 110,056 sets of 6 or fewer of them.
    std::vector<Mask> masks;
    for (const WideMask t : job.tickets) masks.push_back(static_cast<Mask>(t));
    start = std::chrono::steady_clock::now();
    WalkSubsets({kN, kK, kN, masks, 5, -1, nullptr, DefaultThreads()}, {});
    const double grouped = Seconds(start);
    std::printf("  grouped walk, 49 numbers:  %7.3f s  %5.1f x the plain loop\n", grouped, plainTime / grouped);
    return 0;
}
