// The named games' tool windows, as forms: the odds of a game, the value of
// a ticket, the chance over many draws and the returns of a Keno pay table.
// Each computes with the same functions as its command-line command and
// shows the very report that command prints for the same values; its
// problems and its verdict are sentences for people.
#pragma once

#include <memory>
#include <vector>

#include "forms/form.h"
#include "games/game_file.h"

namespace fortelle {

// In menu order: "Games" (one entry per game), then "Value".
std::vector<std::unique_ptr<forms::Tool>> MakeGameTools(const std::shared_ptr<const GameCatalog>& catalog);

} // namespace fortelle
