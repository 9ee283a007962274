#include "platform/qt/qt_dialogs.h"

namespace fortelle {

// The text tools that use these dialogs come with the next piece of work;
// until then every dialog reads as cancelled.
std::optional<std::string> QtDialogs::openFile(const FileDialogSetup&) { return std::nullopt; }
std::optional<std::string> QtDialogs::saveFile(const FileDialogSetup&) { return std::nullopt; }
std::optional<FontChoice> QtDialogs::chooseFont(const FontDialogSetup&) { return std::nullopt; }
std::unique_ptr<Printer> QtDialogs::choosePrinter(unsigned) { return nullptr; }

} // namespace fortelle
