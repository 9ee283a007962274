#include "games/readable.h"

#include <algorithm>
#include <cctype>

#include "games/game_odds.h"
#include "games/precise.h"
#include "lottery/exact_figure.h"

namespace fortelle {
namespace {

const BigInt& ExponentFormFrom()
{
    static const BigInt k = boost::multiprecision::pow(BigInt(10), 15);
    return k;
}

bool Digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// The number a cell aligns on: where the padding goes (the start of its
// digits) and the anchor (its decimal point or "/", or the end of its
// digits); nothing for a cell without digits.
struct Anchor {
    std::size_t insert, at;
};

std::optional<Anchor> FindAnchor(const std::string& cell, TextTable::Align align)
{
    if (align == TextTable::Align::Slash) {
        const std::size_t slash = cell.find('/');
        if (slash == std::string::npos) return std::nullopt;
        std::size_t start = slash;
        while (start > 0 && Digit(cell[start - 1])) --start;
        return Anchor{start, slash};
    }
    // The last number of the cell: digits, ",", "." and an exponent's "E+".
    std::size_t end = cell.size();
    while (end > 0 && !Digit(cell[end - 1])) --end;
    if (end == 0) return std::nullopt;
    std::size_t start = end;
    while (start > 0) {
        const char c = cell[start - 1];
        const std::string_view before = std::string_view(cell).substr(0, start);
        const bool sign = before.ends_with("E+") || before.ends_with("E-");
        if (Digit(c) || c == ',' || c == '.' || c == 'E' || sign) {
            start -= sign ? 2 : 1;
        } else {
            break;
        }
    }
    std::size_t at = end;
    for (std::size_t i = start; i < end; ++i) {
        if (cell[i] == '.' || cell[i] == 'E') {
            at = i;
            break;
        }
    }
    return Anchor{start, at};
}

} // namespace

std::string FigureText(const Figure15& figure)
{
    return (figure.negative && figure.significand != 0 ? "-" : "") + Grouped(GeneralForm(figure));
}

std::string OneInText(const Rational& p)
{
    // A Keno game may offer more spots than it draws: some catches never happen.
    if (p <= 0) return "0 (impossible)";
    return "1 in " + FigureText(OneInFigure(p));
}

std::string PercentWords(const Figure15& percent, bool certain)
{
    if (!certain && FigureValue(percent) >= 100) return "above 99.99 %";
    return FigureText(percent) + " %";
}

std::string ChanceText(const Rational& chance)
{
    static const Rational kTiny(BigInt(1), boost::multiprecision::pow(BigInt(10), 102));
    if (chance > 0 && chance < kTiny) return "below 1E-100 %";
    return PercentWords(PercentFigure(chance * 100), chance >= 1);
}

Figure15 WholeFigure(const Rational& r)
{
    const bool negative = r < 0;
    const Rational magnitude = negative ? Rational(-r) : r;
    if (magnitude >= ExponentFormFrom()) return RoundedFigure(r);
    BigInt q = numerator(magnitude) / denominator(magnitude);
    const Rational rest = magnitude - q;
    if (rest > Rational(1, 2) || (rest == Rational(1, 2) && (q & 1) != 0)) ++q;
    Figure15 f = RatioFigure(q, 1);
    f.negative = negative && q != 0;
    return f;
}

Figure15 MoneyFigure(const Rational& amount)
{
    const Rational magnitude = amount < 0 ? Rational(-amount) : amount;
    if (magnitude >= 1000 && magnitude < ExponentFormFrom()) return WholeFigure(amount);
    return RoundedFigure(amount);
}

std::string MoneyText(const Rational& amount, std::string_view currency)
{
    std::string text = FigureText(MoneyFigure(amount));
    const Rational magnitude = amount < 0 ? Rational(-amount) : amount;
    if (magnitude < 1000 && denominator(amount) != 1) {
        const std::size_t point = text.find('.');
        if (point == std::string::npos) {
            text += ".00";
        } else if (text.size() - point == 2) {
            text += '0';
        }
    }
    // A game file without a currency counts in "units": one of them is a unit.
    if (currency == "units" && text == "1") return "1 unit";
    if (!currency.empty()) text += " " + std::string(currency);
    return text;
}

std::string Padded(std::string text, std::size_t width)
{
    text.resize(std::max(text.size(), width), ' ');
    return text;
}

std::vector<std::string> Wrapped(std::string_view text, std::string_view first, std::string_view next,
                                 std::size_t width)
{
    std::vector<std::string_view> words;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        const std::size_t end = std::min(text.find(' ', i), text.size());
        words.push_back(text.substr(i, end - i));
        i = end;
    }
    const auto letters = [](std::string_view w) {
        return std::all_of(w.begin(), w.end(), [](char c) { return std::isalpha(static_cast<unsigned char>(c)); });
    };
    // Whether words[i] must stay on the line of the word before it.
    // A word without the punctuation after it.
    const auto core = [](std::string_view w) {
        while (w.size() > 1 && std::string_view(").,;:").find(w.back()) != std::string_view::npos) w.remove_suffix(1);
        return w;
    };
    const auto held = [&](std::size_t i) {
        const std::string_view w = core(words[i]), v = words[i - 1];
        if (w == "%" || w == "=" || v == "=") return true;
        if (v == "in" && i >= 2 && words[i - 2] == "1") return true;
        // A figure and a short word after it: its unit, or the "in" of "1 in".
        return Digit(v.back()) && letters(w) && w.size() <= 5;
    };
    std::vector<std::string> lines;
    std::string line(first);
    bool empty = true;
    for (std::size_t i = 0; i < words.size();) {
        // The word with those held to it.
        std::size_t end = i + 1;
        while (end < words.size() && held(end)) ++end;
        std::string group(words[i]);
        for (std::size_t k = i + 1; k < end; ++k) group += " " + std::string(words[k]);
        i = end;
        if (!empty && line.size() + 1 + group.size() > width) {
            lines.push_back(line);
            line = std::string(next);
            empty = true;
        }
        if (!empty) line += ' ';
        line += group;
        empty = false;
    }
    if (!empty) lines.push_back(line);
    return lines;
}

void WriteWrapped(Report& report, std::string_view text, std::string_view first, std::string_view next)
{
    for (const std::string& line : Wrapped(text, first, next)) report.line(line);
}

TableFractions FractionsOf(const std::vector<Rational>& values)
{
    static const BigInt kMostDenominator = boost::multiprecision::pow(BigInt(10), 15);
    TableFractions out;
    BigInt common = 1;
    for (const Rational& v : values) {
        common = boost::multiprecision::lcm(common, denominator(v));
        if (common >= kMostDenominator) break;
    }
    out.common = common < kMostDenominator && values.size() > 1;
    for (const Rational& v : values) {
        if (out.common) {
            out.texts.push_back(BigInt(numerator(v) * (common / denominator(v))).str() + "/" + common.str());
        } else {
            out.texts.push_back(FractionText(v));
        }
    }
    return out;
}

std::vector<std::string> TextTable::padded(std::size_t column) const
{
    std::vector<std::string> cells;
    for (const auto& row : rows_) cells.push_back(column < row.size() ? row[column] : std::string());
    const Align align = column < align_.size() ? align_[column] : Align::Left;
    if (align == Align::Point || align == Align::Slash) {
        // Figures in exponent form have no place in the columns of the
        // others: they end where the widest of those ends.
        const auto exponent = [align](const std::string& c) {
            return align == Align::Point && c.find("E+") != std::string::npos;
        };
        std::size_t most = 0, after = 0;
        std::vector<std::optional<Anchor>> anchors;
        for (const std::string& c : cells) {
            anchors.push_back(FindAnchor(c, align));
            if (!anchors.back() || exponent(c)) continue;
            most = std::max(most, anchors.back()->at);
            const std::size_t end = std::min(c.find_first_not_of("0123456789./", anchors.back()->at), c.size());
            after = std::max(after, end - anchors.back()->at);
        }
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (!anchors[i]) continue;
            std::size_t shift = std::max(most, anchors[i]->at) - anchors[i]->at;
            if (exponent(cells[i])) {
                const std::size_t end = std::min(cells[i].find(' ', anchors[i]->insert), cells[i].size());
                // Where the others end, less where this one starts and its length.
                const std::size_t length = end - anchors[i]->insert, edge = most + after;
                shift = std::max(edge, anchors[i]->insert + length) - anchors[i]->insert - length;
            }
            cells[i].insert(anchors[i]->insert, shift, ' ');
        }
    }
    std::size_t width = 0;
    for (const std::string& c : cells) width = std::max(width, c.size());
    for (std::string& c : cells) {
        if (align == Align::Right) {
            c.insert(0, width - c.size(), ' ');
        } else {
            c.append(width - c.size(), ' ');
        }
    }
    return cells;
}

std::vector<std::vector<std::string>> TextTable::lines(const std::vector<Layout>& layouts, std::size_t indent,
                                                       std::size_t width) const
{
    std::size_t columns = align_.size();
    for (const auto& row : rows_) columns = std::max(columns, row.size());
    std::vector<std::vector<std::string>> cells(columns);
    std::vector<bool> used(columns, false);
    for (std::size_t c = 0; c < columns; ++c) {
        cells[c] = padded(c);
        for (const auto& row : rows_) used[c] = used[c] || (c < row.size() && !row[c].empty());
    }
    std::vector<std::vector<std::string>> out;
    for (const Layout& layout : layouts) {
        out.clear();
        std::size_t widest = 0;
        for (std::size_t r = 0; r < rows_.size(); ++r) {
            std::vector<std::string> rowLines;
            for (std::size_t n = 0; n < layout.size(); ++n) {
                std::string line = n == 0 ? std::string() : std::string(indent, ' ');
                std::optional<std::size_t> previous;
                for (const std::size_t c : layout[n]) {
                    if (c >= columns || !used[c]) continue;
                    if (previous) line += *previous == 0 ? " " : "  ";
                    line += cells[c][r];
                    previous = c;
                }
                while (!line.empty() && line.back() == ' ') line.pop_back();
                if (line.find_first_not_of(' ') == std::string::npos) continue;
                widest = std::max(widest, line.size());
                rowLines.push_back(std::move(line));
            }
            out.push_back(std::move(rowLines));
        }
        if (widest <= width) break;
    }
    return out;
}

} // namespace fortelle
