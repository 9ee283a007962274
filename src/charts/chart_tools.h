// The charts in the tool windows: those the named-game tools add to their
// results, and a tool of its own for the lotto calculator's match table.
#pragma once

#include <memory>
#include <vector>

#include "forms/form.h"
#include "games/tools.h"

namespace fortelle::charts {

// The chart of each named-game tool: the odds tool's prizes, the value
// tool's value against the jackpot, the many-draws tool's chance against
// the draws, the Keno returns tool's result after its games.
GameToolCharts GameCharts();

// "Match chart": the lotto calculator's game (biggest number, numbers drawn,
// pool) with its report and the chart of its matches.
std::vector<std::unique_ptr<forms::Tool>> MakeChartTools();

} // namespace fortelle::charts
