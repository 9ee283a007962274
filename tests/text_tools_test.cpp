// Decoding of opened files and the text tools on the real file system. Open,
// Edit and Save against faked files show in the flow transcripts; Print and
// Font in the window's tests; a Save that fails or replaces a file in the
// file-safety tests.
#include <gtest/gtest.h>

#include "disk_platform.h"
#include "filetools/decoding.h"
#include "filetools/text_tools.h"
#include "shell/report.h"
#include "shell/texts.h"

namespace fortelle {
namespace {

namespace fs = std::filesystem;

TEST(Decoding, KeepsUtf8AndReadsOtherBytesAsLatin1)
{
    const std::pair<std::string, std::string> cases[] = {
        {"plain text\r\n", "plain text\r\n"},
        {" \xE2\x80\xA2 bullet", " \xE2\x80\xA2 bullet"}, // UTF-8 kept
        {"caf\xE9", "caf\xC3\xA9"},                       // Latin-1 é
        {"\xFF\xFE", "\xC3\xBF\xC3\xBE"},                 // never valid
        {std::string("a\0b", 3), "a\xEF\xBF\xBD"
                                 "b"},                             // a zero byte shows
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                          // overlong form
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},              // surrogate
        {"\xE2\x80", "\xC3\xA2\xC2\x80"},                          // cut short
        {"\xF0\x9F\x8E\xB2 die", "\xF0\x9F\x8E\xB2 die"},          // four bytes
        {"\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xC2\x80\xC2\x80"},  // above U+10FFFF
        {"\xDF\xBF\xEF\xBF\xBF", "\xDF\xBF\xEF\xBF\xBF"},          // largest two and three bytes
        {"\xC2\x80\xE0\xA0\x80", "\xC2\x80\xE0\xA0\x80"},          // smallest two and three bytes
        {"\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},                  // U+10FFFF
        {"\xE0\x9F\xBF", "\xC3\xA0\xC2\x9F\xC2\xBF"},              // overlong three bytes
        {"\xF0\x8F\xBF\xBF", "\xC3\xB0\xC2\x8F\xC2\xBF\xC2\xBF"}}; // overlong four bytes
    for (const auto& [bytes, text] : cases) EXPECT_EQ(DecodeFileBytes(bytes), text) << bytes;
    EXPECT_EQ(WithCrLf("a\nb\r\nc\rd\r"), "a\r\nb\r\nc\r\nd\r\n");  // a return at the very end too
    EXPECT_EQ(CrLfToLineFeeds("\ra\r\nb\rc\n\r"), "\ra\nb\rc\n\r"); // lone returns stay
}

class TextFilesOnDisk : public ::testing::Test, protected testing::DiskPlatform {
protected:
    std::string path(const char* name) const { return (folder.path() / name).string(); }
};

TEST_F(TextFilesOnDisk, SaveThenOpenGivesBackTheSameText)
{
    box.content = std::string(kGreetingText);
    answers = {path("greeting.txt"), path("greeting.txt")};
    RunSave(platform);
    EXPECT_EQ(folder.read("greeting.txt"), WithCrLf(kGreetingText));
    RunOpen(platform);
    EXPECT_EQ(box.content, WithCrLf(kGreetingText));
}

TEST_F(TextFilesOnDisk, OpenOfAFileThatIsGoneOrTooLargeLeavesTheBoxEmpty)
{
    folder.write("huge", std::string(kLargestOpenedFile + 1, 'x'));
    for (const char* name : {"gone.txt", "huge"}) {
        box.content = "before";
        answers = {path(name)};
        RunOpen(platform);
        EXPECT_EQ(box.content, "") << name;
        EXPECT_TRUE(box.visible);
    }
}

} // namespace
} // namespace fortelle
