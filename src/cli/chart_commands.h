// The command line's chart commands: the data of the charts the tool windows
// draw, as CSV or JSON, from the same calls.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "cli/command_line.h"
#include "games/game_file.h"

namespace fortelle {

// `args` are the words after "chart": the chart's kind, then its entries.
CommandLineResult RunChartCommand(std::span<const std::string> args, bool raw,
                                  const std::function<GameCatalog()>& loadCatalog);

// The lines --help adds for these commands.
std::string_view ChartCommandsUsage();

} // namespace fortelle
