#include "filetools/text_tools.h"

#include <array>
#include <string>

#include "filetools/decoding.h"
#include "platform/platform.h"

namespace fortelle {

void RunOpen(Platform& platform)
{
    OutputBox& box = platform.box;
    box.setText(""); // emptied before the dialog, so a cancel leaves it empty
    const auto path = platform.dialogs.openFile({"Open File", std::string(kFileFilter), kFileDialogFlags, "GAMES.5"});
    if (!path) return;
    if (const auto bytes = platform.files.readAll(*path, kLargestOpenedFile)) {
        box.insertAtCaret(DecodeFileBytes(*bytes));
    }
    box.makeVisible();
    box.giveFocus();
}

void RunEdit(Platform& platform)
{
    static constexpr std::array<std::string_view, 8> kHelp{
        "You can edit files in this option.",
        "You can select the text with the mouse or Shift+Arrows;",
        "You can press Ctrl+X to cut selected text to clipboard;",
        "You can press Ctrl+C to copy selected text;",
        "You can press Ctrl+V to paste clipboard;",
        "You can press Delete to delete selected text;",
        "You can press Ctrl+Z to undo last edit.",
        "When done editing, click Save to save to file.",
    };
    OutputBox& box = platform.box;
    box.setText("");
    box.giveFocus();
    box.setText(std::string(kHelp[0]) + "\n");
    for (std::size_t i = 1; i < kHelp.size(); ++i) {
        box.setText(box.text() + std::string(kHelp[i]) + "\n");
    }
    box.giveFocus();
}

void RunSave(Platform& platform)
{
    const auto path =
        platform.dialogs.saveFile({"Save Combinations", std::string(kFileFilter), kFileDialogFlags, "Zavix.Odds"});
    if (!path) return;
    // Whole or not at all: a save that fails leaves the old file as it was.
    const SaveResult result = platform.files.save(*path, WithCrLf(platform.box.text()));
    // A file the user believes saved but is not is lost work: say so.
    if (!result.saved) {
        platform.dialogs.showError("Save Combinations", "Could not save \"" + *path + "\": " + result.reason + ".");
    }
}

void RunPrint(Platform& platform)
{
    unsigned flags = kPrintDialogFlags;
    if (platform.box.selectionLength() != 0) flags += kPrintSelectionFlag;
    const auto printer = platform.dialogs.choosePrinter(flags);
    if (!printer) return;
    // The selection or the whole text, whatever range the dialog was set to.
    platform.box.printOn(*printer);
    printer->endDocument();
}

void RunFont(Platform& platform)
{
    FontDialogSetup setup;
    setup.flags = kFontDialogFlags;
    setup.preset.name = "Courier New";
    setup.preset.size = 10;
    const auto font = platform.dialogs.chooseFont(setup);
    if (!font) return; // nothing changes, the focus stays where it is
    if (platform.box.selectionLength() > 0) {
        platform.box.applySelectionFont(*font);
    } else {
        platform.box.applyBoxFont(*font);
    }
    platform.box.giveFocus();
}

} // namespace fortelle
