// The calculator buttons in the real window, their prompts answered through
// the real prompt dialog. What each calculator asks and stores shows in the
// flow transcripts; here, that the window carries it.
#include "lottery/lotto.h"
#include "wagers/horses.h"
#include "window_fixture.h"

namespace fortelle {
namespace {

using testing::WindowTest;

TEST_F(WindowTest, ThePromptShowsTitleMessageAndDefaultAndReturnsTheAnswer)
{
    answers = {std::nullopt}; // Cancel: 0 horses, brought up to 5
    click("Horses");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "Number of Horses in the Race");
    EXPECT_EQ(seen[0].message, " Calculate the odds of win, exacta, trifecta, superfecta.\n\n"
                               " How many horses in the race - \n for example 6, 8, 12, 17, 20, etc. \n");
    EXPECT_EQ(seen[0].offered, "8");
    EXPECT_EQ(seen[0].accessibleName, "Calculate the odds of win, exacta, trifecta, superfecta. How many "
                                      "horses in the race - for example 6, 8, 12, 17, 20, etc.");
    // The wait cursor while the click works, the ordinary one while the
    // prompt waits, none after.
    EXPECT_EQ(seen[0].cursorBefore, Qt::WaitCursor);
    EXPECT_EQ(seen[0].cursorWhileAsking, Qt::ArrowCursor);
    EXPECT_EQ(OverrideCursor(), Qt::BitmapCursor);
    EXPECT_EQ(boxText(), Lf(HorsesReport(5)));
    EXPECT_EQ(folder.read("Horses.INI"), " 5 \r\n");

    answers = {"49", "6", "6"};
    click("Pick5");
    EXPECT_EQ(seen[1].offered, "49");
    EXPECT_EQ(boxText(), Lf(LottoReport({49, 6, 6})));
    expectReportFont(5);
    EXPECT_FALSE(folder.has("zavixs"));
}

} // namespace
} // namespace fortelle
