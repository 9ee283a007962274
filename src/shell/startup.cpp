#include "shell/startup.h"

#include "platform/banner.h"
#include "platform/file_system.h"
#include "platform/output_box.h"
#include "shell/pipeline.h"
#include "shell/texts.h"

namespace fortelle {

void RunStartup(Banner& banner, FileSystem& files, OutputBox& box, std::string_view programFolder,
                const std::function<std::string()>& perUserFolder)
{
    banner.setText(kBannerText);

    if (!(files.isWritableFolder(programFolder) && files.changeDirectory(programFolder))) {
        const std::string fallback = perUserFolder ? perUserFolder() : std::string();
        if (!fallback.empty()) files.changeDirectory(fallback);
    }

    PrepareOutputBox(box);
    box.setText(kGreetingText);
}

} // namespace fortelle
