// Betting tickets on one race: the bet type, the runners chosen for each
// place, the combinations that the ticket holds and its cost.
//
// A selection names runners by number. Places are separated by "-" and the
// runners for one place by ",": "1-2" is an exacta of 1 over 2, "1-2,3,4"
// keys 1 over 2, 3 and 4, "1,2-1,2,3-1,2,3,4" is a part-wheeled trifecta;
// "all" stands for every starter. A single list for a bet on two or more
// places boxes it: "1,2,3" as a trifecta holds the six orders of 1, 2 and
// 3. A quinella's two places are taken in either order. Win, place and
// show take a list of runners, one ticket each.
#pragma once

#include <string>
#include <vector>

#include "racing/field.h"

namespace fortelle::racing {

inline constexpr std::size_t kMostCombinations = 100'000;

enum class BetType { Win, Place, Show, Exacta, Quinella, Trifecta, Superfecta };

struct BetInfo {
    BetType type;
    const char* name;   // "exacta"
    int picks;          // runners in one combination
    int places;         // the places a combination must fill (place: 2, show: 3)
    bool ordered;       // the order of the picks matters
    const char* covers; // "the first two in order"
};

const std::vector<BetInfo>& BetTypes();
const BetInfo& InfoOf(BetType type);
// Refuses (InputProblem, "bet") a name that is not a bet type.
BetType ReadBetType(const std::string& name);

struct Ticket {
    BetType type = BetType::Win;
    std::string selection;                      // as typed
    bool box = false;                           // one list boxed
    std::vector<std::vector<int>> legs;         // runner numbers per place, as chosen
    std::vector<std::vector<int>> combinations; // starter indices; a quinella's in ascending order
};

// Refuses (InputProblem, "selection") a selection that names no starter, a
// scratched runner, a runner twice in one place, or holds no combination
// (or more than kMostCombinations).
Ticket ReadTicket(BetType type, const std::string& selection, const Field& field);

// The combination in runner numbers: "1-2", "1,2" for a quinella.
std::string CombinationText(const Ticket& ticket, const Field& field, std::size_t index);

} // namespace fortelle::racing
