#include "platform/qt/qt_output_box.h"

#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QPrinter>

#include "platform/qt/qt_fonts.h"
#include "platform/qt/qt_printer.h"
#include "shell/report.h"

namespace fortelle {
namespace {

// Reports end their lines with CR LF, opened files with anything: every
// CR LF, lone CR and lone LF is one line break in the box.
QString BoxText(std::string_view utf8)
{
    QString text;
    if (utf8.find('\r') == std::string_view::npos) {
        text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    } else {
        // QString's own replacement of CR LF moves the rest of the text at
        // every match; on a long report that takes seconds.
        const std::string joined = CrLfToLineFeeds(utf8);
        text = QString::fromUtf8(joined.data(), static_cast<qsizetype>(joined.size()));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    return text;
}

QTextCharFormat FormatOf(const FontChoice& font, bool withColour)
{
    QTextCharFormat format;
    const QString family = QString::fromStdString(font.name);
    format.setFontFamilies({family});
    format.setFontStyleHint(StyleHintFor(family));
    format.setFontPointSize(font.size);
    format.setFontWeight(font.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(font.italic);
    format.setFontStrikeOut(font.strikethrough);
    format.setFontUnderline(font.underline);
    if (withColour) {
        format.setForeground(QColor((font.colour >> 16) & 0xFF, (font.colour >> 8) & 0xFF,
                                    font.colour & 0xFF));
    }
    return format;
}

} // namespace

void QtOutputBox::setText(std::string_view utf8) { edit_.setPlainText(BoxText(utf8)); }

std::string QtOutputBox::text() const { return edit_.toPlainText().toStdString(); }

void QtOutputBox::setSelectionFontName(std::string_view name)
{
    QTextCharFormat format;
    const QString family = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    format.setFontFamilies({family});
    format.setFontStyleHint(StyleHintFor(family));
    edit_.mergeCurrentCharFormat(format);
}

void QtOutputBox::setSelectionFontSize(double points)
{
    QTextCharFormat format;
    format.setFontPointSize(points);
    edit_.mergeCurrentCharFormat(format);
}

void QtOutputBox::setBoxBold(bool bold)
{
    QFont font = edit_.font();
    font.setBold(bold);
    edit_.setFont(font);
    // A weight chosen earlier with the font tool is part of the caret's own
    // format and would win over the box's font: set it there too.
    QTextCharFormat format;
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    edit_.mergeCurrentCharFormat(format);
}

void QtOutputBox::insertAtCaret(std::string_view utf8)
{
    const QString text = BoxText(utf8);
    if (edit_.document()->isEmpty()) {
        // Into an empty box, setting the text gives the same result as
        // inserting it at the caret (it takes the caret's format), and it is
        // hundreds of times faster on long texts. The caret stays at the
        // start, so a long report is seen from its first line; moving it to
        // the end would lay out the whole text at once, four times the cost.
        edit_.setPlainText(text);
    } else {
        edit_.textCursor().insertText(text);
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
}

void QtOutputBox::applyBoxFont(const FontChoice& font)
{
    const QTextCharFormat format = FormatOf(font, false);
    QTextCursor all(edit_.document());
    all.select(QTextCursor::Document);
    all.mergeCharFormat(format);
    edit_.mergeCurrentCharFormat(format);
    QFont boxFont = format.font();
    edit_.setFont(boxFont);
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
