// Numbers as the price tools read and write them: exact decimals typed by a
// person, and exact fractions written with a chosen number of places, ties
// to even, thousands separated by commas, the decimal point always ".".
#pragma once

#include <boost/multiprecision/cpp_bin_float.hpp>
#include <boost/multiprecision/cpp_int.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fortelle::prices {

using BigInt = boost::multiprecision::cpp_int;
using Rational = boost::multiprecision::cpp_rational;
// The working precision of the root-found margin methods: 50 significant
// digits, so that the 1e-12 they promise is far inside what they carry.
using Float = boost::multiprecision::cpp_bin_float_50;

// An unsigned decimal as typed: digits with an optional point ("2.10",
// ".5", "7."), thousands optionally grouped ("1,000,000.5"). Nothing else:
// no sign, no exponent, no blanks.
std::optional<Rational> ParseUnsignedDecimal(std::string_view text);

// A chance as typed: a percentage ("45%", "45 %"), a fraction of one
// ("0.45") or a ratio ("9/20"). Not checked for range.
std::optional<Rational> ParseChance(std::string_view text);

// The text with blanks at either end removed.
std::string_view Trimmed(std::string_view text);

// "n/d", reduced, the denominator 1 written too ("3/1").
std::string FractionText(const Rational& r);

// Rounded to `places` decimal places with ties to even, exactly.
Rational RoundPlaces(const Rational& r, int places);

// Rounded to `places` places (ties to even), every place written, thousands
// grouped: Fixed(1001.5, 2) is "1,001.50", Fixed(-1/3, 2) is "-0.33".
std::string Fixed(const Rational& r, int places);

// A share as a percentage with two places ("4.76 %"); a share below 0.1 %
// keeps two significant digits instead ("0.0041 %"), so that a longshot's
// chance never shows as 0.
std::string Percent(const Rational& share);

// The places Percent writes for a share: 2, or more for a share below 0.1 %.
int PercentPlaces(const Rational& share);

// An amount of money or stake: two places, thousands grouped ("1,234.50").
std::string Money(const Rational& amount);

// A price in decimal form: two places, thousands grouped ("2.10", "1,001.00"),
// more places where two would show a price above 1 as "1.00" ("1.004").
std::string PriceText(const Rational& decimalPrice);
int PricePlaces(const Rational& decimalPrice);

// Rounded to `places` places (ties to even), no grouping: the decimal
// strings of JSON ("0.359171099912345").
std::string PlainDecimal(const Rational& r, int places);

// Rounded to `digits` significant digits (ties to even), thousands grouped:
// Significant(0.0011372, 3) is "0.00114".
std::string Significant(const Rational& r, int digits);

// A report's table as data: its title and rows of cells, the first row the
// columns' headings. Reports lay it out with Columns; narrow screens show
// it cell by cell.
struct TextTable {
    std::string title;
    std::vector<std::vector<std::string>> rows;
};

// Rows of cells as aligned columns, each line begun with `indent` and ended
// with CR LF: the first column to the left, the others to the right, two
// blanks between them.
std::string Columns(const std::vector<std::vector<std::string>>& rows, const std::string& indent);

Rational ToRational(const Float& x);
Float ToFloat(const Rational& r);

} // namespace fortelle::prices
