#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "games/keno_returns.h"
#include "games/many_draws.h"
#include "games/named_games.h"
#include "games/ticket_value.h"

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

    // Sharing: no one else gives the whole prize, many others J p / lambda (1 - e^-lambda).
    for (double lambda : {1e-12, 1e-6, 0.5, 3.0, 40.0, 1e6}) {
        const double expected = 1e9 * -std::expm1(-lambda) / lambda;
        EXPECT_NEAR(ExpectedShareAfterTax(1e9, lambda, 0, std::nullopt).convert_to<double>(), expected,
                    expected * 1e-14);
    }
    EXPECT_NEAR(ExpectedShareAfterTax(1e9, 1e-12, 0, std::nullopt).convert_to<double>(), 1e9, 1e-2);
    // Taxed shares against the sum over the number of other winners.
    for (const auto& [amount, lambda, above] : std::vector<std::tuple<double, double, double>>{
             {1000, 2, 300}, {1000, 0.01, 600}, {5e8, 1.03, 600}, {100, 7, 99}}) {
        double sum = 0, pmf = std::exp(-lambda);
        for (int k = 0; k < 400; ++k, pmf *= lambda / k) {
            const double share = amount / (1 + k);
            sum += pmf * (share > above ? share * 0.6 : share);
        }
        EXPECT_NEAR(ExpectedShareAfterTax(amount, lambda, Real(4) / 10, Real(above)).convert_to<double>(), sum,
                    sum * 1e-12)
            << amount;
    }
    // The break-even jackpot under sharing and tax gives a ticket its price.
    a = {};
    a.jackpot = 1;
    a.taxRate = Rational(37, 100);
    a.taxAbove = Rational(600);
    a.ticketsSold = 5;
    a.cash = Rational(1, 2);
    v = ComputeTicketValue(tiny, a);
    ASSERT_EQ(v.breakEven.kind, BreakEven::Kind::Jackpot);
    a.jackpot = v.breakEven.jackpot;
    EXPECT_NEAR(ComputeTicketValue(tiny, a).value.convert_to<double>(), 2.0, 1e-12);
    a.prizes["X"] = 1;
    EXPECT_EQ(CheckValueAssumptions(tiny, a), "the game 'tiny' has no tier 'X' (its tiers: J)");
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

TEST(ManyDrawsAndKeno, KnownResults)
{
    // The reports themselves are golden files; here, the arithmetic at its edges.
    // n log1p(-p) is -(1E-3 + 5E-16): the second term is there to be kept.
    EXPECT_NEAR(ChanceOfAtLeastOne(1e-12, 1e9), -std::expm1(-(1e-3 + 5e-16)), 1e-18);
    EXPECT_EQ(ChanceOfAtLeastOne(0.9, 1e9), 1.0);
    EXPECT_EQ(DrawsForChance(0.5, 0.9), 4);
    EXPECT_EQ(DrawsForChance(0.5, 0.5), 1);
    EXPECT_EQ(DrawsForChance(0.1, 0.99), 44);
    EXPECT_EQ(ChancePercent(0.0000035), " 0.00035 %");

    const GameCatalog c = BuiltIn();
    const GameDefinition& keno = *c.find("keno");
    // One spot paying 3 (a catch is 1 in 4): behind after two or three games
    // only when no game catches; after four, with at most one catch.
    EXPECT_DOUBLE_EQ(ComputeKenoReturn(keno, 1, {{1, 3}}, true, 2).chanceBehind, 0.5625);
    EXPECT_DOUBLE_EQ(ComputeKenoReturn(keno, 1, {{1, 3}}, true, 3).chanceBehind, 0.421875);
    EXPECT_DOUBLE_EQ(ComputeKenoReturn(keno, 1, {{1, 3}}, true, 4).chanceBehind, 0.31640625 + 4 * 0.25 * 0.421875);
}

} // namespace
} // namespace fortelle
