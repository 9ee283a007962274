#include <gtest/gtest.h>

#include <clocale>
#include <limits>

#include "lottery/exact_figure.h"
#include "shell/print_style.h"

namespace fortelle {
namespace {

TEST(PrintStyleNumber, DoublesInGeneralForm)
{
    // clang-format off
    const std::pair<double, const char*> cases[] = {
        {8, " 8 "}, {0, " 0 "}, {-0.0, " 0 "}, {18.5, " 18.5 "}, {1032.4, " 1032.4 "},
        {-50, "-50 "}, {-2.5, "-2.5 "},
        // From 1E15 up: exponent form, 15 significant digits, trailing zeros dropped.
        {1853020188851841.0, " 1.85302018885184E+15 "}, {1e15, " 1E+15 "},
        {31840279800048000.0, " 3.1840279800048E+16 "}, {1e100, " 1E+100 "}, {-1e20, "-1E+20 "},
        {std::numeric_limits<double>::max(), " 1.79769313486232E+308 "},
        {999999999999999.0, " 999999999999999 "},
        {999999999999999.9, " 1E+15 "}, // rounds up to 1E15 at fifteen digits
        {123456.789012345678, " 123456.789012346 "}, {0.1 + 0.2, " 0.3 "},
        {2.0 / 3.0, " 0.666666666666667 "}, {0.5, " 0.5 "}, {-0.25, "-0.25 "},
        {0.00003052, " 0.00003052 "}};
    // clang-format on
    for (const auto& [value, text] : cases) EXPECT_EQ(PrintStyleNumber(value), text);
    EXPECT_EQ(PrintStyleNumber(std::int64_t{-2147483648LL}), "-2147483648 ");
    EXPECT_EQ(PrintStyleNumber(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808 ");
    EXPECT_EQ(PrintStyleNumber(std::int64_t{0}) + PrintStyleNumber(std::int64_t{7}), " 0  7 ");
}

TEST(PrintStyleNumber, IgnoresTheLocale)
{
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE locale";
    EXPECT_EQ(PrintStyleNumber(18.5), " 18.5 ");
    EXPECT_EQ(PrintStyleNumber(1.85302018885184e15), " 1.85302018885184E+15 ");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(Figure15, GeneralFormAndRoundingOfDoubleDoubles)
{
    EXPECT_EQ(GeneralForm({false, 132207081948081ULL, 477}), "1.32207081948081E+477");
    EXPECT_EQ(GeneralForm({false, 1, 1000000}), "1E+1000000");
    EXPECT_EQ(GeneralForm({false, 25, -1}), "0.25");
    EXPECT_EQ(GeneralForm({false, 12, 5}), "120000");
    EXPECT_EQ(GeneralForm({false, 12, 1}), "12");
    // The low part decides the fifteenth digit; just under ten rounds up.
    EXPECT_EQ(GeneralForm(Figure15FromScaled(1.0, 6e-15, 0, false)), "1.00000000000001");
    EXPECT_EQ(GeneralForm(Figure15FromScaled(1.0, 4e-15, 0, false)), "1");
    EXPECT_EQ(GeneralForm(Figure15FromScaled(1.0, -4e-15, 0, false)), "1");
    EXPECT_EQ(GeneralForm(Figure15FromScaled(1.0, 5e-15, 0, false)), "1");  // a tie: to the even digit
    EXPECT_EQ(GeneralForm(Figure15FromScaled(2.0, -5e-15, 0, false)), "2"); // the same below
    EXPECT_EQ(GeneralForm(Figure15FromScaled(2.0, -6e-15, 0, false)), "1.99999999999999");
    EXPECT_EQ(GeneralForm(RatioFigure(1234567890123445, 1)), "1.23456789012344E+15"); // exact ratios too
    EXPECT_EQ(GeneralForm(RatioFigure(1234567890123455, 1)), "1.23456789012346E+15");
    EXPECT_EQ(GeneralForm(Figure15FromScaled(9.9999999999999995, 0.0, 20, false)), "1E+21");
}

TEST(RoundPlaces, TiesToEvenOnTheScaledValue)
{
    // clang-format off
    const std::tuple<double, int, double> cases[] = {
        {2.125, 2, 2.12}, {2.135, 2, 2.13}, {2.675, 2, 2.68}, {0.5, 0, 0}, {1.5, 0, 2},
        {2.5, 0, 2}, {-2.5, 0, -2}, {3.27803, 2, 3.28}, {0.122448979591837, 8, 0.12244898},
        {1e15 + 0.5, 2, 1e15 + 0.5}, {1e15 + 0.5, 0, 1e15 + 0.5}, {1e300, 2, 1e300}};
    // clang-format on
    for (const auto& [value, places, expected] : cases) {
        EXPECT_EQ(RoundPlaces(value, places), expected) << value << " to " << places;
    }
}

TEST(GroupedWhole, HalvesAwayFromZeroGroupedInThrees)
{
    // clang-format off
    const std::pair<double, const char*> cases[] = {
        {100, "100"}, {1e12, "1,000,000,000,000"}, {0, ""}, {0.4, ""}, {-0.4, ""}, {0.5, "1"},
        {-0.5, "-1"}, {2.5, "3"}, {-1234567, "-1,234,567"}, {999, "999"}, {1000, "1,000"},
        {12.4999, "12"}, {1e24, "1,000,000,000,000,000,000,000,000"},
        {1234567890123456789.0, "1,234,567,890,123,460,000"}};
    // clang-format on
    for (const auto& [value, text] : cases) EXPECT_EQ(GroupedWhole(value), text) << value;
    for (const auto& [text, grouped] : {std::pair{"-1234567.25", "-1,234,567.25"},
                                        {"123", "123"},
                                        {"-123456", "-123,456"},
                                        {"1.5E+20", "1.5E+20"},
                                        {"", ""}}) {
        EXPECT_EQ(Grouped(text), grouped) << text;
    }
}

} // namespace
} // namespace fortelle
