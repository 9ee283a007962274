#include <gtest/gtest.h>

#include <boost/multiprecision/cpp_int.hpp>
#include <cmath>

#include "fakes.h"
#include "lottery/combinations.h"
#include "lottery/euro.h"
#include "lottery/lotto.h"
#include "lottery/powerball.h"

namespace fortelle {
namespace {

using testing::FakePlatform;
using testing::Lines;


// The odds figure at the end of each row of a table ("1 in 2.29 " gives
// "2.29"; an impossible row gives "impossible").
std::vector<std::string> Figures(const std::vector<std::string>& lines, std::size_t from,
                                 std::size_t count)
{
    std::vector<std::string> figures;
    for (std::size_t i = from; i < from + count; ++i) {
        const std::string& line = lines.at(i);
        if (line.ends_with("(impossible)")) {
            figures.push_back("impossible");
        } else {
            const std::size_t at = line.rfind(" in ");
            figures.push_back(line.substr(at + 4, line.size() - at - 5));
        }
    }
    return figures;
}

using Strings = std::vector<std::string>;

struct LottoCase {
    LottoGame game;
    Strings exact, atLeast;
};

class LottoExamples : public ::testing::TestWithParam<LottoCase> {};

TEST_P(LottoExamples, ExactAndAtLeastTables)
{
    const LottoCase& c = GetParam();
    const auto lines = Lines(LottoReport(c.game));
    const std::size_t rows = c.exact.size();
    EXPECT_EQ(Figures(lines, 4, rows), c.exact);
    EXPECT_EQ(Figures(lines, 4 + rows + 5, rows), c.atLeast);
    EXPECT_EQ(lines.size(), 2 * rows + 10);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LottoExamples,
    ::testing::Values(
        LottoCase{{49, 6, 6},
                  {"2.29", "2.42", "7.55", "56.66", "1032.4", "54200.84", "13983816"},
                  {"1", "1.77", "6.62", "53.66", "1013.03", "53991.57", "13983816"}},
        LottoCase{{49, 6, 12},
                  {"6.02", "2.67", "3.21", "8.18", "42.42", "477.2", "15134"},
                  {"1", "1.2", "2.18", "6.76", "38.85", "462.61", "15134"}},
        // A true tie rounds as a person rounding the exact figure would.
        LottoCase{{15, 4, 5}, {"6.5", "2.28", "3.03", "13.65", "273"}, {"1", "1.18", "2.46", "13", "273"}},
        LottoCase{{0, 0, 0}, {"1"}, {"1"}},
        LottoCase{{49, 0, 0}, {"1"}, {"1"}}));

TEST(Lotto, DefaultReportLineByLine)
{
    const auto lines = Lines(LottoReport({49, 6, 6}));
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], " The odds calculated as EXACTLY in a lotto game '6/49':");
    EXPECT_EQ(lines[4], "~ 0 of 6 in 6 from 49  -> 1 in 2.29 ");
    EXPECT_EQ(lines[10], "~ 6 of 6 in 6 from 49  -> 1 in 13983816 ");
    EXPECT_EQ(lines[13], " The odds calculated as AT LEAST in a lotto game '6/49':");
    EXPECT_EQ(lines.back(), "");
    EXPECT_EQ(lines.size(), 24u);
}

TEST(Lotto, ImpossibleRowsAndTheExponentForm)
{
    const auto pool45 = Lines(LottoReport({49, 6, 45}));
    EXPECT_EQ(pool45[4], "~ 0 of 6 in 45 from 49  -> 0 (impossible)");
    EXPECT_EQ(pool45[5], "~ 1 of 6 in 45 from 49  -> 0 (impossible)");
    EXPECT_EQ(pool45[6].substr(0, 27), "~ 2 of 6 in 45 from 49  -> ");
    EXPECT_EQ(Figures(pool45, 16, 1), Strings{"1"}); // at least 0: the possible terms sum to 1

    const auto big = Lines(LottoReport({100, 20, 20}));
    EXPECT_EQ(big[4 + 19], "~ 19 of 20 in 20 from 100  -> 1 in 3.34989606502381E+17 ");
    EXPECT_EQ(big[4 + 20], "~ 20 of 20 in 20 from 100  -> 1 in 5.3598337040381E+20 ");
}

TEST(Lotto, RowsTheDoublesCannotCarry)
{
    // A pool larger than the set: every row of both tables is impossible.
    const auto larger = Lines(LottoReport({10, 3, 20}));
    for (std::size_t i : {4u, 5u, 6u, 7u, 13u, 14u, 15u, 16u}) {
        EXPECT_TRUE(larger[i].ends_with(" -> 0 (impossible)")) << larger[i];
    }
    // k above 170: the doubles overflow, the exact figures stand in.
    const auto wide = LottoReport({1000, 200, 200});
    EXPECT_EQ(wide.find("inf"), std::string::npos);
    EXPECT_EQ(wide.find("nan"), std::string::npos);
    const auto lines = Lines(wide);
    EXPECT_EQ(lines[4], "~ 0 of 200 in 200 from 1000  -> 1 in 8.56569710635612E+21 ");
    EXPECT_EQ(lines[4 + 40], "~ 40 of 200 in 200 from 1000  -> 1 in 12.71 ");
    // The whole set in the pool and drawn: one way, odds 1 in 1.
    EXPECT_EQ(Lines(LottoReport({300, 300, 300}))[4 + 300], "~ 300 of 300 in 300 from 300  -> 1 in 1 ");
}

struct NormaliseCase {
    LottoGame in, out;
};

TEST(Lotto, ExchangeRaiseAndCap)
{
    const NormaliseCase cases[] = {
        {{6, 49, 6}, {49, 6, 6}},   {{49, 6, 3}, {49, 6, 6}},  {{0, 0, 0}, {0, 0, 0}},
        {{-5, 3, 0}, {3, -5, 0}},   {{49, 6, 60}, {49, 6, 60}},
        {{5000, 2000, 0}, {5000, 1000, 1000}},
    };
    for (const auto& c : cases) {
        const LottoGame g = NormaliseLotto(c.in);
        EXPECT_EQ(std::tie(g.N, g.k, g.p), std::tie(c.out.N, c.out.k, c.out.p))
            << c.in.N << " " << c.in.k << " " << c.in.p;
    }
}

TEST(LottoFlow, ReadsTheFileBeforePreparingTheBoxAndStoresTheNormalisedGame)
{
    FakePlatform f;
    f.prompt.answers = {"6", "49", "3"};
    RunWholeNumberCalculator(LottoCalculator(), f.platform);
    ASSERT_EQ(f.prompt.asked.size(), 3u);
    EXPECT_EQ(f.prompt.asked[0].title, "Biggest Lotto/Keno Number");
    EXPECT_EQ(f.prompt.asked[0].message,
              " Calculate the odds of lotto and Keno games \n"
              " Enter the BIGGEST number in the game - \n"
              " for example 10, 12, 35, 49, 54, etc. \n");
    EXPECT_EQ(f.prompt.asked[2].title, "Pool of Numbers");
    EXPECT_EQ(f.prompt.asked[2].message,
              " You can select numbers from a group (pool) - \n"
              " For example, play from a pool of 18 in lotto-6;\n"
              " or you can select just 6 numbers in lotto-6;\n"
              " How many numbers in the pool - \n"
              " for example 6, 10, 35, 49, 54, etc. \n");
    EXPECT_EQ(f.prompt.asked[0].offered, "49");
    EXPECT_EQ(f.prompt.asked[1].offered, "6");
    EXPECT_EQ(f.prompt.asked[2].offered, "12");
    EXPECT_EQ(f.box.log.front(), "write:Lotto.INI"); // defaults written before the box is touched
    EXPECT_EQ(f.files.files.at("Lotto.INI"), " 49 \r\n 6 \r\n 6 \r\n");
    EXPECT_EQ(f.box.content, LottoReport({49, 6, 6}));
}

TEST(LottoFlow, AllPromptsCancelledGivesTheZeroGame)
{
    FakePlatform f;
    RunWholeNumberCalculator(LottoCalculator(), f.platform);
    EXPECT_EQ(f.files.files.at("Lotto.INI"), " 0 \r\n 0 \r\n 0 \r\n");
    EXPECT_NE(f.box.content.find("lotto game '0/0':"), std::string::npos);
    EXPECT_NE(f.box.content.find("~ 0 of 0 in 0 from 0  -> 1 in 1 "), std::string::npos);
}

TEST(Powerball, TheDefaultReport)
{
    EXPECT_EQ(PowerballReport({69, 26, 5, 5}),
              "\r\n"
              " The odds calculated as EXACTLY in a Powerball game '69/5/26':\r\n\r\n\r\n"
              "~ 0 of 5 in 5 from 69 plus the Powerball -> 1 in 38.32 \r\n"
              "~ 1 of 5 in 5 from 69 plus the Powerball -> 1 in 91.98 \r\n"
              "~ 2 of 5 in 5 from 69 plus the Powerball -> 1 in 701.33 \r\n"
              "~ 3 of 5 in 5 from 69 plus the Powerball -> 1 in 14494.11 \r\n"
              "~ 4 of 5 in 5 from 69 plus the Powerball -> 1 in 913129.18 \r\n"
              "~ 5 of 5 in 5 from 69 plus the Powerball -> 1 in 292201338 \r\n\r\n\r\n"
              " The odds calculated as AT LEAST in a Powerball game '69/5/26':\r\n\r\n\r\n"
              "~ 0 of 5 in 5 from 69 plus the Powerball -> 1 in 26 \r\n"
              "~ 1 of 5 in 5 from 69 plus the Powerball -> 1 in 80.85 \r\n"
              "~ 2 of 5 in 5 from 69 plus the Powerball -> 1 in 668.47 \r\n"
              "~ 3 of 5 in 5 from 69 plus the Powerball -> 1 in 14266.95 \r\n"
              "~ 4 of 5 in 5 from 69 plus the Powerball -> 1 in 910284.54 \r\n"
              "~ 5 of 5 in 5 from 69 plus the Powerball -> 1 in 292201338 \r\n\r\n\r\n"
              " To calculate the odds without the Powerball: \r\n"
              " - use lotto odds for 5 in 5 from 69 \r\n"
              "\r\n");
}

TEST(Powerball, PoolsAndImpossibleRows)
{
    const auto pool10 = Lines(PowerballReport({69, 26, 5, 10}));
    EXPECT_EQ(Figures(pool10, 4, 6),
              (Strings{"58.37", "64.2", "199.74", "1423.15", "23583.64", "1159529.12"}));
    EXPECT_EQ(Figures(pool10, 15, 6),
              (Strings{"26", "46.89", "173.84", "1340.61", "23113.54", "1159529.12"}));
    EXPECT_EQ(pool10[1], " The odds calculated as EXACTLY in a Powerball game '69/5/26':");

    const auto small = Lines(PowerballReport({10, 3, 5, 8}));
    EXPECT_EQ(small[4], "~ 0 of 5 in 8 from 10 plus the Powerball -> 0 (impossible)");
    EXPECT_EQ(Figures(small, 4, 6),
              (Strings{"impossible", "impossible", "impossible", "13.5", "5.4", "13.5"}));
    EXPECT_EQ(Figures(small, 15, 6), (Strings{"3", "3", "3", "3", "3.86", "13.5"}));

    const auto zeros = Lines(PowerballReport({0, 0, 0, 0}));
    EXPECT_EQ(zeros[1], " The odds calculated as EXACTLY in a Powerball game '0/0/0':");
    EXPECT_EQ(zeros[4], "~ 0 of 0 in 0 from 0 plus the Powerball -> 1 in 0 ");
    EXPECT_EQ(zeros[15 - 5], "~ 0 of 0 in 0 from 0 plus the Powerball -> 1 in 0 ");
    EXPECT_EQ(zeros[zeros.size() - 2], " - use lotto odds for 0 in 0 from 0 ");
}

TEST(PowerballFlow, ExchangesRaisesAndStoresInPrintZones)
{
    FakePlatform f;
    f.prompt.answers = {"5", "26", "69", "3"};
    RunWholeNumberCalculator(PowerballCalculator(), f.platform);
    EXPECT_EQ(f.prompt.asked[0].offered, "69");
    EXPECT_EQ(f.prompt.asked[1].offered, "26");
    EXPECT_EQ(f.prompt.asked[3].title, "Pool of Numbers");
    EXPECT_EQ(f.box.log.front(), "setText"); // the box before the file
    EXPECT_EQ(f.files.files.at("Power51.INI"),
              " 69" + std::string(12, ' ') + "26 \r\n 5" + std::string(13, ' ') + "5 \r\n");
    EXPECT_EQ(f.box.content, PowerballReport({69, 26, 5, 5}));
}

TEST(Euro, TheDefaultReportHas24Lines)
{
    const auto lines = Lines(EuroReport({50, 5, 11, 2}));
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_EQ(lines[1], " The odds calculated as EXACTLY in a Euro Millions game");
    EXPECT_EQ(lines[2], " '5/50 AND 2/11':");
    EXPECT_EQ(lines[5], "~ 0 of 5 in 5 from 50  AND  0 of 2 in 2 from 11  -> 1 in 2.65 ");
    EXPECT_EQ(lines[22], "~ 5 of 5 in 5 from 50  AND  2 of 2 in 2 from 11  -> 1 in 116531800 ");
    EXPECT_EQ(Figures(lines, 5, 18),
              (Strings{"2.65", "5.3", "95.38", "4.35", "8.69", "156.42", "22.81", "45.62",
                       "821.22", "326.97", "653.94", "11770.89", "14386.64", "28773.28",
                       "517919.11", "3236994.44", "6473988.89", "116531800"}));
    EXPECT_EQ(lines[23], "");
}

TEST(Euro, WholeSetsLargePoolsAndNegativeSets)
{
    const auto whole = Lines(EuroReport({50, 50, 11, 11}));
    for (int m1 = 0; m1 < 5; ++m1) {
        EXPECT_EQ(whole[static_cast<std::size_t>(5 + m1)],
                  "~ " + std::to_string(m1) + " of 5 in 50 from 50  -> 0 (impossible)");
    }
    EXPECT_EQ(whole[10], "~ 0 of 2 in 11 from 11  -> 0 (impossible)");
    EXPECT_EQ(whole[11], "~ 1 of 2 in 11 from 11  -> 0 (impossible)");
    EXPECT_EQ(whole[12], "~ 5 of 5 in 50 from 50  AND  2 of 2 in 11 from 11  -> 1 in 1 ");

    const auto pool15 = Lines(EuroReport({50, 15, 11, 11}));
    ASSERT_EQ(pool15.size(), 24u);
    Strings combined;
    for (std::size_t i = 5; i < 23; ++i) {
        if (pool15[i].find(" AND ") != std::string::npos) combined.push_back(Figures(pool15, i, 1)[0]);
    }
    EXPECT_EQ(combined, (Strings{"6.53", "2.7", "3.08", "7.83", "44.35", "705.55"}));

    const auto pool60 = Lines(EuroReport({50, 60, 11, 2}));
    ASSERT_EQ(pool60.size(), 12u);
    EXPECT_EQ(pool60[5], "~ 0 of 5 in 60 from 50  -> 0 (impossible)");
    EXPECT_EQ(pool60[10], "~ 5 of 5 in 60 from 50  -> 0 (impossible)");

    const auto large = Lines(EuroReport({1000, 5, 1000, 2}));
    EXPECT_EQ(large[21], "~ 5 of 5 in 5 from 1000  AND  1 of 2 in 2 from 1000  -> 1 in 2.064639518775E+15 ");
    EXPECT_EQ(large[22], "~ 5 of 5 in 5 from 1000  AND  2 of 2 in 2 from 1000  -> 1 in 4.1210204794749E+18 ");

    const auto negative = Lines(EuroReport({-50, 5, 11, 2}));
    EXPECT_EQ(negative[2], " '5/50 AND 2/11':");
    EXPECT_EQ(negative[5], "~ 0 of 5 in 5 from-50  -> 0 (impossible)");
    EXPECT_EQ(negative.size(), 12u);
}

TEST(Euro, PoolsSmallerThanTheDrawNeverShowInfinity)
{
    // A pool smaller than its draw: the counts that need more numbers from
    // the pool than it holds have no way to happen.
    const auto lines = Lines(EuroReport({50, 3, 11, 1}));
    for (const auto& line : lines) {
        EXPECT_EQ(line.find("inf"), std::string::npos) << line;
        EXPECT_EQ(line.find("nan"), std::string::npos) << line;
    }
    EXPECT_EQ(lines[7], "~ 2 of 2 in 1 from 11  -> 0 (impossible)");
    EXPECT_EQ(lines[17], "~ 4 of 5 in 3 from 50  -> 0 (impossible)");
    const auto zeros = EuroReport({0, 0, 0, 0});
    EXPECT_EQ(zeros.find("inf"), std::string::npos);
    EXPECT_EQ(zeros.find("nan"), std::string::npos);
}

TEST(EuroFlow, TakesTheValuesAsTheyCome)
{
    FakePlatform f;
    f.prompt.answers = {"50", "3", "11", "1"};
    RunWholeNumberCalculator(EuroCalculator(), f.platform);
    EXPECT_EQ(f.prompt.asked[0].title, "Biggest Number 1st Ballset");
    EXPECT_EQ(f.prompt.asked[3].message,
              " You can select numbers from a group (pool) - \n"
              " For example, play from a pool of 11 in the 2nd set;\n"
              " or you can select just 2 numbers in the 2nd set;\n"
              " How many numbers in the pool - \n"
              " for example 2, 9, etc. \n");
    EXPECT_EQ(f.files.files.at("EuroOdds.INI"),
              " 50" + std::string(12, ' ') + "3 \r\n 11" + std::string(12, ' ') + "1 \r\n");
    f.prompt.answers = {"99999999999", "", "x", "-5"};
    RunWholeNumberCalculator(EuroCalculator(), f.platform);
    EXPECT_EQ(f.prompt.asked[4].offered, "50");
    EXPECT_EQ(f.files.files.at("EuroOdds.INI"),
              " 0" + std::string(13, ' ') + "0 \r\n 0" + std::string(12, ' ') + "-5 \r\n");
}

// The doubles against exact arithmetic: for every game with N from 10 to 90,
// k from 1 to 8 and every pool from k to N, each printed odds figure lies
// within half a unit of its last place of the exact value.
TEST(CombinationArithmetic, AgreesWithExactRationals)
{
    using boost::multiprecision::cpp_rational;
    using boost::multiprecision::cpp_int;
    auto binomial = [](std::int64_t n, std::int64_t m) {
        cpp_int r = 1;
        for (std::int64_t i = 0; i < m; ++i) r = r * (n - i) / (i + 1);
        return r;
    };
    long rows = 0, identical = 0;
    for (std::int64_t N = 10; N <= 90; ++N) {
        for (std::int64_t k = 1; k <= 8; ++k) {
            const cpp_int total = binomial(N, k);
            for (std::int64_t p = k; p <= N; ++p) {
                const Game game(N, k, p);
                cpp_int atLeastWays = 0;
                for (std::int64_t m = k; m >= 0; --m) {
                    if (game.impossible(m)) continue;
                    const cpp_int ways = binomial(p, m) * binomial(N - p, k - m);
                    atLeastWays += ways;
                    for (const auto& [value, exact] :
                         {std::pair{game.exactOdds(m), cpp_rational(total, ways)},
                          std::pair{game.atLeastOdds(m), cpp_rational(total, atLeastWays)}}) {
                        const double shown = RoundOdds(value);
                        const double truth = exact.convert_to<double>();
                        const double tolerance = shown >= 1e15 ? truth * 1e-14 : 0.005 + truth * 1e-15;
                        ASSERT_LE(std::fabs(shown - truth), tolerance)
                            << N << "/" << k << " pool " << p << " m " << m;
                        ++rows;
                        if (shown == RoundOdds(truth)) ++identical;
                    }
                }
            }
        }
    }
    std::cout << "[ compared ] " << rows << " rows; " << identical
              << " printed identically to the rounded exact value\n";
    EXPECT_GT(rows, 200000);
}

} // namespace
} // namespace fortelle
