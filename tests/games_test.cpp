#include <gtest/gtest.h>

#include <cmath>

#include "cli/command_line.h"
#include "lottery/named_games.h"
#include "stats/keno_returns.h"
#include "stats/many_draws.h"
#include "stats/ticket_value.h"
#include "temp_folder.h"

namespace fortelle {
namespace {


GameCatalog BuiltIn() { return LoadGameCatalog({FORTELLE_GAMES_SOURCE}); }

std::string Fig(const Rational& r) { return GeneralForm(RoundedFigure(r)); }

// A game of one drum, 1 of 10, whose only prize is the jackpot.
constexpr const char* kTiny = R"({"id": "tiny", "name": "Tiny", "price": 2,
  "drums": [{"name": "d", "size": 10, "draw": 1, "pick": 1}],
  "tiers": [{"name": "J", "match": {"d": 1}, "prize": "jackpot"}]})";

GameDefinition Tiny() { return *ReadGameFile(kTiny, "tiny.json").game; }

// A malformed game file's one-line reason, naming the place, shows in the
// golden files game-file-*.txt.
TEST(GameFiles, UserGamesAddOrReplaceAndBadFilesAreSkipped)
{
    testing::TempFolder home;
    const auto user = home.path() / ".local/share/fortelle/games";
    std::filesystem::create_directories(user);
    std::string replaced = kTiny;
    replaced.replace(replaced.find("tiny"), 4, "keno");
    const auto put = [](const std::filesystem::path& path, const std::string& text) { std::ofstream(path) << text; };
    put(user / "a.json", replaced);
    put(user / "b.json", "[1, 2");
    put(user / "c.json", kTiny);
    const auto folders = GameFolders("/nowhere/bin", [&](const char* name) -> std::optional<std::string> {
        if (std::string(name) == "FORTELLE_GAMES_DIR") return FORTELLE_GAMES_SOURCE;
        if (std::string(name) == "HOME") return home.path().string();
        return std::nullopt;
    });
    ASSERT_EQ(folders.size(), 2u);
    const GameCatalog c = LoadGameCatalog(folders);
    EXPECT_EQ(c.games.size(), BuiltIn().games.size() + 1);
    ASSERT_TRUE(c.find("keno") && c.find("tiny"));
    EXPECT_FALSE(c.find("keno")->keno);
    ASSERT_EQ(c.warnings.size(), 1u);
    EXPECT_EQ(c.warnings[0], (user / "b.json").string() + ": line 1, column 6: not JSON: syntax error while "
                             "parsing array - unexpected end of input; expected ']'");
    EXPECT_EQ(GameFolders("/opt/x/bin", [](const char* n) -> std::optional<std::string> {
                  return std::string(n) == "XDG_DATA_HOME" ? std::optional<std::string>("/d") : std::nullopt;
              }),
              (std::vector<std::string>{"/opt/x/bin/share/fortelle/games", "/d/fortelle/games"}));
}

TEST(NamedGames, AnyPrizeOddsAndPublishedCharts)
{
    // Every built-in game's odds agree with its published chart (the figures
    // themselves are golden files).
    const GameCatalog c = BuiltIn();
    EXPECT_TRUE(c.warnings.empty());
    const ChartCheck check = CheckPublishedFigures(c);
    EXPECT_TRUE(check.agrees) << check.text;
    EXPECT_EQ(check.figures, 57);

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
    const GameDefinition tiny = Tiny();
    ValueAssumptions a;
    a.jackpot = 70;
    TicketValue v = ComputeTicketValue(tiny, a);
    EXPECT_EQ(v.value, Rational(7)); // J p
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
        EXPECT_NEAR(ExpectedShareAfterTax(1e9, lambda, 0, std::nullopt), expected, expected * 1e-14);
    }
    EXPECT_NEAR(ExpectedShareAfterTax(1e9, 1e-12, 0, std::nullopt), 1e9, 1e-2);
    // Taxed shares against the sum over the number of other winners.
    for (const auto& [amount, lambda, above] : std::vector<std::tuple<double, double, double>>{
             {1000, 2, 300}, {1000, 0.01, 600}, {5e8, 1.03, 600}, {100, 7, 99}}) {
        double sum = 0, pmf = std::exp(-lambda);
        for (int k = 0; k < 400; ++k, pmf *= lambda / k) {
            const double share = amount / (1 + k);
            sum += pmf * (share > above ? share * 0.6 : share);
        }
        EXPECT_NEAR(ExpectedShareAfterTax(amount, lambda, 0.4, above), sum, sum * 1e-12) << amount;
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
    // A game file named on the command line is read from there.
    const CommandLineResult cli =
        RunCommandLine({"value", FORTELLE_GAMES_SOURCE "/uk-lotto.json", "--jackpot", "2e6"});
    EXPECT_EQ(cli.status, 0) << cli.err;
    EXPECT_NE(cli.out.find("Break-even jackpot (advertised): 57834798 GBP"), std::string::npos) << cli.out;
}

TEST(ManyDrawsAndKeno, KnownResults)
{
    const GameCatalog c = BuiltIn();
    ManyDrawsInput in{"", ComputeGameOdds(*c.find("us-powerball"), 0).p[0], 1040};
    const ManyDraws pb = ComputeManyDraws(in);
    EXPECT_NEAR(1 / pb.atLeastOnce, 281000, 100); // ten years of two draws a week
    EXPECT_EQ(pb.expectedWins, Rational(1040, 292201338));
    // n log1p(-p) is -(1E-3 + 5E-16): the second term is there to be kept.
    EXPECT_NEAR(ChanceOfAtLeastOne(1e-12, 1e9), -std::expm1(-(1e-3 + 5e-16)), 1e-18);
    EXPECT_EQ(ChanceOfAtLeastOne(0.9, 1e9), 1.0);
    EXPECT_EQ(DrawsForChance(0.5, 0.9), 4);
    EXPECT_EQ(DrawsForChance(0.5, 0.5), 1);
    EXPECT_EQ(DrawsForChance(0.1, 0.99), 44);
    EXPECT_EQ(ChancePercent(0.0000035), " 0.00035 %");

    const GameDefinition& keno = *c.find("keno");
    const PayTable pays{{5, 9}, {6, 95}, {7, 1480}, {8, 18000}};
    const KenoReturn k = ComputeKenoReturn(keno, 8, pays, true, 1000);
    EXPECT_EQ(Fig(k.houseEdge * 100), "29.47");
    EXPECT_NEAR(k.deviation, 42.21, 0.005);
    EXPECT_TRUE(k.exactConvolution);
    EXPECT_FALSE(ComputeKenoReturn(keno, 8, pays, true, 1001).exactConvolution);
    // One spot paying 3 (a catch is 1 in 4): behind after two or three games
    // only when no game catches; after four, with at most one catch.
    EXPECT_DOUBLE_EQ(ComputeKenoReturn(keno, 1, {{1, 3}}, true, 2).chanceBehind, 0.5625);
    EXPECT_DOUBLE_EQ(ComputeKenoReturn(keno, 1, {{1, 3}}, true, 3).chanceBehind, 0.421875);
    EXPECT_DOUBLE_EQ(ComputeKenoReturn(keno, 1, {{1, 3}}, true, 4).chanceBehind, 0.31640625 + 4 * 0.25 * 0.421875);
}

} // namespace
} // namespace fortelle
