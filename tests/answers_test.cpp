#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "shell/answers.h"

namespace fortelle {
namespace {

struct ReadCase {
    const char* answer;
    double value;
};

class ReadAnswerTable : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadAnswerTable, TakesTheLongestLeadingNumber)
{
    EXPECT_EQ(ReadAnswer(GetParam().answer), GetParam().value) << '"' << GetParam().answer << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadAnswerTable,
    ::testing::Values(ReadCase{"8", 8}, ReadCase{"", 0}, ReadCase{"abc", 0},
                      ReadCase{"12 horses", 12}, ReadCase{"7.5", 7.5}, ReadCase{" 7.5 ", 7.5},
                      ReadCase{"1 2", 12}, ReadCase{"1e1", 10}, ReadCase{"1D2", 100},
                      ReadCase{"1d-1", 0.1}, ReadCase{" -3 ", -3}, ReadCase{"+5", 5},
                      ReadCase{"\t4\n9", 49}, ReadCase{".5", 0.5}, ReadCase{"5.", 5},
                      ReadCase{"-", 0}, ReadCase{".", 0}, ReadCase{"1e", 1}, ReadCase{"1e+", 1},
                      ReadCase{"2.5.3", 2.5}, ReadCase{"99999999999", 99999999999.0},
                      ReadCase{"&H10", 0}, ReadCase{"0x10", 0}, ReadCase{"1,000", 1},
                      ReadCase{"1e-400", 0}, ReadCase{"000049", 49},
                      ReadCase{"1e99999999999999999999", std::numeric_limits<double>::infinity()},
                      ReadCase{"-1e400", -std::numeric_limits<double>::infinity()}));

TEST(ReadAnswer, AVeryLongAnswerIsRead)
{
    EXPECT_EQ(ReadAnswer(std::string(100000, '9')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ReadAnswer("0." + std::string(100000, '0') + "1"), 0.0);
}

struct WholeCase {
    const char* answer;
    std::optional<std::int32_t> whole;
};

class WholeConversion : public ::testing::TestWithParam<WholeCase> {};

TEST_P(WholeConversion, RoundsTiesToEvenWithin32Bits)
{
    EXPECT_EQ(ToWhole32(ReadAnswer(GetParam().answer)), GetParam().whole)
        << '"' << GetParam().answer << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Table, WholeConversion,
    ::testing::Values(WholeCase{"7.5", 8}, WholeCase{"6.5", 6}, WholeCase{"2.5", 2},
                      WholeCase{"3.5", 4}, WholeCase{"-2.5", -2}, WholeCase{"1e1", 10},
                      WholeCase{"1 2", 12}, WholeCase{"1D2", 100}, WholeCase{" -3 ", -3},
                      WholeCase{"2147483647", 2147483647}, WholeCase{"2147483647.4", 2147483647},
                      WholeCase{"2147483647.5", std::nullopt},
                      WholeCase{"-2147483648", -2147483647 - 1},
                      WholeCase{"-2147483648.5", -2147483647 - 1},
                      WholeCase{"-2147483649", std::nullopt},
                      WholeCase{"99999999999", std::nullopt}, WholeCase{"1e400", std::nullopt},
                      WholeCase{"letters", 0}, WholeCase{"", 0}));

TEST(WholeConversion, SixteenBits)
{
    EXPECT_EQ(ToWhole16(32767), 32767);
    EXPECT_EQ(ToWhole16(-32768), -32768);
    EXPECT_EQ(ToWhole16(32767.5), std::nullopt);
    EXPECT_EQ(ToWhole16(50000), std::nullopt);
    EXPECT_EQ(ToWhole16(0.5), 0);
}

TEST(WholeDefaultText, OffersTheRoundedStoredValue)
{
    EXPECT_EQ(WholeDefaultText(49.0), "49");
    EXPECT_EQ(WholeDefaultText(7.5), "8");
    EXPECT_EQ(WholeDefaultText(-3.0), "-3");
    EXPECT_EQ(WholeDefaultText(std::nullopt), "0");
    EXPECT_EQ(WholeDefaultText(1e10), "0");
}

TEST(ReadWholeToken, AcceptsOnlyWholeNumbers)
{
    EXPECT_EQ(ReadWholeToken("8"), 8.0);
    EXPECT_EQ(ReadWholeToken("-50"), -50.0);
    EXPECT_EQ(ReadWholeToken("1.5E+15"), 1.5e15);
    EXPECT_EQ(ReadWholeToken("12abc"), std::nullopt);
    EXPECT_EQ(ReadWholeToken("abc"), std::nullopt);
    EXPECT_EQ(ReadWholeToken(""), std::nullopt);
}

} // namespace
} // namespace fortelle
