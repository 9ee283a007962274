#include <gtest/gtest.h>

#include "fakes.h"
#include "shell/startup.h"
#include "shell/texts.h"

namespace fortelle {
namespace {

using testing::FakeBanner;
using testing::FakeBox;
using testing::FakeFiles;

TEST(Startup, BannerFolderBoxAndGreetingInThatOrder)
{
    FakeBanner banner;
    FakeFiles files;
    FakeBox box;
    files.writableFolders = {"/home/me/fortelle"};
    RunStartup(banner, files, box, "/home/me/fortelle", [] { return std::string("/per/user"); });
    EXPECT_EQ(banner.text, kBannerText);
    EXPECT_EQ(banner.text.substr(0, 1), "\r"); // the first banner line is empty
    EXPECT_EQ(std::count(banner.text.begin(), banner.text.end(), '\r'), 2);
    EXPECT_EQ(files.cwd, "/home/me/fortelle");
    EXPECT_EQ(box.log, (std::vector<std::string>{"setText", "fontName:Courier", "fontSize", "bold",
                                                 "setText"}));
    EXPECT_EQ(box.content, kGreetingText);
}

struct FolderCase {
    const char* programFolder;
    bool writable;
    const char* workingDirectory;
};

class StartupFolders : public ::testing::TestWithParam<FolderCase> {};

TEST_P(StartupFolders, UseTheProgramFolderOrThePerUserFolder)
{
    FakeBanner banner;
    FakeFiles files;
    FakeBox box;
    if (GetParam().writable) files.writableFolders = {GetParam().programFolder};
    RunStartup(banner, files, box, GetParam().programFolder,
               [] { return std::string("/home/me/.local/share/fortelle"); });
    EXPECT_EQ(files.cwd, GetParam().workingDirectory);
    EXPECT_EQ(box.content, kGreetingText); // the rest of start-up runs either way
}

INSTANTIATE_TEST_SUITE_P(
    Table, StartupFolders,
    ::testing::Values(
        FolderCase{"/home/me/apps/fortelle", true, "/home/me/apps/fortelle"},
        FolderCase{"/opt/fortelle/bin", true, "/opt/fortelle/bin"},
        FolderCase{"/opt/fortelle/bin", false, "/home/me/.local/share/fortelle"},
        // Installed for the whole system: each user's own folder, even for
        // the super-user who could write there.
        FolderCase{"/usr/bin", true, "/home/me/.local/share/fortelle"},
        FolderCase{"/usr/local/bin/", true, "/home/me/.local/share/fortelle"},
        FolderCase{"/bin", true, "/home/me/.local/share/fortelle"},
        FolderCase{"/binaries", true, "/binaries"},
        FolderCase{"/usrlocal/bin", true, "/usrlocal/bin"}));

TEST(Startup, NoPerUserFolderLeavesTheWorkingDirectory)
{
    FakeBanner banner;
    FakeFiles files;
    FakeBox box;
    RunStartup(banner, files, box, "/read/only", [] { return std::string(); });
    EXPECT_EQ(files.cwd, "/start");
    EXPECT_EQ(box.content, kGreetingText);
}

TEST(About, SaysWhatTheProgramIs)
{
    const std::string about = AboutText();
    EXPECT_NE(about.find("Calculate odds for lottery, horses, sports"), std::string::npos);
    EXPECT_NE(about.find("10.0"), std::string::npos);
}

} // namespace
} // namespace fortelle
