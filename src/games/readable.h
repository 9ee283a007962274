// How the named-game reports write their figures for people: digits grouped
// in threes, a percentage beside every "1 in X", amounts without cents from
// 1,000 on, lines no wider than the box shows at its default size (prose is
// wrapped, tables keep their columns), and fractions of a table over one
// denominator where that stays short.
//
// Every figure here is rounded once from an exact value, ties to even:
// - "1 in X": X to 2 places below 1E15, then 15 significant digits
//   (OneInFigure);
// - a percentage: to 2 places, or to 3 significant digits below 0.01 %
//   (PercentFigure); "below 1E-100 %" under that;
// - an amount: to the cent below 1,000 (two decimals unless the amount is
//   whole), to the whole unit from 1,000 on, to 15 significant digits from
//   1E15 on (MoneyFigure);
// - a count of time: to the whole unit (WholeFigure).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "games/game_file.h"
#include "shell/print_style.h"
#include "shell/report.h"

namespace fortelle {

// The widest line the box shows whole at its default size.
inline constexpr std::size_t kReportWidth = 76;

// A figure in general form, grouped.
std::string FigureText(const Figure15& figure);

// "1 in 292,201,338" for a chance above 0, "0 (impossible)" for 0.
std::string OneInText(const Rational& p);
// A chance (0 to 1) as a percentage: "4.02 %", "0.000000342 %", "100 %";
// "above 99.99 %" for a chance short of certain that rounds to 100.
std::string ChanceText(const Rational& chance);
// A percentage figure (PercentFigure's) as text, grouped.
std::string PercentWords(const Figure15& percent, bool certain);

// Rounded to the whole unit below 1E15 (ties to even), then to 15
// significant digits.
Figure15 WholeFigure(const Rational& r);
// An amount's figure: see above.
Figure15 MoneyFigure(const Rational& amount);
// "2,054,209,226 USD", "2.50 EUR", "2 USD", "0.00 USD" (a positive amount
// below half a cent).
std::string MoneyText(const Rational& amount, std::string_view currency);

// The text with blanks after it up to `width` characters.
std::string Padded(std::string text, std::size_t width);

// The words of `text` on lines of at most `width` characters, the first
// starting with `first`, the others with `next` (a word longer than a line
// stands alone). A figure stays with what names it: "1 in 24.87", "2 USD",
// "4.02 %", "p = 1/3" are never broken.
std::vector<std::string> Wrapped(std::string_view text, std::string_view first = " ", std::string_view next = " ",
                                 std::size_t width = kReportWidth);
// The same, written into a report.
void WriteWrapped(Report& report, std::string_view text, std::string_view first = " ", std::string_view next = " ");

// A fraction of a table's column: "25/292201338".
struct TableFractions {
    std::vector<std::string> texts; // one per value, in lowest terms or over the common denominator
    bool common = false;            // over one denominator
};
// The values over their least common denominator when it has at most 15
// digits, otherwise each in lowest terms ("0/1" for zero).
TableFractions FractionsOf(const std::vector<Rational>& values);

// A table whose rows may go on over further lines when a row does not fit
// the width: each column is padded to its widest cell, so a column keeps
// its place on every row, whichever line of the row it stands on.
class TextTable {
public:
    enum class Align {
        Left,
        Right,
        Point, // on the decimal point of the number in the cell (or after its last digit)
        Slash, // on the "/" of a fraction
    };
    // The lines of one row: each a list of column indices.
    using Layout = std::vector<std::vector<std::size_t>>;

    explicit TextTable(std::vector<Align> columns) : align_(std::move(columns)) {}
    void row(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }

    // Each row's lines under the first of `layouts` whose lines all fit
    // `width` (or the last). A row's first line starts with its column 0
    // (the row's name, "~ 5+PB 5 white + Powerball ->"), one blank before
    // the next cell; the lines after it start with `indent` blanks. Cells
    // are two blanks apart; a column empty on every row is left out, and
    // so are blanks at the end of a line.
    std::vector<std::vector<std::string>> lines(const std::vector<Layout>& layouts, std::size_t indent,
                                                std::size_t width = kReportWidth) const;

private:
    std::vector<std::string> padded(std::size_t column) const;
    std::vector<Align> align_;
    std::vector<std::vector<std::string>> rows_;
};

} // namespace fortelle
