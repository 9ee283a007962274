// Arithmetic beyond a double for the figures that are not exact fractions
// (chances over many draws or games), and their rounding to report figures
// with every printed digit right.
#pragma once

#include <boost/multiprecision/cpp_bin_float.hpp>
#include <functional>
#include <optional>
#include <string>

#include "games/game_file.h"
#include "shell/print_style.h"

namespace fortelle {

// 100 significant digits, with an exponent range far beyond a double's.
using Precise = boost::multiprecision::cpp_bin_float_100;

// Within a relative 1E-99 of r (numerator and denominator are rounded to
// 100 digits and divided).
Precise ToPrecise(const Rational& r);
// A double within one unit in its last place of r; 0 or infinity beyond
// the double's range.
double ToDouble(const Rational& r);
// The exact value of a binary floating-point number.
Rational ToRational(const Precise& x);
// The exact value of a figure.
Rational FigureValue(const Figure15& f);

// A rule that rounds an exact value to a report figure.
using Rounder = std::function<Figure15(const Rational&)>;
// The sign of (the exact value - b), where it can be told.
using Side = std::function<std::optional<int>(const Rational&)>;

// The figure `round` gives an exact value x known as `approx` within a
// relative `error`. When both ends of that range round alike, that figure;
// otherwise x lies within the range of the rounding boundary between their
// figures, and `side` tells on which side of it (or on it: then the
// boundary itself is rounded, ties to even). When `side` cannot tell, the
// approximation's own figure, which then is wrong only if x lies within
// `error` of the boundary on the other side.
Figure15 ProvenFigure(const Precise& approx, const Precise& error, const Rounder& round, const Side& side);

// The percentage of a chance as reports give it: rounded once to 2 places
// from 1 % up, to 3 significant digits below (ties to even either way), so
// that a small chance keeps as many digits as a large one.
Figure15 PercentFigure(const Rational& percent);
// " 12.34 %", with " above 99.99 %" for a chance short of certain that
// rounds to 100.
std::string PercentText(const Figure15& percent, bool certain);
// The same from an exact chance (0 to 1).
std::string ChancePercent(const Rational& chance);

} // namespace fortelle
