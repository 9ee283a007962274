#include <gtest/gtest.h>

#include <limits>

#include "shell/answers.h"

namespace fortelle {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(ReadAnswer, TakesTheLongestLeadingNumberIgnoringBlanks)
{
    // clang-format off
    const std::pair<std::string, double> cases[] = {
        {"8", 8}, {"", 0}, {"abc", 0}, {"12 horses", 12}, {" 7.5 ", 7.5}, {"1 2", 12},
        {"1e1", 10}, {"1E2", 100}, {"1e+2", 100}, {"1D2", 100}, {"1d-1", 0.1}, {" -3 ", -3}, {"+5", 5}, {"\t4\n9", 49},
        {".5", 0.5}, {"5.", 5}, {"-", 0}, {".", 0}, {"1e", 1}, {"1e+", 1}, {"2.5.3", 2.5},
        {"99999999999", 99999999999.0}, {"&H10", 0}, {"0x10", 0}, {"1,000", 1}, {"1e-400", 0},
        {"000049", 49}, {"1e99999999999999999999", kInfinity}, {"-1e400", -kInfinity},
        {std::string(100000, '9'), kInfinity}, {"0." + std::string(100000, '0') + "1", 0}};
    // clang-format on
    for (const auto& [answer, value] : cases) {
        EXPECT_EQ(ReadAnswer(answer), value) << '"' << answer.substr(0, 40) << '"';
    }
}

TEST(WholeConversion, RoundsTiesToEvenWithin32And16Bits)
{
    // clang-format off
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"7.5", 8}, {"6.5", 6}, {"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {"0.5", 0},
        {"2147483647", 2147483647}, {"2147483647.4", 2147483647}, {"2147483647.5", std::nullopt},
        {"-2147483648", -2147483647 - 1}, {"-2147483648.5", -2147483647 - 1},
        {"-2147483649", std::nullopt}, {"1e400", std::nullopt}, {"letters", 0}};
    // clang-format on
    for (const auto& [answer, whole] : cases) EXPECT_EQ(ToWhole32(ReadAnswer(answer)), whole) << answer;
    EXPECT_EQ(ToWhole16(32767.4), 32767);
    EXPECT_EQ(ToWhole16(-32768.5), -32768);
    EXPECT_EQ(ToWhole16(32767.5), std::nullopt);
    EXPECT_EQ(ToWhole16(-32769), std::nullopt);
}

} // namespace
} // namespace fortelle
