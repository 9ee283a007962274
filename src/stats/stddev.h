// The binomial standard deviation of an event of probability n/N over T
// trials, with the ranges of successes within one, two and three of them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace fortelle {

struct Platform;

struct StdDevEntries {
    std::int16_t n = 0;
    std::int16_t N = 0;
    double T = 0.0;
};

inline constexpr std::string_view kStdDevFile = "StDv.INI";

// The help text shown while the entries are asked for.
std::string StdDevHelpText();

// Why an entry was not accepted. The button stops silently on it; the
// command line names it.
struct StdDevRefusal {
    std::string_view entry; // "n", "N" or "T"
    std::string reason;
};

// Reads answer number `index` (0: n, 1: N, 2: T) into `entries`, or tells
// why it is not accepted.
std::optional<StdDevRefusal> AcceptStdDevAnswer(int index, std::string_view answer, StdDevEntries& entries);

std::string StdDevReport(const StdDevEntries& entries);

// The text a prompt offers for a stored value: a blank (or a minus sign),
// then the number, as " 6" or " 100". n and N are 16-bit whole numbers.
std::string StdDevDefaultText(std::optional<double> stored, bool whole16);

// The click of the StdDev button.
void RunStdDev(Platform& platform);

// The report for answers given on a command line (missing ones take the
// built-in defaults), or the refusal of the first entry not accepted.
std::variant<std::string, StdDevRefusal> StdDevCommandLine(std::span<const std::string> answers);

} // namespace fortelle
