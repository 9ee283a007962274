#include "racing/field.h"

#include <algorithm>
#include <cctype>

#include "prices/price.h"
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

std::optional<Rational> ReadChance(std::string_view text)
{
    auto p = prices::ParseChance(text);
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
    if (!prices && input.margin != prices::Method::Multiplicative) {
        Problem("margin", "The margin methods take prices: chances given are only divided by their sum.");
    }
    for (int i = 0; i < count; ++i) {
        Runner r;
        r.number = i + 1;
        r.entry = input.entries[static_cast<std::size_t>(i)];
        if (IsScratchMark(r.entry)) {
            r.scratched = true;
        } else if (prices) {
            const prices::PriceReading price = prices::ReadPrice(r.entry);
            if (!price.decimal) {
                std::string why = price.problem;
                if (why.rfind("The ", 0) == 0) why[0] = 't';
                Problem("runners",
                        "Runner " + std::to_string(r.number) + ": " + why + " A scratched runner is written scr.");
            }
            r.price = *price.decimal;
            r.implied = 1 / r.price;
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
    f.margin.method = input.margin;
    return f;
}

void FindWinChances(Field& f)
{
    prices::FairChances& m = f.margin;
    if (f.kind == EntryKind::Chances) {
        m.ok = m.exact = true;
        m.parameter = f.book;
        for (std::size_t i = 0; i < f.starters.size(); ++i) m.chances.emplace_back(f.starter(i).implied / f.book);
    } else {
        std::vector<Rational> decimals;
        std::vector<std::string> names;
        for (std::size_t i = 0; i < f.starters.size(); ++i) {
            decimals.push_back(f.starter(i).price);
            names.push_back("Runner " + std::to_string(f.starter(i).number));
        }
        m = prices::RemoveMargin(decimals, m.method, names);
    }
    f.win = m.ok ? m.chances : std::vector<Rational>{};
    f.tolerance = m.ok && !m.exact ? prices::kRootTolerance : 0;
}

} // namespace fortelle::racing
