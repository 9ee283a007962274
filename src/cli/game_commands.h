// The command line's named-game commands: games, game, value, draws and
// keno-return.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "cli/command_line.h"
#include "cli/options.h"
#include "games/game_file.h"
#include "games/keno_returns.h"
#include "games/many_draws.h"
#include "games/ticket_value.h"

namespace fortelle {

// `args` are the words after the command. The catalog is loaded only when
// the command needs it; its warnings go to standard error.
CommandLineResult RunGameCommand(std::string_view command, std::span<const std::string> args, bool raw,
                                 const std::function<GameCatalog()>& loadCatalog);

// The lines --help adds for these commands.
std::string_view GameCommandsUsage();

// A command run on the catalog: `args` are its words, each game file named
// by its path (ending in .json) read and standing in for its id.
using CatalogCommand =
    std::function<CommandLineResult(std::span<const std::string> args, const GameCatalog& catalog, bool raw)>;
// Loads the catalog, reads the game files named by path, takes a --raw after
// the command, runs `run` and turns a Refusal into one line on standard
// error ("fortelle-cli: COMMAND: reason", status 2); the catalog's warnings
// go to standard error first.
CommandLineResult RunOnCatalog(std::string_view command, std::span<const std::string> args, bool raw,
                               const std::function<GameCatalog()>& loadCatalog, const CatalogCommand& run);

// The entries of the named-game commands, read and refused (Refuse) as those
// commands read them; the chart commands take the same.
Rational Amount(const std::string& what, const std::string& text);
std::int64_t WholeCount(const std::string& what, const std::string& text, std::int64_t lo, std::int64_t hi);
const GameDefinition& FindGame(const GameCatalog& catalog, const std::string& id);
// A Keno game's spot count (required), or 0 for a lottery (refused if given).
int SpotsOf(const GameDefinition& g, const std::optional<std::string>& text);
// value's options: --jackpot (refused when missing if `jackpotRequired`),
// --price, --cash, --tax, --tax-above, --tickets-sold, --prize, --pool.
ValueAssumptions ReadValueOptions(const Parsed& p, const GameDefinition& g, bool jackpotRequired);
// draws' chance: ID [TIER] [--spots S], or --odds X. The draws are left at 0.
ManyDrawsInput ReadDrawsTarget(const Parsed& p, const GameCatalog& catalog);
// keno-return's entries: ID SPOTS [--games N] [--pay CATCH=PAY,...].
struct KenoEntries {
    const GameDefinition* game = nullptr;
    int spots = 0;
    std::int64_t games = 100;
    PayTable pays;
    bool typed = false;
};
KenoEntries ReadKenoEntries(const Parsed& p, const GameCatalog& catalog);

} // namespace fortelle
