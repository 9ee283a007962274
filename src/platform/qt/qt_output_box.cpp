#include "platform/qt/qt_output_box.h"

#include <QPlainTextEdit>
#include <QPrinter>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include "platform/qt/qt_fonts.h"
#include "platform/qt/qt_printer.h"
#include "shell/report.h"

namespace fortelle {
namespace {

// Reports end their lines with CR LF, opened files with anything: every
// CR LF, lone CR and lone LF is one line break in the box.
QString BoxText(std::string_view utf8)
{
    if (utf8.find('\r') == std::string_view::npos) {
        return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    }
    // QString's own replacement of CR LF moves the rest of the text at every
    // match; on a long report that takes seconds.
    const std::string joined = CrLfToLineFeeds(utf8);
    QString text = QString::fromUtf8(joined.data(), static_cast<qsizetype>(joined.size()));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
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
        format.setForeground(QColor((choice.colour >> 16) & 0xFF, (choice.colour >> 8) & 0xFF,
                                    choice.colour & 0xFF));
    }
    return format;
}

} // namespace

QtOutputBox::QtOutputBox(QPlainTextEdit& edit, const QFont& reportFont)
    : edit_(edit), reportFont_(reportFont)
{
}

void QtOutputBox::replaceText(const QString& text)
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
    edit_.document()->setPlainText(text);
    edit_.setCurrentCharFormat(QTextCharFormat());
    selectionsFormatted_ = false;
}

void QtOutputBox::setText(std::string_view utf8) { replaceText(BoxText(utf8)); }

std::string QtOutputBox::text() const
{
    // The raw text, so that no-break spaces and line separators stay what
    // they are; only the breaks between lines become line feeds.
    QString raw = edit_.document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return raw.toStdString();
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
        edit_.textCursor().insertText(BoxText(utf8));
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
