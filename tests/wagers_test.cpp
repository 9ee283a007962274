#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "fakes.h"
#include "wagers/horses.h"
#include "wagers/pools.h"

namespace fortelle {
namespace {

using testing::FakePlatform;
using testing::Lines;


TEST(Horses, EightHorses)
{
    EXPECT_EQ(HorsesReport(8),
              "\r\n The odds in horseracing, 8 horses in the race:\r\n\r\n\r\n"
              " - to win probability (top 1) -> 1 in 8 \r\n"
              " - exacta probability (top 2) -> 1 in 56 \r\n"
              " - trifecta probability (top 3) -> 1 in 336 \r\n"
              " - superfecta probability (top 4) -> 1 in 1680 \r\n"
              " - quinfecta probability (top 5) -> 1 in 6720 \r\n");
}

TEST(Horses, FiguresForFiveAndLargeFields)
{
    const auto five = Lines(HorsesReport(5));
    EXPECT_EQ(five[4], " - to win probability (top 1) -> 1 in 5 ");
    EXPECT_EQ(five[5], " - exacta probability (top 2) -> 1 in 20 ");
    EXPECT_EQ(five[6], " - trifecta probability (top 3) -> 1 in 60 ");
    EXPECT_EQ(five[7], " - superfecta probability (top 4) -> 1 in 120 ");
    EXPECT_EQ(five[8], " - quinfecta probability (top 5) -> 1 in 120 ");
    EXPECT_EQ(Lines(HorsesReport(2000))[8],
              " - quinfecta probability (top 5) -> 1 in 3.1840279800048E+16 ");
    EXPECT_EQ(Lines(HorsesReport(1000))[8],
              " - quinfecta probability (top 5) -> 1 in 990034950024000 ");
    // The largest field: the product stays well inside the double range.
    EXPECT_EQ(Lines(HorsesReport(2147483647))[8],
              " - quinfecta probability (top 5) -> 1 in 4.5671925847576E+46 ");
}

TEST(Soccer, ThirteenGamesAndTheExponentFormFrom32)
{
    const auto lines = Lines(SoccerReport(13));
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[1], " The AT LEAST odds in soccer pools 1X2 for 13 games:");
    EXPECT_EQ(lines[4], "~ 0 of 13  -> 1 in 1 ");
    EXPECT_EQ(lines[5], "~ 1 of 13  -> 1 in 3 ");
    EXPECT_EQ(lines[17], "~ 13 of 13  -> 1 in 1594323 ");
    const auto big = Lines(SoccerReport(40));
    EXPECT_EQ(big[4 + 31], "~ 31 of 40  -> 1 in 617673396283947 ");
    EXPECT_EQ(big[4 + 32], "~ 32 of 40  -> 1 in 1.85302018885184E+15 ");
    EXPECT_EQ(Lines(SoccerReport(1))[5], "~ 1 of 1  -> 1 in 3 ");
}

TEST(Soccer, RowsBeyondTheDoubleRange)
{
    const auto lines = Lines(SoccerReport(1000));
    EXPECT_EQ(lines[4 + 646].substr(0, 26), "~ 646 of 1000  -> 1 in 1.6");
    // 3^647 = 4.98255158407003E+308 (exact integer power, rounded to 15 digits).
    EXPECT_EQ(lines[4 + 647], "~ 647 of 1000  -> 1 in 4.98255158407003E+308 ");
    EXPECT_EQ(lines[4 + 1000], "~ 1000 of 1000  -> 1 in 1.32207081948081E+477 ");
    for (const auto& line : lines) {
        ASSERT_EQ(line.find("inf"), std::string::npos) << line;
        ASSERT_EQ(line.find("nan"), std::string::npos) << line;
    }
}

TEST(Parlay, FiveGamesAndTheExponentFormFrom50)
{
    const auto lines = Lines(ParlayReport(5));
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[1], " The AT LEAST odds in American sports betting, 5 games:");
    EXPECT_EQ(lines[4], " - parlay probability 0 of 5  -> 1 in 1 ");
    EXPECT_EQ(lines[9], " - parlay probability 5 of 5  -> 1 in 32 ");
    const auto big = Lines(ParlayReport(60));
    EXPECT_EQ(big[4 + 49], " - parlay probability 49 of 60  -> 1 in 562949953421312 ");
    EXPECT_EQ(big[4 + 50], " - parlay probability 50 of 60  -> 1 in 1.12589990684262E+15 ");
}

TEST(PowerSteps, AgreeWithTheDoublePowerWhereItIsExact)
{
    // Powers of two are exact in doubles, so the figures must agree exactly.
    PowerSteps steps(2);
    for (int k = 0; k < 1024; ++k) {
        ASSERT_EQ(GeneralForm(steps.figure()), GeneralForm(ToFigure15(std::ldexp(1.0, k)))) << k;
        steps.step();
    }
    // Powers of three are exact in doubles up to 3^33; beyond, the figure is
    // that of the exact integer: 3^69 = 834385168331080533771857328695283.
    PowerSteps three(3);
    for (int k = 0; k <= 33; ++k) {
        ASSERT_EQ(GeneralForm(three.figure()), GeneralForm(ToFigure15(std::pow(3.0, k)))) << k;
        three.step();
    }
    for (int k = 34; k < 69; ++k) three.step();
    EXPECT_EQ(GeneralForm(three.figure()), "8.34385168331081E+32");
}

TEST(PowerSteps, KnownLargePowers)
{
    PowerSteps two(2);
    for (int k = 0; k < 10000; ++k) two.step();
    // 2^10000 = 1.99506311688075838...E+3010
    EXPECT_EQ(GeneralForm(two.figure()), "1.99506311688076E+3010");
    PowerSteps three(3);
    for (int k = 0; k < 1000000; ++k) three.step();
    // The last figures of the largest reports, against exact integer powers.
    EXPECT_EQ(GeneralForm(three.figure()), "1.79771011667574E+477121");
    PowerSteps twoMillion(2);
    for (int k = 0; k < 1000000; ++k) twoMillion.step();
    EXPECT_EQ(GeneralForm(twoMillion.figure()), "9.9006562292959E+301029");
}

struct FlowCase {
    const WholeNumberCalculator* calculator;
    std::optional<std::string> answer;
    const char* stored;
    const char* heading;
};

class WholeNumberFlows : public ::testing::TestWithParam<FlowCase> {};

TEST_P(WholeNumberFlows, ReplaceWhatTheyDoNotAcceptAndStoreIt)
{
    const FlowCase& c = GetParam();
    FakePlatform f;
    f.prompt.answers.push_back(c.answer);
    RunWholeNumberCalculator(*c.calculator, f.platform);
    const std::string file(c.calculator->parameterFile);
    EXPECT_EQ(f.files.files.at(file), c.stored);
    EXPECT_NE(f.box.content.find(c.heading), std::string::npos) << f.box.content.substr(0, 80);
    EXPECT_FALSE(f.files.exists("zavixs"));
}

const FlowCase kFlows[] = {
    {&HorsesCalculator(), std::nullopt, " 5 \r\n", "horseracing, 5 horses"},
    {&HorsesCalculator(), "4", " 5 \r\n", "horseracing, 5 horses"},
    {&HorsesCalculator(), "-7", " 5 \r\n", "horseracing, 5 horses"},
    {&HorsesCalculator(), "letters", " 5 \r\n", "horseracing, 5 horses"},
    {&HorsesCalculator(), "99999999999", " 5 \r\n", "horseracing, 5 horses"},
    {&HorsesCalculator(), "7.5", " 8 \r\n", "horseracing, 8 horses"},
    {&HorsesCalculator(), "6.5", " 6 \r\n", "horseracing, 6 horses"},
    {&HorsesCalculator(), "1 2", " 12 \r\n", "horseracing, 12 horses"},
    {&SoccerCalculator(), std::nullopt, " 13 \r\n", "for 13 games"},
    {&SoccerCalculator(), "0", " 13 \r\n", "for 13 games"},
    {&SoccerCalculator(), "1e1", " 10 \r\n", "for 10 games"},
    {&SoccerCalculator(), "2147483647", " 1000000 \r\n", "for 1000000 games"},
    {&ParlayCalculator(), std::nullopt, " 2 \r\n", "betting, 2 games"},
    {&ParlayCalculator(), " -3 ", " 2 \r\n", "betting, 2 games"},
    {&ParlayCalculator(), "1D2", " 100 \r\n", "betting, 100 games"},
};

INSTANTIATE_TEST_SUITE_P(Table, WholeNumberFlows, ::testing::ValuesIn(kFlows));

TEST(WholeNumberFlow, FirstRunOffersTheDefaultsThenStoresTheAnswer)
{
    FakePlatform f;
    f.prompt.answers.push_back("12");
    RunWholeNumberCalculator(HorsesCalculator(), f.platform);
    ASSERT_EQ(f.prompt.asked.size(), 1u);
    EXPECT_EQ(f.prompt.asked[0].title, "Number of Horses in the Race");
    EXPECT_EQ(f.prompt.asked[0].message,
              " Calculate the odds of win, exacta, trifecta, superfecta.\n\n"
              " How many horses in the race - \n for example 6, 8, 12, 17, 20, etc. \n");
    EXPECT_EQ(f.prompt.asked[0].offered, "8");
    // Written twice: the defaults before the prompt, the answer after it.
    EXPECT_EQ(f.files.log, (std::vector<std::string>{"write:Horses.INI", "write:Horses.INI",
                                                     "write:zavixs", "remove:zavixs"}));
    EXPECT_EQ(f.files.files.at("Horses.INI"), " 12 \r\n");
    // The next run offers the stored value.
    RunWholeNumberCalculator(HorsesCalculator(), f.platform);
    EXPECT_EQ(f.prompt.asked[1].offered, "12");
}

TEST(WholeNumberFlow, AHandEditedFileOffersItsLastValue)
{
    FakePlatform f;
    f.files.files["SoccerBet.INI"] = " 13 \r\n 8 \r\nextra\r\n 21 \r\n";
    RunWholeNumberCalculator(SoccerCalculator(), f.platform);
    EXPECT_EQ(f.prompt.asked.at(0).offered, "21");
    f.files.files["SoccerBet.INI"] = "twenty\r\n";
    RunWholeNumberCalculator(SoccerCalculator(), f.platform);
    EXPECT_EQ(f.prompt.asked.at(1).offered, "0");
}

TEST(WholeNumberFlow, AReadOnlyFolderStillGivesTheReport)
{
    FakePlatform f;
    f.files.readOnlyFolder = true;
    f.prompt.answers.push_back("6");
    RunWholeNumberCalculator(HorsesCalculator(), f.platform);
    EXPECT_EQ(f.prompt.asked.at(0).offered, "8");
    EXPECT_EQ(f.box.content, HorsesReport(6));
    EXPECT_TRUE(f.files.files.empty());
}

TEST(WholeNumberFlow, TheBoxIsPreparedBeforeTheFileIsRead)
{
    FakePlatform f;
    f.box.content = "old report";
    f.prompt.answers.push_back("5");
    RunWholeNumberCalculator(ParlayCalculator(), f.platform);
    EXPECT_EQ(f.box.log.front(), "setText");
    EXPECT_EQ(f.box.content, ParlayReport(5));
    EXPECT_EQ(f.box.selectionFont, "Courier");
}

} // namespace
} // namespace fortelle
