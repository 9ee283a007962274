// The scratch file on the real file system; the order of the pipeline's
// steps shows in the flow transcripts.
#include <gtest/gtest.h>

#include <filesystem>

#include "fakes.h"
#include "lottery/digit_games.h"
#include "platform/std_file_system.h"
#include "shell/pipeline.h"
#include "temp_folder.h"

namespace fortelle {
namespace {

namespace fs = std::filesystem;

class ScratchOnDisk : public ::testing::Test {
protected:
    testing::TempFolder folder;
    StdFileSystem files;
    testing::Journal journal;
    testing::FakeBox box{journal};

    // Shows a report; the box must hold it whatever stands at the name.
    void show()
    {
        PrepareOutputBox(box);
        ShowReport(files, box, Pick4Report());
        EXPECT_EQ(box.content, Pick4Report());
    }
};

TEST_F(ScratchOnDisk, AStaleScratchFileIsReplacedAndRemoved)
{
    folder.write("zavixs", std::string(100u << 20, 'z'));
    show();
    EXPECT_TRUE(folder.entries().empty());
}

TEST_F(ScratchOnDisk, ALinkNamedZavixsIsReplacedNotWrittenThrough)
{
    // Protects: the file the link points to.
    folder.write("precious.txt", "keep me\n");
    fs::create_symlink(folder.path() / "precious.txt", folder.path() / "zavixs");
    show();
    EXPECT_EQ(folder.read("precious.txt"), "keep me\n");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"precious.txt"}));
}

TEST_F(ScratchOnDisk, AFolderNamedZavixsIsLeftAlone)
{
    // Protects: the folder and what it holds; the report shows from memory.
    fs::create_directory(folder.path() / "zavixs");
    folder.write("zavixs/inside", "data");
    show();
    EXPECT_EQ(folder.read("zavixs/inside"), "data");
}

} // namespace
} // namespace fortelle
