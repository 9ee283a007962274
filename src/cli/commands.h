// The command line's commands beyond the calculators, one set per
// subsystem (named games, prices, racing, wheels, charts). Each set names
// its commands, the lines it adds to --help, and runs them.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"

namespace fortelle {

struct CommandSet {
    std::vector<std::string_view> names; // "games", "game", "value", ...
    std::string_view usage;              // the lines --help adds, starting with a blank line
    // `args` are the words after the command's name; `raw` asks for CR LF
    // line ends; `programFolder` is where the built-in games are found.
    std::function<CommandLineResult(std::string_view command, std::span<const std::string> args, bool raw,
                                    std::string_view programFolder)>
        run;
};

// Every set, in the order --help lists them.
const std::vector<CommandSet>& CommandSets();

// Runs `command` when a set has it: a Refusal it throws becomes one line on
// standard error ("fortelle-cli: COMMAND: reason") and status 2.
CommandLineResult RunRefusing(std::string_view command, const std::function<CommandLineResult()>& run);

} // namespace fortelle
