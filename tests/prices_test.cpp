#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "cli/command_line.h"
#include "forms/form.h"
#include "prices/margin.h"
#include "prices/numbers.h"
#include "prices/price.h"
#include "prices/tools.h"

namespace fortelle::prices {
namespace {

std::vector<Rational> Prices(std::initializer_list<const char*> typed)
{
    std::vector<Rational> d;
    for (const char* t : typed) d.push_back(*ReadPrice(t).decimal);
    return d;
}

double D(const Rational& r) { return r.convert_to<double>(); }

int Sign(const Rational& a, const Rational& b) { return (a > b) - (a < b); }

// Figures published with the libraries' documentation: penaltyblog's
// "Implied Odds" notebook (8 places), the Python package shin's README
// (1e-12 on z), the R package implied's README (7 digits; its Shin stops
// early and its power and odds-ratio roots are R uniroot's default
// tolerance, about 1e-4 on the parameter, so agreement there is to 1e-6).
TEST(Margin, PublishedWorkedExamples)
{
    struct Case {
        std::vector<Rational> prices;
        Method method;
        std::vector<double> chances;
        double parameter; // NAN: not published
        double tolerance, parameterTolerance;
    };
    const auto pb = Prices({"2.7", "2.3", "4.4"}), shin = Prices({"2.6", "2.4", "4.3"}),
               implied = Prices({"4.20", "3.70", "1.95"});
    const Case cases[] = {
        {pb, Method::Multiplicative, {0.35873804, 0.42112726, 0.2201347}, 1.03242570633874986, 5e-9, 1e-15},
        {pb, Method::Additive, {0.3595618, 0.42397404, 0.21646416}, NAN, 5e-9, 0},
        // penaltyblog's power root leaves its chances summing to 1 - 1.03e-12
        {pb, Method::Power, {0.3591711, 0.42373075, 0.21709815}, 1.0309132393169356, 5e-9, 5e-12},
        {pb, Method::Shin, {0.35934392, 0.42324385, 0.21741223}, 0.016236442857291165, 5e-9, 1e-12},
        {shin,
         Method::Shin,
         {0.37299406033208965, 0.4047794109200184, 0.2222265287474275},
         0.01694251276407055,
         1e-11,
         1e-11},
        {implied, Method::Multiplicative, {0.2331556, 0.2646631, 0.5021813}, NAN, 5e-8, 0},
        {implied, Method::Shin, {0.2315716, 0.2635742, 0.5048542}, 0.01061048, 1e-6, 1e-5},
        {implied, Method::OddsRatio, {0.2320048, 0.2636415, 0.5043537}, 1.034449, 1e-6, 1e-5},
        {implied, Method::Power, {0.2311414, 0.2630644, 0.5057942}, 1 / 0.9797664, 1e-6, 1e-5},
    };
    for (const Case& c : cases) {
        const FairChances f = RemoveMargin(c.prices, c.method);
        ASSERT_TRUE(f.ok) << MethodName(c.method) << ": " << f.failure;
        for (std::size_t i = 0; i < c.chances.size(); ++i) {
            EXPECT_NEAR(D(f.chances[i]), c.chances[i], c.tolerance) << MethodName(c.method) << " " << i;
        }
        if (!std::isnan(c.parameter)) {
            EXPECT_NEAR(D(f.parameter), c.parameter, c.parameterTolerance);
        }
    }
}

// Every method on a handful of markets: what it promises, and where it fails.
TEST(Margin, MethodsKeepTheirDefinitionsAndFailAloud)
{
    struct Market {
        std::vector<Rational> prices;
        std::vector<Method> failing;
    };
    const Market markets[] = {
        {Prices({"-110", "-110"}), {}},
        {Prices({"1.5", "2.74"}), {}},
        {Prices({"2.10", "3.40", "3.60"}), {}},
        {Prices({"5/2",  "4/1",  "6/1",  "8/1",  "10/1", "12/1", "14/1", "16/1",  "20/1",  "25/1",
                 "25/1", "33/1", "33/1", "40/1", "50/1", "66/1", "80/1", "100/1", "150/1", "200/1"}),
         {Method::Additive}},
        {Prices({"1.02", "15", "34", "67"}), {Method::Additive}},
        {Prices({"1.001", "500"}), {}},
        {Prices({"87%", "20%", "10%", "5%", "2%", "1%"}), {Method::Additive}}, // Clarke et al. 2017
        {Prices({"2.1", "2.1", "51"}), {Method::Shin}},                        // a booksum below 100 %
        {Prices({"2", "3", "6"}), {}},                                         // a booksum of exactly 100 %
        {Prices({"2/3", "2/3", "9/1"}), {Method::Additive}},                   // the third left exactly 0
    };
    for (const Market& m : markets) {
        const Rational b = Booksum(m.prices);
        for (const Method method : kMethods) {
            const FairChances f = RemoveMargin(m.prices, method);
            const bool fails = std::find(m.failing.begin(), m.failing.end(), method) != m.failing.end();
            EXPECT_EQ(f.ok, !fails) << MethodName(method) << " " << f.failure;
            if (!f.ok) {
                EXPECT_FALSE(f.failure.empty());
                continue;
            }
            EXPECT_EQ(std::accumulate(f.chances.begin(), f.chances.end(), Rational(0)), 1);
            EXPECT_EQ(f.exact, b == 1 || method == Method::Multiplicative || method == Method::Additive);
            const Float t = ToFloat(f.parameter);
            for (std::size_t i = 0; i < m.prices.size(); ++i) {
                const Rational pi = 1 / m.prices[i];
                const Float x = ToFloat(pi), p = ToFloat(f.chances[i]);
                Float want = 0;
                switch (method) {
                case Method::Multiplicative: EXPECT_EQ(f.chances[i] * b, pi); continue;
                case Method::Additive: EXPECT_EQ(f.chances[i], pi - (b - 1) / m.prices.size()); continue;
                case Method::Power: want = pow(x, t); break;
                case Method::OddsRatio: want = x / (t * (1 - x) + x); break;
                case Method::Shin: want = (sqrt(t * t + 4 * (1 - t) * x * x / ToFloat(b)) - t) / (2 * (1 - t)); break;
                }
                EXPECT_LT(abs(p - want), Float(kRootTolerance)) << MethodName(method) << " " << i;
                // Power and odds ratio keep the favourite-longshot order:
                // a longer price never gets the larger chance.
                if (i > 0 && (method == Method::Power || method == Method::OddsRatio)) {
                    EXPECT_EQ(Sign(f.chances[i], f.chances[i - 1]), Sign(m.prices[i - 1], m.prices[i]))
                        << MethodName(method) << " " << i;
                }
            }
            // With two outcomes Shin's method is the additive one.
            if (method == Method::Shin && m.prices.size() == 2) {
                const FairChances add = RemoveMargin(m.prices, Method::Additive);
                for (std::size_t i = 0; i < 2; ++i)
                    EXPECT_LT(abs(f.chances[i] - add.chances[i]), Rational(1, 1000000000000));
            }
        }
    }
    EXPECT_FALSE(RemoveMargin(std::vector<Rational>{1, 3}, Method::Multiplicative).ok); // 1 returns only the stake
}

// The writers of numbers at their edges: ties to even, the places added
// for a small share or a price that would read 1.00, thousands and signs.
TEST(Numbers, WrittenAtTheirEdges)
{
    const std::pair<std::string, const char*> cases[] = {
        {Fixed(Rational(1, 8), 2), "0.12"},
        {Fixed(Rational(3, 8), 2), "0.38"},
        {Fixed(Rational(-1, 8), 2), "-0.12"},
        {Fixed(Rational(-5, 2), 0), "-2"},
        {Fixed(Rational(0), 2), "0.00"},
        {Fixed(Rational(1, 2), 2), "0.50"},
        {Fixed(Rational(1234567, 2), 1), "617,283.5"},
        {PlainDecimal(Rational(1234567, 2), 0), "617284"},
        {Significant(Rational(10), 3), "10.0"},
        {Significant(Rational(1), 3), "1.00"},
        {Significant(Rational(-12345), 3), "-12,345"},
        {Significant(Rational(11372, 10000000), 3), "0.00114"},
        {Percent(Rational(1, 1000)), "0.10 %"},
        {Percent(Rational(1, 10000)), "0.010 %"},
        {Percent(Rational(-1, 2)), "-50.00 %"},
        {PriceText(Rational(1004, 1000)), "1.004"},
        {PriceText(Rational(10001, 10000)), "1.0001"},
        {std::string(Trimmed(" \t2 \t")), "2"},
        {Columns({{"a", "bb"}, {"ccc", "d"}}, " "), " a    bb\r\n ccc   d\r\n"},
        // An empty last cell leaves no blanks at the end of its line.
        {Columns({{"a", "bb"}, {"ccc", ""}, {""}}, " "), " a    bb\r\n ccc\r\n\r\n"},
    };
    for (const auto& [got, want] : cases) EXPECT_EQ(got, want);
}

TEST(Prices, ReadEveryFormAndRefuseNonsense)
{
    const std::pair<const char*, const char*> read[] = {
        {"2.1", "21/10"}, {"11/10", "21/10"},   {"6-4", "5/2"},
        {"Evens", "2"},   {"+150", "5/2"},      {"-110", "21/11"},
        {"-100", "2"},    {"47.6%", "250/119"}, {"1,001", "1001"},
        {" 1.5 ", "3/2"}, {"EVS", "2"},         {"evn", "2"},
        {"even", "2"},    {"+100", "2"},        {"999999999999999", "999999999999999"},
    };
    for (const auto& [text, decimal] : read) {
        const PriceReading r = ReadPrice(text);
        ASSERT_TRUE(r.decimal) << text << ": " << r.problem;
        EXPECT_EQ(*r.decimal, Rational(decimal)) << text;
    }
    const std::pair<const char*, const char*> refused[] = {
        {"1", "not above 1"},
        {"0.5", "not above 1"},
        {"+99.5", "between -100 and +100"},
        {"-0", "between"},
        {"3/0", "divides by 0"},
        {"0/5", "wins nothing"},
        {"0%", "not above 0 %"},
        {"100%", "below 100 %"},
        {"2..1", "not a price"},
        {"1e3", "not a price"},
        {"", "Give a price"},
        {"+-110", "not a price"},
        {"1000000000000000", "not a price"},
        {"0.000000000000001%", "not a price"},
    };
    for (const auto& [text, why] : refused) {
        const PriceReading r = ReadPrice(text);
        EXPECT_FALSE(r.decimal) << text;
        EXPECT_NE(r.problem.find(why), std::string::npos) << text << ": " << r.problem;
    }
    // Chances read up to 30 digits either side of the point, and thousands
    // in groups of three only.
    const std::string tiny = "0." + std::string(29, '0') + "1", huge = "1" + std::string(29, '0');
    const std::pair<std::string, const char*> chances[] = {
        {tiny, "1/1000000000000000000000000000000"},
        {tiny + "0", nullptr},
        {huge, "100000000000000000000000000000"},
        {huge + "0", nullptr},
        {" 1 / 4 ", "1/4"},
        {"2.5 %", "1/40"},
        {"1,000.5", "2001/2"},
        {"1,000,000", "1000000"},
        {"100,000", "100000"},
        {"1,00,000", nullptr},
        {"1,00", nullptr},
        {"1000,000", nullptr},
        {",100", nullptr},
        {"1,,000", nullptr},
        {"1,", nullptr},
        {"1/0", nullptr},
        {"x/4", nullptr},
        {"1/x", nullptr},
        {"x%", nullptr},
        {".", nullptr},
    };
    for (const auto& [text, value] : chances) {
        const auto c = ParseChance(text);
        EXPECT_EQ(c.has_value(), value != nullptr) << text;
        if (c && value) {
            EXPECT_EQ(*c, Rational(value)) << text;
        }
    }
}

// Each Prices tool answers with the bytes of its command (--raw), and puts
// a problem beside its own field.
TEST(PriceTools, ReportTheCommandsBytesAndPlaceProblems)
{
    struct Case {
        const char* tool;
        forms::Values values;
        std::vector<std::string> command;
        const char* badKey;
        const char* badValue;
    };
    const Case cases[] = {
        {"price", {{"price", "6-4"}}, {"price", "6-4"}, "price", "1.00"},
        {"market",
         {{"prices", "2.7 2.3 4.4"}, {"method", "all"}, {"as", "fractional"}},
         {"market", "2.7", "2.3", "4.4", "--as", "fractional"},
         "prices",
         "2.7"},
        {"market",
         {{"prices", "87% 20% 10% 5% 2% 1%"}, {"method", "additive"}},
         {"market", "87%", "20%", "10%", "5%", "2%", "1%", "--method", "additive"},
         "method",
         "logit"},
        {"kelly",
         {{"price", "+250"}, {"chance", "30%"}, {"fraction", "0.5"}, {"bankroll", "25,000"}},
         {"kelly", "+250", "--chance", "30%", "--fraction", "0.5", "--bankroll", "25,000"},
         "chance",
         "abc"},
        {"arbitrage",
         {{"prices", "2.10,2.15 3.40,3.55 4.10"}, {"cover", "every"}, {"basis", "return"}, {"amount", "500"}},
         {"arbitrage", "2.10,2.15", "3.40,3.55", "4.10", "--return", "500"},
         "amount",
         "0"},
        {"arbitrage",
         {{"prices", "4 5 13/2"}, {"cover", "some"}, {"basis", "stake"}, {"amount", "90"}},
         {"dutch", "4", "5", "13/2", "--stake", "90"},
         "prices",
         "4 x"},
        {"multiple",
         {{"legs", "2.10@50% 3.40:void 5.00:dh2"}, {"stake", "10"}},
         {"multiple", "2.10@50%", "3.40:void", "5.00:dh2", "--stake", "10"},
         "legs",
         "2.10@50% 1.91"},
    };
    const auto tools = MakePriceTools();
    for (const Case& c : cases) {
        const auto it = std::find_if(tools.begin(), tools.end(), [&](const auto& t) { return t->info().id == c.tool; });
        ASSERT_NE(it, tools.end()) << c.tool;
        const forms::Tool& tool = **it;
        EXPECT_EQ(tool.info().menu, "Prices");
        forms::Progress progress;
        const forms::Result r = tool.compute(c.values, progress);
        ASSERT_TRUE(r.ok()) << c.tool << ": " << r.problems.front().message;
        std::vector<std::string> args{"--raw"};
        args.insert(args.end(), c.command.begin(), c.command.end());
        EXPECT_EQ(r.report, RunCommandLine(args).out) << c.tool;
        args.push_back("--json");
        EXPECT_EQ(r.exports.at(0).bytes, RunCommandLine(args).out) << c.tool;
        EXPECT_EQ(r.report.substr(1, r.verdict.size()), r.verdict);

        forms::Values bad = c.values;
        bad[c.badKey] = c.badValue;
        const auto problems = tool.check(bad);
        ASSERT_EQ(problems.size(), 1u) << c.tool << " " << c.badKey;
        EXPECT_EQ(problems[0].key, c.badKey);
        EXPECT_EQ(problems[0].message.find("--"), std::string::npos) << problems[0].message;
    }
}

} // namespace
} // namespace fortelle::prices
