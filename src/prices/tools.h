// The Prices menu's tool windows: Convert a price, Market margin and fair
// prices, Kelly stake, Arbitrage and dutching, Multiple. Each reads its
// fields as the matching fortelle-cli command reads its words and options
// (prices/questions.h) and answers with the same report.
#pragma once

#include <memory>
#include <vector>

#include "forms/form.h"

namespace fortelle::prices {

std::vector<std::unique_ptr<forms::Tool>> MakePriceTools();

} // namespace fortelle::prices
