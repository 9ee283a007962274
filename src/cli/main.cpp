#include <cstdio>
#include <string>
#include <vector>

#include "cli/command_line.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    const fortelle::CommandLineResult result = fortelle::RunCommandLine(args);
    std::fwrite(result.out.data(), 1, result.out.size(), stdout);
    std::fwrite(result.err.data(), 1, result.err.size(), stderr);
    return std::fflush(stdout) == 0 ? result.status : 1;
}
