// The command line's racing commands: race (win, place, show and exotic
// chances from a field's odds, and a ticket's value), payoff (pari-mutuel
// payoffs) and racing-rules (the jurisdictions' rules table).
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "cli/command_line.h"

namespace fortelle {

CommandLineResult RunRacingCommand(std::string_view command, std::span<const std::string> args, bool raw);

// The lines --help adds for these commands.
std::string_view RacingCommandsUsage();

} // namespace fortelle
