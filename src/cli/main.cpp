#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/command_line.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    // The program's own folder, where the built-in games are found from.
    std::error_code ec;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec && argc > 0) program = std::filesystem::absolute(argv[0], ec);
    const fortelle::CommandLineResult result =
        fortelle::RunCommandLine(args, ec ? std::string() : program.parent_path().string());
    std::fwrite(result.out.data(), 1, result.out.size(), stdout);
    std::fwrite(result.err.data(), 1, result.err.size(), stderr);
    return std::fflush(stdout) == 0 ? result.status : 1;
}
