#include "app/tools.h"

#include "games/game_file.h"
#include "wheels/wheel_tools.h"

namespace fortelle {

std::vector<std::unique_ptr<forms::Tool>> MakeTools(const ToolContext& context)
{
    std::vector<std::unique_ptr<forms::Tool>> tools;
    // Each subsystem adds its tools here, in menu order.
    tools.push_back(wheels::MakeCheckWheelTool(context.catalog));
    tools.push_back(wheels::MakeMakeWheelTool(context.catalog));
    return tools;
}

} // namespace fortelle
