// The roulette odds table for single-zero and double-zero wheels.
#pragma once

#include <string>

namespace fortelle {

std::string RouletteReport();

} // namespace fortelle
