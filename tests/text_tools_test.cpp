#include <gtest/gtest.h>

#include "disk_platform.h"
#include "filetools/decoding.h"
#include "filetools/text_tools.h"
#include "platform/std_file_system.h"
#include "shell/texts.h"
#include "temp_folder.h"

namespace fortelle {
namespace {

using testing::FakePlatform;

struct DecodeCase {
    std::string bytes;
    std::string text;
};

class Decoding : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Decoding, KeepsUtf8AndReadsOtherBytesAsLatin1)
{
    EXPECT_EQ(DecodeFileBytes(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Decoding,
    ::testing::Values(
        DecodeCase{"plain text\r\n", "plain text\r\n"},
        DecodeCase{" \xE2\x80\xA2 bullet", " \xE2\x80\xA2 bullet"},          // UTF-8 kept
        DecodeCase{"caf\xE9", "caf\xC3\xA9"},                                  // Latin-1 é
        DecodeCase{"\xFF\xFE", "\xC3\xBF\xC3\xBE"},                            // never valid
        DecodeCase{std::string("a\0b", 3), "a\xEF\xBF\xBD" "b"},              // zero byte shows
        DecodeCase{"\xC0\xAF", "\xC3\x80\xC2\xAF"},                            // overlong form
        DecodeCase{"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},                // surrogate
        DecodeCase{"\xE2\x80", "\xC3\xA2\xC2\x80"},                            // cut short
        DecodeCase{"\xF0\x9F\x8E\xB2 die", "\xF0\x9F\x8E\xB2 die"},            // four bytes
        DecodeCase{"\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xC2\x80\xC2\x80"},    // above U+10FFFF
        DecodeCase{"", ""}));

TEST(WithCrLf, EveryLineBreakBecomesCrLf)
{
    EXPECT_EQ(WithCrLf("a\nb\n"), "a\r\nb\r\n");
    EXPECT_EQ(WithCrLf("a\r\nb\rc"), "a\r\nb\r\nc");
    EXPECT_EQ(WithCrLf(""), "");
}

TEST(Open, CancelLeavesTheBoxEmptyAndReadsNothing)
{
    FakePlatform f;
    f.box.content = "a report";
    RunOpen(f.platform);
    EXPECT_EQ(f.box.content, "");
    EXPECT_TRUE(f.files.reads.empty());
    EXPECT_TRUE(f.files.files.empty());
    ASSERT_EQ(f.dialogs.opened.size(), 1u);
    EXPECT_EQ(f.dialogs.opened[0].title, "Open File");
    EXPECT_EQ(f.dialogs.opened[0].filter, "All (*.*)|*.*");
    EXPECT_EQ(f.dialogs.opened[0].flags, 6148u);
    EXPECT_EQ(f.dialogs.opened[0].fileName, "GAMES.5");
}

TEST(Open, ShowsTheFileAsPlainCharacters)
{
    FakePlatform f;
    f.files.files["/data/odds.rtf"] = "{\\rtf1\\ansi {\\b bold}}\r\n";
    f.dialogs.openAnswer = "/data/odds.rtf";
    RunOpen(f.platform);
    EXPECT_EQ(f.box.content, "{\\rtf1\\ansi {\\b bold}}\r\n");
    EXPECT_TRUE(f.box.visible);
    EXPECT_TRUE(f.box.focused);
}

TEST(Open, AnEmptyFileGivesAnEmptyVisibleFocusedBox)
{
    FakePlatform f;
    f.files.files["/data/empty"] = "";
    f.dialogs.openAnswer = "/data/empty";
    RunOpen(f.platform);
    EXPECT_EQ(f.box.content, "");
    EXPECT_TRUE(f.box.visible);
    EXPECT_TRUE(f.box.focused);
}

TEST(Open, AFileBeyondTheLimitIsNotRead)
{
    FakePlatform f;
    f.files.files["/data/huge"] = std::string(kLargestOpenedFile + 1, 'x');
    f.dialogs.openAnswer = "/data/huge";
    RunOpen(f.platform);
    EXPECT_EQ(f.box.content, "");
    EXPECT_TRUE(f.box.visible);
}

TEST(Open, AFileThatCannotBeReadLeavesTheBoxEmpty)
{
    for (const char* kind : {"missing", "folder", "unreadable"}) {
        FakePlatform f;
        f.box.content = "before";
        if (std::string(kind) == "folder") f.files.folders.insert("/data/x");
        if (std::string(kind) == "unreadable") f.files.unreadable.insert("/data/x");
        f.dialogs.openAnswer = "/data/x";
        RunOpen(f.platform);
        EXPECT_EQ(f.box.content, "") << kind;
    }
}

TEST(Edit, EightHelpLinesAndTheFocus)
{
    FakePlatform f;
    f.box.content = "a report to replace";
    RunEdit(f.platform);
    EXPECT_EQ(f.box.content,
              "You can edit files in this option.\n"
              "You can select the text with the mouse or Shift+Arrows;\n"
              "You can press Ctrl+X to cut selected text to clipboard;\n"
              "You can press Ctrl+C to copy selected text;\n"
              "You can press Ctrl+V to paste clipboard;\n"
              "You can press Delete to delete selected text;\n"
              "You can press Ctrl+Z to undo last edit.\n"
              "When done editing, click Save to save to file.\n");
    EXPECT_TRUE(f.box.focused);
    EXPECT_EQ(f.box.log.back(), "focus");
    EXPECT_EQ(f.box.selectionFont, ""); // no font is set
}

TEST(Save, CancelWritesNothing)
{
    FakePlatform f;
    f.box.content = "text";
    RunSave(f.platform);
    EXPECT_TRUE(f.files.files.empty());
    EXPECT_TRUE(f.files.log.empty());
    ASSERT_EQ(f.dialogs.saved.size(), 1u);
    EXPECT_EQ(f.dialogs.saved[0].title, "Save Combinations");
    EXPECT_EQ(f.dialogs.saved[0].filter, "All (*.*)|*.*");
    EXPECT_EQ(f.dialogs.saved[0].flags, 6148u);
    EXPECT_EQ(f.dialogs.saved[0].fileName, "Zavix.Odds");
}

TEST(Save, AFailedSaveKeepsTheOldFile)
{
    // Protects: the file the user saved over.
    FakePlatform f;
    f.files.files["/data/odds.txt"] = "old contents\r\n";
    f.files.diskFull = true;
    f.box.content = "new contents\n";
    f.dialogs.saveAnswer = "/data/odds.txt";
    RunSave(f.platform);
    EXPECT_EQ(f.files.files.at("/data/odds.txt"), "old contents\r\n");
    EXPECT_EQ(f.box.content, "new contents\n");
}

class TextFilesOnDisk : public ::testing::Test, protected testing::DiskPlatform {};

TEST_F(TextFilesOnDisk, SaveThenOpenGivesBackTheSameText)
{
    box.content = std::string(kGreetingText);
    const std::string path = (folder.path() / "greeting.txt").string();
    dialogs.saveAnswer = path;
    RunSave(platform);
    EXPECT_EQ(folder.read("greeting.txt"), WithCrLf(kGreetingText));
    dialogs.openAnswer = path;
    RunOpen(platform);
    // The box reads CR LF back as one line break each.
    EXPECT_EQ(box.content, WithCrLf(kGreetingText));
    EXPECT_NE(box.content.find("\xE2\x80\xA2"), std::string::npos);
}

TEST_F(TextFilesOnDisk, SaveReplacesAnExistingFileKeepingItsPermissions)
{
    folder.write("odds.txt", "older and longer contents\r\n");
    std::filesystem::permissions(folder.path() / "odds.txt", std::filesystem::perms(0600));
    box.content = "new\n";
    dialogs.saveAnswer = (folder.path() / "odds.txt").string();
    RunSave(platform);
    EXPECT_EQ(folder.read("odds.txt"), "new\r\n");
    EXPECT_EQ(std::filesystem::status(folder.path() / "odds.txt").permissions(),
              std::filesystem::perms(0600));
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"odds.txt"}));
}

TEST_F(TextFilesOnDisk, AFolderChosenAsAFileChangesNothing)
{
    // Protects: the folder and the box's text.
    std::filesystem::create_directory(folder.path() / "dir");
    box.content = "keep\n";
    dialogs.saveAnswer = (folder.path() / "dir").string();
    RunSave(platform);
    EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "dir"));
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"dir"}));
    dialogs.openAnswer = (folder.path() / "dir").string();
    RunOpen(platform);
    EXPECT_EQ(box.content, "");
}

TEST_F(TextFilesOnDisk, ADiskThatFillsDuringTheSaveKeepsTheOldFile)
{
    // Protects: the file saved over. A file-size limit makes the write fail
    // part way, as a full disk does.
    folder.write("odds.txt", "old\r\n");
    box.content = std::string(1 << 20, 'x');
    dialogs.saveAnswer = (folder.path() / "odds.txt").string();
    {
        testing::FileSizeLimit limit(64 * 1024);
        RunSave(platform);
    }
    EXPECT_EQ(folder.read("odds.txt"), "old\r\n");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"odds.txt"})); // no temporary left
}

TEST(Print, FlagsFollowTheSelection)
{
    FakePlatform f;
    RunPrint(f.platform);
    f.box.selection = 5;
    RunPrint(f.platform);
    EXPECT_EQ(f.dialogs.printFlags, (std::vector<unsigned>{8u, 9u}));
    EXPECT_EQ(f.box.printed, 0); // both cancelled: nothing printed
    f.dialogs.printerConfirmed = true;
    RunPrint(f.platform);
    EXPECT_EQ(f.box.printed, 1);
    EXPECT_EQ(f.dialogs.documentsEnded, 1);
}

TEST(Font, PresetsCourierNew10AndAppliesToSelectionOrWholeBox)
{
    FakePlatform f;
    RunFont(f.platform); // cancelled
    ASSERT_EQ(f.dialogs.fonts.size(), 1u);
    EXPECT_EQ(f.dialogs.fonts[0].flags, 33027u);
    EXPECT_EQ(f.dialogs.fonts[0].preset.name, "Courier New");
    EXPECT_EQ(f.dialogs.fonts[0].preset.size, 10);
    EXPECT_TRUE(f.box.selectionFonts.empty());
    EXPECT_TRUE(f.box.boxFonts.empty());
    EXPECT_FALSE(f.box.focused);

    f.dialogs.fontAnswer = FontChoice{"Liberation Serif", 14, true, true, false, true, 0xFF0000};
    RunFont(f.platform);
    ASSERT_EQ(f.box.boxFonts.size(), 1u);
    EXPECT_EQ(f.box.boxFonts[0].name, "Liberation Serif");
    EXPECT_TRUE(f.box.focused);

    f.box.selection = 3;
    RunFont(f.platform);
    ASSERT_EQ(f.box.selectionFonts.size(), 1u);
    EXPECT_EQ(f.box.selectionFonts[0].colour, 0xFF0000u);
    EXPECT_EQ(f.box.boxFonts.size(), 1u);
}

} // namespace
} // namespace fortelle
