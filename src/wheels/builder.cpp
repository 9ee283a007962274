#include "wheels/builder.h"

#include <algorithm>

#include "wheels/designs.h"
#include "wheels/wheel_text.h"

namespace fortelle::wheels {
namespace {

// Units of work (m-sets looked up) per second of budget, measured on the
// project's two-core reference machine.
constexpr std::uint64_t kWorkPerSecond = 40'000'000;

// xoshiro256** (Blackman and Vigna), seeded through splitmix64: the same
// numbers on every platform, unlike the standard library's distributions.
class Random {
public:
    explicit Random(std::uint64_t seed)
    {
        for (auto& word : s_) {
            seed += 0x9e3779b97f4a7c15ULL;
            std::uint64_t z = seed;
            z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
            z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
            word = z ^ (z >> 31);
        }
    }
    std::uint64_t next()
    {
        const std::uint64_t result = std::rotl(s_[1] * 5, 7) * 9;
        const std::uint64_t t = s_[1] << 17;
        s_[2] ^= s_[0];
        s_[3] ^= s_[1];
        s_[1] ^= s_[2];
        s_[0] ^= s_[3];
        s_[2] ^= t;
        s_[3] = std::rotl(s_[3], 45);
        return result;
    }
    // 0 <= result < n (n > 0).
    std::uint64_t below(std::uint64_t n)
    {
        return static_cast<std::uint64_t>((static_cast<WideMask>(next()) * n) >> 64);
    }
    // A uniform double in [0, 1), from 53 bits.
    double unit() { return static_cast<double>(next() >> 11) * 0x1p-53; }
    // A random element of a set.
    int element(Mask set)
    {
        for (std::uint64_t skip = below(static_cast<std::uint64_t>(std::popcount(set))); skip > 0; --skip)
            set &= set - 1;
        return std::countr_zero(set);
    }

private:
    std::uint64_t s_[4] = {};
};

// The positions of a mask's bits, and its subsets of a given size walked
// without allocating.
struct Bits {
    int at[64] = {};
    int count = 0;
    explicit Bits(Mask m)
    {
        for (; m != 0; m &= m - 1) at[count++] = std::countr_zero(m);
    }
    template <typename F>
    void subsets(int size, F&& f) const
    {
        // None when size > count; the empty set alone when size is 0.
        Mask pick = (Mask{1} << size) - 1;
        const std::uint64_t n = Choose(count, size);
        for (std::uint64_t q = 0; q < n; ++q) {
            Mask m = 0;
            for (Mask p = pick; p != 0; p &= p - 1) m |= Mask{1} << at[std::countr_zero(p)];
            f(m);
            if (q + 1 < n) pick = NextCombination(pick);
        }
    }
};

class Search {
public:
    Search(const BuildRequest& r, std::uint64_t budget, const Ticker& tick)
        : v_(r.v), k_(r.k), t_(r.t), m_(r.m), full_(r.v >= 64 ? ~Mask{0} : (Mask{1} << r.v) - 1), random_(r.seed),
          budget_(budget), tick_(tick)
    {
        const std::uint64_t targets = Choose(v_, m_);
        count_.assign(targets, 0);
        where_.assign(targets, 0);
        uncovered_.resize(targets);
        for (std::uint64_t i = 0; i < targets; ++i) {
            uncovered_[i] = static_cast<std::uint32_t>(i);
            where_[i] = static_cast<std::int32_t>(i);
        }
    }

    bool stopped() const { return stopped_; }
    std::uint64_t work() const { return work_; }
    const std::vector<Mask>& blocks() const { return blocks_; }

    // Adds tickets, each the best of a few candidates, until every m-set is met.
    void greedy()
    {
        while (!uncovered_.empty() && !poll()) {
            Mask best = 0;
            std::uint64_t bestGain = 0;
            for (int c = 0; c < 24; ++c) {
                const Mask candidate = candidateFor(uncovered_[random_.below(uncovered_.size())]);
                std::uint64_t gain = 0;
                forEachHit(candidate, [&](std::uint64_t target) { gain += count_[target] == 0 ? 1 : 0; });
                if (gain > bestGain) {
                    bestGain = gain;
                    best = candidate;
                }
            }
            add(best);
        }
    }

    // Drops the ticket that alone meets the fewest m-sets.
    void dropOne()
    {
        std::size_t weakest = 0;
        std::uint64_t fewest = ~std::uint64_t{0};
        for (std::size_t i = 0; i < blocks_.size(); ++i) {
            std::uint64_t alone = 0;
            forEachHit(blocks_[i], [&](std::uint64_t target) { alone += count_[target] == 1 ? 1 : 0; });
            if (alone < fewest) {
                fewest = alone;
                weakest = i;
            }
        }
        remove(weakest);
    }

    // Simulated annealing until every m-set is met or the budget is spent.
    // The chance of taking a change that leaves d more m-sets unmet is q^d;
    // q starts at 0.15 and falls by 1 % after every 2 b k moves (b tickets
    // of k numbers), and starts again once below 0.001. Plain arithmetic
    // only (no exp), so that every platform takes the same moves.
    bool anneal()
    {
        const std::uint64_t round = 2 * blocks_.size() * static_cast<std::uint64_t>(k_);
        double q = 0.15;
        while (!uncovered_.empty()) {
            for (std::uint64_t move = 0; move < round && !uncovered_.empty(); ++move) {
                if (over()) return false;
                step(q);
            }
            q *= 0.99;
            if (q < 0.001) q = 0.15;
        }
        return true;
    }

private:
    bool over()
    {
        if (work_ >= budget_) stopped_ = true;
        return poll();
    }

    // Reports progress now and then; true once stopped.
    bool poll()
    {
        if (stopped_) return true;
        if (work_ >= nextTick_) {
            nextTick_ = work_ + (1 << 20);
            if (tick_ && !tick_(std::min(1.0, static_cast<double>(work_) / static_cast<double>(budget_)))) {
                cancelled_ = true;
                stopped_ = true;
            }
        }
        return stopped_;
    }

public:
    bool cancelled() const { return cancelled_; }

private:
    Mask candidateFor(std::uint32_t target)
    {
        Mask in = UnrankCombination<Mask>(target, m_);
        Mask block = 0;
        for (int i = 0; i < std::min(t_, k_); ++i) {
            const int e = random_.element(in);
            block |= Mask{1} << e;
            in &= ~(Mask{1} << e);
        }
        while (std::popcount(block) < k_) block |= Mask{1} << random_.element(full_ & ~block);
        return block;
    }

    // Every m-set the block meets in t numbers or more.
    template <typename F>
    void forEachHit(Mask block, F&& f)
    {
        const Bits inside(block), outside(full_ & ~block);
        for (int i = t_; i <= std::min(k_, m_); ++i) {
            inside.subsets(i, [&](Mask a) {
                outside.subsets(m_ - i, [&](Mask c) {
                    ++work_;
                    f(RankCombination(a | c));
                });
            });
        }
    }

    void add(Mask block)
    {
        forEachHit(block, [&](std::uint64_t target) {
            if (count_[target]++ == 0) cover(target);
        });
        blocks_.push_back(block);
    }

    void remove(std::size_t i)
    {
        forEachHit(blocks_[i], [&](std::uint64_t target) {
            if (--count_[target] == 0) uncover(target);
        });
        blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(i));
    }

    void cover(std::uint64_t target)
    {
        const auto at = static_cast<std::size_t>(where_[target]);
        const std::uint32_t last = uncovered_.back();
        uncovered_[at] = last;
        where_[last] = static_cast<std::int32_t>(at);
        uncovered_.pop_back();
        where_[target] = -1;
    }

    void uncover(std::uint64_t target)
    {
        where_[target] = static_cast<std::int32_t>(uncovered_.size());
        uncovered_.push_back(static_cast<std::uint32_t>(target));
    }

    // The m-sets whose being met changes when x leaves the block and y joins
    // it: {x} + A + C lose it, {y} + A + C gain it, for A of t - 1 of the
    // block's other numbers and C of m - t numbers outside it and y.
    template <typename F>
    void forEachSwap(Mask block, int x, int y, F&& f)
    {
        const Bits inside(block & ~(Mask{1} << x)), outside(full_ & ~block & ~(Mask{1} << y));
        inside.subsets(t_ - 1, [&](Mask a) {
            outside.subsets(m_ - t_, [&](Mask c) {
                work_ += 2;
                f(RankCombination(a | c | Mask{1} << x), RankCombination(a | c | Mask{1} << y));
            });
        });
    }

    void step(double q)
    {
        const Mask target = UnrankCombination<Mask>(uncovered_[random_.below(uncovered_.size())], m_);
        // A ticket nearest to meeting it, one of the nearest at random.
        int nearest = -1, ties = 0;
        std::size_t chosen = 0;
        for (std::size_t i = 0; i < blocks_.size(); ++i) {
            const int overlap = std::popcount(blocks_[i] & target);
            if (overlap > nearest) {
                nearest = overlap;
                ties = 1;
                chosen = i;
            } else if (overlap == nearest && random_.below(static_cast<std::uint64_t>(++ties)) == 0) {
                chosen = i;
            }
        }
        work_ += 8 + blocks_.size() / 2;
        const Mask block = blocks_[chosen];
        const int x = random_.element(block & ~target), y = random_.element(target & ~block);
        std::int64_t delta = 0;
        forEachSwap(block, x, y, [&](std::uint64_t lose, std::uint64_t gain) {
            delta += (count_[lose] == 1 ? 1 : 0) - (count_[gain] == 0 ? 1 : 0);
        });
        if (delta > 0) {
            double chance = 1;
            for (std::int64_t d = 0; d < delta; ++d) chance *= q;
            if (random_.unit() >= chance) return;
        }
        forEachSwap(block, x, y, [&](std::uint64_t lose, std::uint64_t gain) {
            if (--count_[lose] == 0) uncover(lose);
            if (count_[gain]++ == 0) cover(gain);
        });
        blocks_[chosen] = (block & ~(Mask{1} << x)) | Mask{1} << y;
    }

    const int v_, k_, t_, m_;
    const Mask full_;
    Random random_;
    const std::uint64_t budget_;
    const Ticker& tick_;
    std::vector<Mask> blocks_;
    std::vector<std::uint32_t> count_;
    std::vector<std::int32_t> where_;
    std::vector<std::uint32_t> uncovered_;
    std::uint64_t work_ = 0, nextTick_ = 0;
    bool stopped_ = false, cancelled_ = false;
};

} // namespace

std::vector<forms::Problem> BuildRefusals(const BuildRequest& r)
{
    std::vector<forms::Problem> problems;
    if (r.v < 2 || r.v > kMostNumbers) {
        problems.push_back({"v", "A wheel is made on 2 to " + std::to_string(kMostNumbers) + " numbers."});
    }
    if (r.k < 1 || r.k > std::min(kMostPick, r.v)) {
        problems.push_back({"k", "A ticket holds 1 to " + std::to_string(std::max(1, std::min(kMostPick, r.v))) +
                                     " numbers, no more than the wheel's numbers."});
    }
    if (r.t < 1 || r.t > r.k) problems.push_back({"t", "The guaranteed match t must be 1 to the ticket size."});
    if (r.m < r.t || r.m > r.k) {
        problems.push_back({"m", "The numbers drawn m must be at least t and at most the ticket size."});
    }
    if (r.seconds < 1 || r.seconds > kMostSeconds) {
        problems.push_back(
            {"seconds", "The time to search must be 1 to " + std::to_string(kMostSeconds) + " seconds."});
    }
    if (problems.empty() && !ExactWheel(r.v, r.k, r.m, r.t) && Choose(r.v, r.m) > kMostTargets) {
        problems.push_back({"v", "There are " + Grouped(Choose(r.v, r.m)) + " sets of " + std::to_string(r.m) + " of " +
                                     std::to_string(r.v) + " numbers; a wheel is searched for at most " +
                                     Grouped(kMostTargets) + ". Use fewer numbers."});
    }
    return problems;
}

BuildResult BuildWheel(const BuildRequest& r, std::uint64_t stopAt, const Ticker& tick)
{
    BuildResult out;
    if (auto exact = ExactWheel(r.v, r.k, r.m, r.t)) {
        out.blocks = std::move(exact->blocks);
        out.method = exact->name;
        out.exact = true;
        return out;
    }
    const std::uint64_t budget = static_cast<std::uint64_t>(r.seconds) * kWorkPerSecond;
    Search search(r, budget, tick);
    search.greedy();
    if (search.cancelled()) {
        out.stopped = true;
        return out;
    }
    // The greedy pass always finishes (its budget is not counted against it:
    // a wheel must be shown), then each smaller size is annealed for.
    std::vector<Mask> best = search.blocks();
    out.greedySize = best.size();
    while (best.size() > stopAt && !search.stopped()) {
        search.dropOne();
        if (!search.anneal()) break;
        best = search.blocks();
    }
    if (search.cancelled()) {
        out.stopped = true;
        return out;
    }
    out.blocks = best;
    out.work = search.work();
    const std::string seed = "simulated annealing (seed " + std::to_string(r.seed) + ")";
    out.method = "a greedy wheel of " + std::to_string(out.greedySize) + " tickets, " +
                 (best.size() < out.greedySize ? "brought down to " + std::to_string(best.size()) + " by " + seed
                                               : "which " + seed + " found no smaller wheel than");
    return out;
}

} // namespace fortelle::wheels
