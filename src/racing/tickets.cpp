#include "racing/tickets.h"

#include <algorithm>
#include <set>

#include "racing/figures.h"

namespace fortelle::racing {
namespace {

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const auto cut = text.find(separator, start);
        parts.push_back(Trimmed(text.substr(start, cut == std::string::npos ? std::string::npos : cut - start)));
        if (cut == std::string::npos) return parts;
        start = cut + 1;
    }
}

std::vector<int> ReadLeg(const std::string& text, const Field& field, const std::string& where)
{
    std::vector<int> leg;
    for (const std::string& word : Split(text, ',')) {
        if (word == "all" || word == "ALL" || word == "All") {
            for (std::size_t i = 0; i < field.starters.size(); ++i) {
                const int number = field.starter(i).number;
                if (std::find(leg.begin(), leg.end(), number) == leg.end()) leg.push_back(number);
            }
            continue;
        }
        const auto n = PlainNumber(word);
        if (word.empty()) Problem("selection", "The " + where + " has an empty runner: write runners as 1,2,3.");
        const int count = static_cast<int>(field.runners.size());
        if (!n || denominator(*n) != 1 || *n < 1 || *n > count) {
            Problem("selection", "'" + word + "' in the " + where + " is not a runner: the runners are numbered 1 to " +
                                     std::to_string(count) + ".");
        }
        const int number = numerator(*n).convert_to<int>();
        if (field.runners[static_cast<std::size_t>(number - 1)].scratched)
            Problem("selection", "Runner " + std::to_string(number) + " is scratched.");
        if (std::find(leg.begin(), leg.end(), number) != leg.end())
            Problem("selection", "Runner " + std::to_string(number) + " is named twice in the " + where + ".");
        leg.push_back(number);
    }
    return leg;
}

const char* PlaceWord(std::size_t i)
{
    static const char* const words[] = {"first place", "second place", "third place", "fourth place"};
    return words[std::min<std::size_t>(i, 3)];
}

} // namespace

const std::vector<BetInfo>& BetTypes()
{
    static const std::vector<BetInfo> types{
        {BetType::Win, "win", 1, 1, true, "to finish first"},
        {BetType::Place, "place", 1, 2, true, "to finish first or second"},
        {BetType::Show, "show", 1, 3, true, "to finish in the first three"},
        {BetType::Exacta, "exacta", 2, 2, true, "the first two in order"},
        {BetType::Quinella, "quinella", 2, 2, false, "the first two in either order"},
        {BetType::Trifecta, "trifecta", 3, 3, true, "the first three in order"},
        {BetType::Superfecta, "superfecta", 4, 4, true, "the first four in order"},
    };
    return types;
}

const BetInfo& InfoOf(BetType type) { return BetTypes()[static_cast<std::size_t>(type)]; }

BetType ReadBetType(const std::string& name)
{
    std::string names;
    for (const BetInfo& b : BetTypes()) {
        if (name == b.name) return b.type;
        names += std::string(names.empty() ? "" : ", ") + b.name;
    }
    Problem("bet", "'" + name + "' is not a bet type: choose " + names + ".");
}

Ticket ReadTicket(BetType type, const std::string& selection, const Field& field)
{
    const BetInfo& info = InfoOf(type);
    Ticket t;
    t.type = type;
    t.selection = Trimmed(selection);
    if (t.selection.empty()) Problem("selection", "Choose the runners for the ticket, as 1-2 or 1,2,3.");
    const std::vector<std::string> parts = Split(t.selection, '-');
    const auto picks = static_cast<std::size_t>(info.picks);
    if (picks == 1 && parts.size() > 1)
        Problem("selection", Article(info.name) + " " + info.name + " bet takes a list of runners, as 3 or 3,5.");
    if (parts.size() != 1 && parts.size() != picks) {
        Problem("selection", Article(info.name) + " " + info.name + " needs " + std::to_string(picks) +
                                 " places separated by '-', or one list of runners to box.");
    }
    t.box = picks > 1 && parts.size() == 1;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        t.legs.push_back(ReadLeg(parts[i], field, t.box ? std::string("box") : PlaceWord(i)));
    }
    if (t.box && t.legs[0].size() < picks) {
        Problem("selection",
                Article(info.name) + " " + info.name + " box needs at least " + std::to_string(picks) + " runners.");
    }
    const std::vector<std::vector<int>> legs = t.box ? std::vector<std::vector<int>>(picks, t.legs[0]) : t.legs;
    // Every choice of one runner per place with no runner twice.
    std::set<std::vector<int>> seen;
    std::vector<int> chosen;
    const auto walk = [&](const auto& self) -> void {
        const std::size_t s = chosen.size();
        if (s == legs.size()) {
            std::vector<int> combination;
            combination.reserve(chosen.size());
            for (const int number : chosen) combination.push_back(field.starterOf(number));
            if (!info.ordered) std::sort(combination.begin(), combination.end());
            if (seen.insert(combination).second) {
                if (t.combinations.size() >= kMostCombinations) {
                    Problem("selection", "The ticket holds more than " + std::to_string(kMostCombinations) +
                                             " combinations: choose fewer runners.");
                }
                t.combinations.push_back(std::move(combination));
            }
            return;
        }
        for (const int number : legs[s]) {
            if (std::find(chosen.begin(), chosen.end(), number) != chosen.end()) continue;
            chosen.push_back(number);
            self(self);
            chosen.pop_back();
        }
    };
    walk(walk);
    if (t.combinations.empty())
        Problem("selection", "The ticket holds no combination: a runner cannot take two places.");
    return t;
}

std::string CombinationText(const Ticket& ticket, const Field& field, std::size_t index)
{
    std::string text;
    const char separator = InfoOf(ticket.type).ordered ? '-' : ',';
    for (const int i : ticket.combinations[index]) {
        if (!text.empty()) text += separator;
        text += std::to_string(field.starter(static_cast<std::size_t>(i)).number);
    }
    return text;
}

} // namespace fortelle::racing
