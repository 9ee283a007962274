// How the wheel reports write their figures: whole numbers grouped in
// threes, "1 in X" rounded once to 2 places, percentages with every digit
// right, and the plain words of a guarantee.
#pragma once

#include <string>

#include "shell/print_style.h"
#include "wheels/combinatorics.h"

namespace fortelle::wheels {

std::string Grouped(const BigInt& n);
std::string Grouped(std::uint64_t n);
// A report figure (rounded to 2 places) with its whole part grouped.
std::string Grouped(const Figure15& figure);
// "1 in 13,983,816", "1 in 56.66"; "never" for a chance of 0.
std::string OneIn(const Rational& p);
// "1.77 %", "0.0000715 %" (3 significant digits below 0.01 %), "above 99.99 %", "100 %".
std::string Percent(const Rational& p);
// "n/d" in lowest terms.
std::string Fraction(const Rational& p);
// "3 if 4"
std::string GuaranteeName(int t, int m);
// One word per count: "1 number", "2 numbers".
std::string Count(std::uint64_t n, const std::string& one, const std::string& many);

} // namespace fortelle::wheels
