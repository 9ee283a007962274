// Horse racing: the odds of naming the first one to five horses in order.
#pragma once

#include <cstdint>
#include <string>

#include "shell/calculator.h"

namespace fortelle {

inline constexpr std::int32_t kFewestHorses = 5;

std::string HorsesReport(std::int32_t horses);
const WholeNumberCalculator& HorsesCalculator();

} // namespace fortelle
