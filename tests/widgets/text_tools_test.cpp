// The text tools in the real window with Qt's own dialogs, answered by the
// tests; printing goes to PDF and is read back with pdftotext.
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_output_box.h"
#include "window_fixture.h"

namespace fortelle {
namespace {

using testing::WindowTest;

// Runs `answer` on the dialog once its own event loop runs.
void Later(QDialog& dialog, std::function<void()> answer)
{
    QMetaObject::invokeMethod(&dialog, std::move(answer), Qt::QueuedConnection);
}

class TextTools : public WindowTest {
protected:
    std::vector<QString> titles;

    QString path(const char* name) const { return QString::fromStdString((folder.path() / name).string()); }

    void select(int from, int to)
    {
        QTextCursor cursor(window->outputBox()->document());
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        window->outputBox()->setTextCursor(cursor);
    }

    // Answers the font dialog with `chosen` and `colour` (nothing cancels),
    // noting the font and colour it opened with.
    std::vector<std::pair<QFont, QString>> fontsOffered;
    void answerFont(std::optional<QFont> chosen, const char* colour)
    {
        window->dialogs().onShow = [this, chosen, colour](QDialog& dialog) {
            auto* fonts = dialog.findChild<QFontDialog*>(QStringLiteral("fonts"));
            auto* colours = dialog.findChild<QComboBox*>(QStringLiteral("colour"));
            ASSERT_TRUE(fonts && colours);
            fontsOffered.emplace_back(fonts->currentFont(), colours->currentText());
            Later(dialog, [&dialog, fonts, colours, chosen, colour] {
                if (!chosen) return dialog.reject();
                fonts->setCurrentFont(*chosen);
                colours->setCurrentIndex(colours->findText(QString::fromLatin1(colour)));
                dialog.accept();
            });
        };
    }

    // The colour a character was given, if any.
    QColor colourAt(int position) const
    {
        QTextCursor probe(window->outputBox()->document());
        probe.setPosition(position + 1);
        return probe.charFormat().hasProperty(QTextFormat::ForegroundBrush) ? probe.charFormat().foreground().color()
                                                                            : QColor();
    }

    // Answers every file dialog with `path`, or cancels it when empty,
    // noting what it showed.
    struct FileDialogSeen {
        QStringList filters, modelFilters;
        QString offered;
    } fileDialog;
    void answerFiles(const QString& path)
    {
        window->dialogs().onShow = [this, path](QDialog& dialog) {
            titles.push_back(dialog.windowTitle());
            auto* files = qobject_cast<QFileDialog*>(&dialog);
            ASSERT_NE(files, nullptr);
            auto* model = files->findChild<QFileSystemModel*>();
            fileDialog = {files->nameFilters(), model ? model->nameFilters() : QStringList(),
                          files->selectedFiles().value(0)};
            Later(dialog, [files, path] {
                if (path.isEmpty()) return files->reject();
                files->selectFile(path);
                QMetaObject::invokeMethod(files, "accept");
            });
        };
    }

    QString pdfText(const QString& pdf)
    {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        if (!p.waitForFinished(20000)) return QStringLiteral("<pdftotext failed>");
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    // Prints through the real print dialog into a PDF; `switchToAll` sets the
    // dialog's range to all pages before confirming. Returns the options the
    // dialog opened with (8: no page range, 1: selection), or -1 if none opened.
    int printToPdf(const QString& pdf, bool confirm, bool switchToAll)
    {
        window->dialogs().preparePrinter = [pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
        };
        int flags = -1;
        window->dialogs().onShow = [&, confirm, switchToAll](QDialog& dialog) {
            auto* print = qobject_cast<QPrintDialog*>(&dialog);
            ASSERT_NE(print, nullptr);
            flags = (print->testOption(QAbstractPrintDialog::PrintPageRange) ? 0 : 8) +
                    (print->printRange() == QAbstractPrintDialog::Selection ? 1 : 0);
            Later(dialog, [print, confirm, switchToAll] {
                if (switchToAll) print->setPrintRange(QAbstractPrintDialog::AllPages);
                confirm ? print->accept() : print->reject();
            });
        };
        click("Print");
        return flags;
    }
};

TEST_F(TextTools, OpenShowsTheRealDialogAndReadsTheFile)
{
    folder.write("games.txt", "line one\r\nline two\r\n");
    answerFiles(path("games.txt"));
    click("Open");
    EXPECT_EQ(titles, std::vector<QString>{"Open File"});
    EXPECT_EQ(fileDialog.filters, QStringList{"All (*.*)"});
    EXPECT_TRUE(fileDialog.offered.endsWith("GAMES.5")) << fileDialog.offered.toStdString();
    EXPECT_EQ(fileDialog.modelFilters, QStringList{"*"}); // files without a dot show too
    EXPECT_EQ(boxText(), "line one\nline two\n");
    // The box is the window's focus widget (the dialog took the activation
    // with it, so the window itself is not active here).
    EXPECT_EQ(window->focusWidget(), window->outputBox());
    answerFiles(QString());
    click("Open");
    EXPECT_EQ(boxText(), ""); // a cancelled Open leaves the box empty
}

TEST_F(TextTools, SaveCancelledWritesNothingAndOpenThenSaveKeepsEveryCharacter)
{
    answerFiles(QString());
    click("Save");
    EXPECT_EQ(titles, std::vector<QString>{"Save Combinations"});
    EXPECT_FALSE(folder.has("Zavix.Odds"));
    // Only line ends become CR LF: a no-break space, a line separator, a
    // tab, a lone CR and a byte-order mark come back as they were.
    folder.write("exotic.txt", "a\xC2\xA0"
                               "b\xE2\x80\xA8"
                               "c\td\re\n\xE2\x80\xAF\xEF\xBB\xBF");
    answerFiles(path("exotic.txt"));
    click("Open");
    answerFiles(path("saved.odds"));
    click("Save");
    EXPECT_EQ(folder.read("saved.odds"), "a\xC2\xA0"
                                         "b\xE2\x80\xA8"
                                         "c\td\r\ne\r\n\xE2\x80\xAF\xEF\xBB\xBF");
}

TEST_F(TextTools, AVeryLongLineShowsScrollsAndSavesUnchanged)
{
    const std::string line = "start" + std::string(5 << 20, 'x') +
                             "\xC2\xA0"
                             "end";
    folder.write("long.txt", "short\r\n" + line + "\r\nlast");
    answerFiles(path("long.txt"));
    click("Open");
    QApplication::processEvents();
    EXPECT_GT(window->outputBox()->horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(window->outputBox()->verticalScrollBar()->maximum(), 0);
    EXPECT_TRUE(boxText().startsWith("short\nstartxxx"));
    answerFiles(path("saved.txt"));
    click("Save");
    EXPECT_TRUE(folder.read("saved.txt") == "short\r\n" + line + "\r\nlast"); // too long to print
}

TEST_F(TextTools, PrintPrintsTheSelectionOrElseTheWholeText)
{
    EXPECT_EQ(printToPdf(path("none.pdf"), false, false), 8);
    EXPECT_FALSE(folder.has("none.pdf")); // cancelled: nothing printed
    EXPECT_EQ(printToPdf(path("whole.pdf"), true, false), 8);
    QString text = pdfText(path("whole.pdf"));
    EXPECT_TRUE(text.contains("Click on a button") && text.contains("https://fortelle.example.org/odds"))
        << text.toStdString();
    // A selection prints alone, whatever range the dialog was left at.
    const int second = static_cast<int>(boxText().indexOf(u'\n')) + 1;
    select(second, static_cast<int>(boxText().indexOf(u'\n', second)));
    EXPECT_EQ(printToPdf(path("selection.pdf"), true, true), 9);
    text = pdfText(path("selection.pdf"));
    EXPECT_TRUE(text.contains("The calculations will be displayed")) << text.toStdString();
    EXPECT_FALSE(text.contains("Click on a button")) << text.toStdString();
}

TEST_F(TextTools, FontDialogPresetsCourierNew10AndRemembersStyles)
{
    QFont chosen(QStringLiteral("Liberation Serif"));
    chosen.setPointSize(14);
    chosen.setBold(true);
    chosen.setItalic(true);
    chosen.setUnderline(true);
    answerFont(chosen, "Red");
    // No selection: the whole box takes name, size and styles, not the colour.
    click("Font");
    ASSERT_EQ(fontsOffered.size(), 1u);
    const auto& [first, firstColour] = fontsOffered[0];
    EXPECT_EQ(first.pointSizeF(), 10);
    EXPECT_FALSE(first.bold() || first.italic() || first.underline() || first.strikeOut());
    EXPECT_EQ(firstColour, "Black");
    EXPECT_EQ(fontAt(3).pointSizeF(), 14);
    EXPECT_TRUE(fontAt(3).italic() && fontAt(3).underline());
    EXPECT_FALSE(colourAt(4).isValid());

    // The second opens with the first's styles and colour, still at size 10;
    // with a selection only the selection changes, colour too.
    select(0, 5);
    click("Font");
    ASSERT_EQ(fontsOffered.size(), 2u);
    const auto& [second, secondColour] = fontsOffered[1];
    EXPECT_EQ(second.pointSizeF(), 10);
    EXPECT_TRUE(second.bold() && second.italic() && second.underline());
    EXPECT_EQ(secondColour, "Red");
    EXPECT_EQ(colourAt(3), QColor(Qt::red));
    EXPECT_FALSE(colourAt(20).isValid());

    const QString html = window->outputBox()->document()->toHtml();
    answerFont(std::nullopt, "");
    click("Font"); // cancelled: nothing changes
    EXPECT_EQ(window->outputBox()->document()->toHtml(), html);
}

TEST_F(TextTools, EscapeCancelsTheWholeFontDialog)
{
    bool leftOpen = false;
    window->dialogs().onShow = [&](QDialog& dialog) {
        Later(dialog, [&] {
            // The key as it arrives from the font name field.
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(dialog.findChild<QFontDialog*>()->findChild<QLineEdit*>(), &escape);
            // Still open after the key: close it, so that the test can tell.
            QMetaObject::invokeMethod(
                &dialog,
                [&] {
                    leftOpen = dialog.isVisible();
                    if (leftOpen) dialog.accept();
                },
                Qt::QueuedConnection);
        });
    };
    window->button("Pick3")->setFocus();
    const QString html = window->outputBox()->document()->toHtml();
    click("Font");
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(window->outputBox()->document()->toHtml(), html);
    EXPECT_EQ(window->focusWidget(), window->button("Pick3"));
}

TEST_F(TextTools, NewTextStartsFromTheReportFontWhateverFontWasApplied)
{
    folder.write("opened.txt", "an opened file\n");
    QFont chosen(QStringLiteral("Liberation Serif"));
    chosen.setPointSize(16);
    chosen.setItalic(true);
    chosen.setUnderline(true);
    chosen.setStrikeOut(true);
    for (const char* next : {"Pick3", "Horses", "Edit", "StdDev", "Open"}) {
        // A colour, italic and underline on a selection, then a font on the
        // whole box.
        answerFont(chosen, "White");
        for (const int selected : {5, 0}) {
            select(0, selected);
            click("Font");
        }
        ASSERT_TRUE(fontAt(3).italic());
        answers = {std::nullopt};
        answerFiles(path("opened.txt"));
        click(next);
        SCOPED_TRACE(next);
        ASSERT_GT(boxText().size(), 10);
        for (int position : {0, 3, static_cast<int>(boxText().size()) - 2}) {
            expectReportFont(position);
            const QFont font = fontAt(position);
            EXPECT_FALSE(font.italic() || font.underline() || font.strikeOut()) << position;
            EXPECT_FALSE(colourAt(position).isValid()) << position;
        }
    }
}

TEST_F(TextTools, TabLeavesTheBoxAlongTheTabOrder)
{
    for (const auto& [modifiers, expected] :
         {std::pair{Qt::NoModifier, "Pick4"}, std::pair{Qt::ShiftModifier, "Pick3"}}) {
        window->outputBox()->setFocus();
        const QString before = boxText();
        // As the keyboard sends it: the tab character with the key.
        QKeyEvent tab(QEvent::KeyPress, modifiers == Qt::ShiftModifier ? Qt::Key_Backtab : Qt::Key_Tab, modifiers,
                      QStringLiteral("\t"));
        QApplication::sendEvent(window->outputBox(), &tab);
        EXPECT_EQ(window->focusWidget()->objectName(), expected);
        EXPECT_EQ(boxText(), before);
    }
}

TEST(OutputBoxText, EveryKindOfLineBreakAndLongLinesInPieces)
{
    QPlainTextEdit edit;
    QtOutputBox box(edit, QFont());
    const auto blocks = [&](const std::string& text) {
        box.setText(text);
        return edit.document()->blockCount();
    };
    EXPECT_EQ(blocks("a\r\nb\rc\nd\r"), 5);
    EXPECT_EQ(box.text(), "a\nb\nc\nd\n");
    const std::string x(10000, 'x');
    EXPECT_EQ(blocks(x + "\r\n"), 2);                    // at the limit: still one line
    EXPECT_EQ(blocks("s\n" + x + "y\nend"), 1 + 11 + 1); // past it: a piece per thousand characters
    EXPECT_EQ(box.text(), "s\n" + x + "y\nend");
    // A character of two halves stays whole.
    EXPECT_EQ(blocks(std::string(999, 'x') + "\xF0\x9F\x98\x80" + x), 11);
    EXPECT_EQ(edit.document()->firstBlock().length(), 999 + 2 + 1);
}

} // namespace
} // namespace fortelle
