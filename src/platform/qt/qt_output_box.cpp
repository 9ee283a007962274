#include "platform/qt/qt_output_box.h"

#include <QPlainTextEdit>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <optional>
#include <vector>

#include "platform/qt/qt_fonts.h"
#include "platform/qt/qt_printer.h"

namespace fortelle {

// The box's text, and the length of its longest line.
struct BoxLines {
    QString text;
    qsizetype longestLine = 0;
};

namespace {

// Reports end their lines with CR LF, opened files with anything: every
// CR LF, lone CR and lone LF is one line break in the box. One pass over the
// text in place, so that a large file is not copied again; it notes the
// longest line on the way.
BoxLines BoxText(std::string_view utf8)
{
    BoxLines lines{QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))};
    QChar* out = lines.text.data();
    const QChar* in = out;
    const QChar* end = in + lines.text.size();
    const QChar* lineStart = out;
    for (; in != end; ++in) {
        const QChar c = *in; // read before `out`, which may stand on it, is written
        if (c != u'\r' && c != u'\n') {
            *out++ = c;
            continue;
        }
        lines.longestLine = std::max(lines.longestLine, static_cast<qsizetype>(out - lineStart));
        *out++ = u'\n';
        lineStart = out;
        if (c == u'\r' && in + 1 != end && in[1] == u'\n') ++in;
    }
    lines.longestLine = std::max(lines.longestLine, static_cast<qsizetype>(out - lineStart));
    lines.text.truncate(out - lines.text.constData());
    return lines;
}

// Lines longer than this are shown in pieces: laying out one line of
// millions of characters takes the box many seconds, and beyond about four
// million it shows nothing at all. The pieces are marked, so that the text
// read back joins them again.
constexpr qsizetype kLongestShownLine = 10000;
constexpr qsizetype kPiece = 1000;
constexpr int kContinuesLine = 1; // block state of a piece after the first

// The text with its long lines broken into pieces, and the numbers of the
// blocks that continue the line before them. Nothing when no line is long.
// (A paragraph separator in the text starts a block too.)
std::optional<std::pair<QString, std::vector<int>>> InPieces(const BoxLines& lines)
{
    if (lines.longestLine <= kLongestShownLine) return std::nullopt;
    const QString& text = lines.text;
    QString pieces;
    pieces.reserve(text.size() + text.size() / kPiece + 1);
    std::vector<int> continuations;
    int block = 0;
    qsizetype run = 0; // characters since the last break
    for (const QChar c : text) {
        if (c == u'\n' || c == QChar::ParagraphSeparator) { // both start a block
            run = 0;
            ++block;
        } else if (run >= kPiece && !c.isLowSurrogate()) {
            pieces += u'\n';
            continuations.push_back(++block);
            run = 0;
        }
        pieces += c;
        if (c != u'\n') ++run;
    }
    return std::pair{std::move(pieces), std::move(continuations)};
}

QFont FontOf(const FontChoice& choice)
{
    QFont font = DesignFont(QString::fromStdString(choice.name), choice.size, choice.bold);
    font.setItalic(choice.italic);
    font.setStrikeOut(choice.strikethrough);
    font.setUnderline(choice.underline);
    return font;
}

QTextCharFormat FormatOf(const FontChoice& choice, bool withColour)
{
    QTextCharFormat format;
    format.setFont(FontOf(choice), QTextCharFormat::FontPropertiesAll);
    if (withColour) {
        format.setForeground(QColor((choice.colour >> 16) & 0xFF, (choice.colour >> 8) & 0xFF, choice.colour & 0xFF));
    }
    return format;
}

} // namespace

QtOutputBox::QtOutputBox(QPlainTextEdit& edit, const QFont& reportFont) : edit_(edit), reportFont_(reportFont) {}

void QtOutputBox::replaceText(const BoxLines& lines)
{
    QFont font = reportFont_;
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    if (edit_.font() != font) {
        // Empty the box first, so that the new font does not lay out the old text.
        edit_.document()->clear();
        edit_.setFont(font);
    }
    // The document's own setPlainText: the text carries no formats of its
    // own and shows in the box's font (the widget's setPlainText would stamp
    // the caret's format onto every line of it). The caret goes to the start,
    // so a long report is seen from its first line.
    auto pieces = InPieces(lines);
    edit_.document()->setPlainText(pieces ? pieces->first : lines.text);
    piecesShown_ = pieces.has_value();
    if (pieces) {
        for (const int number : pieces->second) {
            edit_.document()->findBlockByNumber(number).setUserState(kContinuesLine);
        }
    }
    edit_.setCurrentCharFormat(QTextCharFormat());
    selectionsFormatted_ = false;
}

void QtOutputBox::setText(std::string_view utf8) { replaceText(BoxText(utf8)); }

std::string QtOutputBox::text() const
{
    // The raw text, so that no-break spaces and line separators stay what
    // they are; only the breaks between lines become line feeds, and the
    // pieces of a long line join again.
    if (!piecesShown_) {
        QString raw = edit_.document()->toRawText();
        raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        return raw.toStdString();
    }
    QString joined;
    for (QTextBlock b = edit_.document()->begin(); b.isValid(); b = b.next()) {
        if (b != edit_.document()->begin() && b.userState() != kContinuesLine) joined += u'\n';
        joined += b.text();
    }
    return joined.toStdString();
}

void QtOutputBox::setSelectionFontName(std::string_view name)
{
    const QString family = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    reportFont_.setFamily(family);
    reportFont_.setStyleHint(StyleHintFor(family));
}

void QtOutputBox::setSelectionFontSize(double points) { reportFont_.setPointSizeF(points); }

void QtOutputBox::setBoxBold(bool bold) { reportFont_.setBold(bold); }

void QtOutputBox::insertAtCaret(std::string_view utf8)
{
    if (edit_.document()->isEmpty()) {
        replaceText(BoxText(utf8));
    } else {
        edit_.textCursor().insertText(BoxText(utf8).text);
    }
}

void QtOutputBox::makeVisible() { edit_.setVisible(true); }

void QtOutputBox::giveFocus() { edit_.setFocus(Qt::OtherFocusReason); }

std::int64_t QtOutputBox::selectionLength() const
{
    const QTextCursor cursor = edit_.textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void QtOutputBox::applySelectionFont(const FontChoice& font)
{
    edit_.textCursor().mergeCharFormat(FormatOf(font, true));
    selectionsFormatted_ = true;
}

void QtOutputBox::applyBoxFont(const FontChoice& font)
{
    edit_.setFont(FontOf(font));
    if (selectionsFormatted_) {
        // Text given a font of its own takes the box's new font too; its
        // colour stays.
        QTextCursor all(edit_.document());
        all.select(QTextCursor::Document);
        all.mergeCharFormat(FormatOf(font, false));
    }
}

void QtOutputBox::printOn(Printer& printer)
{
    auto* qtPrinter = dynamic_cast<QtPrinter*>(&printer);
    if (qtPrinter == nullptr || qtPrinter->device() == nullptr) return;
    const QTextCursor cursor = edit_.textCursor();
    if (cursor.hasSelection()) {
        QTextDocument selection;
        selection.setDefaultFont(edit_.document()->defaultFont());
        QTextCursor(&selection).insertFragment(cursor.selection());
        selection.print(qtPrinter->device());
    } else {
        edit_.document()->print(qtPrinter->device());
    }
}

} // namespace fortelle
