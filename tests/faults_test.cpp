// Faults of the file system against every calculator: each test names the
// data it proves safe, and checks that the report still shows.
#include <gtest/gtest.h>

#include <filesystem>

#include "disk_platform.h"
#include "filetools/text_tools.h"
#include "lottery/euro.h"
#include "lottery/lotto.h"
#include "lottery/powerball.h"
#include "platform/std_file_system.h"
#include "shell/pipeline.h"
#include "stats/stddev.h"
#include "temp_folder.h"
#include "wagers/horses.h"
#include "wagers/pools.h"

namespace fortelle {
namespace {

namespace fs = std::filesystem;

struct Calculator {
    const char* name;
    const WholeNumberCalculator* whole; // nothing for the standard deviation
    const char* file;
};

const Calculator kCalculators[] = {
    {"lotto", &LottoCalculator(), "Lotto.INI"},
    {"powerball", &PowerballCalculator(), "Power51.INI"},
    {"euro", &EuroCalculator(), "EuroOdds.INI"},
    {"horses", &HorsesCalculator(), "Horses.INI"},
    {"soccer", &SoccerCalculator(), "SoccerBet.INI"},
    {"parlay", &ParlayCalculator(), "USBet.INI"},
    {"stddev", nullptr, "StDv.INI"},
};

// Runs a calculator accepting whatever it offers.
void RunCalculator(const Calculator& c, Platform& platform, testing::FakePrompt& prompt)
{
    prompt.answers.clear();
    prompt.asked.clear();
    if (c.whole) {
        for (std::size_t i = 0; i < c.whole->prompts.size(); ++i) prompt.answers.push_back("5");
        RunWholeNumberCalculator(*c.whole, platform);
    } else {
        prompt.answers = {"1", "2", "100"};
        RunStdDev(platform);
    }
}

bool ReportShown(const testing::FakeBox& box)
{
    return box.content.size() > 40 && box.content.ends_with("\r\n") && box.visible;
}

class Faults : public ::testing::TestWithParam<Calculator>, protected testing::DiskPlatform {};

TEST_P(Faults, AParameterFileThatIsAFolderIsLeftAlone)
{
    // Protects: a folder of the parameter file's name and its contents.
    fs::create_directory(folder.path() / GetParam().file);
    folder.write(std::string(GetParam().file) + "/inside", "data");
    RunCalculator(GetParam(), platform, prompt);
    EXPECT_TRUE(ReportShown(box));
    EXPECT_EQ(folder.read(std::string(GetParam().file) + "/inside"), "data");
    const std::string offered = prompt.asked.at(0).offered;
    EXPECT_TRUE(offered == "0" || offered == " 0") << offered; // holds no values
    EXPECT_FALSE(folder.has("zavixs"));
}

TEST_P(Faults, AParameterFileThatIsALinkLeavesItsTargetUntouched)
{
    // Protects: the file the link points to.
    folder.write("elsewhere.txt", " 7 \r\n 7 \r\n 7 \r\n 7 \r\n");
    fs::create_symlink(folder.path() / "elsewhere.txt", folder.path() / GetParam().file);
    RunCalculator(GetParam(), platform, prompt);
    EXPECT_TRUE(ReportShown(box));
    EXPECT_EQ(folder.read("elsewhere.txt"), " 7 \r\n 7 \r\n 7 \r\n 7 \r\n");
    EXPECT_FALSE(fs::is_symlink(folder.path() / GetParam().file));
}

TEST_P(Faults, BinaryEmptyAndHugeParameterFilesHoldNoValues)
{
    // Protects: the run itself; the file is then rewritten with the values used.
    for (const std::string& bytes : {std::string("\x00\x01\xff\xfe\x80", 5), std::string(),
                                     std::string(100u << 20, '9')}) {
        folder.write(GetParam().file, bytes);
        box = {};
        RunCalculator(GetParam(), platform, prompt);
        EXPECT_TRUE(ReportShown(box));
        const std::string offered = prompt.asked.front().offered;
        EXPECT_TRUE(offered == "0" || offered == " 0") << offered;
        EXPECT_LT(folder.read(GetParam().file).size(), 100u);
    }
}

TEST_P(Faults, ADiskThatFillsKeepsTheOldParameterFileAndStillReports)
{
    // Protects: the parameter file as it was before the run.
    folder.write(GetParam().file, " 9 \r\n 9 \r\n 9 \r\n 9 \r\n");
    {
        testing::FileSizeLimit limit(4); // nothing longer than 4 bytes can be written
        RunCalculator(GetParam(), platform, prompt);
    }
    EXPECT_TRUE(ReportShown(box));
    EXPECT_EQ(folder.read(GetParam().file), " 9 \r\n 9 \r\n 9 \r\n 9 \r\n");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{GetParam().file}));
}

TEST_P(Faults, AReadOnlyFolderChangesNothingAndStillReports)
{
    // Protects: every file of the folder (here, as a folder that refuses writes).
    testing::FakePlatform f;
    f.files.readOnlyFolder = true;
    f.files.files[GetParam().file] = " 6 \r\n 49 \r\n 6 \r\n 5 \r\n";
    const auto before = f.files.files;
    RunCalculator(GetParam(), f.platform, f.prompt);
    EXPECT_TRUE(ReportShown(f.box));
    EXPECT_EQ(f.files.files, before);
}

INSTANTIATE_TEST_SUITE_P(EveryCalculator, Faults, ::testing::ValuesIn(kCalculators),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ScratchFaults, AHugeStaleScratchFileIsReplaced)
{
    // Protects: the report (shown whole), and no scratch file is left.
    testing::TempFolder folder;
    folder.write("zavixs", std::string(100u << 20, 'z'));
    StdFileSystem files;
    testing::FakeBox box;
    PrepareOutputBox(box);
    ShowReport(files, box, HorsesReport(8));
    EXPECT_EQ(box.content, HorsesReport(8));
    EXPECT_FALSE(folder.has("zavixs"));
}

TEST(OpenFaults, AFileThatDisappearsBeforeTheReadLeavesTheBoxEmpty)
{
    // Protects: the program (no crash) and the box's state (empty, as after a cancel).
    testing::DiskPlatform d;
    auto& [folder, files, box, prompt, dialogs, platform] = d;
    folder.write("gone.txt", "soon gone");
    dialogs.openAnswer = (folder.path() / "gone.txt").string();
    fs::remove(folder.path() / "gone.txt");
    box.content = "before";
    RunOpen(platform);
    EXPECT_EQ(box.content, "");
}

} // namespace
} // namespace fortelle
