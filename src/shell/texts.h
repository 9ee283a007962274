// The program's own words that are not part of any one calculator.
#pragma once

#include <string>
#include <string_view>

namespace fortelle {

inline constexpr std::string_view kProgramName = "Fortelle";
inline constexpr std::string_view kDescription = "Calculate odds for lottery, horses, sports";
inline constexpr std::string_view kVersion = "10.0";
inline constexpr std::string_view kMaker = "the Fortelle project";
inline constexpr std::string_view kOddsPage = "https://fortelle.example.org/odds";

// What About and --version say.
inline std::string AboutText()
{
    return std::string(kProgramName) + " " + std::string(kVersion) + "\n" + std::string(kDescription) + "\nMade by " +
           std::string(kMaker) + ", " + std::string(kOddsPage) + "\n";
}

// Three lines separated by carriage returns, none after the last.
inline constexpr std::string_view kBannerText =
    "\r"
    "Fortelle odds calculator, made by the Fortelle project.\r"
    "Based on the online odds calculator at https://fortelle.example.org/odds";

// Each line ends with a line feed; an empty line follows the second. The
// last line, beyond the designed greeting, points to the tool windows.
inline constexpr std::string_view kGreetingText =
    " \xE2\x80\xA2 Click on a button to calculate the odds (probability) for that game.\n"
    " \xE2\x80\xA2 The calculations will be displayed in this text box.\n"
    "\n"
    " \xE2\x80\xA2 Visit the Fortelle project's web site for more information: \n"
    "   https://fortelle.example.org/odds\n"
    " \xE2\x80\xA2 Games menu: real lotteries and Keno. Value menu: what a ticket is worth.\n";

} // namespace fortelle
