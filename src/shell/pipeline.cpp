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
    if (files.writeScratch(kScratchFileName, report)) {
        readBack = files.readAll(kScratchFileName, report.size());
    }
    // Two windows of one user share the folder and so the scratch file: the
    // other may have replaced it since it was written, even with a report of
    // the same length. Only a read-back that is this click's report byte for
    // byte is shown; otherwise the report held in memory is.
    const bool ours = readBack && *readBack == report;
    box.insertAtCaret(ours ? *readBack : report);
    box.makeVisible();
    files.removeFile(kScratchFileName);
}

void ShowFixedReport(Platform& platform, const std::string& report)
{
    PrepareOutputBox(platform.box);
    ShowReport(platform.files, platform.box, report);
}

} // namespace fortelle
