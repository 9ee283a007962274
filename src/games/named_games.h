// The named-game reports: a game's prize tiers with their exact odds, the
// list of games, and the check against published chart figures.
#pragma once

#include <string>

#include "games/game_odds.h"

namespace fortelle {

// The plain answer the report starts with: the chance of any prize and of
// the jackpot (Keno: of any pay and of catching every spot).
std::string GameOddsVerdict(const GameOdds& odds);

// Report bytes in the program's style (CR LF line ends). With `exact`, each
// row also shows the unrounded odds as a fraction.
std::string NamedGameReport(const GameOdds& odds, bool exact);

// The same figures as JSON (docs/game-files.md gives the schema), LF ends.
std::string NamedGameJson(const GameOdds& odds);

// One line per game: id, name, rules date (LF ends).
std::string GameListText(const GameCatalog& catalog);
std::string GameListJson(const GameCatalog& catalog);

// Every published figure of every game against the computed one. Lists
// each disagreement; `agrees` is false when there is any.
struct ChartCheck {
    std::string text;
    bool agrees = true;
    int figures = 0;
};
ChartCheck CheckPublishedFigures(const GameCatalog& catalog);

// "Keno 80/20, 8 spots" or the game's name.
std::string TicketTitle(const GameOdds& odds);

// The spot counts a game takes as text ("1 to 20"), for prompts and errors.
std::string SpotRange(const GameDefinition& game);

} // namespace fortelle
