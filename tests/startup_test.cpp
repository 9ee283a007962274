#include <gtest/gtest.h>

#include "fakes.h"
#include "shell/startup.h"
#include "shell/texts.h"

namespace fortelle {
namespace {

struct FolderCase {
    const char* programFolder;
    bool writable;
    const char* perUser;
    const char* workingDirectory;
};

TEST(Startup, BannerFolderPreparedBoxAndGreeting)
{
    const FolderCase cases[] = {{"/home/me/apps/fortelle", true, "/per/user", "/home/me/apps/fortelle"},
                                {"/opt/fortelle/bin", false, "/per/user", "/per/user"},
                                {"/opt/fortelle/bin", false, "", "/start"}, // nowhere else: left as it was
                                // Installed for the whole system: each user's own folder, even for
                                // the super-user who could write there.
                                {"/usr/bin", true, "/per/user", "/per/user"},
                                {"/usr/local/bin/", true, "/per/user", "/per/user"},
                                {"/sbin", true, "/per/user", "/per/user"},
                                {"/binaries", true, "/per/user", "/binaries"},
                                {"/usrlocal/bin", true, "/per/user", "/usrlocal/bin"}};
    for (const FolderCase& c : cases) {
        testing::FakeBanner banner;
        testing::Journal journal;
        testing::FakeFiles files(journal);
        testing::FakeBox box(journal);
        if (c.writable) files.writableFolders = {c.programFolder};
        const std::string perUser = c.perUser;
        RunStartup(banner, files, box, c.programFolder, [&] { return perUser; });
        EXPECT_EQ(files.cwd, c.workingDirectory) << c.programFolder;
        EXPECT_EQ(banner.text, kBannerText);
        EXPECT_EQ(journal, (testing::Journal{"box text \"\"", "box selection font Courier", "box selection size 10",
                                             "box bold", "box text 314 bytes"}));
        EXPECT_EQ(box.content, kGreetingText);
    }
}

} // namespace
} // namespace fortelle
