#include "racing/field.h"

#include <algorithm>
#include <cctype>

#include "racing/figures.h"

namespace fortelle::racing {
namespace {

std::string Lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool IsScratchMark(std::string_view text)
{
    const std::string t = Lower(text);
    return t == "scr" || t == "scratched" || t == "x";
}

int RunnerNumber(const std::string& text, int count)
{
    const auto n = PlainNumber(text);
    if (!n || denominator(*n) != 1 || *n < 1 || *n > count) {
        Problem("scratched", "'" + text + "' is not the number of a runner: the runners are numbered 1 to " +
                                 std::to_string(count) + ".");
    }
    return numerator(*n).convert_to<int>();
}

} // namespace

void Problem(std::string field, std::string message) { throw InputProblem{std::move(field), std::move(message)}; }

int Field::starterOf(int number) const
{
    for (std::size_t i = 0; i < starters.size(); ++i) {
        if (starter(i).number == number) return static_cast<int>(i);
    }
    return -1;
}

std::vector<std::string> SplitList(std::string_view text)
{
    std::vector<std::string> out;
    std::string word;
    for (const char c : text) {
        if (c == ' ' || c == ',' || c == '\t' || c == '\n' || c == '\r') {
            if (!word.empty()) out.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) out.push_back(std::move(word));
    return out;
}

std::optional<Rational> ReadPrice(std::string_view text)
{
    const std::string t = Lower(text);
    if (t == "evens" || t == "even" || t == "evs") {
        const Rational evens = 2;
        return evens;
    }
    if (t.empty()) return std::nullopt;
    if (t[0] == '+' || t[0] == '-') {
        // American: +150 wins 150 for 100 staked; -120 stakes 120 to win 100.
        const auto n = PlainNumber(t.substr(1));
        if (!n || *n < 100) return std::nullopt;
        return t[0] == '+' ? Rational(1 + *n / 100) : Rational(1 + 100 / *n);
    }
    const auto cut = t.find_first_of("-/");
    if (cut != std::string::npos) {
        const auto a = PlainNumber(t.substr(0, cut));
        const auto b = PlainNumber(t.substr(cut + 1));
        if (!a || !b || *a <= 0 || *b <= 0) return std::nullopt;
        return 1 + *a / *b;
    }
    const auto d = PlainNumber(t);
    if (!d || *d <= 1) return std::nullopt;
    return *d;
}

std::optional<Rational> ReadChance(std::string_view text)
{
    std::string t(text);
    std::optional<Rational> p;
    if (!t.empty() && t.back() == '%') {
        t.pop_back();
        if (const auto n = PlainNumber(t)) p = *n / 100;
    } else if (const auto cut = t.find('/'); cut != std::string::npos) {
        const auto a = PlainNumber(t.substr(0, cut));
        const auto b = PlainNumber(t.substr(cut + 1));
        if (a && b && *b > 0) p = *a / *b;
    } else {
        p = PlainNumber(t);
    }
    if (!p || *p < 0 || *p > 1) return std::nullopt;
    return p;
}

Field ReadField(const FieldInput& input)
{
    Field f;
    f.kind = input.kind;
    const int count = static_cast<int>(input.entries.size());
    if (count == 0) Problem("runners", "Give the runners' odds (or chances), one per runner, in runner order.");
    if (count > kMostRunners) {
        Problem("runners", "A field has at most " + std::to_string(kMostRunners) + " runners; " +
                               std::to_string(count) + " were given.");
    }
    const bool prices = input.kind == EntryKind::Prices;
    for (int i = 0; i < count; ++i) {
        Runner r;
        r.number = i + 1;
        r.entry = input.entries[static_cast<std::size_t>(i)];
        if (IsScratchMark(r.entry)) {
            r.scratched = true;
        } else if (prices) {
            const auto price = ReadPrice(r.entry);
            if (!price) {
                Problem("runners", "Runner " + std::to_string(r.number) + ": '" + r.entry +
                                       "' is not a price. Write odds as 5-2 or 5/2, a decimal price above 1 "
                                       "as 3.5, an American price as +150 or -120, or scr for a scratched runner.");
            }
            r.price = *price;
            r.implied = 1 / *price;
        } else {
            const auto p = ReadChance(r.entry);
            if (!p) {
                Problem("runners", "Runner " + std::to_string(r.number) + ": '" + r.entry +
                                       "' is not a chance. Write a chance as 0.25, 25% or 1/4, or scr for a "
                                       "scratched runner.");
            }
            r.implied = *p;
        }
        f.runners.push_back(std::move(r));
    }
    for (const std::string& word : SplitList(input.scratched)) {
        f.runners[static_cast<std::size_t>(RunnerNumber(word, count) - 1)].scratched = true;
    }
    for (int i = 0; i < count; ++i) {
        if (!f.runners[static_cast<std::size_t>(i)].scratched) f.starters.push_back(i);
    }
    if (f.starters.size() < 2) Problem("runners", "A race needs at least two runners that start.");
    for (std::size_t i = 0; i < f.starters.size(); ++i) f.book += f.starter(i).implied;
    if (f.book == 0) Problem("runners", "Every starter's chance is 0: at least one must be above 0.");
    for (std::size_t i = 0; i < f.starters.size(); ++i) f.win.emplace_back(f.starter(i).implied / f.book);
    return f;
}

} // namespace fortelle::racing
