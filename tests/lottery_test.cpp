// The combination arithmetic against exact integers; the reports themselves
// are golden files.
#include <gtest/gtest.h>

#include <boost/multiprecision/cpp_int.hpp>
#include <cmath>
#include <sstream>

#include "cli/command_line.h"
#include "games/precise.h"
#include "lottery/combinations.h"
#include "lottery/lotto.h"

namespace fortelle {
namespace {

TEST(Lotto, ExchangeRaiseAndCap)
{
    // clang-format off
    const std::pair<LottoGame, LottoGame> cases[] = {
        {{6, 49, 6}, {49, 6, 6}},
        {{49, 6, 3}, {49, 6, 6}},
        {{0, 0, 0}, {0, 0, 0}},
        {{-5, 3, 0}, {3, -5, 0}},
        {{49, 6, 60}, {49, 6, 60}},
        {{6, 6, 6}, {6, 6, 6}},
        {{5000, 2000, 0}, {5000, 1000, 1000}},
        {{1000, 1001, 0}, {1001, 1000, 1000}},
    };
    // clang-format on
    for (const auto& [in, out] : cases) {
        const LottoGame g = NormaliseLotto(in);
        EXPECT_EQ(std::tie(g.N, g.k, g.p), std::tie(out.N, out.k, out.p)) << in.N << " " << in.k << " " << in.p;
    }
}

// For every game with N from 10 to 90, k from 1 to 8 and every pool from k
// to N, each printed odds figure lies within half a unit of its last place
// of the exact value, and the exact figures the program falls back on agree
// with exact rationals.
TEST(CombinationArithmetic, AgreesWithExactRationals)
{
    using boost::multiprecision::cpp_int;
    using boost::multiprecision::cpp_rational;
    auto binomial = [](std::int64_t n, std::int64_t m) {
        cpp_int r = 1;
        for (std::int64_t i = 0; i < m; ++i) r = r * (n - i) / (i + 1);
        return r;
    };
    long rows = 0, ties = 0;
    for (std::int64_t N = 10; N <= 90; ++N) {
        for (std::int64_t k = 1; k <= 8; ++k) {
            const cpp_int total = binomial(N, k);
            for (std::int64_t p = k; p <= N; ++p) {
                const Game game(N, k, p);
                cpp_int atLeastWays = 0;
                for (std::int64_t m = k; m >= 0; --m) {
                    ASSERT_EQ(game.impossible(m), k - m > N - p);
                    if (game.impossible(m)) continue;
                    const cpp_int ways = binomial(p, m) * binomial(N - p, k - m);
                    atLeastWays += ways;
                    for (const auto& [value, exact, figure] :
                         {std::tuple{game.exactOdds(m), cpp_rational(total, ways), game.exactOddsFigure(m)},
                          std::tuple{game.atLeastOdds(m), cpp_rational(total, atLeastWays),
                                     game.atLeastOddsFigure(m)}}) {
                        const double shown = RoundOdds(value);
                        const double truth = exact.convert_to<double>();
                        const double tolerance = shown >= 1e15 ? truth * 1e-14 : 0.005 + truth * 1e-15;
                        ASSERT_LE(std::fabs(shown - truth), tolerance) << N << "/" << k << " pool " << p << " m " << m;
                        ASSERT_TRUE(figure.has_value());
                        ASSERT_LE(std::fabs(std::stod(GeneralForm(*figure)) - truth), 0.005 + truth * 1e-14);
                        // A tie at 2 places, which the bound allows either way, goes to the even cent.
                        const cpp_int top = numerator(exact) * 100, bottom = denominator(exact);
                        const cpp_int cents = top / bottom;
                        if (truth < 1e12 && (top - cents * bottom) * 2 == bottom) {
                            ASSERT_EQ(FigureValue(*figure), cpp_rational(cents + cents % 2, 100)) << N << "/" << k;
                            ++ties;
                        }
                        ++rows;
                    }
                }
            }
        }
    }
    EXPECT_GT(rows, 200000);
    EXPECT_GT(ties, 100);
}

// Odds of one in less than one would be a chance above certainty: over small,
// zero and negative entries no row shows such a figure.
TEST(LotteryReports, NoFigureBelowOne)
{
    const std::pair<const char*, int> calculators[] = {{"lotto", 3}, {"powerball", 4}, {"euro", 4}};
    int rows = 0;
    for (const auto& [name, values] : calculators) {
        for (int code = 0; code < 2401 && (values == 4 || code < 343); ++code) {
            std::vector<std::string> args{"--", name};
            for (int i = 0, c = code; i < values; ++i, c /= 7) args.push_back(std::to_string(c % 7 - 3));
            std::istringstream out(RunCommandLine(args).out);
            for (std::string line; std::getline(out, line);) {
                const std::size_t at = line.find("-> 1 in");
                if (at == std::string::npos) continue;
                EXPECT_GE(std::stod(line.substr(at + 7)), 1.0) << line;
                ++rows;
            }
        }
    }
    EXPECT_GT(rows, 1000);
}

} // namespace
} // namespace fortelle
