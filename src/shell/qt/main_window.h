// frmFortelle: the one window of the program.
#pragma once

#include <QWidget>
#include <memory>

#include "platform/banner.h"
#include "platform/platform.h"
#include "platform/std_file_system.h"

class QLabel;
class QPushButton;
class QPlainTextEdit;

namespace fortelle {

class QtOutputBox;
class QtPrompt;
class QtDialogs;

class MainWindow final : public QWidget, private Banner {
public:
    // Builds the window and runs start-up; `programFolder` becomes the
    // working directory (or the per-user data folder when it is read-only).
    explicit MainWindow(const QString& programFolder, QWidget* parent = nullptr);
    ~MainWindow() override;

    QPlainTextEdit* outputBox() const { return box_; }
    QLabel* banner() const { return label_; }
    QPushButton* button(const QString& name) const;
    QtPrompt& prompt() { return *prompt_; }
    QtDialogs& dialogs() { return *dialogs_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void setText(std::string_view text) override; // the banner

    QLabel* label_ = nullptr;
    QPlainTextEdit* box_ = nullptr;
    std::unique_ptr<QtOutputBox> boxAdapter_;
    std::unique_ptr<QtPrompt> prompt_;
    std::unique_ptr<QtDialogs> dialogs_;
    StdFileSystem files_;
    std::unique_ptr<Platform> platform_;
};

// The program's icon, drawn at 16, 32 and 48 pixels square.
QIcon FortelleIcon();
QImage DrawIcon(int size);

} // namespace fortelle
