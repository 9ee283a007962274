// Rendering of numbers in reports and parameter files.
//
// Every number the program writes goes through here so that a report reads
// the same on every machine: the decimal point is always ".", whatever the
// locale, and a value has at most 15 significant digits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fortelle {

// A value known to 15 significant digits, with a decimal exponent that may
// lie far outside the range of a double (3 to the power 1,000,000 has one).
// Value = significand * 10^(exponent - digits + 1), where `significand` has
// no trailing zeros, so its first digit stands at 10^exponent.
struct Figure15 {
    bool negative = false;
    std::uint64_t significand = 0; // 0, or 1 to 15 digits without trailing zeros
    std::int64_t exponent = 0;     // decimal exponent of the first digit

    bool operator==(const Figure15&) const = default;
};

// The 15-significant-digit figure of a finite double (ties to even, as the
// shortest round-trip conversion of the C++ library gives them).
Figure15 ToFigure15(double value);

// Rounds a significand of any length (given as a double-double: hi + lo, with
// 1 <= hi + lo < 10) to a Figure15 with the given exponent.
Figure15 Figure15FromScaled(double hi, double lo, std::int64_t exponent, bool negative);

// The magnitude in general form: plain decimal below 1E15, exponent form
// ("1.85302018885184E+15") from 1E15 up. No sign, no blanks.
std::string GeneralForm(const Figure15& figure);

// The number items of a printed line: a blank or a minus sign, the general
// form, one trailing blank (" 8 ", "-50 ", " 1E+15 ").
void AppendPrintStyle(std::string& out, std::int64_t value);
void AppendPrintStyle(std::string& out, double value);
void AppendPrintStyle(std::string& out, const Figure15& value);

std::string PrintStyleNumber(std::int64_t value);
std::string PrintStyleNumber(double value);
std::string PrintStyleNumber(const Figure15& value);

// Rounds to `places` decimal places with ties to even: scale by 10^places,
// round to the nearest whole number (ties to even), scale back, all in
// doubles. Values of 1E15 and more are returned unchanged.
double RoundPlaces(double value, int places);

// Rounds to the nearest whole number with ties to even.
double RoundHalfEven(double value);

// The "###,###,###" whole-number pattern: rounded half away from zero,
// grouped in threes with ",", no leading zeros, the empty text for a value
// that rounds to zero (negative or not). Beyond 15 significant digits the
// first 15 are kept and the rest written as zeros.
std::string GroupedWhole(double value);
// A plain decimal with its whole part grouped in threes: "1234567.5" is
// "1,234,567.5", "-1234" is "-1,234"; exponent forms stay as they are.
std::string Grouped(std::string_view text);

} // namespace fortelle
