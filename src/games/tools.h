// The named games' tool windows, as forms: the odds of a game, the value of
// a ticket, the chance over many draws and the returns of a Keno pay table.
// Each computes with the same functions as its command-line command and
// shows the very report that command prints for the same values; its
// problems and its verdict are sentences for people.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "forms/form.h"
#include "games/game_file.h"

namespace fortelle {

struct GameOdds;
struct ValueAssumptions;
struct ManyDrawsInput;
struct KenoReturn;

// The charts each tool adds to its result, from the values it computed
// with. They are drawn by a higher layer, which hands them in; a tool
// without one shows its report alone.
struct GameToolCharts {
    std::function<std::vector<forms::Chart>(const GameOdds&)> odds;
    // The assumptions, and whether a jackpot was entered.
    std::function<std::vector<forms::Chart>(const GameDefinition&, const ValueAssumptions&, bool)> value;
    std::function<std::vector<forms::Chart>(const ManyDrawsInput&)> draws;
    // `going` is told the fraction done and stops the chart by returning false.
    std::function<std::vector<forms::Chart>(const KenoReturn&, const std::function<bool(double)>& going)> kenoReturn;
};

// In menu order: "Games" (one entry per game), then "Value".
std::vector<std::unique_ptr<forms::Tool>> MakeGameTools(const std::shared_ptr<const GameCatalog>& catalog,
                                                        const GameToolCharts& charts = {});

} // namespace fortelle
