#include "cli/commands.h"

#include "cli/chart_commands.h"
#include "cli/game_commands.h"
#include "cli/options.h"
#include "cli/price_commands.h"
#include "cli/racing_commands.h"
#include "cli/wheel_commands.h"

namespace fortelle {

const std::vector<CommandSet>& CommandSets()
{
    static const std::vector<CommandSet> sets{
        {{"games", "game", "value", "draws", "keno-return"},
         GameCommandsUsage(),
         [](std::string_view command, std::span<const std::string> args, bool raw, std::string_view folder) {
             return RunGameCommand(command, args, raw,
                                   [&] { return LoadGameCatalog(GameFolders(folder, ProcessEnvironment)); });
         }},
        {{"price", "market", "kelly", "arbitrage", "dutch", "multiple"},
         PriceCommandsUsage(),
         [](std::string_view command, std::span<const std::string> args, bool raw, std::string_view) {
             return RunPriceCommand(command, args, raw);
         }},
        {{"race", "payoff", "racing-rules"},
         RacingCommandsUsage(),
         [](std::string_view command, std::span<const std::string> args, bool raw, std::string_view) {
             return RunRacingCommand(command, args, raw);
         }},
        {{"wheel"},
         WheelCommandsUsage(),
         [](std::string_view, std::span<const std::string> args, bool raw, std::string_view folder) {
             return RunWheelCommand(args, raw,
                                    [&] { return LoadGameCatalog(GameFolders(folder, ProcessEnvironment)); });
         }},
        {{"chart"},
         ChartCommandsUsage(),
         [](std::string_view /*command*/, std::span<const std::string> args, bool raw, std::string_view folder) {
             return RunChartCommand(args, raw,
                                    [&] { return LoadGameCatalog(GameFolders(folder, ProcessEnvironment)); });
         }},
    };
    return sets;
}

CommandLineResult RunRefusing(std::string_view command, const std::function<CommandLineResult()>& run)
{
    try {
        return run();
    } catch (const Refusal& r) {
        return {{}, "fortelle-cli: " + std::string(command) + ": " + r.text + "\n", 2};
    }
}

} // namespace fortelle
