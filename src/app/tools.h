// The tool windows beyond the fifteen buttons, in the order their menus
// list them. The window builds its menus from this list and the web page its
// picker, so a tool added here appears in both.
#pragma once

#include <memory>
#include <vector>

#include "forms/form.h"

namespace fortelle {

struct GameCatalog;

struct ToolContext {
    // The games the program knows; the tools keep it alive while they live.
    std::shared_ptr<const GameCatalog> catalog;
};

std::vector<std::unique_ptr<forms::Tool>> MakeTools(const ToolContext& context);

} // namespace fortelle
