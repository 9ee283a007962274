#include "wheels/checker.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace fortelle::wheels {
namespace {

// The best match, written once and compiled for each processor level: the
// compiler turns the loop into wide bit counts where the processor has
// them (AVX-512 VPOPCNTQ counts eight tickets at once).
// The tickets come padded with empty ones to a multiple of kLanes, so that
// the inner loop has a fixed length the compiler vectorises even at -O2.
constexpr std::size_t kLanes = 8;

[[gnu::always_inline]] inline int BestLoop(Mask set, const Mask* tickets, std::size_t count)
{
    std::uint64_t lane[kLanes] = {};
    for (std::size_t i = 0; i < count; i += kLanes) {
        for (std::size_t j = 0; j < kLanes; ++j) {
            const auto h = static_cast<std::uint64_t>(std::popcount(set & tickets[i + j]));
            lane[j] = h > lane[j] ? h : lane[j];
        }
    }
    std::uint64_t best = 0;
    for (const std::uint64_t h : lane) best = h > best ? h : best;
    return static_cast<int>(best);
}

int BestPlain(Mask set, const Mask* tickets, std::size_t count) { return BestLoop(set, tickets, count); }

using BestKernel = int (*)(Mask, const Mask*, std::size_t);

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(__EMSCRIPTEN__)
__attribute__((target("popcnt"))) int BestPopcnt(Mask set, const Mask* tickets, std::size_t count)
{
    return BestLoop(set, tickets, count);
}
__attribute__((target("avx512f,avx512vl,avx512bw,avx512dq,avx512vpopcntdq,popcnt"))) int BestVector(Mask set,
                                                                                                    const Mask* tickets,
                                                                                                    std::size_t count)
{
    return BestLoop(set, tickets, count);
}
BestKernel ChooseKernel()
{
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512vpopcntdq") && __builtin_cpu_supports("avx512vl")) return BestVector;
    if (__builtin_cpu_supports("popcnt")) return BestPopcnt;
    return BestPlain;
}
#else
BestKernel ChooseKernel() { return BestPlain; }
#endif

const BestKernel kBest = ChooseKernel();

Mask FullMask(int v) { return v >= 64 ? ~Mask{0} : (Mask{1} << v) - 1; }

// The tickets with empty ones after them up to a multiple of kLanes: an
// empty ticket matches nothing and changes no best match.
std::vector<Mask> Padded(const std::vector<Mask>& tickets)
{
    std::vector<Mask> out = tickets;
    out.resize((tickets.size() + kLanes - 1) / kLanes * kLanes, 0);
    return out;
}

struct Chunk {
    int size;            // j: the sets' size (subsets) or 0 (draws)
    std::uint64_t begin; // rank of the first set
    std::uint64_t end;   // one past the last
};

// Cuts `count` sets into chunks of about 2^22 ticket checks each (a few
// milliseconds), so that Cancel is felt at once and two threads share out
// the work evenly.
void Cut(std::vector<Chunk>& chunks, int size, std::uint64_t count, double perSet)
{
    const auto per = std::max<std::uint64_t>(16, static_cast<std::uint64_t>(0x1p22 / std::max(perSet, 1.0)));
    for (std::uint64_t b = 0; b < count; b += per) chunks.push_back({size, b, std::min(count, b + per)});
}

// Runs `work(chunkIndex, threadIndex)` over every chunk on `threads` threads
// (the caller's among them), ticking on the caller's. Returns false when
// the ticker stopped it.
template <typename Work>
bool RunChunks(const std::vector<Chunk>& chunks, int threads, const std::vector<double>& weight, const Ticker& tick,
               Work&& work)
{
    // The work before each chunk: the progress is that of the chunks handed
    // out, which is off by no more than the chunks in hand.
    std::vector<double> before(weight.size() + 1, 0);
    for (std::size_t c = 0; c < weight.size(); ++c) before[c + 1] = before[c] + weight[c];
    const double total = before.back();
    // Asked once before any work: the other threads may take every chunk
    // before the first thread ticks, and Cancel must be heard all the same.
    if (tick && !tick(0.0)) return false;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    std::atomic<int> running{threads - 1};
    const auto fraction = [&] { return total > 0 ? before[std::min(next.load(), chunks.size())] / total : 1.0; };
    const auto loop = [&](int thread) {
        for (;;) {
            if (stop.load(std::memory_order_relaxed)) break;
            const std::size_t c = next.fetch_add(1);
            if (c >= chunks.size()) break;
            work(c, thread);
            if (thread == 0 && tick && !tick(fraction())) stop = true;
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) {
        pool.emplace_back([&, t] {
            loop(t);
            --running;
        });
    }
    loop(0);
    while (running.load() > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (tick && !stop && !tick(fraction())) stop = true;
    }
    for (std::thread& t : pool) t.join();
    return !stop.load();
}

// The supplementary numbers among the player's: the sets B of b of the
// numbers not in S, as masks, walked without allocating.
struct Extras {
    int positions[64] = {};
    int count = 0;
};

} // namespace

int DefaultThreads()
{
#ifdef __EMSCRIPTEN__
    return 1;
#else
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 64u));
#endif
}

const char* BestMatchKernel()
{
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(__EMSCRIPTEN__)
    if (kBest == BestVector) return "AVX-512";
    if (kBest == BestPopcnt) return "POPCNT";
#endif
    return "plain";
}

TierMap MakeTierMap(const WheelGame& game)
{
    TierMap map;
    if (!game.named) return map;
    const GameDefinition& g = *game.named;
    map.extra = game.extra;
    map.tiers = static_cast<int>(g.tiers.size());
    // The other drums' outcomes, each (hits, supplementary hits) with its
    // number of ways; every ticket carries the same picks there.
    struct Outcome {
        int hits, extras;
        BigInt ways;
    };
    std::vector<std::vector<Outcome>> drums;
    BigInt total = 1;
    for (std::size_t d = 1; d < g.drums.size(); ++d) {
        const DrumSpec& s = g.drums[d];
        std::vector<Outcome> out;
        for (int m = 0; m <= std::min(s.pick, s.draw); ++m) {
            for (int b = 0; b <= std::min(s.pick - m, s.extra); ++b) {
                BigInt ways = BigChoose(s.pick, m) * BigChoose(s.size - s.pick, s.draw - m) * BigChoose(s.pick - m, b) *
                              BigChoose(s.size - s.draw - (s.pick - m), s.extra - b);
                if (ways != 0) out.push_back({m, b, ways});
            }
        }
        total *= BigChoose(s.size, s.draw) * BigChoose(s.size - s.draw, s.extra);
        drums.push_back(std::move(out));
    }
    std::size_t combinations = 1;
    for (const auto& d : drums) combinations *= d.size();
    const int width = (game.k + 1) * (game.extra + 1);
    for (std::size_t n = 0; n < combinations; ++n) {
        std::vector<const Outcome*> at;
        std::size_t rest = n;
        BigInt ways = 1;
        for (const auto& drum : drums) {
            at.push_back(&drum[rest % drum.size()]);
            rest /= drum.size();
            ways *= at.back()->ways;
        }
        std::vector<int> tierOf(static_cast<std::size_t>(width), -1);
        for (int h = 0; h <= game.k; ++h) {
            for (int x = 0; x <= game.extra; ++x) {
                for (std::size_t t = 0; t < g.tiers.size(); ++t) {
                    const TierSpec& tier = g.tiers[t];
                    bool all = tier.hits[0].holds(h) && tier.extras[0].holds(x);
                    for (std::size_t d = 0; d < at.size() && all; ++d) {
                        all = tier.hits[d + 1].holds(at[d]->hits) && tier.extras[d + 1].holds(at[d]->extras);
                    }
                    if (all) {
                        tierOf[static_cast<std::size_t>(h) * static_cast<std::size_t>(game.extra + 1) +
                               static_cast<std::size_t>(x)] = static_cast<int>(t);
                        break;
                    }
                }
            }
        }
        map.outcomeChance.emplace_back(ways, total);
        map.tierOf.push_back(std::move(tierOf));
    }
    return map;
}

double SubsetWork(const SubsetJob& job)
{
    double sets = 0;
    for (int j = 0; j <= std::min(job.k, job.v); ++j) {
        if (job.onlySize >= 0 && j != job.onlySize) continue;
        double classes = static_cast<double>(Choose(job.v, j));
        if (job.tiers && job.tiers->extra > 0) {
            double b = 0;
            for (int e = 0; e <= job.tiers->extra; ++e) b += static_cast<double>(Choose(job.v - j, e));
            classes *= 1 + b;
        }
        sets += classes;
    }
    return sets * static_cast<double>(std::max<std::size_t>(job.tickets.size(), 1));
}

SubsetTally WalkSubsets(const SubsetJob& job, const Ticker& tick)
{
    const int v = job.v, top = std::min(job.k, job.v);
    const std::size_t n = job.tickets.size();
    const Mask full = FullMask(v);
    const TierMap* tiers = job.tiers;
    const int extra = tiers ? tiers->extra : 0;
    const std::size_t outcomes = tiers ? tiers->tierOf.size() : 0;
    const std::size_t tierCount = tiers ? static_cast<std::size_t>(tiers->tiers) : 0;

    // A set's cost: its tickets, and with supplementary numbers each choice of them.
    const auto perSet = [&](int j) {
        double choices = 1;
        for (int b = 0; b <= extra && tiers; ++b) choices += static_cast<double>(Choose(v - j, b));
        return static_cast<double>(std::max<std::size_t>(n, 1)) * (extra > 0 ? choices : 1.0);
    };
    std::vector<Chunk> chunks;
    for (int j = 0; j <= top; ++j) {
        if (job.onlySize >= 0 && j != job.onlySize) continue;
        Cut(chunks, j, Choose(v, j), perSet(j));
    }
    std::vector<double> weight;
    weight.reserve(chunks.size());
    for (const Chunk& c : chunks) weight.push_back(static_cast<double>(c.end - c.begin) * perSet(c.size));

    const auto sized = [&](auto&& value, std::size_t count) { return std::vector(count, value); };
    struct Local {
        std::vector<std::vector<std::uint64_t>> best;
        std::vector<std::vector<std::vector<std::vector<std::uint64_t>>>> bestTier, anyTier;
        std::vector<int> hits;
    };
    const int threads = std::max(1, job.threads);
    std::vector<Local> locals(static_cast<std::size_t>(threads));
    for (Local& l : locals) {
        l.best = sized(std::vector<std::uint64_t>(static_cast<std::size_t>(job.k) + 1, 0),
                       static_cast<std::size_t>(top) + 1);
        if (tiers) {
            const auto cell = sized(sized(std::vector<std::uint64_t>(tierCount + 1, 0), outcomes),
                                    static_cast<std::size_t>(extra) + 1);
            l.bestTier = sized(cell, static_cast<std::size_t>(top) + 1);
            l.anyTier = l.bestTier;
        }
        l.hits.assign(n, 0);
    }
    const std::vector<Mask> padded = Padded(job.tickets);
    // Holes per chunk, merged in chunk order so that the first few are the
    // first in dictionary order whatever thread found them.
    std::vector<std::vector<std::vector<Mask>>> chunkHoles(chunks.size());

    const auto tally = [&](Local& l, int j, int b, std::uint64_t presence) {
        for (std::size_t o = 0; o < outcomes; ++o) {
            const std::vector<int>& tierOf = tiers->tierOf[o];
            int bestTier = static_cast<int>(tierCount);
            std::uint64_t won = 0;
            for (std::uint64_t p = presence; p != 0; p &= p - 1) {
                const int t = tierOf[static_cast<std::size_t>(std::countr_zero(p))];
                if (t < 0) continue;
                won |= std::uint64_t{1} << t;
                bestTier = std::min(bestTier, t);
            }
            auto& any = l.anyTier[static_cast<std::size_t>(j)][static_cast<std::size_t>(b)][o];
            for (std::uint64_t w = won; w != 0; w &= w - 1) ++any[static_cast<std::size_t>(std::countr_zero(w))];
            ++l.bestTier[static_cast<std::size_t>(j)][static_cast<std::size_t>(b)][o]
                        [static_cast<std::size_t>(bestTier)];
        }
    };

    const auto work = [&](std::size_t c, int thread) {
        Local& l = locals[static_cast<std::size_t>(thread)];
        const Chunk& chunk = chunks[c];
        const int j = chunk.size;
        auto& best = l.best[static_cast<std::size_t>(j)];
        std::vector<std::vector<Mask>> holes;
        if (job.holes > 0 && j >= 1) holes.resize(static_cast<std::size_t>(j) + 1);
        std::size_t holesFull = holes.empty() ? 1 : 0;
        // The complement walks up, so the set itself walks down: dictionary order.
        Mask x = UnrankCombination<Mask>(chunk.begin, v - j);
        for (std::uint64_t r = chunk.begin; r < chunk.end; ++r) {
            const Mask s = full ^ x;
            if (r + 1 < chunk.end) x = NextCombination(x);
            const int h = kBest(s, padded.data(), padded.size());
            ++best[static_cast<std::size_t>(h)];
            if (holesFull == 0) {
                for (int t = h + 1; t <= j; ++t) {
                    auto& list = holes[static_cast<std::size_t>(t)];
                    if (list.size() < static_cast<std::size_t>(job.holes)) list.push_back(s);
                }
                holesFull = holes[1].size() >= static_cast<std::size_t>(job.holes) ? 1 : 0;
            }
            if (!tiers) continue;
            if (extra == 0) {
                std::uint64_t presence = 0;
                for (std::size_t i = 0; i < n; ++i) presence |= std::uint64_t{1} << std::popcount(s & job.tickets[i]);
                tally(l, j, 0, presence);
                continue;
            }
            for (std::size_t i = 0; i < n; ++i) l.hits[i] = std::popcount(s & job.tickets[i]) * (extra + 1);
            Extras rest;
            for (Mask m = full & ~s; m != 0; m &= m - 1) rest.positions[rest.count++] = std::countr_zero(m);
            for (int b = 0; b <= std::min(extra, rest.count); ++b) {
                const std::uint64_t count = Choose(rest.count, b);
                Mask pick = b == 0 ? 0 : (Mask{1} << b) - 1;
                for (std::uint64_t q = 0; q < count; ++q) {
                    Mask extras = 0;
                    for (Mask p = pick; p != 0; p &= p - 1) extras |= Mask{1} << rest.positions[std::countr_zero(p)];
                    if (q + 1 < count) pick = NextCombination(pick);
                    std::uint64_t presence = 0;
                    for (std::size_t i = 0; i < n; ++i) {
                        presence |= std::uint64_t{1} << (l.hits[i] + std::popcount(extras & job.tickets[i]));
                    }
                    tally(l, j, b, presence);
                }
            }
        }
        // A hole for t is a hole for every larger t: holes[1] full means all are.
        if (!holes.empty()) chunkHoles[c] = std::move(holes);
    };

    SubsetTally out;
    out.stopped = !RunChunks(chunks, threads, weight, tick, work);
    if (out.stopped) return out;
    out.best = locals[0].best;
    out.bestTier = locals[0].bestTier;
    out.anyTier = locals[0].anyTier;
    for (std::size_t t = 1; t < locals.size(); ++t) {
        const Local& l = locals[t];
        for (std::size_t j = 0; j < out.best.size(); ++j) {
            for (std::size_t h = 0; h < out.best[j].size(); ++h) out.best[j][h] += l.best[j][h];
        }
        for (std::size_t j = 0; j < out.bestTier.size(); ++j) {
            for (std::size_t b = 0; b < out.bestTier[j].size(); ++b) {
                for (std::size_t o = 0; o < outcomes; ++o) {
                    for (std::size_t i = 0; i <= tierCount; ++i) {
                        out.bestTier[j][b][o][i] += l.bestTier[j][b][o][i];
                        out.anyTier[j][b][o][i] += l.anyTier[j][b][o][i];
                    }
                }
            }
        }
    }
    out.holes.resize(static_cast<std::size_t>(top) + 1);
    for (int j = 0; j <= top; ++j) out.holes[static_cast<std::size_t>(j)].resize(static_cast<std::size_t>(j) + 1);
    for (std::size_t c = 0; c < chunks.size(); ++c) {
        const int j = chunks[c].size;
        for (std::size_t t = 0; t < chunkHoles[c].size(); ++t) {
            auto& list = out.holes[static_cast<std::size_t>(j)][t];
            for (const Mask s : chunkHoles[c][t]) {
                if (list.size() < static_cast<std::size_t>(job.holes)) list.push_back(s);
            }
        }
    }
    return out;
}

double DrawWork(const DrawJob& job)
{
    return static_cast<double>(Choose(job.n, job.k)) *
           static_cast<double>(std::max<std::size_t>(job.tickets.size(), 1));
}

namespace {

template <typename M>
void WalkDrawRange(const DrawJob& job, const std::vector<M>& tickets, const Chunk& chunk,
                   std::vector<std::vector<std::uint64_t>>& draws)
{
    const auto player = static_cast<M>(job.player);
    M d = UnrankCombination<M>(chunk.begin, job.k);
    for (std::uint64_t r = chunk.begin; r < chunk.end; ++r) {
        int best;
        if constexpr (std::is_same_v<M, Mask>) {
            best = kBest(d, tickets.data(), tickets.size()); // padded
        } else {
            best = 0;
            for (const M& t : tickets) best = std::max(best, PopCount(static_cast<M>(d & t)));
        }
        ++draws[static_cast<std::size_t>(PopCount(static_cast<M>(d & player)))][static_cast<std::size_t>(best)];
        if (r + 1 < chunk.end) d = NextCombination(d);
    }
}

} // namespace

DrawTally WalkDraws(const DrawJob& job, const Ticker& tick)
{
    std::vector<Chunk> chunks;
    Cut(chunks, 0, Choose(job.n, job.k), static_cast<double>(job.tickets.size()));
    std::vector<double> weight;
    weight.reserve(chunks.size());
    for (const Chunk& c : chunks) {
        weight.push_back(static_cast<double>(c.end - c.begin) * static_cast<double>(job.tickets.size()));
    }
    const int threads = std::max(1, job.threads);
    const std::size_t side = static_cast<std::size_t>(job.k) + 1;
    std::vector<std::vector<std::vector<std::uint64_t>>> locals(static_cast<std::size_t>(threads),
                                                                std::vector(side, std::vector<std::uint64_t>(side, 0)));
    const bool narrow = job.n <= 64;
    std::vector<Mask> narrowTickets;
    if (narrow) {
        for (const WideMask t : job.tickets) narrowTickets.push_back(static_cast<Mask>(t));
        narrowTickets = Padded(narrowTickets);
    }
    DrawTally out;
    out.stopped = !RunChunks(chunks, threads, weight, tick, [&](std::size_t c, int thread) {
        auto& draws = locals[static_cast<std::size_t>(thread)];
        if (narrow) {
            WalkDrawRange<Mask>(job, narrowTickets, chunks[c], draws);
        } else {
            WalkDrawRange<WideMask>(job, job.tickets, chunks[c], draws);
        }
    });
    if (out.stopped) return out;
    out.draws = locals[0];
    for (std::size_t t = 1; t < locals.size(); ++t) {
        for (std::size_t j = 0; j < side; ++j) {
            for (std::size_t h = 0; h < side; ++h) out.draws[j][h] += locals[t][j][h];
        }
    }
    return out;
}

} // namespace fortelle::wheels
