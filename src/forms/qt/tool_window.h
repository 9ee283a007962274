// A tool's window: the form drawn from the tool's fields, each problem
// beside its field as the user types, Calculate (Enter) computing off the
// event thread with a progress bar and Stop, the verdict and the report in
// the window at once (with a tab per chart beside the report), and Show in
// the box, Copy and Save for the result.
// Close (Escape) closes it with nothing written; the answers are remembered
// per game only when a computation succeeds.
#pragma once

#include <QDialog>
#include <functional>
#include <map>
#include <memory>
#include <set>

#include "forms/session.h"

class QGridLayout;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QHBoxLayout;
class QTabWidget;
class QTimer;
class QThread;

namespace fortelle {

class Dialogs;
class FileSystem;

class ToolWindow final : public QDialog {
    Q_OBJECT

public:
    // `showInBox` puts a report into the main window's box through the
    // report road; `dialogs` choose where an export is saved.
    ToolWindow(std::shared_ptr<const forms::Tool> tool, FileSystem& files, Dialogs& dialogs,
               std::function<void(const std::string&)> showInBox, QWidget* parent);
    ~ToolWindow() override;

    const forms::Tool& tool() const { return *tool_; }
    const forms::Session& session() const { return *session_; }
    // A value chosen from outside the window (a game from the Games menu).
    void choose(const std::string& key, const std::string& value);
    // Starts Calculate, as the button does.
    void calculate();
    // True while a computation runs.
    bool busy() const { return run_ != nullptr; }

    // The object name of the window of the tool `id`.
    static QString NameFor(const std::string& id);

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Run;
    struct Row {
        QWidget* editor = nullptr;
        QLabel* problem = nullptr;
    };

    void buildForm();
    QWidget* makeEditor(const forms::Field& field);
    void edited(const std::string& key, const std::string& value);
    void showValues();
    void showProblems();
    void finished();
    void showResult(const forms::Result& result);
    void saveExport(std::size_t index);
    void stop();

    std::shared_ptr<const forms::Tool> tool_;
    FileSystem& files_;
    Dialogs& dialogs_;
    std::function<void(const std::string&)> showInBox_;
    std::unique_ptr<forms::Memory> memory_;
    std::unique_ptr<forms::Session> session_;
    forms::Result result_;

    QWidget* form_ = nullptr;
    QGridLayout* grid_ = nullptr;
    std::string shape_; // the fields' keys, kinds, labels and options as drawn
    std::map<std::string, Row> rows_;
    std::set<std::string> touched_; // fields typed in; the others show their problems after Calculate
    bool tried_ = false;
    bool filling_ = false; // the window sets its editors' values: not the user's typing
    QLabel* formProblem_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPushButton* calculate_ = nullptr;
    QLabel* verdict_ = nullptr;
    QPlainTextEdit* report_ = nullptr;
    QTabWidget* tabs_ = nullptr; // the report, then a tab per chart
    QPushButton* showInBoxButton_ = nullptr;
    QPushButton* copy_ = nullptr;
    QHBoxLayout* exports_ = nullptr;
    std::shared_ptr<Run> run_;
    QThread* worker_ = nullptr;
    QTimer* poll_ = nullptr;
};

} // namespace fortelle
