#include "app/tools.h"

#include "charts/chart_tools.h"
#include "games/game_file.h"
#include "games/tools.h"
#include "prices/tools.h"
#include "racing/racing_tools.h"
#include "wheels/wheel_tools.h"

namespace fortelle {

std::vector<std::unique_ptr<forms::Tool>> MakeTools(const ToolContext& context)
{
    std::vector<std::unique_ptr<forms::Tool>> tools;
    // Each subsystem adds its tools here, in menu order.
    const auto catalog = context.catalog ? context.catalog : std::make_shared<const GameCatalog>();
    for (auto& tool : MakeGameTools(catalog, charts::GameCharts())) tools.push_back(std::move(tool));
    for (auto& tool : prices::MakePriceTools()) tools.push_back(std::move(tool));
    tools.push_back(std::make_unique<racing::ExoticChancesTool>());
    tools.push_back(std::make_unique<racing::PariMutuelPayoffTool>());
    tools.push_back(wheels::MakeCheckWheelTool(catalog));
    tools.push_back(wheels::MakeMakeWheelTool(catalog));
    for (auto& tool : charts::MakeChartTools()) tools.push_back(std::move(tool));
    return tools;
}

} // namespace fortelle
