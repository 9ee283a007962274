// The window's Games and Value menus: each entry asks for what it needs with
// the program's own prompt, remembers the answers in a parameter file of its
// own, and shows its report through the same road as the calculators.
//
// A cancelled prompt ends the run with nothing changed. An answer that is
// not accepted shows a message box naming it, and changes nothing either:
// no parameter file is written and the output box keeps what it had.
#pragma once

#include <string_view>

#include "games/game_file.h"

namespace fortelle {

struct Platform;

// Parameter files, in the working directory like the calculators' own.
inline constexpr std::string_view kKenoSpotsFile = "Keno.INI";      // spots
inline constexpr std::string_view kTicketValueFile = "Value.INI";   // game, jackpot, price, cash, tax %, above, sold
inline constexpr std::string_view kManyDrawsFile = "Draws.INI";     // game, tier, odds, draws
inline constexpr std::string_view kKenoReturnsFile = "KenoPay.INI"; // game, spots, games, pays for 0..20 caught

// Games menu: the game's report; a Keno game first asks its spot count.
void RunNamedGame(Platform& platform, const GameCatalog& catalog, std::string_view id);

// Value menu.
void RunTicketValue(Platform& platform, const GameCatalog& catalog);
void RunManyDraws(Platform& platform, const GameCatalog& catalog);
void RunKenoReturns(Platform& platform, const GameCatalog& catalog);

} // namespace fortelle
