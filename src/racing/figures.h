// How the racing reports write their figures: exact amounts and chances
// rounded once (ties to even) with thousands separators, chances that were
// integrated numerically with only the digits their error bound vouches
// for, and exact values in JSON as integers or "n/d" strings.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "games/game_file.h"

namespace fortelle::racing {

using Json = nlohmann::ordered_json;

// A chance: exact when the model's arithmetic is rational, otherwise a
// double with a bound on its distance from the model's exact value.
struct Chance {
    double value = 0;
    double error = 0;
    std::optional<Rational> exact;

    static Chance Exact(const Rational& r) { return {r.convert_to<double>(), 0, r}; }
    Chance& operator+=(const Chance& other);
};

// "A" or "An", as the word that follows sounds: "An exacta", "A trifecta".
std::string Article(std::string_view word);
// x rounded to `places` decimals (ties to even), grouped: "192,913.00".
std::string Fixed(const Rational& x, int places);
// An amount of money: two decimals.
std::string Money(const Rational& x);
// A chance as a percentage: two decimals, more for chances below 1 %
// so that three significant digits show ("0.0356 %").
std::string Percent(const Chance& p);
// "1 in 13.23"; "never" for a chance of 0.
std::string OneIn(const Chance& p);
// A terminating decimal written out in full ("0.81"); other values as "n/d".
std::string Decimal(const Rational& r);
// "5/12"; for an integer "3".
std::string FractionOf(const Rational& r);

// Exact values in JSON: an integer that fits as a JSON integer, anything
// else as the string "n/d".
Json ExactJson(const Rational& r);
// A chance in JSON: {"exact": "n/d"} or {"value": x, "error": e}.
Json ChanceJson(const Chance& p);

// A decimal number as typed, without thousands separators; nothing when the
// text is not one (or is absurdly long).
std::optional<Rational> PlainNumber(std::string_view text);

// The text broken at blanks into lines of at most `width` characters (a
// longer word, such as an address, stands on a line of its own).
std::vector<std::string> Wrapped(const std::string& text, std::size_t width);

// A bound written with two significant digits, rounded up: "1.8E-10".
std::string Bound(double error);

// The text with blanks at both ends removed.
std::string Trimmed(std::string_view text);

} // namespace fortelle::racing
