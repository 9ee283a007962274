// What runs once before the window is first shown.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace fortelle {

class Banner;
class FileSystem;
class OutputBox;

// True for the folders that hold the system's own programs (/usr/bin,
// /usr/local/bin, /bin, ...): a program there is installed for everyone, and
// its parameter files belong to each user, even to the super-user, who could
// write there.
bool IsSystemProgramFolder(std::string_view folder);

// Where the program keeps its parameter files and its scratch file.
enum class FileHome { ProgramFolder, PerUserFolder, Nowhere };

// True for the name of a temporary file that writing one of the program's
// own files makes beside it (".Lotto.INI.x7Gq2b", ".zavixs.Q0pd3A").
bool IsOwnTemporaryName(std::string_view name);

// The banner, the working directory, the prepared box and the greeting, in
// that order. The working directory becomes `programFolder`; when that folder
// cannot be written or is a system program folder (a system-wide install),
// the per-user data folder that `perUserFolder` gives takes its place. With
// neither, the program keeps no files at all. In the folder it keeps them
// in, the temporary files that a crash left there a day or more ago are
// removed. A step that fails is skipped.
FileHome RunStartup(Banner& banner, FileSystem& files, OutputBox& box, std::string_view programFolder,
                    const std::function<std::string()>& perUserFolder);

} // namespace fortelle
