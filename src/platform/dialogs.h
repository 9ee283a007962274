// The common dialogs: file open and save, font, print, and the message box
// that tells the user a request failed.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/output_box.h"

namespace fortelle {

class Printer {
public:
    virtual ~Printer() = default;
    // Ends the printed document so that the job goes to the printer.
    virtual void endDocument() = 0;
};

struct FileDialogSetup {
    std::string title;
    std::string filter;   // "description|pattern"
    unsigned flags = 0;   // option bits, as the dialogs have always taken them
    std::string fileName; // offered name
};

struct FontDialogSetup {
    unsigned flags = 0;
    // Name and size the dialog opens with. Bold, italic, strikethrough,
    // underline and colour are not preset: the dialog opens with what it
    // returned last time (all off and black at first).
    FontChoice preset;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Each returns nothing when the user cancels.
    virtual std::optional<std::string> openFile(const FileDialogSetup& setup) = 0;
    virtual std::optional<std::string> saveFile(const FileDialogSetup& setup) = 0;
    virtual std::optional<FontChoice> chooseFont(const FontDialogSetup& setup) = 0;
    // The printer the user confirmed, or nothing on Cancel.
    virtual std::unique_ptr<Printer> choosePrinter(unsigned flags) = 0;
    // A modal message naming what failed and why; returns when it is closed.
    virtual void showError(std::string_view title, std::string_view text) = 0;
};

} // namespace fortelle
