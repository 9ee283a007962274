#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>

#include "cli/command_line.h"
#include "wheels/check.h"
#include "wheels/make.h"
#include "wheels/wheel_tools.h"

namespace fortelle::wheels {
namespace {

// A random wheel of `count` tickets of k of the numbers 1..v.
Wheel RandomWheel(int v, int k, int count, unsigned seed)
{
    std::mt19937 random(seed);
    Wheel w;
    for (int i = 1; i <= v; ++i) w.numbers.push_back(i);
    for (int i = 0; i < count; ++i) {
        std::vector<int> all = w.numbers;
        std::shuffle(all.begin(), all.end(), random);
        all.resize(static_cast<std::size_t>(k));
        std::sort(all.begin(), all.end());
        w.tickets.push_back(all);
    }
    SetMasks(w);
    return w;
}

int Common(const std::vector<int>& a, const std::vector<int>& b)
{
    std::vector<int> both;
    std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(both));
    return static_cast<int>(both.size());
}

// Every k-set of 1..n in dictionary order, calling f with it.
template <typename F>
void EverySet(int n, int k, F&& f)
{
    std::vector<int> s(static_cast<std::size_t>(k));
    for (int i = 0; i < k; ++i) s[static_cast<std::size_t>(i)] = i + 1;
    for (;;) {
        f(s);
        int i = k - 1;
        while (i >= 0 && s[static_cast<std::size_t>(i)] == n - k + i + 1) --i;
        if (i < 0) return;
        ++s[static_cast<std::size_t>(i)];
        for (int j = i + 1; j < k; ++j) s[static_cast<std::size_t>(j)] = s[static_cast<std::size_t>(j - 1)] + 1;
    }
}

// Both walks against a plain loop over every draw and every set of the
// player's numbers, for random wheels (the player holds 1..v of 1..n).
TEST(Checker, AgreesWithBruteForceOnRandomWheels)
{
    struct Case {
        int n, k, v, tickets, threads;
        unsigned seed;
    };
    for (const Case c : {Case{12, 3, 7, 3, 1, 1}, Case{15, 4, 9, 5, 2, 2}, Case{20, 5, 10, 8, 2, 3},
                         Case{18, 6, 18, 12, 1, 4}, Case{22, 5, 12, 1, 2, 5}, Case{16, 2, 6, 4, 2, 6}}) {
        SCOPED_TRACE("case " + std::to_string(c.seed));
        const Wheel w = RandomWheel(c.v, c.k, c.tickets, c.seed);
        const auto best = [&](const std::vector<int>& s) {
            int b = 0;
            for (const auto& t : w.tickets) b = std::max(b, Common(s, t));
            return b;
        };
        // draws[j][h] by brute force over the game's draws.
        std::vector<std::vector<std::uint64_t>> draws(c.k + 1, std::vector<std::uint64_t>(c.k + 1, 0));
        EverySet(c.n, c.k, [&](const std::vector<int>& d) {
            const auto j = std::count_if(d.begin(), d.end(), [&](int x) { return x <= c.v; });
            ++draws[static_cast<std::size_t>(j)][static_cast<std::size_t>(best(d))];
        });
        DrawJob dj{c.n, c.k, {}, 0, c.threads};
        for (const auto& t : w.tickets) {
            WideMask m = 0;
            for (const int x : t) m |= WideMask{1} << (x - 1);
            dj.tickets.push_back(m);
        }
        for (int x = 1; x <= c.v; ++x) dj.player |= WideMask{1} << (x - 1);
        EXPECT_EQ(WalkDraws(dj, {}).draws, draws);

        const SubsetTally s = WalkSubsets({c.v, c.k, c.n, w.masks, 3, -1, nullptr, c.threads}, {});
        for (int m = 0; m <= c.k; ++m) {
            std::vector<std::uint64_t> sets(c.k + 1, 0);
            std::vector<std::vector<std::vector<int>>> holes(m + 1);
            EverySet(c.v, m, [&](const std::vector<int>& set) {
                const int b = best(set);
                ++sets[static_cast<std::size_t>(b)];
                for (int t = b + 1; t <= m; ++t) {
                    if (holes[static_cast<std::size_t>(t)].size() < 3)
                        holes[static_cast<std::size_t>(t)].push_back(set);
                }
            });
            for (int h = 0; h <= c.k; ++h) {
                EXPECT_EQ(s.best[m][h] * Choose(c.n - c.v, c.k - m), draws[m][h]);
                EXPECT_EQ(s.best[m][h], sets[h]);
            }
            for (int t = 1; t <= m; ++t) {
                std::vector<std::vector<int>> found;
                for (const Mask hole : s.holes[m][t]) found.push_back(NumbersOf(w, hole));
                EXPECT_EQ(found, holes[t]) << t << " if " << m;
            }
        }
    }
}

CheckResult CheckOf(int v, int k, std::vector<Mask> blocks, int drop)
{
    CheckInput in;
    std::vector<forms::Problem> problems;
    in.game = *PlainGame(49, k, problems);
    for (int i = 1; i <= v; ++i) in.wheel.numbers.push_back(i);
    blocks.erase(blocks.begin() + drop);
    for (const Mask b : blocks) {
        std::vector<int> t;
        for (int i = 0; i < v; ++i) {
            if (b >> i & 1) t.push_back(i + 1);
        }
        in.wheel.tickets.push_back(t);
    }
    SetMasks(in.wheel);
    return CheckWheel(in);
}

// A Steiner system holds every t-set in exactly one ticket: without that
// ticket, exactly its C(k, t) t-sets are missed, and those are the holes.
TEST(Checker, FindsTheHolesOfADesignWithoutOneTicket)
{
    struct Case {
        int v, k, t, drop;
    };
    for (const Case c :
         {Case{7, 3, 2, 0}, Case{13, 4, 2, 5}, Case{22, 6, 3, 40}, Case{12, 6, 5, 131}, Case{16, 4, 3, 7}}) {
        const auto design = ExactWheel(c.v, c.k, c.t, c.t);
        ASSERT_TRUE(design);
        EXPECT_EQ(BigInt(design->blocks.size()), SchoenheimBound(c.v, c.k, c.t));
        const Mask removed = design->blocks[static_cast<std::size_t>(c.drop)];
        const CheckResult r = CheckOf(c.v, c.k, design->blocks, c.drop);
        for (const GuaranteeResult& g : r.guarantees) {
            if (g.t != c.t || g.m != c.t) continue;
            EXPECT_EQ(g.misses, Choose(c.k, c.t));
            std::vector<std::vector<int>> expected;
            EverySet(c.k, c.t, [&](const std::vector<int>& pick) {
                std::vector<int> in;
                for (int i = 0, n = 0; i < c.v; ++i) {
                    if (removed >> i & 1 && std::find(pick.begin(), pick.end(), ++n) != pick.end()) in.push_back(i + 1);
                }
                expected.push_back(in);
            });
            std::sort(expected.begin(), expected.end());
            expected.resize(std::min<std::size_t>(expected.size(), 5));
            EXPECT_EQ(g.first, expected);
        }
    }
}

TEST(Designs, SchoenheimBoundOnPublishedValues)
{
    // Steiner systems meet it (their sizes: Colbourn and Dinitz, Handbook of
    // Combinatorial Designs); the La Jolla table's lower bounds are at least it.
    struct Case {
        int v, k, t;
        long long bound;
    };
    for (const Case c : {Case{7, 3, 2, 7}, Case{9, 3, 2, 12}, Case{21, 5, 2, 21}, Case{22, 6, 3, 77},
                         Case{23, 7, 4, 253}, Case{24, 8, 5, 759}, Case{12, 6, 5, 132}, Case{11, 5, 4, 66},
                         Case{10, 9, 6, 7}, Case{11, 9, 6, 10}, Case{10, 8, 5, 8}}) {
        EXPECT_EQ(SchoenheimBound(c.v, c.k, c.t), BigInt(c.bound)) << c.v << "," << c.k << "," << c.t;
    }
    for (const KnownCovering& c : KnownCoverings()) {
        EXPECT_LE(SchoenheimBound(c.v, c.k, c.t), BigInt(c.lowerBound)) << c.v << "," << c.k << "," << c.t;
        EXPECT_LE(c.lowerBound, c.size);
    }
    // For m > t only the counting bound holds: L(10,6,4,3) needs 3 tickets,
    // as a ticket meets 20 x 4 + 15 = 95 of the 210 4-sets in 3 or more.
    EXPECT_EQ(BestLowerBound(10, 6, 4, 3).value, 3);
    EXPECT_EQ(BestLowerBound(10, 3, 3, 1).value, 3); // "1 if 3": the tickets hold 8 of the 10 numbers
    // The Boolean quadruple system SQS(8) has 8 x 7 x 6 / 24 blocks; tickets of 5 have no such system.
    EXPECT_EQ(ExactWheel(8, 4, 3, 3)->blocks.size(), 14u);
    EXPECT_FALSE(ExactWheel(8, 5, 3, 3));
    EXPECT_EQ(ExactWheel(31, 6, 2, 2).value_or(ExactDesign{}).blocks.size(), 31u); // the plane of order 5
}

// Each construction is a Steiner system S(t, k, v): k numbers a ticket,
// every t-set of the v numbers inside exactly one ticket. The full wheel
// (t = k) holds every k-set once. Requests no construction answers get none.
TEST(Designs, EveryConstructionHoldsEachSetExactlyOnce)
{
    struct Case {
        int v, k, t;
        const char* how;
    };
    for (const Case c : {Case{7, 3, 2, "Skolem"},
                         Case{13, 3, 2, "Skolem"},
                         Case{9, 3, 2, "Bose"},
                         Case{15, 3, 2, "Bose"},
                         Case{13, 4, 2, "projective plane of order 3"},
                         Case{31, 6, 2, "projective plane of order 5"},
                         Case{57, 8, 2, "projective plane of order 7"},
                         Case{25, 5, 2, "affine plane of order 5"},
                         Case{49, 7, 2, "affine plane of order 7"},
                         Case{8, 4, 3, "Boolean"},
                         Case{64, 4, 3, "Boolean"},
                         Case{23, 7, 4, "Golay"},
                         Case{22, 6, 3, "Golay"},
                         Case{21, 5, 2, "Golay"},
                         Case{24, 8, 5, "Golay"},
                         Case{12, 6, 5, "GF(11)"},
                         Case{11, 5, 4, "GF(11)"},
                         Case{10, 4, 3, "GF(11)"},
                         Case{7, 3, 3, "full wheel"},
                         Case{9, 9, 4, "one ticket"}}) {
        SCOPED_TRACE(std::to_string(c.v) + "," + std::to_string(c.k) + "," + std::to_string(c.t));
        const auto design = ExactWheel(c.v, c.k, c.t, c.t);
        ASSERT_TRUE(design);
        EXPECT_NE(design->name.find(c.how), std::string::npos) << design->name;
        std::vector<int> times(Choose(c.v, c.t), 0);
        for (const Mask b : design->blocks) {
            ASSERT_EQ(std::popcount(b), c.k);
            ASSERT_LE(std::bit_width(b), c.v);
            std::vector<int> at;
            for (int i = 0; i < c.v; ++i) {
                if (b >> i & 1) at.push_back(i);
            }
            EverySet(c.k, c.t, [&](const std::vector<int>& pick) {
                Mask set = 0;
                for (const int i : pick) set |= Mask{1} << at[static_cast<std::size_t>(i - 1)];
                ++times[RankCombination(set)];
            });
        }
        EXPECT_EQ(std::count(times.begin(), times.end(), 1), std::ssize(times));
    }
    for (const auto [v, k, m, t] :
         {std::array{5, 6, 6, 6}, std::array{7, 3, 2, 3}, std::array{10, 3, 4, 1}, std::array{7, 3, 3, 2},
          std::array{16, 4, 2, 2}, std::array{12, 4, 3, 3}, std::array{30, 6, 6, 6},
          // Each beside one of the designs from the projective line over GF(11).
          std::array{10, 5, 3, 3}, std::array{11, 4, 3, 3}, std::array{12, 5, 4, 4}, std::array{13, 6, 5, 5}}) {
        EXPECT_FALSE(ExactWheel(v, k, m, t)) << v << "," << k << "," << m << "," << t;
    }
}

// Every wheel the builder makes passes the checker, and the same seed and
// budget give the same wheel.
TEST(Builder, EveryBuiltWheelPassesTheChecker)
{
    struct Case {
        int v, k, t, m;
    };
    for (const Case c : {Case{9, 3, 2, 2}, Case{10, 5, 3, 3}, Case{12, 6, 3, 4}, Case{14, 5, 2, 3}, Case{11, 6, 4, 5},
                         Case{13, 3, 2, 2}, Case{10, 4, 1, 3}, Case{64, 3, 2, 2}}) {
        MakeInput in;
        in.request = {c.v, c.k, c.t, c.m, 1, 7};
        ASSERT_TRUE(MakeRefusals(in).empty());
        const MakeResult r = MakeWheel(in);
        const SubsetTally s = WalkSubsets({c.v, c.k, c.v, r.wheel.masks, 0, c.m, nullptr, 1}, {});
        for (int h = 0; h < c.t; ++h) EXPECT_EQ(s.best[c.m][h], 0u) << c.v << " " << c.k << " " << c.t << " " << c.m;
        EXPECT_GE(BigInt(r.wheel.tickets.size()), r.bound.value);
        EXPECT_EQ(SubsetWork({c.v, c.k, c.v, r.wheel.masks, 0, c.m, nullptr, 1}),
                  static_cast<double>(Choose(c.v, c.m) * r.wheel.tickets.size()));
        EXPECT_EQ(MakeWheel(in).wheel.tickets, r.wheel.tickets);
    }
}

TEST(Checker, StopsWhenCancelled)
{
    const Wheel w = RandomWheel(30, 6, 50, 9);
    int ticks = 0;
    const Ticker stop = [&](double f) {
        EXPECT_LE(f, 1.0);
        return ++ticks < 3;
    };
    EXPECT_TRUE(WalkSubsets({30, 6, 49, w.masks, 5, -1, nullptr, 2}, stop).stopped);
    EXPECT_EQ(ticks, 3);
    ticks = 0;
    EXPECT_TRUE(WalkDraws({49, 6, std::vector<WideMask>(w.masks.begin(), w.masks.end()), 0, 1}, stop).stopped);
    ticks = 0;
    MakeInput in;
    in.request = {30, 6, 4, 4, 600, 1};
    EXPECT_TRUE(MakeWheel(in, stop).stopped);
    ticks = 0; // here the greedy pass ticks once: the anneal is stopped
    in.request = {10, 5, 3, 3, 1, 4};
    EXPECT_TRUE(MakeWheel(in, stop).stopped);
    EXPECT_EQ(ticks, 3);
    const MakeResult onToTheEnd = MakeWheel(in, [](double) { return true; });
    EXPECT_FALSE(onToTheEnd.stopped);
    EXPECT_EQ(onToTheEnd.wheel.tickets, MakeWheel(in).wheel.tickets);
}

// Each limit of a request accepted at its edge and refused one past it.
TEST(Builder, RefusesRequestsPastItsLimits)
{
    struct Case {
        BuildRequest r;
        const char* first; // the first problem's field
    };
    for (const Case& c :
         {Case{{2, 1, 1, 1}, ""}, Case{{1, 1, 1, 1}, "v"}, Case{{64, 2, 1, 1}, ""}, Case{{65, 2, 1, 1}, "v"},
          Case{{10, 0, 1, 1}, "k"}, Case{{25, 20, 1, 1}, ""}, Case{{25, 21, 1, 1}, "k"}, Case{{5, 5, 1, 1}, ""},
          Case{{5, 6, 1, 1}, "k"}, Case{{10, 3, 0, 1}, "t"}, Case{{10, 3, 3, 3}, ""}, Case{{10, 3, 4, 4}, "t"},
          Case{{10, 3, 2, 1}, "m"}, Case{{10, 3, 2, 4}, "m"}, Case{{10, 3, 2, 2, 0}, "seconds"},
          Case{{10, 3, 2, 2, 600}, ""}, Case{{10, 3, 2, 2, 601}, "seconds"}, Case{{49, 6, 1, 6}, ""},
          Case{{49, 6, 2, 6}, "v"}}) {
        const auto problems = BuildRefusals(c.r);
        EXPECT_EQ(problems.empty() ? "" : problems.front().key, c.first)
            << c.r.v << " " << c.r.k << " " << c.r.t << " " << c.r.m << " " << c.r.seconds;
    }
}

// The tool windows' reports are the command line's bytes; a problem sits
// beside the field it is about; Cancel computes nothing.
TEST(WheelTools, ReportTheCommandLinesBytesAndPlaceTheirProblems)
{
    setenv("FORTELLE_GAMES_DIR", FORTELLE_GAMES_SOURCE, 1);
    const auto catalog = std::make_shared<GameCatalog>(LoadGameCatalog({FORTELLE_GAMES_SOURCE}));
    const auto check = MakeCheckWheelTool(catalog), make = MakeMakeWheelTool(catalog);
    forms::Progress progress;
    const forms::Values checked{{"game", "lotto-649"},
                                {"numbers", "1 2 3 4 5 6 7 8"},
                                {"tickets", "1 2 3 4 5 6\n3,4,5,6,7,8\n"},
                                {"jackpot", "1000000"}};
    const forms::Result r = check->compute(checked, progress);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.report, RunCommandLine({"--raw", "wheel", "check", "lotto-649", "--numbers", "1-8", "--ticket",
                                        "1 2 3 4 5 6", "--ticket", "3 4 5 6 7 8", "--jackpot", "1000000"})
                            .out);
    EXPECT_EQ(r.exports.at(1).bytes, "ticket,n1,n2,n3,n4,n5,n6\r\n1,1,2,3,4,5,6\r\n2,3,4,5,6,7,8\r\n");
    EXPECT_EQ(r.title, "Wheel check: Lotto 6/49 (Canada), 2 tickets");
    EXPECT_EQ(r.exports.at(0).fileName, "wheel-lotto-649.txt");
    const forms::Values made{{"game", "k/n"}, {"n", "49"}, {"k", "6"},       {"numbers", "1-12"},
                             {"t", "5"},      {"m", "5"},  {"seconds", "5"}, {"seed", "1"}};
    const forms::Result w = make->compute(made, progress);
    ASSERT_TRUE(w.ok());
    EXPECT_EQ(w.report, RunCommandLine({"--raw", "wheel", "make", "12", "6", "5", "--numbers", "1-12"}).out);
    EXPECT_EQ(w.verdict, "132 tickets guarantee 5 if 5 on your 12 numbers, proven; no smaller wheel exists.");
    EXPECT_EQ(w.exports.at(1).fileName, "wheel-12-6-5-5.csv");

    // The fields: n and k for any lotto only, the grid of the game's numbers,
    // the jackpot for a named game, m from the typed t up to k.
    const auto layout = [](const std::vector<forms::Field>& fields) {
        std::string s;
        for (const forms::Field& f : fields) {
            s += " " + f.key + (f.optional ? "?" : "");
            if (f.kind == forms::Kind::Picks) s += std::to_string(f.lowest) + "-" + std::to_string(f.highest);
            if (f.key == "t" || f.key == "m")
                s += f.options.front().value + "-" + f.options.back().value + "/" + f.initial;
        }
        return s;
    };
    EXPECT_EQ(layout(check->fields(checked)), " game numbers?1-49 tickets jackpot?");
    EXPECT_EQ(layout(make->fields(made)), " game n k numbers1-49 t1-6/3 m5-6/3 seconds seed");
    forms::Values small = made;
    small["n"] = "20", small["k"] = "2", small["t"] = "9", small["game"] = "";
    EXPECT_EQ(layout(make->fields(small)), " game n k numbers1-20 t1-2/2 m2-2/2 seconds seed");
    for (const char* t : {"0", "1.5"}) { // m from 1 while t is no whole count of the ticket's
        small["t"] = t;
        EXPECT_EQ(layout(make->fields(small)), " game n k numbers1-20 t1-2/2 m1-2/2 seconds seed") << t;
    }

    const auto keyOf = [](const forms::Tool& tool, forms::Values values, const std::string& key,
                          const std::string& to) {
        values[key] = to;
        std::string keys; // every problem's field: one mistake is reported once
        for (const forms::Problem& p : tool.check(values)) keys += (keys.empty() ? "" : " ") + p.key;
        return keys.empty() ? std::string("none") : keys;
    };
    EXPECT_EQ(keyOf(*check, checked, "tickets", "1 2 3"), "tickets");
    EXPECT_EQ(keyOf(*check, checked, "numbers", "0 1"), "numbers");
    EXPECT_EQ(keyOf(*check, checked, "numbers", "1-50"), "numbers");
    EXPECT_EQ(keyOf(*check, checked, "jackpot", "-5"), "jackpot");
    EXPECT_EQ(keyOf(*check, checked, "jackpot", "5x"), "jackpot");
    EXPECT_EQ(keyOf(*check, checked, "jackpot", "0"), "none");
    EXPECT_EQ(keyOf(*check, checked, "numbers", " ,; "), "none"); // no numbers: those of the tickets
    EXPECT_EQ(keyOf(*make, made, "m", "4"), "m");
    EXPECT_EQ(keyOf(*make, made, "numbers", "1 2 3"), "numbers");
    EXPECT_EQ(keyOf(*make, made, "numbers", "0 1"), "numbers");
    EXPECT_EQ(keyOf(*make, made, "t", "0"), "t");
    EXPECT_EQ(keyOf(*make, made, "k", "99"), "k");
    EXPECT_EQ(keyOf(*make, made, "numbers", "1-5"), "numbers"); // fewer than a ticket holds
    EXPECT_EQ(keyOf(*make, made, "numbers", "1-6"), "none");
    EXPECT_EQ(keyOf(*make, made, "seconds", "600"), "none");
    EXPECT_EQ(keyOf(*make, made, "seconds", "601"), "seconds");
    EXPECT_EQ(keyOf(*make, made, "seconds", "0"), "seconds");
    EXPECT_EQ(keyOf(*make, made, "seed", "999999999"), "none");
    EXPECT_EQ(keyOf(*make, made, "seed", "1000000000"), "seed");
    EXPECT_EQ(keyOf(*make, made, "seed", "-1"), "seed");
    forms::Values wide = made; // C(49, 6) sets: too many to search, said beside the numbers
    wide["m"] = "6";
    EXPECT_EQ(keyOf(*make, wide, "numbers", "1-49"), "numbers");
    forms::Values plain = checked; // k from n: a drum of up to 100 numbers
    plain["game"] = "k/n", plain["k"] = "6", plain["n"] = "49";
    EXPECT_EQ(keyOf(*check, plain, "n", "100"), "none");
    EXPECT_EQ(keyOf(*check, plain, "n", "101"), "n");
    EXPECT_NE(keyOf(*check, plain, "k", "20"), "k"); // up to 20 drawn
    EXPECT_EQ(keyOf(*check, plain, "k", "21"), "k");
    EXPECT_EQ(keyOf(*check, plain, "k", "0"), "k");
    EXPECT_EQ(keyOf(*check, plain, "k", "1"), "tickets"); // tickets of 6 for a game of 1
    EXPECT_EQ(keyOf(*check, plain, "n", "1"), "n");
    EXPECT_EQ(keyOf(*check, plain, "n", "2"), "k"); // a drum of 2 takes, but not 6 drawn
    EXPECT_EQ(keyOf(*check, plain, "n", "49.5"), "n");
    EXPECT_EQ(keyOf(*check, plain, "game", ""), "none");      // no game chosen: any lotto
    EXPECT_EQ(keyOf(*check, plain, "jackpot", "-5"), "none"); // any lotto has no jackpot
    EXPECT_EQ(layout(check->fields(plain)), " game n k numbers?1-49 tickets");

    struct Cancel : forms::Progress {
        bool cancelled() const override { return true; }
    } cancel;
    EXPECT_FALSE(check->compute(checked, cancel).ok());
    EXPECT_FALSE(make->compute(made, cancel).ok());
}

} // namespace
} // namespace fortelle::wheels
