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

TEST(ScratchOnDisk, WhateverStandsAtTheNameTheReportShowsAndOnlyTheScratchFileGoes)
{
    // Protects: a file a link named zavixs points to, and a folder of that
    // name with what it holds (the report then shows from memory).
    for (const char* standing : {"a stale file", "a link", "a folder"}) {
        testing::TempFolder folder;
        const std::string kind = standing;
        folder.write("precious.txt", "keep me\n");
        if (kind == "a stale file") folder.write("zavixs", std::string(100u << 20, 'z'));
        if (kind == "a link") fs::create_symlink(folder.path() / "precious.txt", folder.path() / "zavixs");
        if (kind == "a folder") fs::create_directory(folder.path() / "zavixs"), folder.write("zavixs/in", "data");
        StdFileSystem files;
        testing::Journal journal;
        testing::FakeBox box{journal};
        PrepareOutputBox(box);
        ShowReport(files, box, Pick4Report());
        EXPECT_EQ(box.content, Pick4Report()) << standing;
        EXPECT_EQ(folder.read("precious.txt"), "keep me\n") << standing;
        EXPECT_EQ(folder.has("zavixs"), kind == "a folder") << standing;
        EXPECT_EQ(folder.read("zavixs/in"), kind == "a folder" ? "data" : "");
    }
}

} // namespace
} // namespace fortelle
