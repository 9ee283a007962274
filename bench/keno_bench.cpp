// The chance of being behind at Keno for the heaviest inputs the program
// accepts at 1,000,000 games, each timed against a baseline measured in the
// same run: one pass over the largest grid a computation may hold (2^24
// doubles, written and summed). The ratio says how many such passes the
// case costs, whatever the machine; a case well under a second on the
// reference machine stays under 1 s. Run: build/bench/fortelle_keno_bench
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "games/chance_behind.h"
#include "games/game_odds.h"

namespace {

using fortelle::Rational;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// The best of three runs of `f`, in seconds.
template <class F>
double Best(F f)
{
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        const auto start = Clock::now();
        f();
        best = std::min(best, Seconds(start));
    }
    return best;
}

int Run()
{
    const auto keno = fortelle::ReadGameFile(R"({"id": "keno", "name": "Keno 80/20", "keno": true,
        "drums": [{"name": "numbers", "size": 80, "draw": 20, "pick": "spots"}], "spots": {"min": 1, "max": 20}})",
                                             "keno.json");
    volatile double sink = 0;
    const double baseline = Best([&] {
        std::vector<double> grid(std::size_t{1} << 24);
        for (std::size_t i = 0; i < grid.size(); ++i) grid[i] = static_cast<double>(i);
        double sum = 0;
        for (double x : grid) sum += x;
        sink = sink + sum;
    });
    std::printf("baseline: one pass over 2^24 doubles: %.1f ms\n", baseline * 1e3);
    struct Case {
        const char* what;
        int spots;
        std::map<int, Rational> pays;
        std::int64_t games;
    };
    std::vector<Case> cases;
    cases.push_back({"8 spots, pays 9, 95, 1480, 18000", 8, {{5, 9}, {6, 95}, {7, 1480}, {8, 18000}}, 1'000'000});
    Case grid10{"20 spots, 19 pays on a grid of 1/10 (the most work exactly)", 20, {}, 1'000'000};
    for (int c = 2; c <= 20; ++c) grid10.pays[c] = 1 + Rational(c, 10);
    cases.push_back(grid10);
    Case rounded{"20 spots, 20 pays on a grid of 1/16 (rounded both ways)", 20, {}, 1'000'000};
    for (int c = 1; c <= 20; ++c) rounded.pays[c] = 1 + Rational(c, 16);
    cases.push_back(rounded);
    cases.push_back(
        {"4 spots, a pay of 0.5 (game by game, 5,000 games)", 4, {{2, Rational(1, 2)}, {3, 5}, {4, 50}}, 5000});
    cases.push_back(
        {"1 spot paying 999999.9375 (the largest ring of values)", 1, {{1, Rational(15999999, 16)}}, 1'000'000});
    for (const Case& c : cases) {
        const std::vector<Rational> p = fortelle::ComputeGameOdds(*keno.game, c.spots).p;
        fortelle::ChanceBehind result;
        const double t = Best([&] { result = fortelle::ComputeChanceBehind(p, c.pays, c.games); });
        std::printf("%-64s %7.1f ms  %5.1f x baseline  (%s)\n", c.what, t * 1e3, t / baseline,
                    result.how == fortelle::ChanceBehind::How::Exact     ? "exact distribution"
                    : result.how == fortelle::ChanceBehind::How::Rounded ? "pays rounded both ways"
                                                                         : "other");
    }
    return sink == -1 ? 1 : 0;
}

} // namespace

int main()
{
    try {
        return Run();
    } catch (...) {
        std::fputs("the benchmark failed\n", stderr);
        return 1;
    }
}
