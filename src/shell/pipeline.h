// The road by which every report reaches the output box: the box is
// prepared, the report passes through the scratch file "zavixs" in the
// working directory, and the box shows it.
#pragma once

#include <string>
#include <string_view>

namespace fortelle {

class FileSystem;
class OutputBox;
struct Platform;

inline constexpr std::string_view kScratchFileName = "zavixs";

// Empties the box and sets the font that the report will take: selection
// font "Courier", 10 points, the box bold.
void PrepareOutputBox(OutputBox& box);

// Writes the report into the scratch file, reads it back whole, puts it into
// the box at the caret, makes the box visible and deletes the file. When the
// file cannot be written or read back the box shows the report all the same.
void ShowReport(FileSystem& files, OutputBox& box, const std::string& report);

// The whole road for a report that asks nothing: prepare, show.
void ShowFixedReport(Platform& platform, const std::string& report);

} // namespace fortelle
