#include <gtest/gtest.h>

#include <sstream>

#include "lottery/digit_games.h"
#include "wagers/roulette.h"

namespace fortelle {
namespace {

TEST(DigitGames, Pick3IsTheFixedTextThenTheLineBreakOfItsPrintedLine)
{
    EXPECT_EQ(Pick3Report(),
              "\nThe pick-3 game draws 3 digits from 0 to 9; e.g. 090.\n\n"
              "The odds of the pick-3 game are:\n\n"
              " - straight pick: 1 in 1000;\n - boxed: 1 in 220;\n - front/back pair: 1 in 100.\n"
              "\r\n");
}

TEST(DigitGames, Pick4WritesTenThousandWithAComma)
{
    EXPECT_EQ(Pick4Report(),
              "\nThe pick-4 game draws 4 digits from 0 to 9; e.g. 0903.\n\n"
              "The odds of the pick-4 game are:\n\n"
              " - straight pick: 1 in 10,000;\n - boxed: 1 in 715;\n"
              " - front/back 3-digits: 1 in 1000.\n\r\n");
}

TEST(Roulette, BetRowsAre52CharactersWithAlignedColumns)
{
    std::istringstream in(RouletteReport());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 19u); // 18 lines, then the CR of the printed line
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "       Various odds at 0 and 00 roulette");
    EXPECT_EQ(lines[3], std::string(51, '='));
    EXPECT_EQ(lines[5], std::string(51, '='));
    EXPECT_EQ(lines[17], std::string(51, '='));
    EXPECT_EQ(lines[18], "\r");
    const std::string& heading = lines[4];
    EXPECT_EQ(heading.find("Single 0"), 28u);
    EXPECT_EQ(heading.find("Double 0"), 41u);
    for (int row = 6; row <= 16; ++row) {
        const std::string& text = lines[static_cast<std::size_t>(row)];
        SCOPED_TRACE(text);
        EXPECT_EQ(text.size(), 52u);
        EXPECT_EQ(text.substr(0, 3), " - ");
        EXPECT_EQ(text.substr(28, 5), "1 in ");
        EXPECT_EQ(text.substr(41, 5), "1 in ");
    }
    EXPECT_EQ(lines[6], " - straight-up (1 number):  1 in 37      1 in 38    ");
    EXPECT_EQ(lines[9], " - corner (4 numbers):      1 in 9.25    1 in 9.5   ");
    EXPECT_EQ(lines[16], " - low/high (18 numbers):   1 in 2.06    1 in 2.11  ");
}

} // namespace
} // namespace fortelle
