#include <gtest/gtest.h>

#include "app/tools.h"
#include "cli/game_commands.h"

namespace fortelle {
namespace {

// A tool window shows the very bytes its command prints for the same values,
// whatever blanks, grouping or percent signs the form was typed with, and
// its verdict is the sentence the report starts with.
TEST(Tools, ReportsAreTheCommandLinesBytes)
{
    const auto catalog = std::make_shared<const GameCatalog>(LoadGameCatalog({FORTELLE_GAMES_SOURCE}));
    const struct {
        forms::Values values;
        std::vector<std::string> command;
    } cases[] = {
        {{{"game", "keno"}, {"spots", "8"}, {"exact", "1"}}, {"game", "keno", "8", "--exact"}},
        {{{"game", "euromillions"},
          {"jackpot", "17,000,000"},
          {"cash", "50%"},
          {"tax", "20 %"},
          {"taxAbove", "1000"},
          {"sold", "5e7"},
          {"prize:5+1", "300000"},
          {"prize:2+0", "4.5"}},
         {"value", "euromillions", "--jackpot", "17000000", "--cash", "0.5", "--tax", "20", "--tax-above", "1000",
          "--tickets-sold", "5e7", "--prize", "5+1=300000", "--prize", "2+0=4.5"}},
        {{{"game", "oz-lotto"}, {"jackpot", "5 000 000"}, {"price", "1.5"}},
         {"value", "oz-lotto", "--jackpot", "5000000", "--price", "1.5"}},
        {{{"game", "(odds)"}, {"odds", "1e12"}, {"draws", "1e9"}}, {"draws", "--odds", "1e12", "--draws", "1e9"}},
        {{{"game", "keno"}, {"spots", "10"}, {"tier", "10"}, {"draws", "1000"}},
         {"draws", "keno", "10", "--spots", "10", "--draws", "1000"}},
        {{{"game", "us-powerball"}, {"tier", "any"}, {"draws", "1040"}}, {"draws", "us-powerball", "--draws", "1040"}},
        {{{"game", "us-powerball"}, {"tier", "5+PB"}, {"draws", "1040"}, {"tickets", "10"}},
         {"draws", "us-powerball", "5+PB", "--draws", "1040", "--tickets", "10"}},
        {{{"game", "keno-massachusetts"}, {"spots", "10"}, {"table", "game"}},
         {"keno-return", "keno-massachusetts", "10"}},
        {{{"game", "keno"}, {"spots", "3"}, {"table", "own"}, {"pays", "2 = 2.5, 3 = 40.5"}, {"games", "10"}},
         {"keno-return", "keno", "3", "--pay", "2=2.5,3=40.5", "--games", "10"}},
    };
    const auto tools = MakeTools({catalog});
    for (const auto& c : cases) {
        // Each tool bears its command's name.
        const auto tool =
            std::find_if(tools.begin(), tools.end(), [&](const auto& t) { return t->info().id == c.command[0]; });
        forms::Progress none;
        const forms::Result r = (*tool)->compute(c.values, none);
        ASSERT_TRUE(r.ok()) << c.command[0] << ": " << r.problems[0].message;
        const std::vector<std::string> args(c.command.begin() + 1, c.command.end());
        const CommandLineResult cli = RunGameCommand(c.command[0], args, true, [&] { return *catalog; });
        EXPECT_EQ(cli.status, 0) << cli.err;
        EXPECT_EQ(r.report, cli.out) << c.command[0] << " " << c.command[1];
        // The verdict is the report's first paragraph, from the same function.
        std::string first;
        for (std::size_t at = 2; at < r.report.size() && r.report.compare(at, 2, "\r\n") != 0;) {
            const std::size_t end = r.report.find("\r\n", at);
            first += (first.empty() ? "" : " ") + r.report.substr(at + 1, end - at - 1);
            at = end + 2;
        }
        EXPECT_EQ(r.verdict, first);
    }
}

} // namespace
} // namespace fortelle
