#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "shell/print_style.h"

namespace fortelle {
namespace {

struct DoubleCase {
    double value;
    const char* text;
};

class PrintStyleDouble : public ::testing::TestWithParam<DoubleCase> {};

TEST_P(PrintStyleDouble, Renders)
{
    EXPECT_EQ(PrintStyleNumber(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PrintStyleDouble,
    ::testing::Values(
        DoubleCase{8, " 8 "}, DoubleCase{56, " 56 "}, DoubleCase{1594323, " 1594323 "},
        DoubleCase{0, " 0 "}, DoubleCase{-0.0, " 0 "}, DoubleCase{18.5, " 18.5 "},
        DoubleCase{2.29, " 2.29 "}, DoubleCase{1032.4, " 1032.4 "},
        DoubleCase{-50, "-50 "}, DoubleCase{-2.5, "-2.5 "},
        // From 1E15 up: exponent form, 15 significant digits, trailing zeros dropped.
        DoubleCase{1853020188851841.0, " 1.85302018885184E+15 "}, DoubleCase{1e15, " 1E+15 "},
        DoubleCase{1.18059162071741e21, " 1.18059162071741E+21 "},
        DoubleCase{31840279800048000.0, " 3.1840279800048E+16 "},
        DoubleCase{5.3598337040381e20, " 5.3598337040381E+20 "},
        DoubleCase{1e100, " 1E+100 "}, DoubleCase{-1e20, "-1E+20 "},
        DoubleCase{std::numeric_limits<double>::max(), " 1.79769313486232E+308 "},
        // Just below 1E15: plain digits.
        DoubleCase{999999999999999.0, " 999999999999999 "},
        DoubleCase{617673396283947.0, " 617673396283947 "},
        DoubleCase{562949953421312.0, " 562949953421312 "},
        DoubleCase{990034950024000.0, " 990034950024000 "},
        // Rounds up to 1E15 at fifteen digits, so it takes the exponent form.
        DoubleCase{999999999999999.9, " 1E+15 "},
        // Fifteen significant digits, not more.
        DoubleCase{123456.789012345678, " 123456.789012346 "},
        DoubleCase{0.1 + 0.2, " 0.3 "}, DoubleCase{2.0 / 3.0, " 0.666666666666667 "},
        // Below 1: a zero before the point.
        DoubleCase{0.5, " 0.5 "}, DoubleCase{-0.25, "-0.25 "},
        DoubleCase{0.12244898, " 0.12244898 "}, DoubleCase{0.00003052, " 0.00003052 "}));

TEST(PrintStyleNumber, WholeNumbers)
{
    EXPECT_EQ(PrintStyleNumber(std::int64_t{8}), " 8 ");
    EXPECT_EQ(PrintStyleNumber(std::int64_t{0}), " 0 ");
    EXPECT_EQ(PrintStyleNumber(std::int64_t{-50}), "-50 ");
    EXPECT_EQ(PrintStyleNumber(std::int64_t{2147483647}), " 2147483647 ");
    EXPECT_EQ(PrintStyleNumber(std::int64_t{-2147483648LL}), "-2147483648 ");
    EXPECT_EQ(PrintStyleNumber(std::numeric_limits<std::int64_t>::min()),
              "-9223372036854775808 ");
}

TEST(PrintStyleNumber, IgnoresTheLocale)
{
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr &&
        std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma installed";
    }
    EXPECT_EQ(PrintStyleNumber(18.5), " 18.5 ");
    EXPECT_EQ(PrintStyleNumber(1.85302018885184e15), " 1.85302018885184E+15 ");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(Figure15, GeneralFormOfFiguresBeyondDoubles)
{
    EXPECT_EQ(GeneralForm({false, 132207081948081ULL, 477}), "1.32207081948081E+477");
    EXPECT_EQ(GeneralForm({false, 1, 1000000}), "1E+1000000");
    EXPECT_EQ(GeneralForm({false, 1, 15}), "1E+15");
    EXPECT_EQ(GeneralForm({false, 25, -1}), "0.25");
    EXPECT_EQ(GeneralForm({false, 12, 5}), "120000");
}

TEST(Figure15, FromScaledRoundsTheDoubleDouble)
{
    // The low part decides the fifteenth digit.
    EXPECT_EQ(GeneralForm(Figure15FromScaled(1.0, 6e-15, 0, false)), "1.00000000000001");
    EXPECT_EQ(GeneralForm(Figure15FromScaled(1.0, 4e-15, 0, false)), "1");
    EXPECT_EQ(GeneralForm(Figure15FromScaled(1.0, -4e-15, 0, false)), "1");
    Figure15 f{};
    // Just under ten rounds up to the next power.
    f = Figure15FromScaled(9.9999999999999995, 0.0, 20, false);
    EXPECT_EQ(GeneralForm(f), "1E+21");
}

struct RoundCase {
    double value;
    int places;
    double expected;
};

class RoundPlacesTable : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundPlacesTable, RoundsTiesToEven)
{
    EXPECT_EQ(RoundPlaces(GetParam().value, GetParam().places), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RoundPlacesTable,
    ::testing::Values(RoundCase{2.125, 2, 2.12}, RoundCase{2.135, 2, 2.13}, // stored just below the tie
                      RoundCase{2.675, 2, 2.68},
                      RoundCase{0.5, 0, 0}, RoundCase{1.5, 0, 2}, RoundCase{2.5, 0, 2},
                      RoundCase{-2.5, 0, -2}, RoundCase{3.27803, 2, 3.28},
                      RoundCase{0.122448979591837, 8, 0.12244898},
                      RoundCase{1e15 + 0.5, 2, 1e15 + 0.5}, RoundCase{1e300, 2, 1e300},
                      RoundCase{13983816, 2, 13983816}));

struct GroupCase {
    double value;
    const char* text;
};

class GroupedWholeTable : public ::testing::TestWithParam<GroupCase> {};

TEST_P(GroupedWholeTable, Formats)
{
    EXPECT_EQ(GroupedWhole(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GroupedWholeTable,
    ::testing::Values(GroupCase{100, "100"}, GroupCase{1e12, "1,000,000,000,000"},
                      GroupCase{499999500000, "499,999,500,000"}, GroupCase{0, ""},
                      GroupCase{0.4, ""}, GroupCase{-0.4, ""}, GroupCase{0.5, "1"},
                      GroupCase{-0.5, "-1"}, GroupCase{2.5, "3"}, GroupCase{-1, "-1"},
                      GroupCase{-1234567, "-1,234,567"}, GroupCase{999, "999"},
                      GroupCase{1000, "1,000"}, GroupCase{12.4999, "12"},
                      GroupCase{1e24, "1,000,000,000,000,000,000,000,000"},
                      GroupCase{1234567890123456789.0, "1,234,567,890,123,460,000"}));

} // namespace
} // namespace fortelle
