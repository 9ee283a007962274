#include <gtest/gtest.h>

#include "fakes.h"
#include "stats/stddev.h"

namespace fortelle {
namespace {

using testing::FakePlatform;

std::string Report(std::int16_t n, std::int16_t N, double T) { return StdDevReport({n, N, T}); }

TEST(StdDev, TheDefaultReport)
{
    EXPECT_EQ(Report(6, 49, 100),
              "\r\n"
              " The standard deviation for an event of probability \r\n"
              " p =  0.12244898 ( 6 / 49 )\r\n"
              " in 100 binomial experiments is: \r\n"
              "                    BSD =  3.28 \r\n"
              "\r\n"
              "The expected (theoretical) number of successes is: 12\r\n"
              "\r\n"
              "Based on the Normal Probability Rule:\r\n"
              "\r\n"
              "* 68.2% of the successes will fall within 1 Standard Deviation\r\n"
              "from 12 ~ i.e. between 9 and 15\r\n"
              "** 95.4% of the successes will fall within 2 Standard Deviations\r\n"
              "from 12 ~ i.e. between 6 and 18\r\n"
              "*** 99.7% of the successes will fall within 3 Standard Deviations\r\n"
              "from 12 ~ i.e. between 3 and 21\r\n"
              "\r\n");
}

struct Example {
    std::int16_t n, N;
    double T;
    std::vector<std::string> lines; // must each appear in the report
};

class StdDevExamples : public ::testing::TestWithParam<Example> {};

TEST_P(StdDevExamples, ShowTheirFigures)
{
    const Example& e = GetParam();
    const std::string report = Report(e.n, e.N, e.T);
    for (const std::string& line : e.lines) {
        EXPECT_NE(report.find("\r\n" + line + "\r\n"), std::string::npos) << line << "\n" << report;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, StdDevExamples,
    ::testing::Values(
        Example{1, 2, 100,
                {" p =  0.5 ( 1 / 2 )", "                    BSD =  5 ",
                 "The expected (theoretical) number of successes is: 50",
                 "from 50 ~ i.e. between 45 and 55", "from 50 ~ i.e. between 40 and 60",
                 "from 50 ~ i.e. between 35 and 65"}},
        Example{1, 2, 1e12,
                {" in 1,000,000,000,000 binomial experiments is: ",
                 "The expected (theoretical) number of successes is: 500,000,000,000",
                 "from 500,000,000,000 ~ i.e. between 499,999,500,000 and 500,000,500,000"}},
        Example{1, 6, 6,
                {"from 1 ~ i.e. between  and 2", "from 1 ~ i.e. between -1 and 3",
                 "from 1 ~ i.e. between -2 and 4"}},
        Example{3, 3, 10,
                {" p =  1 ( 3 / 3 )", "                    BSD =  0 ",
                 "from 10 ~ i.e. between 10 and 10"}},
        Example{1, 2, 0.5,
                {" in 1 binomial experiments is: ", "                    BSD =  0.35 "}},
        // The largest trials a double holds still give a report.
        Example{1, 2, 1.7976931348623157e308,
                {"                    BSD =  6.7039039649713E+153 "}}));

TEST(StdDev, DefaultTextsKeepTheSignPosition)
{
    EXPECT_EQ(StdDevDefaultText(6.0, true), " 6");
    EXPECT_EQ(StdDevDefaultText(100.0, false), " 100");
    EXPECT_EQ(StdDevDefaultText(0.5, false), " 0.5");
    EXPECT_EQ(StdDevDefaultText(-4.0, true), "-4");
    EXPECT_EQ(StdDevDefaultText(std::nullopt, true), " 0");
    EXPECT_EQ(StdDevDefaultText(50000.0, true), " 0");
}

struct FlowCase {
    std::vector<std::optional<std::string>> answers;
    std::size_t promptsShown;
    bool reported;
};

class StdDevFlows : public ::testing::TestWithParam<FlowCase> {};

TEST_P(StdDevFlows, StopSilentlyAtTheFirstEntryNotAccepted)
{
    const FlowCase& c = GetParam();
    FakePlatform f;
    f.prompt.answers.assign(c.answers.begin(), c.answers.end());
    RunStdDev(f.platform);
    EXPECT_EQ(f.prompt.asked.size(), c.promptsShown);
    const std::string defaults = " 6 " + std::string(11, ' ') + " 49 " + std::string(10, ' ') +
                                 " 100 \r\n";
    if (c.reported) {
        EXPECT_TRUE(f.box.content.starts_with(
            "\r\n The standard deviation for an event of probability \r\n"));
        EXPECT_NE(f.files.files.at("StDv.INI"), defaults);
    } else {
        EXPECT_EQ(f.box.content, StdDevHelpText());
        EXPECT_EQ(f.files.files.at("StDv.INI"), defaults); // as the first run created it
    }
    EXPECT_FALSE(f.files.exists("zavixs"));
}

INSTANTIATE_TEST_SUITE_P(
    Table, StdDevFlows,
    ::testing::Values(FlowCase{{"1", "2", "100"}, 3, true},
                      FlowCase{{std::nullopt}, 1, false}, FlowCase{{"0"}, 1, false},
                      FlowCase{{"50000"}, 1, false}, FlowCase{{"7", "5"}, 2, false},
                      FlowCase{{"1", "-2"}, 2, false}, FlowCase{{"1", "40000"}, 2, false},
                      FlowCase{{"1", "2", "0"}, 3, false}, FlowCase{{"1", "2", "-1"}, 3, false},
                      FlowCase{{"1", "2", "1e999"}, 3, false},
                      FlowCase{{"1", "2", "letters"}, 3, false},
                      FlowCase{{"3", "3", "0.5"}, 3, true}));

TEST(StdDevFlow, HelpTextPromptsAndStoredLine)
{
    FakePlatform f;
    f.prompt.answers = {" 6", " 49", " 100"};
    RunStdDev(f.platform);
    ASSERT_EQ(f.prompt.asked.size(), 3u);
    EXPECT_EQ(f.prompt.asked[0].title, "Element #1 of Probability p -> n");
    EXPECT_EQ(f.prompt.asked[0].message,
              "Enter the 1st element n of probability p=n/N: n must be LESS THAN N - the 2nd "
              "element.For example: 1/2 (coin tossing).");
    EXPECT_EQ(f.prompt.asked[0].offered, " 6");
    EXPECT_EQ(f.prompt.asked[1].title, "Element #2 of Probability p -> N");
    EXPECT_EQ(f.prompt.asked[1].offered, " 49");
    EXPECT_EQ(f.prompt.asked[2].title, "The Number of Trials N");
    EXPECT_EQ(f.prompt.asked[2].message,
              "Enter the number of trials N; it must be a positive integer from 1 to billions.");
    EXPECT_EQ(f.prompt.asked[2].offered, " 100");
    EXPECT_EQ(f.box.content, StdDevReport({6, 49, 100}));
    // The help text came first, into a box that was emptied and focused.
    EXPECT_EQ(f.box.log[0], "setText");
    EXPECT_EQ(f.box.log[1], "focus");
    EXPECT_EQ(f.box.log[2], "setText");
    // The font is never touched by this calculator.
    EXPECT_EQ(f.box.selectionFont, "");

    f.prompt.answers = {"1", "2", "2.5"};
    RunStdDev(f.platform);
    EXPECT_EQ(f.files.files.at("StDv.INI"),
              " 1 " + std::string(11, ' ') + " 2 " + std::string(11, ' ') + " 2.5 \r\n");
}

TEST(StdDevFlow, AFileHoldingTextOffersZero)
{
    FakePlatform f;
    f.files.files["StDv.INI"] = "six forty-nine hundred\r\n";
    RunStdDev(f.platform);
    ASSERT_EQ(f.prompt.asked.size(), 1u);
    EXPECT_EQ(f.prompt.asked[0].offered, " 0");
}

TEST(StdDevHelp, TenLines)
{
    const std::string help = StdDevHelpText();
    EXPECT_EQ(std::count(help.begin(), help.end(), '\n'), 10);
    EXPECT_EQ(help.substr(0, 53), "This option applies the Binomial Standard Deviation.\n");
    EXPECT_NE(help.find("\nConditions: n<N>0, N = up to trillions!\n"), std::string::npos);
}

} // namespace
} // namespace fortelle
