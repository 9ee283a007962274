// Powers far beyond the double range, as the soccer and parlay reports show
// them; the reports themselves are golden files.
#include <gtest/gtest.h>

#include "wagers/pools.h"

namespace fortelle {
namespace {

TEST(PowerSteps, KnownLargePowers)
{
    struct Case {
        int base, power;
        const char* figure;
    };
    // Against exact integer powers: 3^69 = 834385168331080533771857328695283,
    // 2^10000 = 1.99506311688075838...E+3010, and the last rows of the
    // largest reports.
    for (const Case& c : {Case{3, 69, "8.34385168331081E+32"}, Case{2, 10000, "1.99506311688076E+3010"},
                          Case{3, 1000000, "1.79771011667574E+477121"}, Case{2, 1000000, "9.9006562292959E+301029"}}) {
        PowerSteps steps(c.base);
        for (int k = 0; k < c.power; ++k) steps.step();
        EXPECT_EQ(GeneralForm(steps.figure()), c.figure) << c.base << "^" << c.power;
    }
}

TEST(PoolCalculators, GamesBelowOneTakeTheDefaultAndAboveAMillionTheMost)
{
    for (const auto& [games, soccer, parlay] :
         {std::tuple{0, 13, 2}, {-5, 13, 2}, {1, 1, 1}, {1000000, 1000000, 1000000}, {1000001, 1000000, 1000000}}) {
        EXPECT_EQ(SoccerCalculator().accept({games}), WholeValues{soccer}) << games;
        EXPECT_EQ(ParlayCalculator().accept({games}), WholeValues{parlay}) << games;
    }
}

} // namespace
} // namespace fortelle
