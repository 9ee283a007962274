#include "shell/pipeline.h"

#include "platform/platform.h"

namespace fortelle {

void PrepareOutputBox(OutputBox& box)
{
    box.setText("");
    box.setSelectionFontName("Courier");
    box.setSelectionFontSize(10);
    box.setBoxBold(true);
}

void ShowReport(FileSystem& files, OutputBox& box, const std::string& report)
{
    std::optional<std::string> readBack;
    if (files.replaceWith(kScratchFileName, report)) {
        readBack = files.readAll(kScratchFileName, report.size());
    }
    // Only a complete read-back stands in for the report held in memory.
    const bool whole = readBack && readBack->size() == report.size();
    box.insertAtCaret(whole ? *readBack : report);
    box.makeVisible();
    files.removeFile(kScratchFileName);
}

void ShowFixedReport(Platform& platform, const std::string& report)
{
    PrepareOutputBox(platform.box);
    ShowReport(platform.files, platform.box, report);
}

} // namespace fortelle
