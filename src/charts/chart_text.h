// The figures of the charts as text: exact fractions rounded once (ties to
// even), 100-digit values written to the digits they hold for certain,
// counts grouped in threes, and the labels of the axes' ticks.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "forms/chart.h"
#include "games/game_file.h"
#include "games/precise.h"

namespace fortelle::charts {

// The power of ten of r's first digit: 10^e <= r < 10^(e+1), for r > 0.
int DecimalExponent(const Rational& r);
Rational PowerOfTen(int n);

// Digits grouped in threes: "1234567.5" is "1,234,567.5".
std::string Grouped(const std::string& text);

// r rounded to `places` decimal places, ties to even, grouped.
std::string FixedText(const Rational& r, int places);
// r rounded to `digits` significant digits, ties to even, written plainly
// ("0.000000342", "65.5", "13,983,816").
std::string SignificantText(const Rational& r, int digits);

// A chance as a percentage: 3 significant digits ("4.02 %", "0.000000342 %").
std::string PercentText(const Rational& chance);
// The same for a 100-digit chance, of any size such a number holds.
std::string PercentText(const Precise& chance);
// "1 in 24.87 (4.02 %)": the reports' figure (1/p rounded once to 2 places,
// 15 significant digits from 1E15), grouped, and the percentage.
std::string OneInText(const Rational& p);

// A whole count as text: grouped below 2^53, where a double counts one by
// one; beyond, its 15 significant digits in exponent form ("4.6E+30").
std::string CountText(double n);

// A tick's label for a round amount: "0", "500", "250,000", "1 million",
// "2.5 billion", "1E+15".
std::string RoundAmountWords(double x);

// Ticks at whole powers of ten from 10^hi down to 10^lo, every one or every
// few, so that there are at most `most` steps between them.
std::vector<forms::Tick> DecadeTicks(int lo, int hi, int most, const std::function<std::string(int power)>& label);

// A linear axis from 0 that reaches `top`: its end is the first whole
// number of steps at or above `top`, a step being 1, 2, 2.5 or 5 times a
// power of ten (at most six steps), and a tick labelled by `label` at each.
void SetLinearRange(forms::Axis& axis, double top, const std::function<std::string(double)>& label);

} // namespace fortelle::charts
