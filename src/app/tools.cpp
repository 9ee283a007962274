#include "app/tools.h"

#include "games/game_file.h"
#include "racing/racing_tools.h"

namespace fortelle {

std::vector<std::unique_ptr<forms::Tool>> MakeTools(const ToolContext& context)
{
    std::vector<std::unique_ptr<forms::Tool>> tools;
    // Each subsystem adds its tools here, in menu order.
    (void)context;
    tools.push_back(std::make_unique<racing::ExoticChancesTool>());
    tools.push_back(std::make_unique<racing::PariMutuelPayoffTool>());
    return tools;
}

} // namespace fortelle
