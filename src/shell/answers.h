// Turning what the user typed into numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fortelle {

// Reads an answer as a number: blanks, tabs and line feeds anywhere are
// ignored; the longest leading decimal number (optional sign, digits,
// optional point and fraction, optional exponent introduced by E or D) is
// taken; anything else gives 0. A number too large for a double reads as
// an infinity of its sign, so that every range check rejects it.
double ReadAnswer(std::string_view text);

// True when the whole token is one decimal number in the form above (with
// no blanks inside), as a value stored in a parameter file must be.
std::optional<double> ReadWholeToken(std::string_view token);

// The nearest signed 32-bit whole number (ties to even), or nothing when the
// rounded value does not fit; the caller then keeps the value it had.
std::optional<std::int32_t> ToWhole32(double value);

// The nearest signed 16-bit whole number (ties to even), or nothing.
std::optional<std::int16_t> ToWhole16(double value);

// The text a prompt offers for a stored value: the value rounded to a whole
// number and written as bare digits; "0" when there is no stored number or
// it does not fit 32 signed bits.
std::string WholeDefaultText(std::optional<double> stored);

} // namespace fortelle
