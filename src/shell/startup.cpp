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
        if (folder.substr(0, prefix.size()) == prefix &&
            (prefix.back() == '/' || folder.size() == prefix.size())) {
            return true;
        }
    }
    return false;
}

void RunStartup(Banner& banner, FileSystem& files, OutputBox& box, std::string_view programFolder,
                const std::function<std::string()>& perUserFolder)
{
    banner.setText(kBannerText);

    const bool ownFolder = !IsSystemProgramFolder(programFolder) &&
                           files.isWritableFolder(programFolder) &&
                           files.changeDirectory(programFolder);
    if (!ownFolder) {
        const std::string fallback = perUserFolder ? perUserFolder() : std::string();
        if (!fallback.empty()) files.changeDirectory(fallback);
    }

    PrepareOutputBox(box);
    box.setText(kGreetingText);
}

} // namespace fortelle
