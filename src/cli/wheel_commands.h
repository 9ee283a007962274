// The command line's wheel commands: wheel check, wheel make, wheel known.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "cli/command_line.h"
#include "games/game_file.h"

namespace fortelle {

// `args` are the words after "wheel". The catalog is loaded only by check.
CommandLineResult RunWheelCommand(std::span<const std::string> args, bool raw,
                                  const std::function<GameCatalog()>& loadCatalog);

// The lines --help adds for these commands.
std::string_view WheelCommandsUsage();

} // namespace fortelle
