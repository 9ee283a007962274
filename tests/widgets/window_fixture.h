// A main window started in a temporary program folder, with helpers to
// answer its prompts.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <deque>
#include <gtest/gtest.h>
#include <optional>

#include "platform/qt/qt_prompt.h"
#include "shell/qt/main_window.h"
#include "temp_folder.h"

namespace fortelle::testing {

class WindowTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::unique_ptr<MainWindow> window;
    // Answers for the next prompts: text to type, or nothing to cancel.
    std::deque<std::optional<QString>> answers;
    struct Seen {
        QString title, message, offered, accessibleName;
        Qt::CursorShape cursorBefore, cursorWhileAsking; // the pointer's override
    };
    std::vector<Seen> seen;

    void SetUp() override
    {
        window = std::make_unique<MainWindow>(QString::fromStdString(folder.path().string()));
        window->prompt().onShow = [this](QDialog& dialog) {
            auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("answer"));
            auto* message = dialog.findChild<QWidget*>(QStringLiteral("message"));
            seen.push_back({dialog.windowTitle(), message->property("text").toString(), field->text(),
                            field->accessibleName(), OverrideCursor(), Qt::BitmapCursor});
            std::optional<QString> answer;
            if (!answers.empty()) {
                answer = answers.front();
                answers.pop_front();
            }
            // Answer once the dialog's own event loop runs.
            QMetaObject::invokeMethod(
                &dialog,
                [this, &dialog, field, answer] {
                    seen.back().cursorWhileAsking = OverrideCursor();
                    if (answer) {
                        field->setText(*answer);
                        dialog.accept();
                    } else {
                        dialog.reject();
                    }
                },
                Qt::QueuedConnection);
        };
        window->show();
        // Focus moves only within the active window.
        window->activateWindow();
        QApplication::processEvents();
    }

    void click(const char* name)
    {
        QPushButton* button = window->button(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        button->click();
    }

    static Qt::CursorShape OverrideCursor()
    {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        return cursor ? cursor->shape() : Qt::BitmapCursor; // none
    }

    QString boxText() const { return window->outputBox()->toPlainText(); }

    // The font of the character at `position` in the box.
    QFont fontAt(int position) const
    {
        QTextCursor cursor(window->outputBox()->document());
        cursor.setPosition(position + 1);
        // What the character's own format leaves open, the box's font gives.
        return cursor.charFormat().font().resolve(window->outputBox()->document()->defaultFont());
    }

    // Reports show in Courier (a monospaced face here), 10 points, bold.
    void expectReportFont(int position) const
    {
        const QFont font = fontAt(position);
        EXPECT_EQ(font.pointSizeF(), 10) << position;
        EXPECT_TRUE(font.bold()) << position;
        EXPECT_TRUE(QFontInfo(font).fixedPitch()) << position;
    }

    // Report bytes as the box shows them: one line feed per line break.
    static QString Lf(const std::string& report)
    {
        return QString::fromStdString(report).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    }
};

} // namespace fortelle::testing
