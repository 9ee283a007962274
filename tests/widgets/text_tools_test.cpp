// The text tools in the real window with Qt's own dialogs, answered by the
// tests; printing goes to PDF and is read back with pdftotext.
#include <QCheckBox>
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
#include <QTextCursor>

#include "platform/qt/qt_dialogs.h"
#include "shell/texts.h"
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

    // Answers every file dialog with `path`, or cancels it when empty.
    void answerFiles(const QString& path)
    {
        window->dialogs().onShow = [this, path](QDialog& dialog) {
            titles.push_back(dialog.windowTitle());
            auto* files = qobject_cast<QFileDialog*>(&dialog);
            ASSERT_NE(files, nullptr);
            Later(dialog, [files, path] {
                if (path.isEmpty()) {
                    files->reject();
                } else {
                    files->selectFile(path);
                    QMetaObject::invokeMethod(files, "accept");
                }
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
    // dialog's range to all pages before confirming.
    bool printToPdf(const QString& pdf, bool confirm, bool switchToAll, unsigned* flagsSeen = nullptr)
    {
        window->dialogs().preparePrinter = [pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
        };
        bool shown = false;
        window->dialogs().onShow = [&, confirm, switchToAll](QDialog& dialog) {
            shown = true;
            auto* print = qobject_cast<QPrintDialog*>(&dialog);
            ASSERT_NE(print, nullptr);
            if (flagsSeen) {
                *flagsSeen = (print->testOption(QAbstractPrintDialog::PrintPageRange) ? 0 : 8) +
                             (print->printRange() == QAbstractPrintDialog::Selection ? 1 : 0);
            }
            Later(dialog, [print, confirm, switchToAll] {
                if (switchToAll) print->setPrintRange(QAbstractPrintDialog::AllPages);
                if (confirm) {
                    print->accept();
                } else {
                    print->reject();
                }
            });
        };
        click("Print");
        return shown;
    }
};

TEST_F(TextTools, OpenShowsTheRealDialogAndReadsTheFile)
{
    folder.write("games.txt", "line one\r\nline two\r\n");
    QStringList filters;
    QString offered;
    QStringList modelFilters;
    window->dialogs().onShow = [&](QDialog& dialog) {
        auto* files = qobject_cast<QFileDialog*>(&dialog);
        ASSERT_NE(files, nullptr);
        titles.push_back(files->windowTitle());
        filters = files->nameFilters();
        offered = files->selectedFiles().value(0);
        if (auto* model = files->findChild<QFileSystemModel*>()) modelFilters = model->nameFilters();
        const QString path = QString::fromStdString((folder.path() / "games.txt").string());
        Later(dialog, [files, path] {
            files->selectFile(path);
            QMetaObject::invokeMethod(files, "accept");
        });
    };
    click("Open");
    EXPECT_EQ(titles, std::vector<QString>{"Open File"});
    EXPECT_EQ(filters, QStringList{"All (*.*)"});
    EXPECT_TRUE(offered.endsWith("GAMES.5")) << offered.toStdString();
    EXPECT_EQ(modelFilters, QStringList{"*"}); // files without a dot show too
    EXPECT_EQ(boxText(), "line one\nline two\n");
    // The box is the window's focus widget (the dialog took the activation
    // with it, so the window itself is not active here).
    EXPECT_EQ(window->focusWidget(), window->outputBox());
    answerFiles(QString());
    click("Open");
    EXPECT_EQ(boxText(), ""); // a cancelled Open leaves the box empty
}

TEST_F(TextTools, SaveWritesCrLfAndCancelWritesNothing)
{
    answerFiles(QString());
    click("Save");
    EXPECT_EQ(titles, std::vector<QString>{"Save Combinations"});
    EXPECT_FALSE(folder.has("Zavix.Odds"));

    const QString path = QString::fromStdString((folder.path() / "saved.odds").string());
    answerFiles(path);
    click("Save");
    EXPECT_EQ(folder.read("saved.odds"),
              " \xE2\x80\xA2 Click on a button to calculate the odds (probability) for that game.\r\n"
              " \xE2\x80\xA2 The calculations will be displayed in this text box.\r\n\r\n"
              " \xE2\x80\xA2 Visit the Fortelle project's web site for more information: \r\n"
              "   https://fortelle.example.org/odds\r\n");
    // And back again.
    answerFiles(path);
    click("Open");
    EXPECT_EQ(boxText().toStdString(), std::string(kGreetingText));

    // Every character of a file comes back, only line ends become CR LF: a
    // no-break space, a line separator, a tab, a lone CR.
    folder.write("exotic.txt", "a\xC2\xA0" "b\xE2\x80\xA8" "c\td\re\n\xE2\x80\xAF\xEF\xBB\xBF");
    answerFiles(QString::fromStdString((folder.path() / "exotic.txt").string()));
    click("Open");
    answerFiles(path);
    click("Save");
    EXPECT_EQ(folder.read("saved.odds"), "a\xC2\xA0" "b\xE2\x80\xA8" "c\td\r\ne\r\n\xE2\x80\xAF\xEF\xBB\xBF");
}

TEST_F(TextTools, AVeryLongLineShowsScrollsAndSavesUnchanged)
{
    const std::string line = "start" + std::string(5 << 20, 'x') + "\xC2\xA0" "end";
    folder.write("long.txt", "short\r\n" + line + "\r\nlast");
    answerFiles(QString::fromStdString((folder.path() / "long.txt").string()));
    click("Open");
    QApplication::processEvents();
    EXPECT_GT(window->outputBox()->horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(window->outputBox()->verticalScrollBar()->maximum(), 0);
    EXPECT_TRUE(boxText().startsWith("short\nstartxxx"));
    answerFiles(QString::fromStdString((folder.path() / "saved.txt").string()));
    click("Save");
    EXPECT_TRUE(folder.read("saved.txt") == "short\r\n" + line + "\r\nlast"); // too long to print
}

TEST_F(TextTools, EditShowsTheHelpAndTakesTheFocus)
{
    click("Edit");
    const QStringList lines = boxText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 9);
    EXPECT_EQ(lines[0], "You can edit files in this option.");
    EXPECT_EQ(lines[7], "When done editing, click Save to save to file.");
    EXPECT_EQ(lines[8], "");
    ASSERT_TRUE(window->isActiveWindow());
    EXPECT_TRUE(window->outputBox()->hasFocus());
}

TEST_F(TextTools, PrintWithoutSelectionPrintsTheWholeText)
{
    const QString pdf = QString::fromStdString((folder.path() / "whole.pdf").string());
    unsigned flags = 0;
    ASSERT_TRUE(printToPdf(pdf, true, false, &flags));
    EXPECT_EQ(flags, 8u);
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains("Click on a button")) << text.toStdString();
    EXPECT_TRUE(text.contains("https://fortelle.example.org/odds"));
    const QString none = QString::fromStdString((folder.path() / "none.pdf").string());
    ASSERT_TRUE(printToPdf(none, false, false));
    EXPECT_FALSE(folder.has("none.pdf")); // cancelled: nothing printed
}

TEST_F(TextTools, PrintWithSelectionPrintsOnlyTheSelectionWhateverTheRange)
{
    QTextCursor cursor(window->outputBox()->document());
    cursor.movePosition(QTextCursor::Down);
    cursor.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
    window->outputBox()->setTextCursor(cursor);
    const QString pdf = QString::fromStdString((folder.path() / "selection.pdf").string());
    unsigned flags = 0;
    ASSERT_TRUE(printToPdf(pdf, true, true, &flags));
    EXPECT_EQ(flags, 9u);
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains("The calculations will be displayed")) << text.toStdString();
    EXPECT_FALSE(text.contains("Click on a button")) << text.toStdString();
}

TEST_F(TextTools, FontDialogPresetsCourierNew10AndRemembersStyles)
{
    struct Opened {
        double size;
        bool bold, italic, underline, strikeOut;
        QString colour;
    };
    std::vector<Opened> opened;
    bool cancel = false;
    window->dialogs().onShow = [&](QDialog& dialog) {
        auto* fonts = dialog.findChild<QFontDialog*>(QStringLiteral("fonts"));
        auto* colour = dialog.findChild<QComboBox*>(QStringLiteral("colour"));
        ASSERT_TRUE(fonts && colour);
        const QFont f = fonts->currentFont();
        opened.push_back({f.pointSizeF(), f.bold(), f.italic(), f.underline(), f.strikeOut(),
                          colour->currentText()});
        Later(dialog, [&dialog, fonts, colour, cancel] {
            if (cancel) {
                dialog.reject();
                return;
            }
            QFont chosen = fonts->currentFont();
            chosen.setStyleName(QString()); // the styles below, not the listed style
            chosen.setPointSize(14);
            chosen.setBold(true);
            chosen.setItalic(true);
            chosen.setUnderline(true);
            fonts->setCurrentFont(chosen);
            colour->setCurrentIndex(colour->findText(QStringLiteral("Red")));
            dialog.accept();
        });
    };
    // First click, no selection: the whole box takes name, size and styles,
    // not the colour.
    click("Font");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].size, 10);
    EXPECT_FALSE(opened[0].bold || opened[0].italic || opened[0].underline || opened[0].strikeOut);
    EXPECT_EQ(opened[0].colour, "Black");
    QFont whole = fontAt(3);
    EXPECT_EQ(whole.pointSizeF(), 14);
    EXPECT_TRUE(whole.italic());
    EXPECT_TRUE(whole.underline());
    QTextCursor probe(window->outputBox()->document());
    probe.setPosition(4);
    EXPECT_NE(probe.charFormat().foreground().color(), QColor(Qt::red));

    // Second click opens with the first click's styles and colour, and still
    // at size 10; with a selection only the selection changes, colour too.
    QTextCursor cursor(window->outputBox()->document());
    cursor.setPosition(0);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    window->outputBox()->setTextCursor(cursor);
    click("Font");
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1].size, 10);
    EXPECT_TRUE(opened[1].bold && opened[1].italic && opened[1].underline)
        << opened[1].bold << opened[1].italic << opened[1].underline;
    EXPECT_EQ(opened[1].colour, "Red");
    probe.setPosition(3);
    EXPECT_EQ(probe.charFormat().foreground().color(), QColor(Qt::red));
    probe.setPosition(20);
    EXPECT_NE(probe.charFormat().foreground().color(), QColor(Qt::red));

    // Cancel changes nothing.
    const QString html = window->outputBox()->document()->toHtml();
    cancel = true;
    click("Font");
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
            QMetaObject::invokeMethod(&dialog, [&] {
                leftOpen = dialog.isVisible();
                if (leftOpen) dialog.accept();
            }, Qt::QueuedConnection);
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
    const QString opened = QString::fromStdString((folder.path() / "opened.txt").string());
    for (const char* next : {"Pick3", "Horses", "Edit", "StdDev", "Open"}) {
        // A colour, italic and underline on a selection, then a font on the
        // whole box.
        for (const int selected : {5, 0}) {
            QTextCursor cursor(window->outputBox()->document());
            cursor.setPosition(0);
            cursor.setPosition(selected, QTextCursor::KeepAnchor);
            window->outputBox()->setTextCursor(cursor);
            window->dialogs().onShow = [](QDialog& dialog) {
                auto* fonts = dialog.findChild<QFontDialog*>(QStringLiteral("fonts"));
                auto* colour = dialog.findChild<QComboBox*>(QStringLiteral("colour"));
                Later(dialog, [&dialog, fonts, colour] {
                    QFont chosen(QStringLiteral("Liberation Serif"));
                    chosen.setPointSize(16);
                    chosen.setItalic(true);
                    chosen.setUnderline(true);
                    chosen.setStrikeOut(true);
                    fonts->setCurrentFont(chosen);
                    colour->setCurrentIndex(colour->findText(QStringLiteral("White")));
                    dialog.accept();
                });
            };
            click("Font");
        }
        ASSERT_TRUE(fontAt(3).italic());
        answers = {std::nullopt};
        answerFiles(opened);
        click(next);
        SCOPED_TRACE(next);
        ASSERT_GT(boxText().size(), 10);
        for (int position : {0, 3, static_cast<int>(boxText().size()) - 2}) {
            expectReportFont(position);
            const QFont font = fontAt(position);
            EXPECT_FALSE(font.italic() || font.underline() || font.strikeOut()) << position;
            QTextCursor probe(window->outputBox()->document());
            probe.setPosition(position + 1);
            EXPECT_FALSE(probe.charFormat().hasProperty(QTextFormat::ForegroundBrush)) << position;
        }
    }
}

TEST_F(TextTools, TabLeavesTheBoxAlongTheTabOrder)
{
    for (const auto& [modifiers, expected] : {std::pair{Qt::NoModifier, "Pick4"},
                                              std::pair{Qt::ShiftModifier, "Pick3"}}) {
        window->outputBox()->setFocus();
        const QString before = boxText();
        // As the keyboard sends it: the tab character with the key.
        QKeyEvent tab(QEvent::KeyPress, modifiers == Qt::ShiftModifier ? Qt::Key_Backtab : Qt::Key_Tab,
                      modifiers, QStringLiteral("\t"));
        QApplication::sendEvent(window->outputBox(), &tab);
        EXPECT_EQ(window->focusWidget()->objectName(), expected);
        EXPECT_EQ(boxText(), before);
    }
}

} // namespace
} // namespace fortelle
