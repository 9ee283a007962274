// Report figures of exact ratios, for the calculators that keep their
// arithmetic in whole numbers and fractions (named games, ticket value).
#pragma once

#include <boost/multiprecision/cpp_int.hpp>
#include <optional>

#include "shell/print_style.h"

namespace fortelle {

// The 15-significant-digit figure of a / b (b > 0), ties to even.
Figure15 RatioFigure(boost::multiprecision::cpp_int a, const boost::multiprecision::cpp_int& b);

// The report figure of a / b: rounded once to 2 places (ties to even) below
// 1E15, 15 significant digits from there on; nothing when b is zero.
std::optional<Figure15> ExactFigure(boost::multiprecision::cpp_int a, boost::multiprecision::cpp_int b);

} // namespace fortelle
