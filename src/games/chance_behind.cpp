#include "games/chance_behind.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "games/precise.h"

namespace fortelle {
namespace {

constexpr double kUnitRoundoff = 0x1p-53;
// The recurrence keeps its values near 1: past 2^kRescale they are scaled
// down by as much, and the older ones read through a power of two.
constexpr int kRescale = 600;

// One game's returns on a grid: the stake and each return in steps, with
// its chance (returns distinct, ascending).
struct Grid {
    std::int64_t stake = 0;
    std::vector<std::pair<std::int64_t, Rational>> returns;
};

enum class Way { Recurrence, GameByGame, None };

// A grid's returns made ready for n games: the lowest return shifted to 0,
// returns that reach the stakes alone left out (they end every path they
// are on), and the way and work it takes.
struct Plan {
    Rational lowest = 0;                                 // a_0
    std::vector<std::pair<std::int64_t, Rational>> rest; // w >= 1, below `target`
    std::int64_t target = 0;                             // T: behind means a sum below it
    std::int64_t games = 0;
    Way way = Way::None;
    double work = 0;
    std::int64_t mostSteps = 0;
    double mostWork = 0;
};

Plan MakePlan(const Grid& grid, std::int64_t games, std::int64_t mostSteps, double mostWork)
{
    Plan plan;
    plan.games = games;
    plan.mostSteps = mostSteps;
    plan.mostWork = mostWork;
    const std::int64_t base = grid.returns.front().first;
    plan.lowest = grid.returns.front().second;
    plan.target = games * (grid.stake - base);
    bool positive = true;
    for (std::size_t i = 1; i < grid.returns.size(); ++i) {
        const std::int64_t w = grid.returns[i].first - base;
        if (w >= plan.target) break;
        plan.rest.emplace_back(w, grid.returns[i].second);
        // Every term of the recurrence is positive while w (n + 1) > t.
        positive = positive && static_cast<double>(w) * static_cast<double>(games + 1) >= double(plan.target);
    }
    const double terms = static_cast<double>(plan.rest.size() + 1);
    const auto target = static_cast<double>(plan.target);
    if (positive && plan.target <= mostSteps && target * terms <= mostWork) {
        plan.way = Way::Recurrence;
        plan.work = target * terms;
    } else if (plan.target <= mostSteps / 4 && target * terms * static_cast<double>(games) <= mostWork) {
        plan.way = Way::GameByGame;
        plan.work = target * terms * static_cast<double>(games);
    } else {
        plan.work = (positive ? 1.0 : static_cast<double>(games)) * target * terms;
    }
    return plan;
}

// Tells `going` the fraction done, of the part of the whole a run is (the
// rounded pays take two runs).
struct Progress {
    const std::function<bool(double)>* going = nullptr;
    double from = 0, span = 1;
    bool stopped = false;
    // False once asked to stop.
    bool at(double fraction)
    {
        if (!stopped && going && *going && !(*going)(from + span * fraction)) stopped = true;
        return !stopped;
    }
};

// A computed chance and the bound of its relative rounding error.
struct Computed {
    Precise chance = 0;
    double relativeError = 0;
    const char* way = "";
};

// a_0^n 2^scale sum, the sum computed in doubles with the recurrence's values
// scaled by 2^-scale.
Precise Scaled(const Rational& lowest, std::int64_t games, std::int64_t scale, double sum)
{
    return pow(ToPrecise(lowest), static_cast<Precise>(games)) * ldexp(Precise(sum), static_cast<int>(scale));
}

Computed ByRecurrence(const Plan& plan, Progress& progress)
{
    struct Term {
        std::int64_t w;
        double ratio;          // a_w / a_0
        double top;            // w (n + 1)
        std::size_t epoch = 0; // of the coefficients it reads now
    };
    std::vector<Term> terms;
    double growth = 0; // bounds a coefficient over the largest it is made of
    for (const auto& [w, chance] : plan.rest) {
        const double top = static_cast<double>(w) * static_cast<double>(plan.games + 1);
        terms.push_back({w, ToDouble(chance / plan.lowest), top});
        growth += terms.back().ratio * top;
    }
    // Chances too far apart for this scaling: the other way answers.
    if (!(growth < 0x1p400)) return {Precise(-1), 0};
    // No coefficient of a block depends on another of it: a block is at
    // most the smallest return long, and its loops run over whole rows.
    constexpr std::int64_t kBlock = 2048;
    const std::int64_t block = terms.empty() ? kBlock : std::min(kBlock, terms.front().w);
    // A ring of the coefficients the next block reads.
    const auto size = static_cast<std::size_t>((terms.empty() ? 0 : terms.back().w) + block);
    std::vector<double> h(size, 0.0), acc(static_cast<std::size_t>(block)), at(static_cast<std::size_t>(block));
    // Epochs start at blocks: from each, the values are kept divided by 2^scale.
    std::vector<std::int64_t> epochStart{0}, epochScale{0};
    std::int64_t scale = 0;
    h[0] = 1.0;
    double sum = 1.0;
    std::int64_t told = 0;
    for (std::int64_t t0 = 1; t0 < plan.target; t0 += block) {
        if (t0 - told >= (1 << 18)) {
            told = t0;
            if (!progress.at(static_cast<double>(t0) / static_cast<double>(plan.target))) return {};
        }
        const std::int64_t length = std::min(block, plan.target - t0);
        std::fill(acc.begin(), acc.begin() + length, 0.0);
        for (std::int64_t k = 0; k < length; ++k) at[static_cast<std::size_t>(k)] = static_cast<double>(t0 + k);
        for (Term& term : terms) {
            std::int64_t j = std::max<std::int64_t>(0, term.w - t0); // sources t0 + j - w from 0
            while (j < length) {
                const std::int64_t from = t0 + j - term.w;
                while (term.epoch + 1 < epochStart.size() && from >= epochStart[term.epoch + 1]) ++term.epoch;
                // A run of sources in one epoch that does not wrap round the buffer.
                std::int64_t end = length;
                if (term.epoch + 1 < epochStart.size()) end = std::min(end, epochStart[term.epoch + 1] - from + j);
                const auto slot = static_cast<std::size_t>(from) % size;
                end = std::min(end, j + static_cast<std::int64_t>(size - slot));
                const double c =
                    term.ratio *
                    std::ldexp(1.0, static_cast<int>(std::max<std::int64_t>(epochScale[term.epoch] - scale, -2000)));
                const double top = term.top;
                const double* source = h.data() + slot - j;
                double* out = acc.data();
                const double* t = at.data();
                for (std::int64_t k = j; k < end; ++k) out[k] += c * (top - t[k]) * source[k];
                j = end;
            }
        }
        double largest = 0;
        for (std::int64_t k = 0; k < length; ++k) {
            acc[static_cast<std::size_t>(k)] /= static_cast<double>(t0 + k);
            largest = std::max(largest, acc[static_cast<std::size_t>(k)]);
        }
        if (largest > 0x1p600) {
            for (std::int64_t k = 0; k < length; ++k)
                acc[static_cast<std::size_t>(k)] = std::ldexp(acc[static_cast<std::size_t>(k)], -kRescale);
            sum = std::ldexp(sum, -kRescale);
            scale += kRescale;
            epochStart.push_back(t0);
            epochScale.push_back(scale);
        }
        std::size_t slot = static_cast<std::size_t>(t0) % size;
        for (std::int64_t k = 0; k < length; ++k) {
            h[slot] = acc[static_cast<std::size_t>(k)];
            slot = slot + 1 == size ? 0 : slot + 1;
            sum += acc[static_cast<std::size_t>(k)];
        }
    }
    const double steps = static_cast<double>(plan.target);
    const double perStep = static_cast<double>(terms.size() + 3) * kUnitRoundoff;
    // Values that fall below the double's range are lost: they are below
    // 2^-1000 of the sum, which never falls below 1.
    return {Scaled(plan.lowest, plan.games, scale, sum), 1.01 * (steps * perStep + steps * kUnitRoundoff) + 1e-290};
}

Computed GameByGame(const Plan& plan, Progress& progress)
{
    const auto target = static_cast<std::size_t>(plan.target);
    std::vector<double> h(target, 0.0), next(target, 0.0);
    h[0] = 1.0;
    const double stay = ToDouble(plan.lowest);
    std::vector<std::pair<std::size_t, double>> moves;
    for (const auto& [w, chance] : plan.rest) moves.emplace_back(static_cast<std::size_t>(w), ToDouble(chance));
    std::size_t reach = 1;  // sums below it can have come up so far
    std::int64_t scale = 0; // the values are the chances times 2^scale
    for (std::int64_t g = 0; g < plan.games; ++g) {
        if (!progress.at(static_cast<double>(g) / static_cast<double>(plan.games))) return {};
        reach = std::min(target, reach + (moves.empty() ? 0 : moves.back().first));
        double largest = 0;
        for (std::size_t t = 0; t < reach; ++t) next[t] = h[t] * stay;
        // The innermost loop, through plain pointers: checked indexing
        // would keep the compiler from vectorising it.
        double* to = next.data();
        const double* from = h.data();
        for (const auto& [w, chance] : moves) {
            for (std::size_t t = w; t < reach; ++t) to[t] += from[t - w] * chance;
        }
        for (std::size_t t = 0; t < reach; ++t) largest = std::max(largest, next[t]);
        if (largest < 0x1p-400) {
            for (std::size_t t = 0; t < reach; ++t) next[t] = std::ldexp(next[t], kRescale);
            scale += kRescale;
        }
        h.swap(next);
    }
    double sum = 0;
    for (double x : h) sum += x;
    const double perGame = static_cast<double>(moves.size() + 2) * kUnitRoundoff;
    // Values that fall below the double's range are lost: they are below
    // 2^-1000 of the largest, 1E-290 of the sum at most.
    return {ldexp(Precise(sum), static_cast<int>(-scale)),
            1.01 * (static_cast<double>(plan.games) * perGame + static_cast<double>(target) * kUnitRoundoff) + 1e-290};
}

std::optional<Computed> Compute(const Plan& plan, Progress& progress)
{
    if (plan.target <= 0) return Computed{0, 0, "none needed"}; // every game returns the stake or more
    if (plan.way == Way::Recurrence) {
        Computed c = ByRecurrence(plan, progress);
        c.way = "recurrence";
        if (c.chance >= 0) return c;
        // The other way, if it fits as well.
        if (plan.work * static_cast<double>(plan.games) > plan.mostWork || plan.target > plan.mostSteps / 4) {
            return std::nullopt;
        }
    } else if (plan.way != Way::GameByGame) {
        return std::nullopt;
    }
    Computed c = GameByGame(plan, progress);
    c.way = "game by game";
    return c;
}

enum class Round { Exactly, Down, Up };

// Every pay in steps of 1/`steps` of the stake, rounded as asked.
Grid OnGrid(const std::map<Rational, Rational>& chanceOfPay, std::int64_t steps, Round how)
{
    Grid grid;
    grid.stake = steps;
    std::map<std::int64_t, Rational> merged;
    for (const auto& [pay, chance] : chanceOfPay) {
        const Rational scaled = pay * steps;
        BigInt w = numerator(scaled) / denominator(scaled);
        if (how == Round::Up && denominator(scaled) != 1) ++w;
        merged[w.convert_to<std::int64_t>()] += chance;
    }
    grid.returns.assign(merged.begin(), merged.end());
    return grid;
}

std::string Digits(double x)
{
    std::string s = std::to_string(static_cast<long long>(x));
    for (std::size_t i = s.size(); i > 3; i -= 3) s.insert(i - 3, ",");
    return s;
}

} // namespace

ChanceBehind ComputeChanceBehind(const std::vector<Rational>& p, const std::map<int, Rational>& pays,
                                 std::int64_t games, const BehindLimits& limits,
                                 const std::function<bool(double)>& going)
{
    Progress progress{&going};
    std::map<Rational, Rational> chanceOfPay;
    for (std::size_t c = 0; c < p.size(); ++c) {
        if (p[c] == 0) continue;
        const auto pay = pays.find(static_cast<int>(c));
        chanceOfPay[pay == pays.end() ? Rational(0) : pay->second] += p[c];
    }
    ChanceBehind result;
    if (chanceOfPay.begin()->first >= 1 || chanceOfPay.rbegin()->first < 1) {
        // Every game returns at least its stake, or every game less.
        result.how = ChanceBehind::How::Certain;
        result.certain = chanceOfPay.begin()->first >= 1 ? 0 : 1;
        return result;
    }
    // The exact grid: the largest step that divides the stake and every pay.
    BigInt common = 1;
    for (const auto& [pay, chance] : chanceOfPay) common = boost::multiprecision::lcm(common, denominator(pay));
    BigInt divisor = common;
    for (const auto& [pay, chance] : chanceOfPay) {
        divisor = boost::multiprecision::gcd(divisor, numerator(Rational(pay * common)));
    }
    const BigInt exactSteps = common / divisor;
    std::string why = "the pays' exact grid, 1/" + exactSteps.str() + " of the stake, needs more than ";
    if (exactSteps * games > limits.steps) {
        why += Digits(double(limits.steps)) + " steps";
    } else {
        const Plan plan = MakePlan(OnGrid(chanceOfPay, exactSteps.convert_to<std::int64_t>(), Round::Exactly), games,
                                   limits.steps, limits.work);
        const auto c = Compute(plan, progress);
        result.stopped = progress.stopped;
        if (result.stopped) return result;
        if (c) {
            result.chance = c->chance;
            result.error = c->chance * c->relativeError;
            result.way = c->way;
            return result;
        }
        why += Digits(limits.work) + " steps of work";
    }
    result.how = ChanceBehind::How::NotComputed;
    result.reason = why;
    // A coarser grid, both ways, each within half the work: the finest that fits.
    std::int64_t steps = limits.steps / games;
    if (exactSteps <= steps) steps = exactSteps.convert_to<std::int64_t>() - 1;
    for (; steps >= 1; steps /= 2) {
        const Plan down = MakePlan(OnGrid(chanceOfPay, steps, Round::Down), games, limits.steps, limits.work / 2);
        const Plan up = MakePlan(OnGrid(chanceOfPay, steps, Round::Up), games, limits.steps, limits.work / 2);
        if ((down.target > 0 && down.way == Way::None) || (up.target > 0 && up.way == Way::None)) continue;
        progress.span = 0.5;
        const auto high = Compute(down, progress);
        progress.from = 0.5;
        const auto low = Compute(up, progress);
        progress.from = 0;
        result.stopped = progress.stopped;
        if (result.stopped) return result;
        if (!high || !low) continue;
        Precise upper = high->chance * (1 + high->relativeError), lower = low->chance * (1 - low->relativeError);
        if (upper > 1) upper = 1;
        if (lower < 0) lower = 0;
        result.chance = (upper + lower) / 2;
        result.error = (upper - lower) / 2;
        result.steps = steps;
        result.way = std::string(high->way) + ", " + low->way;
        if (result.error <= Precise(0.00005)) {
            result.how = ChanceBehind::How::Rounded;
            return result;
        }
        // Stated so that it stays true: the ends rounded outwards.
        result.reason += "; rounded down and up to 1/" + Digits(double(steps)) + " of the stake, they put it between" +
                         PrintStyleNumber(std::floor(lower.convert_to<double>() * 10000) / 100) + "and" +
                         PrintStyleNumber(std::ceil(upper.convert_to<double>() * 10000) / 100) + "%";
        return result;
    }
    return result;
}

} // namespace fortelle
