#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>

#include "cli/command_line.h"
#include "fakes.h"
#include "lottery/digit_games.h"
#include "lottery/euro.h"
#include "lottery/lotto.h"
#include "lottery/powerball.h"
#include "stats/stddev.h"
#include "wagers/horses.h"
#include "wagers/pools.h"
#include "wagers/roulette.h"

namespace fortelle {
namespace {

using testing::Lf;

CommandLineResult Cli(std::vector<std::string> args) { return RunCommandLine(args); }

TEST(CommandLine, FixedReports)
{
    EXPECT_EQ(Cli({"pick3"}).out, Lf(Pick3Report()));
    EXPECT_EQ(Cli({"pick4"}).out, Lf(Pick4Report()));
    EXPECT_EQ(Cli({"roulette"}).out, Lf(RouletteReport()));
    EXPECT_TRUE(Cli({"pick3"}).out.ends_with(" - front/back pair: 1 in 100.\n\n"));
    EXPECT_EQ(Cli({"--raw", "pick4"}).out, Pick4Report());
}

TEST(CommandLine, AnswersAreReadAsPromptAnswers)
{
    EXPECT_EQ(Cli({"horses", "8"}).out, Lf(HorsesReport(8)));
    EXPECT_EQ(Cli({"horses"}).out, Lf(HorsesReport(8)));
    EXPECT_EQ(Cli({"horses", "7.5"}).out, Lf(HorsesReport(8)));
    EXPECT_EQ(Cli({"horses", "3"}).out, Lf(HorsesReport(5)));
    EXPECT_EQ(Cli({"soccer", "13"}).out, Lf(SoccerReport(13)));
    EXPECT_EQ(Cli({"soccer", "x"}).out, Lf(SoccerReport(13)));
    EXPECT_EQ(Cli({"parlay", "5"}).out, Lf(ParlayReport(5)));
    EXPECT_EQ(Cli({"parlay", "-3"}).out, Lf(ParlayReport(2)));
    EXPECT_EQ(Cli({"stddev", "6", "49", "100"}).out, Lf(StdDevReport({6, 49, 100})));
    EXPECT_EQ(Cli({"stddev"}).out, Lf(StdDevReport({6, 49, 100})));
}

TEST(CommandLine, LotteryGames)
{
    EXPECT_EQ(Cli({"lotto", "49", "6", "6"}).out, Lf(LottoReport({49, 6, 6})));
    EXPECT_EQ(Cli({"lotto"}).out, Lf(LottoReport({49, 6, 12})));
    EXPECT_EQ(Cli({"lotto", "6", "49"}).out, Lf(LottoReport({49, 6, 12})));
    EXPECT_EQ(Cli({"powerball"}).out, Lf(PowerballReport({69, 26, 5, 5})));
    EXPECT_EQ(Cli({"euro"}).out, Lf(EuroReport({50, 5, 11, 2})));
    EXPECT_EQ(Cli({"euro", "50", "3", "11", "1"}).out, Lf(EuroReport({50, 3, 11, 1})));
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"lotto", "1000", "200", "200"}, {"euro", "50", "3", "11", "1"},
             {"lotto", "2147483647", "2147483647", "2147483647"}, {"powerball", "0", "0", "0", "0"},
             {"euro", "-1", "-1", "-1", "-1"}, {"lotto", "10", "3", "20"}}) {
        const auto r = Cli(args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out.find("inf"), std::string::npos) << args[1];
        EXPECT_EQ(r.out.find("nan"), std::string::npos) << args[1];
    }
}

TEST(CommandLine, StdDevRefusalsNameTheEntry)
{
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"stddev", "0"}, {"stddev", "7", "5"}, {"stddev", "1", "2", "-1"},
             {"stddev", "50000"}}) {
        const auto r = Cli(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_NE(r.err.find("entry"), std::string::npos);
    }
    EXPECT_NE(Cli({"stddev", "7", "5"}).err.find("entry N"), std::string::npos);
}

TEST(CommandLine, UsageErrors)
{
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"craps"}, {"--bogus", "pick3"}, {"pick3", "1"}, {"horses", "1", "2"},
             {"stddev", "1", "2", "3", "4"}}) {
        const auto r = Cli(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("Usage: fortelle-cli"), std::string::npos);
        EXPECT_EQ(r.err.rfind("fortelle-cli: ", 0), 0u);
    }
}

TEST(CommandLine, DoubleDashEndsTheOptions)
{
    EXPECT_EQ(Cli({"--", "horses", "--7"}).out, Lf(HorsesReport(5)));
    EXPECT_EQ(Cli({"--raw", "--", "horses", "--help"}).out, HorsesReport(5));
    EXPECT_EQ(Cli({"--", "--raw"}).status, 2); // not a calculator
}

TEST(CommandLine, HelpAndVersion)
{
    EXPECT_EQ(Cli({"--version"}).out, "fortelle-cli 10.0\n");
    EXPECT_EQ(Cli({"--version"}).status, 0);
    const auto help = Cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("pick3 pick4 lotto powerball euro horses roulette parlay soccer stddev"),
              std::string::npos);
}

// The program itself: standard output carries the report's bytes.
TEST(CommandLineProgram, WritesTheReportToStandardOutput)
{
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(FORTELLE_CLI " pick4", "r"), pclose);
    ASSERT_TRUE(pipe);
    std::string out;
    std::array<char, 4096> buf{};
    while (std::size_t n = std::fread(buf.data(), 1, buf.size(), pipe.get())) out.append(buf.data(), n);
    EXPECT_EQ(out, Lf(Pick4Report()));
    EXPECT_EQ(WEXITSTATUS(pclose(pipe.release())), 0);
}

} // namespace
} // namespace fortelle
