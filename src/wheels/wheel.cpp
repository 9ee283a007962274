#include "wheels/wheel.h"

#include <algorithm>
#include <map>

namespace fortelle::wheels {
namespace {

void Add(std::vector<forms::Problem>& problems, const std::string& key, std::string message)
{
    problems.push_back({key, std::move(message)});
}

bool IsSeparator(char c) { return c == ' ' || c == ',' || c == ';' || c == '\t' || c == '\r' || c == '\n'; }

// The words of a line: runs of characters between separators.
std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    std::string word;
    for (const char c : text) {
        if (IsSeparator(c)) {
            if (!word.empty()) words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(std::move(word));
    return words;
}

// A whole number of at most four digits, or nothing.
std::optional<int> SmallNumber(const std::string& word)
{
    if (word.empty() || word.size() > 4) return std::nullopt;
    int n = 0;
    for (const char c : word) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

std::string Range(int lowest, int highest) { return std::to_string(lowest) + " to " + std::to_string(highest); }

} // namespace

std::optional<WheelGame> PlainGame(int n, int k, std::vector<forms::Problem>& problems)
{
    const std::size_t before = problems.size();
    if (n < 2 || n > kMostDrum)
        Add(problems, "n", "The drum must hold 2 to " + std::to_string(kMostDrum) + " numbers.");
    if (k < 1 || k > kMostPick || (n >= 2 && k >= n)) {
        Add(problems, "k",
            "The numbers drawn must be 1 to " + std::to_string(std::min(kMostPick, std::max(n - 1, 1))) +
                ", fewer than the drum holds.");
    }
    if (problems.size() != before) return std::nullopt;
    WheelGame g;
    g.n = n;
    g.k = k;
    g.title = std::to_string(k) + " from " + std::to_string(n);
    g.id = std::to_string(k) + "/" + std::to_string(n);
    return g;
}

std::optional<WheelGame> GameFromWord(const std::string& word, const GameCatalog* catalog,
                                      std::vector<forms::Problem>& problems)
{
    const auto slash = word.find('/');
    if (slash != std::string::npos && word.find('/', slash + 1) == std::string::npos) {
        const auto k = SmallNumber(word.substr(0, slash));
        const auto n = SmallNumber(word.substr(slash + 1));
        if (k && n) return PlainGame(*n, *k, problems);
    }
    const GameDefinition* g = catalog ? catalog->find(word) : nullptr;
    if (!g) {
        Add(problems, "game",
            "There is no game '" + word + "': give a game's id (fortelle-cli games lists them) or K/N such as 6/49.");
        return std::nullopt;
    }
    if (g->keno || g->drums.empty()) {
        Add(problems, "game",
            "'" + g->name + "' is a Keno game: its tickets choose their own spot count, so it is not wheeled.");
        return std::nullopt;
    }
    const DrumSpec& d = g->drums.front();
    if (d.pick != d.draw || d.pick < 1 || d.pick > kMostPick || d.size > kMostDrum) {
        Add(problems, "game",
            "'" + g->name + "' picks " + std::to_string(d.pick) + " numbers but draws " + std::to_string(d.draw) +
                " of " + std::to_string(d.size) + ": a wheel needs a ticket as large as the draw, of at most " +
                std::to_string(kMostDrum) + " numbers.");
        return std::nullopt;
    }
    // The checker keeps each draw's (matched, supplementary) pairs and the
    // tiers won as bits of one 64-bit word.
    if ((d.pick + 1) * (d.extra + 1) > 64 || g->tiers.size() > 63) {
        Add(problems, "game",
            "'" + g->name + "' has too many supplementary numbers or prize tiers to be wheeled here.");
        return std::nullopt;
    }
    WheelGame w;
    w.named = g;
    w.n = d.size;
    w.k = d.pick;
    w.extra = d.extra;
    w.first = d.first;
    w.title = g->name;
    w.id = g->id;
    return w;
}

std::optional<std::vector<int>> ParseNumberList(const std::string& text, int lowest, int highest,
                                                const std::string& key, const std::string& what,
                                                std::vector<forms::Problem>& problems)
{
    std::vector<int> out;
    for (const std::string& word : Words(text)) {
        const auto dash = word.find('-', 1);
        const auto from = SmallNumber(word.substr(0, dash));
        const auto to = dash == std::string::npos ? from : SmallNumber(word.substr(dash + 1));
        if (!from || !to) {
            Add(problems, key, "'" + word + "' in " + what + " is not a number (or a range such as 1-10).");
            return std::nullopt;
        }
        if (*from < lowest || *to > highest || *from > *to) {
            Add(problems, key,
                "'" + word + "' in " + what + " is outside the game's numbers, " + Range(lowest, highest) + ".");
            return std::nullopt;
        }
        for (int n = *from; n <= *to; ++n) out.push_back(n);
    }
    std::sort(out.begin(), out.end());
    const auto repeated = std::adjacent_find(out.begin(), out.end());
    if (repeated != out.end()) {
        Add(problems, key, std::to_string(*repeated) + " is given twice in " + what + ".");
        return std::nullopt;
    }
    return out;
}

std::optional<Wheel> ReadWheel(const WheelGame& game, const std::optional<std::vector<int>>& numbers,
                               const std::string& ticketText, std::vector<forms::Problem>& problems)
{
    const int lowest = game.first, highest = game.first + game.n - 1;
    Wheel w;
    std::map<std::vector<int>, std::size_t> seen;
    std::size_t lineNumber = 0, start = 0;
    while (start < ticketText.size()) {
        const auto end = std::min(ticketText.find('\n', start), ticketText.size());
        const std::string line = ticketText.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        const auto first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') continue;
        if (w.tickets.size() == kMostTickets) {
            Add(problems, "tickets", "A wheel may hold at most " + std::to_string(kMostTickets) + " tickets.");
            return std::nullopt;
        }
        const std::string where = "line " + std::to_string(lineNumber);
        std::vector<forms::Problem> own;
        auto ticket = ParseNumberList(line, lowest, highest, "tickets", where, own);
        if (!ticket) {
            problems.insert(problems.end(), own.begin(), own.end());
            return std::nullopt;
        }
        if (static_cast<int>(ticket->size()) != game.k) {
            Add(problems, "tickets",
                "The ticket on " + where + " has " + std::to_string(ticket->size()) + " numbers; a ticket of " +
                    game.title + " has " + std::to_string(game.k) + ".");
            return std::nullopt;
        }
        const auto [at, fresh] = seen.emplace(*ticket, w.tickets.size() + 1);
        if (!fresh) {
            w.notes.push_back("Ticket " + std::to_string(w.tickets.size() + 1) + " repeats ticket " +
                              std::to_string(at->second) + "; both are counted, as both are paid for.");
        }
        w.tickets.push_back(std::move(*ticket));
    }
    if (w.tickets.empty()) {
        Add(problems, "tickets", "Give at least one ticket, one a line.");
        return std::nullopt;
    }
    if (numbers) {
        w.numbers = *numbers;
        for (std::size_t i = 0; i < w.tickets.size(); ++i) {
            for (const int n : w.tickets[i]) {
                if (!std::binary_search(w.numbers.begin(), w.numbers.end(), n)) {
                    Add(problems, "tickets",
                        "Ticket " + std::to_string(i + 1) + " has " + std::to_string(n) +
                            ", which is not among your numbers.");
                    return std::nullopt;
                }
            }
        }
    } else {
        for (const auto& t : w.tickets) w.numbers.insert(w.numbers.end(), t.begin(), t.end());
        std::sort(w.numbers.begin(), w.numbers.end());
        w.numbers.erase(std::unique(w.numbers.begin(), w.numbers.end()), w.numbers.end());
    }
    if (w.v() > kMostNumbers) {
        Add(problems, numbers ? "numbers" : "tickets",
            "A wheel may use at most " + std::to_string(kMostNumbers) + " numbers; these are " + std::to_string(w.v()) +
                ".");
        return std::nullopt;
    }
    SetMasks(w);
    return w;
}

void SetMasks(Wheel& w)
{
    w.masks.clear();
    for (const auto& t : w.tickets) {
        Mask m = 0;
        for (const int n : t) {
            const auto j = std::lower_bound(w.numbers.begin(), w.numbers.end(), n) - w.numbers.begin();
            m |= Mask{1} << (w.v() - 1 - j);
        }
        w.masks.push_back(m);
    }
}

std::vector<int> NumbersOf(const Wheel& wheel, Mask set)
{
    std::vector<int> out;
    for (int j = 0; j < wheel.v(); ++j) {
        if (set >> (wheel.v() - 1 - j) & 1) out.push_back(wheel.numbers[static_cast<std::size_t>(j)]);
    }
    return out;
}

std::string NumbersText(const std::vector<int>& numbers, const std::string& separator)
{
    std::string s;
    for (const int n : numbers) s += (s.empty() ? "" : separator) + std::to_string(n);
    return s;
}

} // namespace fortelle::wheels
