// The command line's price commands: price, market, kelly, arbitrage, dutch
// and multiple.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "cli/command_line.h"

namespace fortelle {

// `args` are the words after the command; `raw` asks for CR LF line ends.
CommandLineResult RunPriceCommand(std::string_view command, std::span<const std::string> args, bool raw);

// The lines --help adds for these commands.
std::string_view PriceCommandsUsage();

} // namespace fortelle
