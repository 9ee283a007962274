// frmFortelle: the one window of the program. The designed client area, its
// controls at their places, sits below a menu bar that holds the program's
// further features.
#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "forms/form.h"
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
class ToolWindow;

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

    // The window of the tool `id`, opened (or raised) with `key` set to
    // `value` when a key is given, as its menu entries open it.
    ToolWindow* openTool(const std::string& id, const std::string& key = {}, const std::string& value = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void setText(std::string_view text) override; // the banner
    // Runs a button's or menu entry's handler to its end, with the wait
    // cursor while it works.
    void run(const std::function<void(Platform&)>& handler);
    void buildMenus();
    // Reads the game files again and makes the tools anew when a game folder
    // has changed, so that a game file the user adds shows without a
    // restart, and fills their menus.
    void refreshTools();
    bool loadTools(); // false: nothing changed since the last reading

    void fillToolMenus();
    void showHelp();
    void showAbout();

    QString programFolder_;
    std::shared_ptr<const GameCatalog> catalog_;
    std::string catalogStamp_; // the game folders as they were when catalog_ was read
    // Shared with the tool windows, which keep the tools they opened with.
    std::vector<std::shared_ptr<const forms::Tool>> tools_;
    std::vector<std::pair<std::string, QMenu*>> toolMenus_; // by ToolInfo::menu, in menu order
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
