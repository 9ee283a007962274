// A lottery wheel: a set of tickets over the player's chosen numbers, for a
// game that draws k numbers of N (a named game's first drum, or "k from N").
//
// "t if m" is the guarantee that whenever m of the player's numbers are
// among those drawn, at least one ticket holds t or more of them. For m = t
// a wheel with it is a covering design C(v, k, t): every t-set of the v
// numbers lies inside some ticket. For m > t it is a lotto design
// L(v, k, m, t), a weaker demand: every m-set only has to meet some ticket
// in t numbers.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "forms/form.h"
#include "games/game_file.h"
#include "wheels/combinatorics.h"

namespace fortelle::wheels {

// Limits, so that no entry can exhaust memory: the player's numbers are bits
// of one 64-bit word; the drum and the ticket stay within lotto sizes.
inline constexpr int kMostNumbers = 64;
inline constexpr int kMostDrum = 100;
inline constexpr int kMostPick = 20;
inline constexpr std::size_t kMostTickets = 100'000;

struct WheelGame {
    const GameDefinition* named = nullptr; // nothing: a plain "k from N"
    int n = 0;                             // numbers in the drum
    int k = 0;                             // drawn, and on a ticket
    int extra = 0;                         // supplementary numbers drawn after them from the same drum
    int first = 1;                         // the drum's lowest number
    std::string title;                     // "Lotto 6/49 (Canada)", "6 from 49"
    std::string id;                        // "lotto-649", "6/49": as the command line names it
};

// The game a word names: a game's id in `catalog`, or "K/N" ("6/49"). A
// problem (for the field "game") when it names neither, or a game a wheel
// cannot be made for (Keno, a first drum whose pick is not its draw).
std::optional<WheelGame> GameFromWord(const std::string& word, const GameCatalog* catalog,
                                      std::vector<forms::Problem>& problems);
std::optional<WheelGame> PlainGame(int n, int k, std::vector<forms::Problem>& problems);

struct Wheel {
    std::vector<int> numbers;              // the player's, ascending
    std::vector<std::vector<int>> tickets; // ascending each, in the order given
    // Ticket i over the player's numbers: numbers[j] is bit (v - 1 - j), so
    // that sets in decreasing mask order come in dictionary order.
    std::vector<Mask> masks;
    std::vector<std::string> notes; // repeated tickets and the like: reported, not refused
    int v() const { return static_cast<int>(numbers.size()); }
};

// A list of numbers as a person writes it: "3 7 12", "3,7,12", "1-10 15".
// Problems go to `key`; `what` names the list in them ("your numbers").
std::optional<std::vector<int>> ParseNumberList(const std::string& text, int lowest, int highest,
                                                const std::string& key, const std::string& what,
                                                std::vector<forms::Problem>& problems);

// The tickets of a text, one a line (blank lines and lines starting with
// "#" are passed over), each of exactly k numbers of the game, all among
// `numbers` when it is given (otherwise the player's numbers are every
// number the tickets use). Problems name the line and go to "tickets" (or
// "numbers").
std::optional<Wheel> ReadWheel(const WheelGame& game, const std::optional<std::vector<int>>& numbers,
                               const std::string& ticketText, std::vector<forms::Problem>& problems);

// Sets `masks` from `numbers` and `tickets` (every ticket's numbers among them).
void SetMasks(Wheel& wheel);

// A set over the player's numbers as those numbers, ascending.
std::vector<int> NumbersOf(const Wheel& wheel, Mask set);
std::string NumbersText(const std::vector<int>& numbers, const std::string& separator = " ");

} // namespace fortelle::wheels
