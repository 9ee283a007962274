// frmFortelle: the one window of the program. The designed client area, its
// controls at their places, sits below a menu bar that holds the program's
// further features.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>

#include "games/game_file.h"
#include "platform/banner.h"
#include "platform/platform.h"
#include "platform/std_file_system.h"

class QLabel;
class QMenu;
class QPushButton;
class QPlainTextEdit;

namespace fortelle {

class QtOutputBox;
class QtPrompt;
class QtDialogs;

class MainWindow final : public QMainWindow, private Banner {
public:
    // Builds the window and runs start-up; `programFolder` becomes the
    // working directory (or the per-user data folder when it is read-only).
    explicit MainWindow(const QString& programFolder, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The designed client area, 642 x 516 pixels as the window opens.
    QWidget* client() const { return client_; }
    QPlainTextEdit* outputBox() const { return box_; }
    QLabel* banner() const { return label_; }
    QPushButton* button(const QString& name) const;
    QtPrompt& prompt() { return *prompt_; }
    QtDialogs& dialogs() { return *dialogs_; }

    // A menu entry that runs `handler` as a button click runs: to its end,
    // with the wait cursor while it works.
    QAction* addHandler(QMenu* menu, const QString& text, std::function<void(Platform&)> handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void setText(std::string_view text) override; // the banner
    // Runs a button's or menu entry's handler to its end, with the wait
    // cursor while it works.
    void run(const std::function<void(Platform&)>& handler);
    void buildMenus();
    void fillGamesMenu(QMenu* games);
    void showHelp();
    void showAbout();

    QString programFolder_;
    GameCatalog catalog_;
    std::string catalogStamp_; // the game folders as they were when catalog_ was read
    bool catalogLoaded_ = false;
    QWidget* client_ = nullptr;
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
