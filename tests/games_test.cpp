#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <tuple>

#include "charts/chart_text.h"
#include "games/keno_returns.h"
#include "games/many_draws.h"
#include "games/named_games.h"
#include "games/readable.h"
#include "games/ticket_value.h"
#include "temp_folder.h"

namespace fortelle {
namespace {

GameCatalog BuiltIn() { return LoadGameCatalog({FORTELLE_GAMES_SOURCE}); }

// A game of one drum, 1 of 10, whose only prize is the jackpot.
constexpr const char* kTiny = R"({"id": "tiny", "name": "Tiny", "price": 2,
  "drums": [{"name": "d", "size": 10, "draw": 1, "pick": 1}],
  "tiers": [{"name": "J", "match": {"d": 1}, "prize": "jackpot"}]})";

// Which games a user sees (their own files added, replacing or passed over)
// and a malformed file's reason show in the golden files games-of-the-user
// and game-file-*; here, where the folders are.
TEST(GameFiles, BuiltInFolderThenTheUsersOwn)
{
    const auto folders = [](const char* program, std::map<std::string, std::string> env) {
        return GameFolders(program, [&env](const char* name) -> std::optional<std::string> {
            return env.count(name) ? std::optional(env[name]) : std::nullopt;
        });
    };
    using Folders = std::vector<std::string>;
    EXPECT_EQ(folders("/nowhere/bin", {{"FORTELLE_GAMES_DIR", "/g"}, {"HOME", "/h"}}),
              (Folders{"/g", "/h/.local/share/fortelle/games"}));
    EXPECT_EQ(folders("/opt/x/bin", {{"XDG_DATA_HOME", "/d"}, {"HOME", "/h"}}),
              (Folders{"/opt/x/bin/share/fortelle/games", "/d/fortelle/games"}));
    EXPECT_EQ(folders("/opt/x/bin", {{"XDG_DATA_HOME", "relative"}}), (Folders{"/opt/x/bin/share/fortelle/games"}));
}

// The window reads the games again when a game file comes or changes, and
// not for any other file.
TEST(GameFiles, FolderStampFollowsTheGameFilesOnly)
{
    const testing::TempFolder here;
    const std::vector<std::string> folders{"."};
    const std::string empty = GameFoldersStamp(folders);
    std::ofstream("notes.txt") << "x";
    EXPECT_EQ(GameFoldersStamp(folders), empty);
    std::ofstream("a.json") << "{}";
    const std::string one = GameFoldersStamp(folders);
    EXPECT_NE(one, empty);
    std::ofstream("a.json") << "{} ";
    EXPECT_NE(GameFoldersStamp(folders), one);
}

TEST(NamedGames, AnyPrizeOddsAndPublishedCharts)
{
    // Every built-in game's odds agree with its published chart (the figures
    // themselves are golden files).
    const GameCatalog c = BuiltIn();
    EXPECT_TRUE(c.warnings.empty());
    const ChartCheck check = CheckPublishedFigures(c);
    EXPECT_TRUE(check.agrees) << check.text;
    EXPECT_EQ(check.figures, 58);

    // A chart figure that is off is reported, with the publisher's rounding.
    GameCatalog wrong;
    wrong.games.push_back(*c.find("lotto-649"));
    wrong.games[0].tiers[3].published->value = 1032;
    const ChartCheck off = CheckPublishedFigures(wrong);
    EXPECT_FALSE(off.agrees);
    EXPECT_NE(off.text.find("lotto-649 4: published 1 in 1033, computed 1 in 1033 (rounded up"), std::string::npos);
}

TEST(TicketValue, KnownResults)
{
    const GameDefinition tiny = *ReadGameFile(kTiny, "tiny.json").game;
    ValueAssumptions a;
    a.jackpot = 70;
    TicketValue v = ComputeTicketValue(tiny, a);
    EXPECT_EQ(v.value, Rational(7));              // J p
    EXPECT_EQ(v.breakEven.jackpot, Rational(20)); // price / p
    a.taxRate = Rational(1, 4);
    a.taxAbove = Rational(50);
    v = ComputeTicketValue(tiny, a);
    EXPECT_EQ(v.value, Rational(21, 4));
    EXPECT_EQ(v.breakEven.jackpot, Rational(20)); // 20 is not above the threshold
    a.taxRate = 1;
    a.taxAbove = Rational(10);
    v = ComputeTicketValue(tiny, a);
    EXPECT_EQ(v.breakEven.kind, BreakEven::Kind::Unreachable);
    EXPECT_EQ(v.breakEven.bestValue, Rational(1));
    // The other prizes alone give back the price (16/45 of 5.625 is 2): any jackpot breaks even.
    const GameDefinition even = *ReadGameFile(R"({"id": "even", "name": "Even", "price": 2,
      "drums": [{"name": "d", "size": 10, "draw": 2, "pick": 2}],
      "tiers": [{"name": "J", "match": {"d": 2}, "prize": "jackpot"}, {"name": "M", "match": {"d": 1}, "prize": "5.625"}]})",
                                              "even.json")
                                     .game;
    EXPECT_EQ(ComputeTicketValue(even, {}).breakEven.kind, BreakEven::Kind::AnyJackpot);

    // Sharing: no one else gives the whole prize, many others J p / lambda (1 - e^-lambda).
    // (A rate without a threshold taxes nothing: the threshold is the tax's.)
    for (double lambda : {0.0, 1e-12, 1e-6, 0.5, 3.0, 40.0, 1e6}) {
        const double expected = lambda == 0 ? 1e9 : 1e9 * -std::expm1(-lambda) / lambda;
        EXPECT_NEAR(ExpectedShareAfterTax(1e9, lambda, Real(4) / 10, std::nullopt).convert_to<double>(), expected,
                    expected * 1e-14);
    }
    EXPECT_NEAR(ExpectedShareAfterTax(1e9, 1e-12, 0, std::nullopt).convert_to<double>(), 1e9, 1e-2);
    // Taxed shares against the sum over the number of other winners.
    for (const auto& [amount, lambda, above] : std::vector<std::tuple<double, double, double>>{
             {1000, 2, 300}, {1000, 0.01, 600}, {5e8, 1.03, 600}, {100, 7, 99}, {1000, 0, 300}, {200, 0, 300}}) {
        double sum = 0, pmf = std::exp(-lambda);
        for (int k = 0; k < 400; ++k, pmf *= lambda / k) {
            const double share = amount / (1 + k);
            sum += pmf * (share > above ? share * 0.6 : share);
        }
        EXPECT_NEAR(ExpectedShareAfterTax(amount, lambda, Real(4) / 10, Real(above)).convert_to<double>(), sum,
                    sum * 1e-12)
            << amount;
    }
    // The break-even jackpot under sharing and tax gives a ticket its price:
    // below the threshold, and where shares cross it (one other winner or
    // twenty expected).
    for (const auto& [above, sold, others] :
         {std::tuple{600, 1, "1 other ticket in"}, {5, 5, "5 other tickets in"}, {2, 200, "200 other tickets in"}}) {
        a = {};
        a.jackpot = 1;
        a.taxRate = Rational(37, 100);
        a.taxAbove = Rational(above);
        a.ticketsSold = sold;
        a.cash = Rational(1, 2);
        v = ComputeTicketValue(tiny, a);
        ASSERT_EQ(v.breakEven.kind, BreakEven::Kind::Jackpot);
        EXPECT_NE(TicketValueReport(v).find(others), std::string::npos) << others;
        a.jackpot = v.breakEven.jackpot;
        EXPECT_NEAR(ComputeTicketValue(tiny, a).value.convert_to<double>(), 2.0, 1e-12) << above;
    }
    a.prizes["X"] = 1;
    EXPECT_EQ(CheckValueAssumptions(tiny, a), "the game 'tiny' has no tier 'X' (its tiers: J)");
    a.prizes.clear();
    for (const Rational& rate : {Rational(-1, 100), Rational(101, 100)}) {
        a.taxRate = rate;
        EXPECT_EQ(CheckValueAssumptions(tiny, a), "the tax rate must be 0 to 100 %");
    }
    // A price or threshold of exactly the largest amount is taken.
    const std::string most = "above the largest amount this tool takes: " + std::string(kMostValueAmountText);
    for (const auto& [price, above, refusal] : std::vector<std::tuple<Rational, Rational, std::string>>{
             {0, 0, "the ticket price must be above 0"},
             {kMostValueAmount, kMostValueAmount, ""},
             {kMostValueAmount + 1, 0, "the ticket price is " + most},
             {1, kMostValueAmount + 1, "the tax threshold is " + most}}) {
        a = {};
        a.price = price;
        a.taxAbove = above;
        a.taxRate = Rational(1, 2);
        EXPECT_EQ(CheckValueAssumptions(tiny, a), refusal) << price;
    }
}

TEST(TicketValue, DrawSchedulesMultipliersAndTypicalPrizes)
{
    const GameCatalog c = BuiltIn();
    for (const GameDefinition* g : c.lotteries()) {
        EXPECT_TRUE(g->drawsPerWeek && !g->sources.empty()) << g->id;
        Rational fund = 0;
        for (const TierSpec& t : g->tiers) fund += t.fundShare.value_or(0);
        EXPECT_LE(fund, 1) << g->id;
    }
    EXPECT_EQ(*c.find("us-powerball")->drawsPerWeek, 3);
    // 1 in 10 of a fixed 3 times 2 or 4, half and half; 1 in 10 of a typical 5.
    const GameDefinition g = *ReadGameFile(R"({"id": "m", "name": "M", "price": 1, "draws_per_week": 0.5,
      "multiplier": {"values": [2, 4], "chances": ["0.5", "0.5"]},
      "drums": [{"name": "d", "size": 10, "draw": 1, "pick": 1}, {"name": "e", "size": 10, "draw": 1, "pick": 1}],
      "tiers": [{"name": "J", "match": {"d": 1, "e": 1}, "prize": "jackpot"},
                {"name": "F", "match": {"d": 1, "e": 0}, "prize": 3},
                {"name": "P", "match": {"d": 0, "e": 1}, "prize": "pari-mutuel",
                 "typical": {"amount": 5, "source": "a test"}}]})",
                                           "m.json")
                                  .game;
    EXPECT_EQ(*g.drawsPerWeek, Rational(1, 2));
    const TicketValue v = ComputeTicketValue(g, {});
    EXPECT_EQ(v.tiers[1].perWin, 9);
    EXPECT_EQ(v.tiers[2].perWin, 5);
    EXPECT_EQ(v.value, Rational(9 * 9 + 9 * 5, 100));
}

// Draws needed: the smallest n with 1 - (1 - p)^n >= c, checked against a
// 250-digit computation of log(1 - c) / log(1 - p) (and exactly where n is
// small): at exact ties ((1 - p)^n = 1 - c) and near 1 in 10^15, where
// doubles were off by up to 7.
TEST(ManyDraws, DrawsForChance)
{
    const std::string e15 = "1000000000000000", e30 = e15 + "000000000000000";
    const std::vector<std::tuple<std::string, Rational, std::string>> rows{
        {"1/2", Rational(1, 2), "1"},
        {"9/10", Rational(9, 10), "1"},
        {"9/10", Rational(99, 100), "2"},
        {"1/10", Rational(99, 100), "44"},
        {"2/3", Rational(99, 100), "5"},
        {"1/" + e15, Rational(1, 2), "693147180559945"},
        {"1/" + e15, Rational(9, 10), "2302585092994045"},
        {"1/" + e15, Rational(99, 100), "4605170185988090"},
        {"1/7330000000000000", Rational(9, 10), "16877948731646354"},
        {"1/" + e30, Rational(99, 100), "4605170185988091368035982909367"},
        {"1/1" + std::string(59, '0'), Rational(99, 100),
         "460517018598809136803598290936872841520220297725754595206664"},
        {"1/1" + std::string(100, '0'), Rational(1, 2), "about 6.93147180559945E+99"}};
    for (const auto& [p, c, expected] : rows) {
        const DrawCount n = DrawsForChance(Rational(p), c);
        EXPECT_EQ(n.exact ? n.exact->str() : "about " + GeneralForm(n.about), expected) << p << " " << c;
    }
    // The least chance counted is 1 in 1E+300 itself.
    const BigInt e300 = boost::multiprecision::pow(BigInt(10), 300);
    EXPECT_EQ(ManyDrawsRefusal(Rational(BigInt(1), e300)), std::nullopt);
    EXPECT_EQ(ManyDrawsRefusal(Rational(BigInt(1), e300 + 1)),
              "that chance is below 1 in 1E+300, too small to count draws for");
}

// What ParseDecimal takes and why it refuses: the written-out digits and the
// exponent are bounded (1000), the same number spelled either way alike.
TEST(GameFiles, DecimalLimits)
{
    using F = DecimalFault;
    const std::string ones(1001, '1');
    const std::vector<std::tuple<std::string, std::optional<Rational>, F>> rows{
        {"1,000,000.50", Rational(2000001, 2), {}},
        {"-1e6", Rational(-1000000), {}},
        {"1e999", Rational(boost::multiprecision::pow(BigInt(10), 999)), {}},
        {"1" + std::string(999, '0'), Rational(boost::multiprecision::pow(BigInt(10), 999)), {}},
        {"0.5e-999", Rational(1, 2 * boost::multiprecision::pow(BigInt(10), 999)), {}},
        {std::string(5000, '0') + "7." + std::string(3000, '0'), Rational(7), {}},
        {"0e1000", Rational(0), {}},
        {"+2.5", Rational(5, 2), {}},
        {"-0", Rational(0), {}},
        {".5", Rational(1, 2), {}},
        {"5.", Rational(5), {}},
        {"12,345,678", Rational(12345678), {}},
        {"1E3", Rational(1000), {}},
        {"1e+3", Rational(1000), {}},
        {"2.5e-1", Rational(1, 4), {}},
        {"1234567890123456789012345", Rational(BigInt("1234567890123456789012345")), {}},
        {"123456789012345678", Rational(BigInt("123456789012345678")), {}}, // digits read 18 at a time
        {"0.1e1000", Rational(boost::multiprecision::pow(BigInt(10), 999)), {}},
        {"0.1e-999", Rational(1, boost::multiprecision::pow(BigInt(10), 1000)), {}},
        {"0.01e-999", std::nullopt, F::TooManyDigits},
        {"1" + std::string(999, '0') + ".5", std::nullopt, F::TooManyDigits},
        {"1e1000", std::nullopt, F::TooManyDigits},
        {"1" + std::string(1000, '0'), std::nullopt, F::TooManyDigits},
        {"0." + ones, std::nullopt, F::TooManyDigits},
        {std::string(1040000, '9'), std::nullopt, F::TooManyDigits},
        {"1e1001", std::nullopt, F::ExponentBeyondLimit},
        {"5e-99999999999999999999", std::nullopt, F::ExponentBeyondLimit},
        {"1e", std::nullopt, F::NotANumber},
        {"1,00", std::nullopt, F::NotANumber},
        {"1000,000", std::nullopt, F::NotANumber},
        {",100", std::nullopt, F::NotANumber},
        {"1,0000", std::nullopt, F::NotANumber},
        {".", std::nullopt, F::NotANumber},
        {"--1", std::nullopt, F::NotANumber},
        {"1e+", std::nullopt, F::NotANumber},
        {"1e400x", std::nullopt, F::NotANumber},
        {"", std::nullopt, F::NotANumber}};
    for (const auto& [text, value, fault] : rows) {
        const DecimalReading r = ReadDecimal(text);
        EXPECT_EQ(r.value, value) << text.substr(0, 20);
        EXPECT_EQ(r.value ? F::NotANumber : r.fault, fault) << text.substr(0, 20);
    }
    // Too large (its whole part), or too many digits after the point.
    EXPECT_TRUE(ReadDecimal("1" + std::string(1000, '0')).large);
    EXPECT_FALSE(ReadDecimal("1" + std::string(999, '0') + ".5").large);
    EXPECT_EQ(DecimalFaultText(F::TooManyDigits), "has more than 1000 digits written out");
    EXPECT_EQ(ReadDecimal(std::string_view("1e57").substr(0, 3)).value, Rational(100000)); // its own text only
}

// The chance of being behind against exact fractions and a 50-digit
// game-by-game sum: each way of computing it (the recurrence, game by game
// for a pay below the stake, certain, rounded pays) within its bound.
TEST(KenoReturns, ChanceBehind)
{
    const GameCatalog c = BuiltIn();
    const GameDefinition& keno = *c.find("keno");
    using How = ChanceBehind::How;
    const PayTable eight{{5, 9}, {6, 95}, {7, 1480}, {8, 18000}}, halves{{2, Rational(1, 2)}, {3, 5}, {4, 50}};
    const std::vector<std::tuple<int, PayTable, std::int64_t, double, How>> rows{
        {1, {{1, 3}}, 2, 0.5625, How::Exact},
        {1, {{1, 3}}, 4, 0.73828125, How::Exact},
        {8, eight, 1001, 0.84737552673237149756, How::Exact},
        {4, halves, 12, 0.93830935032907092364, How::Exact},
        {4, halves, 400, 0.99752868254713435307, How::Exact},
        {1, {{1, Rational(1, 200000000)}}, 1, 1.0, How::Certain},
        {2, {{0, 1}, {1, 1}, {2, 2}}, 1000000, 0.0, How::Certain}};
    for (const auto& [spots, pays, games, expected, how] : rows) {
        const ChanceBehind b = ComputeKenoReturn(keno, spots, pays, true, games).behind;
        EXPECT_EQ(b.how, how) << spots << " " << games;
        if (how == How::Certain) {
            EXPECT_EQ(b.certain, Rational(expected));
        } else {
            EXPECT_LE(abs(b.chance - Precise(expected)), b.error + Precise(1e-19)) << spots << " " << games;
            EXPECT_LT(b.error, 1e-10);
        }
    }
    // Limits that force the rounded pays: they bracket the exact chance.
    const std::vector<Rational> p = ComputeGameOdds(keno, 3).p;
    const PayTable threes{{2, Rational(5, 2)}, {3, Rational(81, 2)}};
    const ChanceBehind exact = ComputeChanceBehind(p, threes, 1000);
    const ChanceBehind rounded = ComputeChanceBehind(p, threes, 1000, {1500, 3e8});
    EXPECT_EQ(rounded.steps, 1);
    EXPECT_LE(abs(rounded.chance - exact.chance), rounded.error);
    EXPECT_GT(rounded.error, 1e-3);
    EXPECT_EQ(rounded.way, "recurrence, recurrence");
    // Each way at the edge of its limits of steps and work, and one past it.
    const std::vector<Rational> p8 = ComputeGameOdds(keno, 8).p, p4 = ComputeGameOdds(keno, 4).p;
    const auto bracket = [](int work) { // around the exact 93.83 % above
        return "the pays' exact grid, 1/2 of the stake, needs more than " + std::to_string(work) +
               " steps of work; rounded down and up to 1/1 of the stake, they put it between 89.68 and 95.1 %";
    };
    const std::vector<std::tuple<const std::vector<Rational>&, PayTable, BehindLimits, std::string>> edges{
        {p8, eight, {1001, 3003}, "recurrence"}, // 1,001 steps, 3 returns below the stakes
        {p8,
         eight,
         {1001, 3002},
         "not computed: the pays' exact grid, 1/1 of the stake, needs more than 3,002 "
         "steps of work"},
        {p8, eight, {1000, 3003}, "not computed: the pays' exact grid, 1/1 of the stake, needs more than 1,000 steps"},
        {p4, halves, {96, 864}, "game by game"}, // 24 steps, 3 returns, 12 games; steps within a quarter
        {p4, halves, {95, 864}, "not computed: " + bracket(864)},
        {p4, halves, {96, 863}, "not computed: " + bracket(863)}};
    for (const auto& [odds, pays, limits, way] : edges) {
        const ChanceBehind b = ComputeChanceBehind(odds, pays, pays == eight ? 1001 : 12, limits);
        const std::string got = b.how == How::NotComputed ? "not computed: " + b.reason
                                : b.how == How::Rounded   ? "rounded: " + b.way
                                                          : b.way;
        EXPECT_EQ(got, way) << limits.steps << " " << limits.work;
    }
    const auto stop = [](double) { return false; }; // Stop is heard, game by game
    EXPECT_TRUE(ComputeChanceBehind(ComputeGameOdds(keno, 4).p, halves, 12, {}, stop).stopped);
}

// A square root rounded once, ties to even, every digit right.
TEST(KenoReturns, SquareRootFigure)
{
    for (const auto& [v, expected] : std::vector<std::pair<Rational, std::string>>{
             {Rational(7155625, 1000000), "2.68"}, // 2.675 exactly
             {Rational(7102225, 1000000), "2.66"}, // 2.665 exactly
             {Rational(2), "1.41"},
             {Rational(boost::multiprecision::pow(BigInt(10), 40)), "1E+20"}}) {
        EXPECT_EQ(GeneralForm(SquareRootFigure(v)), expected);
    }
}

// Prose breaks between words but never parts a figure from what names it.
TEST(Readable, WrappingKeepsFiguresWhole)
{
    struct Case {
        const char* text;
        std::size_t width;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"chance 1 in 24.87 tonight", 10, {" chance", " 1 in 24.87", " tonight"}},
        {"won in Texas", 8, {" won in", " Texas"}},
        {"said in", 5, {" said", " in"}},
        {"1 in 24.87", 6, {" 1 in 24.87"}},
        {"p = 1/3 exactly", 6, {" p = 1/3", " exactly"}},
        {"4.02 % of 2 USD.", 5, {" 4.02 %", " of", " 2 USD."}},
        {"  two  blanks ", 76, {" two blanks"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Wrapped(c.text, " ", " ", c.width), c.lines) << c.text;
    EXPECT_EQ(Wrapped("a b c", "~ ", "    ", 5), (std::vector<std::string>{"~ a b", "    c"}));
    EXPECT_TRUE(Wrapped("").empty());
}

// Each figure form at its edges: "1 in X" to 2 places below 1E15, a
// percentage to 2 places or 3 digits below 0.01 %, amounts to the cent below
// 1,000 and whole from there; every tie to even.
TEST(Readable, FiguresAtTheEdgesOfTheirForms)
{
    const auto q = [](const char* r) { return Rational(r); };
    const std::pair<std::string, std::string> texts[] = {
        {OneInText(q("2/3")), "1 in 1.5"},
        {OneInText(q("8/9")), "1 in 1.12"},
        {OneInText(q("1/45057474")), "1 in 45,057,474"},
        {OneInText(q("1/999999999999999")), "1 in 999,999,999,999,999"},
        {OneInText(q("1/1000000000000000")), "1 in 1E+15"},
        {OneInText(q("1/1000000000000005")), "1 in 1E+15"},
        {OneInText(q("1/1000000000000015")), "1 in 1.00000000000002E+15"},
        {OneInText(0), "0 (impossible)"},
        {ChanceText(1), "100 %"},
        {ChanceText(q("999999/1000000")), "above 99.99 %"},
        {ChanceText(q("9999/10000")), "99.99 %"},
        {ChanceText(q("1/3")), "33.33 %"},
        {ChanceText(q("1/10000")), "0.01 %"},
        {ChanceText(q("1/300000")), "0.000333 %"},
        {ChanceText(0), "0 %"},
        {MoneyText(q("999995/1000"), "USD"), "1,000.00 USD"},
        {MoneyText(q("1999/2"), "USD"), "999.50 USD"},
        {MoneyText(q("2001/2"), "EUR"), "1,000 EUR"},
        {MoneyText(q("2003/2"), "EUR"), "1,002 EUR"},
        {MoneyText(q("-2469/2"), "EUR"), "-1,234 EUR"},
        {MoneyText(q("5/2"), "EUR"), "2.50 EUR"},
        {MoneyText(q("2"), "EUR"), "2 EUR"},
        {MoneyText(q("1/250"), "EUR"), "0.00 EUR"},
        {MoneyText(q("1"), "units"), "1 unit"},
        {MoneyText(q("2000000000000001/2"), "USD"), "1E+15 USD"},
        {FigureText(WholeFigure(q("-1/2"))), "0"},
        {FigureText(WholeFigure(q("7/2"))), "4"},
    };
    for (const auto& [got, want] : texts) EXPECT_EQ(got, want);
}

// A column of fractions shares one denominator only below 10^15.
TEST(Readable, FractionsOverOneDenominator)
{
    const Rational third(1, 3), half(1, 2), e15(1, BigInt("1000000000000000")), nines(1, BigInt("999999999999999"));
    EXPECT_EQ(FractionsOf({Rational(1, 4), Rational(1, 6), Rational(0)}).texts,
              (std::vector<std::string>{"3/12", "2/12", "0/12"}));
    EXPECT_EQ(FractionsOf({third, nines}).texts,
              (std::vector<std::string>{"333333333333333/999999999999999", "1/999999999999999"}));
    const TableFractions apart = FractionsOf({half, e15});
    EXPECT_FALSE(apart.common);
    EXPECT_EQ(apart.texts, (std::vector<std::string>{"1/2", "1/1000000000000000"}));
    EXPECT_FALSE(FractionsOf({third}).common);
    EXPECT_EQ(FractionsOf({Rational(0)}).texts, std::vector<std::string>{"0/1"});
}

// Columns line up on the decimal point, on the "E" of a small figure where
// there is no point, and on the "/" of a fraction, also one that starts its
// cell.
TEST(Readable, TableColumnsAlignOnPointExponentAndSlash)
{
    using Align = TextTable::Align;
    TextTable table({Align::Left, Align::Point, Align::Slash});
    table.row({"a", "1 in 3.5E+18", "3/5"});
    table.row({"b", "2E-7 %", "1 in 25/292"});
    table.row({"c", "12.25", "x"});
    table.row({"d", "1 in 123,456,789.25", "", "z"}); // a column past the alignments given: left
    std::vector<std::string> got;
    for (const auto& row : table.lines({{{0, 1, 2, 3}}}, 2)) got.insert(got.end(), row.begin(), row.end());
    // A figure in exponent form ("E+") keeps out of the others' columns and
    // ends where they end.
    EXPECT_EQ(got, (std::vector<std::string>{"a 1 in        3.5E+18          3/5",   //
                                             "b                2E-7 %  1 in 25/292", //
                                             "c               12.25    x",           //
                                             "d 1 in 123,456,789.25                 z"}));
}

// The charts' figures: rounded once, ties to even, at each edge of a form.
TEST(ChartText, FiguresAtTheEdgesOfTheirForms)
{
    using namespace charts;
    const auto q = [](const char* r) { return Rational(r); };
    const std::pair<std::string, std::string> texts[] = {
        {FixedText(q("5/2"), 0), "2"},
        {FixedText(q("7/2"), 0), "4"},
        {FixedText(q("-5/2"), 0), "-2"},
        {FixedText(q("-1/4"), 0), "0"},
        {FixedText(q("1/8"), 2), "0.12"},
        {FixedText(q("3/8"), 2), "0.38"},
        {FixedText(q("1234567/2"), 1), "617,283.5"},
        {SignificantText(q("9996/1000"), 3), "10.0"},
        {SignificantText(q("655/10"), 3), "65.5"},
        {SignificantText(q("13983816"), 3), "13,983,816"},
        {SignificantText(q("342/1000000000"), 3), "0.000000342"},
        {SignificantText(q("-12345/100000"), 2), "-0.12"},
        {SignificantText(0, 3), "0"},
        {PercentText(q("1/3")), "33.3 %"},
        {PercentText(q("1")), "100 %"},
        {PercentText(Rational(0)), "0 %"},
        {PercentText(q("1/1000000000000")), "1.00E-10 %"},
        {PercentText(q("9996/1000000000000000")), "1.00E-9 %"},
        {PercentText(q("1/100000000000")), "0.00000000100 %"},
        {PercentText(Precise("1e-200")), "1.00E-198 %"},
        {PercentText(Precise(0)), "0 %"},
        {PercentText(Precise("0.25")), "25.0 %"},
        {CountText(9007199254740991.0), "9,007,199,254,740,991"},
        {CountText(9007199254740992.0), "9.00719925474099E+15"},
        {RoundAmountWords(999999), "999,999"},
        {RoundAmountWords(1e6), "1 million"},
        {RoundAmountWords(2.5e9), "2.5 billion"},
        {RoundAmountWords(1e12), "1 trillion"},
        {RoundAmountWords(1e15), "1E+15"},
        {charts::Grouped(std::string("-1234567.891")), "-1,234,567.891"},
        {charts::Grouped(std::string("-123456")), "-123,456"},
    };
    for (const auto& [got, want] : texts) EXPECT_EQ(got, want);
    EXPECT_EQ(DecimalExponent(q("1")), 0);
    EXPECT_EQ(DecimalExponent(q("999/1000")), -1);
    EXPECT_EQ(DecimalExponent(q("1000")), 3);
    EXPECT_EQ(DecimalExponent(q("1/1000")), -3);
    const auto ticks = DecadeTicks(-6, 0, 3, [](int e) { return std::to_string(e); });
    ASSERT_EQ(ticks.size(), 4u);
    EXPECT_EQ(ticks.front().label, "-6");
    EXPECT_EQ(ticks.back().label, "0");
    EXPECT_DOUBLE_EQ(ticks[1].at, 1e-4);
    // Linear axes end on the first whole step at or above the top.
    for (const auto& [top, end, count] : {std::tuple{7.0, 8.0, 5u}, {0.0, 1.0, 6u}, {6.0, 6.0, 7u}, {1.2, 1.2, 7u}}) {
        forms::Axis axis;
        SetLinearRange(axis, top, [](double) { return std::string(); });
        EXPECT_NEAR(axis.to, end, 1e-12) << top;
        EXPECT_EQ(axis.ticks.size(), count) << top;
    }
}

} // namespace
} // namespace fortelle
