#include "shell/startup.h"

#include "platform/banner.h"
#include "platform/file_system.h"
#include "platform/output_box.h"
#include "shell/pipeline.h"
#include "shell/texts.h"

namespace fortelle {

bool IsSystemProgramFolder(std::string_view folder)
{
    while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
    for (std::string_view prefix : {"/usr/", "/bin", "/sbin"}) {
        if (folder.substr(0, prefix.size()) == prefix && (prefix.back() == '/' || folder.size() == prefix.size())) {
            return true;
        }
    }
    return false;
}

bool IsOwnTemporaryName(std::string_view name)
{
    // "." NAME "." and six letters or digits, NAME one of the program's own.
    constexpr std::size_t kTail = 7;
    if (name.size() < kTail + 2 || name.front() != '.' || name[name.size() - kTail] != '.') {
        return false;
    }
    for (char c : name.substr(name.size() - kTail + 1)) {
        const bool letterOrDigit = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!letterOrDigit) return false;
    }
    const std::string_view own = name.substr(1, name.size() - kTail - 1);
    return own == kScratchFileName || own == "fortelle-probe" || (own.size() > 4 && own.ends_with(".INI"));
}

namespace {

// A crash or a power loss during a write leaves its temporary file behind,
// and nothing else would ever remove it. A younger one may be another
// window's write in progress, so only those a day old go.
void RemoveLeftovers(FileSystem& files)
{
    for (const FolderEntry& entry : files.listFiles()) {
        if (IsOwnTemporaryName(entry.name) && entry.age >= std::chrono::hours(24)) {
            files.removeFile(entry.name);
        }
    }
}

} // namespace

FileHome RunStartup(Banner& banner, FileSystem& files, OutputBox& box, std::string_view programFolder,
                    const std::function<std::string()>& perUserFolder)
{
    banner.setText(kBannerText);

    FileHome home = FileHome::Nowhere;
    if (!IsSystemProgramFolder(programFolder) && files.isWritableFolder(programFolder) &&
        files.changeDirectory(programFolder)) {
        home = FileHome::ProgramFolder;
    } else {
        const std::string fallback = perUserFolder ? perUserFolder() : std::string();
        if (!fallback.empty() && files.changeDirectory(fallback)) home = FileHome::PerUserFolder;
    }
    // The folder the program was started from is the user's, not the
    // program's: with no folder of its own it writes nowhere (and so never
    // deletes a user's file that bears the scratch file's name there).
    if (home == FileHome::Nowhere) {
        files.keepNoFiles();
    } else {
        RemoveLeftovers(files);
    }

    PrepareOutputBox(box);
    box.setText(kGreetingText);
    return home;
}

} // namespace fortelle
