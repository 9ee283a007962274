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

// A folder of files of given ages that records what is removed from it.
struct AgedFiles final : FileSystem {
    std::vector<FolderEntry> entries;
    std::vector<std::string> removed;
    bool exists(std::string_view) const override { return false; }
    std::optional<std::string> readAll(std::string_view, std::size_t) const override { return std::nullopt; }
    bool replaceWith(std::string_view, std::string_view) override { return false; }
    bool removeFile(std::string_view name) override { return removed.emplace_back(name), true; }
    bool changeDirectory(std::string_view) override { return true; }
    bool isWritableFolder(std::string_view) const override { return true; }
    std::vector<FolderEntry> listFiles() const override { return entries; }
};

TEST(Startup, RemovesItsOwnTemporaryFilesFromADayOld)
{
    const std::pair<const char*, bool> names[] = {
        {".fortelle-probe.A1b2C3", true}, {".zavixs.Zz09aQ", true},  {".zavixs.Zz09a", false}, {"..INI.a1B2c3", false},
        {".a.INI.a1B2c3", true},          {".zavixs-Zz09aQ", false}, {".zavixs.Zz0~aQ", false}};
    for (const auto& [name, own] : names) EXPECT_EQ(IsOwnTemporaryName(name), own) << name;
    using std::chrono::hours, std::chrono::seconds;
    AgedFiles files;
    files.entries = {{".Lotto.INI.a1B2c3", hours(24)}, {".StDv.INI.a1B2c3", hours(24) - seconds(1)}};
    testing::FakeBanner banner;
    testing::Journal journal;
    testing::FakeBox box(journal);
    EXPECT_EQ(RunStartup(banner, files, box, "/home/me/fortelle", {}), FileHome::ProgramFolder);
    EXPECT_EQ(files.removed, std::vector<std::string>{".Lotto.INI.a1B2c3"});
}

} // namespace
} // namespace fortelle
