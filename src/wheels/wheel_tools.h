// The Wheels menu's tool windows: Check a wheel, and Make a wheel. Their
// reports are the bytes `fortelle-cli wheel check` and `wheel make` print
// for the same entries.
#pragma once

#include <memory>

#include "forms/form.h"
#include "games/game_file.h"

namespace fortelle::wheels {

std::unique_ptr<forms::Tool> MakeCheckWheelTool(std::shared_ptr<const GameCatalog> catalog);
std::unique_ptr<forms::Tool> MakeMakeWheelTool(std::shared_ptr<const GameCatalog> catalog);

} // namespace fortelle::wheels
