// The common dialogs on Qt's own (non-native) dialogs, so that they behave
// the same on every desktop.
#pragma once

#include <QString>
#include <functional>

class QPrinter;

#include "platform/dialogs.h"

class QWidget;
class QDialog;

namespace fortelle {

class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent) : parent_(parent) {}

    std::optional<std::string> openFile(const FileDialogSetup& setup) override;
    std::optional<std::string> saveFile(const FileDialogSetup& setup) override;
    std::optional<FontChoice> chooseFont(const FontDialogSetup& setup) override;
    std::unique_ptr<Printer> choosePrinter(unsigned flags) override;
    void showError(std::string_view title, std::string_view text) override;

    // Called with each dialog just before it runs, so that tests and scripted
    // runs can answer it.
    std::function<void(QDialog&)> onShow;
    // Called with each new printer before its dialog opens (for example to
    // send the output to a PDF file).
    std::function<void(QPrinter&)> preparePrinter;

    // The folder the Open, Save and Print-to-file dialogs start in. Once a
    // file is chosen in one of them, they all start in that file's folder.
    void setStartFolder(const QString& folder) { startFolder_ = folder; }

private:
    QWidget* parent_;
    QString startFolder_;
    FontChoice lastFont_{"", 10.0, false, false, false, false, 0x000000};
};

// The user's documents folder, or the home folder when there is none.
QString DocumentsFolder();

} // namespace fortelle
