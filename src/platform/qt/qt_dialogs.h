// The common dialogs on Qt's own (non-native) dialogs, so that they behave
// the same on every desktop.
#pragma once

#include <functional>

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

    // Called with each dialog just before it runs, so that tests and scripted
    // runs can answer it.
    std::function<void(QDialog&)> onShow;

private:
    QWidget* parent_;
};

} // namespace fortelle
