// The command line's named-game commands: games, game, value, draws and
// keno-return.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "cli/command_line.h"
#include "games/game_file.h"

namespace fortelle {

// `args` are the words after the command. The catalog is loaded only when
// the command needs it; its warnings go to standard error.
CommandLineResult RunGameCommand(std::string_view command, std::span<const std::string> args, bool raw,
                                 const std::function<GameCatalog()>& loadCatalog);

// The lines --help adds for these commands.
std::string_view GameCommandsUsage();

} // namespace fortelle
