// fortelle-cli: any calculator's report on standard output, from the same
// code the window uses.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fortelle {

struct CommandLineResult {
    std::string out;
    std::string err;
    int status = 0;
};

// `args` excludes the program name. The named-game commands find the
// built-in games beside `programFolder` (see GameFolders).
CommandLineResult RunCommandLine(const std::vector<std::string>& args, std::string_view programFolder);
CommandLineResult RunCommandLine(const std::vector<std::string>& args);

} // namespace fortelle
