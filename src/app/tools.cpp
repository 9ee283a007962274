#include "app/tools.h"

#include "games/game_file.h"
#include "prices/tools.h"

namespace fortelle {

std::vector<std::unique_ptr<forms::Tool>> MakeTools(const ToolContext& context)
{
    std::vector<std::unique_ptr<forms::Tool>> tools;
    // Each subsystem adds its tools here, in menu order.
    (void)context;
    for (auto& tool : prices::MakePriceTools()) tools.push_back(std::move(tool));
    return tools;
}

} // namespace fortelle
