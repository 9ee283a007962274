// What runs once before the window is first shown.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace fortelle {

class Banner;
class FileSystem;
class OutputBox;

// The banner, the working directory, the prepared box and the greeting, in
// that order. The working directory becomes `programFolder`; when that folder
// cannot be written (a system-wide install), the per-user data folder that
// `perUserFolder` gives takes its place. A step that fails is skipped.
void RunStartup(Banner& banner, FileSystem& files, OutputBox& box, std::string_view programFolder,
                const std::function<std::string()>& perUserFolder);

} // namespace fortelle
