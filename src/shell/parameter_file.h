// Parameter files: each calculator remembers the values it accepted last in
// a small text file of its own ("Horses.INI", ...) in the working directory.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fortelle {

class FileSystem;

// How many values each line of a parameter file holds ({1, 1, 1} for three
// lines of one value, {2, 2} for two lines of two, {3} for one line of three).
using ParameterLayout = std::vector<int>;

// A stored value: a number, or nothing when the file held text there, held
// no value at all, or could not be read.
using StoredValue = std::optional<double>;

// The bytes of a parameter file: print-style numbers, the values of a line
// set in 14-column print zones, each line ended by CR LF.
std::string FormatParameterFile(std::span<const double> values, const ParameterLayout& layout);

// Reads values from file bytes in order (blanks, tabs, commas and line ends
// separate them), `count` to a set, set after set; the last value read into
// each place wins.
std::vector<StoredValue> ParseParameterValues(std::string_view bytes, std::size_t count);

// Files larger than this are not read: they hold no values a person could
// have meant, and reading them must not stall the click.
inline constexpr std::size_t kParameterFileLimit = 16 * 1024 * 1024;

// Reads the named file's values; when it does not exist, creates it holding
// the defaults and returns those.
std::vector<StoredValue> ReadParameterFile(FileSystem& files, std::string_view name, std::span<const double> defaults,
                                           const ParameterLayout& layout);

// Replaces the named file with the given values, whole or not at all.
bool WriteParameterFile(FileSystem& files, std::string_view name, std::span<const double> values,
                        const ParameterLayout& layout);

} // namespace fortelle
