// Faults of the real file system against every calculator: the report
// still shows, and the data named in each case is left as it was.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/buttons.h"
#include "disk_platform.h"
#include "filetools/text_tools.h"

namespace fortelle {
namespace {

namespace fs = std::filesystem;

struct Calculator {
    const char* button;
    const char* file;
};

class Faults : public ::testing::TestWithParam<Calculator>, protected testing::DiskPlatform {
protected:
    // Clicks the button accepting "5" everywhere ("1 2 100" for the standard
    // deviation); true when a whole report was shown.
    bool click()
    {
        answers =
            std::string(GetParam().button) == "StdDev" ? testing::Answers{"1", "2", "100"} : testing::Answers(4, "5");
        prompt.asked.clear();
        box.content.clear();
        box.visible = false;
        for (const ButtonDesign& b : ButtonDesigns()) {
            if (b.name == GetParam().button) b.onClick(platform);
        }
        return box.content.size() > 40 && box.content.ends_with("\r\n") && box.visible && !folder.has("zavixs");
    }
    bool offeredNothing() const
    {
        const std::string& offered = prompt.asked.at(0).offered;
        return offered == "0" || offered == " 0";
    }
    const std::string file = GetParam().file;
};

TEST_P(Faults, AFolderAtTheParameterFileIsLeftAlone)
{
    fs::create_directory(folder.path() / file);
    folder.write(file + "/inside", "data");
    EXPECT_TRUE(click());
    EXPECT_TRUE(offeredNothing());
    EXPECT_EQ(folder.read(file + "/inside"), "data");
}

TEST_P(Faults, ALinkAtTheParameterFileLeavesItsTarget)
{
    folder.write("elsewhere.txt", " 7 \r\n 7 \r\n 7 \r\n 7 \r\n");
    fs::create_symlink(folder.path() / "elsewhere.txt", folder.path() / file);
    EXPECT_TRUE(click());
    EXPECT_EQ(folder.read("elsewhere.txt"), " 7 \r\n 7 \r\n 7 \r\n 7 \r\n");
    EXPECT_FALSE(fs::is_symlink(folder.path() / file));
}

TEST_P(Faults, BinaryEmptyAndHugeParameterFilesHoldNoValues)
{
    for (const std::string& bytes :
         {std::string("\x00\x01\xff\xfe\x80", 5), std::string(), std::string(100u << 20, '9')}) {
        folder.write(file, bytes);
        EXPECT_TRUE(click());
        EXPECT_TRUE(offeredNothing());
        EXPECT_LT(folder.read(file).size(), 100u); // rewritten with the values used
    }
}

TEST_P(Faults, ADiskThatFillsKeepsTheOldParameterFile)
{
    folder.write(file, " 9 \r\n 9 \r\n 9 \r\n 9 \r\n");
    {
        testing::FileSizeLimit limit(4); // nothing longer than 4 bytes can be written
        EXPECT_TRUE(click());
    }
    EXPECT_EQ(folder.read(file), " 9 \r\n 9 \r\n 9 \r\n 9 \r\n");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{file}));
}

INSTANTIATE_TEST_SUITE_P(EveryCalculator, Faults,
                         ::testing::Values(Calculator{"Pick5", "Lotto.INI"}, Calculator{"Pick6", "Power51.INI"},
                                           Calculator{"EuroOdds", "EuroOdds.INI"}, Calculator{"Horses", "Horses.INI"},
                                           Calculator{"PowerOdds", "SoccerBet.INI"}, Calculator{"USBet", "USBet.INI"},
                                           Calculator{"StdDev", "StDv.INI"}),
                         [](const auto& info) { return std::string(info.param.button); });

} // namespace
} // namespace fortelle
