#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fakes.h"
#include "lottery/digit_games.h"
#include "platform/std_file_system.h"
#include "shell/pipeline.h"
#include "shell/report.h"
#include "temp_folder.h"
#include "wagers/roulette.h"

namespace fortelle {
namespace {

using testing::FakeBox;
using testing::FakePlatform;

TEST(Report, PrintLineJoinsItemsWithNothingBetween)
{
    Report r;
    r.line("1 in", 56);
    r.line(" The odds in horseracing,", 8, "horses in the race:");
    r.blank();
    r.line("ends with text");
    EXPECT_EQ(r.bytes(),
              "1 in 56 \r\n The odds in horseracing, 8 horses in the race:\r\n\r\n"
              "ends with text\r\n");
}

TEST(Report, WholeTextFormEndsWithItsOwnLineFeedThenCrLf)
{
    EXPECT_EQ(WholeTextReport("a\nb\n"), "a\nb\n\r\n");
}

TEST(Report, BareDigitsDropSignAndBlanks)
{
    EXPECT_EQ(BareDigits(49), "49");
    EXPECT_EQ(BareDigits(-50), "50");
    EXPECT_EQ(BareDigits(0), "0");
}

TEST(PrepareOutputBox, ClearsThenSetsCourier10AndBold)
{
    FakeBox box;
    box.content = "old";
    PrepareOutputBox(box);
    EXPECT_EQ(box.content, "");
    EXPECT_EQ(box.log, (std::vector<std::string>{"setText", "fontName:Courier", "fontSize", "bold"}));
    EXPECT_EQ(box.selectionSize, 10);
    EXPECT_TRUE(box.bold);
}

TEST(ShowReport, WritesReadsBackShowsAndDeletesTheScratchFile)
{
    FakePlatform f;
    ShowFixedReport(f.platform, Pick3Report());
    EXPECT_EQ(f.box.content, Pick3Report());
    EXPECT_TRUE(f.box.visible);
    EXPECT_FALSE(f.files.exists("zavixs"));
    EXPECT_EQ(f.files.log, (std::vector<std::string>{"write:zavixs", "remove:zavixs"}));
}

TEST(ShowReport, ShowsTheReportWhenTheFolderIsReadOnly)
{
    FakePlatform f;
    f.files.readOnlyFolder = true;
    ShowFixedReport(f.platform, RouletteReport());
    EXPECT_EQ(f.box.content, RouletteReport());
    EXPECT_TRUE(f.files.files.empty());
}

TEST(ShowReport, ShowsTheReportWhenTheScratchFileCannotBeReadBack)
{
    FakePlatform f;
    f.files.failReads = true;
    ShowFixedReport(f.platform, Pick4Report());
    EXPECT_EQ(f.box.content, Pick4Report());
    EXPECT_FALSE(f.files.exists("zavixs"));
}

TEST(ShowReport, ShowsTheReportWhenTheDiskIsFull)
{
    FakePlatform f;
    f.files.diskFull = true;
    ShowFixedReport(f.platform, Pick3Report());
    EXPECT_EQ(f.box.content, Pick3Report());
}

// The same cases on the real file system, in a folder of their own.
class ScratchOnDisk : public ::testing::Test {
protected:
    testing::TempFolder folder;
    StdFileSystem files;
    FakeBox box;

    void show(const std::string& report)
    {
        PrepareOutputBox(box);
        ShowReport(files, box, report);
    }
};

TEST_F(ScratchOnDisk, LeavesNoScratchFile)
{
    show(Pick3Report());
    EXPECT_EQ(box.content, Pick3Report());
    EXPECT_TRUE(folder.entries().empty());
}

TEST_F(ScratchOnDisk, AStaleScratchFileDoesNoHarm)
{
    folder.write("zavixs", std::string(100000, 'x'));
    show(Pick4Report());
    EXPECT_EQ(box.content, Pick4Report());
    EXPECT_TRUE(folder.entries().empty());
}

TEST_F(ScratchOnDisk, ALinkNamedZavixsIsReplacedNotWrittenThrough)
{
    // Protects: the file the link points to.
    const auto victim = folder.path() / "precious.txt";
    folder.write("precious.txt", "keep me\n");
    std::filesystem::create_symlink(victim, folder.path() / "zavixs");
    show(RouletteReport());
    EXPECT_EQ(box.content, RouletteReport());
    EXPECT_EQ(folder.read("precious.txt"), "keep me\n");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"precious.txt"}));
}

TEST_F(ScratchOnDisk, AFolderNamedZavixsIsLeftAlone)
{
    // Protects: the folder and what it holds.
    std::filesystem::create_directory(folder.path() / "zavixs");
    folder.write("zavixs/inside", "data");
    show(Pick3Report());
    EXPECT_EQ(box.content, Pick3Report());
    EXPECT_EQ(folder.read("zavixs/inside"), "data");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"zavixs"}));
}

} // namespace
} // namespace fortelle
