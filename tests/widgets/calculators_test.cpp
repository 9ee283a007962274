// The calculator buttons in the real window, their prompts answered through
// the real prompt dialog.
#include "lottery/lotto.h"
#include "stats/stddev.h"
#include "wagers/horses.h"
#include "wagers/pools.h"
#include "window_fixture.h"

namespace fortelle {
namespace {

using testing::WindowTest;

QString Lf(const std::string& report)
{
    return QString::fromStdString(report).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

struct ButtonCase {
    const char* button;
    QStringList offered;
    QStringList answers;
    std::string (*report)();
    const char* file;
    const char* stored;
};

class CalculatorButtons : public WindowTest, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(CalculatorButtons, OfferTheDefaultsAndShowTheReport)
{
    const ButtonCase& c = GetParam();
    for (const QString& a : c.answers) answers.push_back(a);
    click(c.button);
    ASSERT_EQ(static_cast<int>(seen.size()), c.offered.size());
    for (int i = 0; i < c.offered.size(); ++i) {
        EXPECT_EQ(seen[static_cast<std::size_t>(i)].offered, c.offered[i]);
    }
    EXPECT_EQ(boxText(), Lf(c.report()));
    EXPECT_EQ(folder.read(c.file), c.stored);
    EXPECT_FALSE(folder.has("zavixs"));
    const QFont font = fontAt(5);
    if (std::string(c.button) != "StdDev") {
        EXPECT_EQ(font.pointSizeF(), 10);
        EXPECT_TRUE(font.bold());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Window, CalculatorButtons,
    ::testing::Values(
        ButtonCase{"Horses", {"8"}, {"8"}, [] { return HorsesReport(8); }, "Horses.INI", " 8 \r\n"},
        ButtonCase{"PowerOdds", {"13"}, {"13"}, [] { return SoccerReport(13); }, "SoccerBet.INI",
                   " 13 \r\n"},
        ButtonCase{"USBet", {"5"}, {"5"}, [] { return ParlayReport(5); }, "USBet.INI", " 5 \r\n"},
        ButtonCase{"StdDev",
                   {" 6", " 49", " 100"},
                   {" 6", " 49", " 100"},
                   [] { return StdDevReport({6, 49, 100}); },
                   "StDv.INI",
                   " 6             49            100 \r\n"},
        ButtonCase{"Pick5", {"49", "6", "12"}, {"49", "6", "6"}, [] { return LottoReport({49, 6, 6}); },
                   "Lotto.INI", " 49 \r\n 6 \r\n 6 \r\n"}));

TEST_F(WindowTest, ThePromptShowsTitleMessageAndDefault)
{
    answers.push_back(std::nullopt); // Cancel
    click("Horses");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "Number of Horses in the Race");
    EXPECT_EQ(seen[0].message,
              " Calculate the odds of win, exacta, trifecta, superfecta.\n\n"
              " How many horses in the race - \n for example 6, 8, 12, 17, 20, etc. \n");
    EXPECT_EQ(seen[0].offered, "8");
    EXPECT_EQ(boxText(), Lf(HorsesReport(5)));
    EXPECT_EQ(folder.read("Horses.INI"), " 5 \r\n");
}

TEST_F(WindowTest, StdDevStopsSilentlyLeavingTheHelpText)
{
    answers.push_back(QStringLiteral("0"));
    click("StdDev");
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(boxText(), QString::fromStdString(StdDevHelpText()));
    EXPECT_FALSE(folder.has("zavixs"));
}

} // namespace
} // namespace fortelle
