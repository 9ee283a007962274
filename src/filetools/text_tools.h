// Open, Edit, Save, Print and Font: the output box as a small text editor.
#pragma once

#include <cstddef>
#include <string_view>

namespace fortelle {

struct Platform;

// The largest file Open shows. Measured in the shown window on a two-core
// machine, a file of this size opens in about seven seconds and under 850 MB;
// a larger one leaves the box empty.
inline constexpr std::size_t kLargestOpenedFile = std::size_t{64} << 20;

inline constexpr std::string_view kFileFilter = "All (*.*)|*.*";
// Hide the read-only check box (4), the path must exist (2048), the file must
// exist (4096).
inline constexpr unsigned kFileDialogFlags = 6148;
// The page-range choice is disabled (8); plus 1 to open on the selection.
inline constexpr unsigned kPrintDialogFlags = 8;
inline constexpr unsigned kPrintSelectionFlag = 1;
// Screen and printer fonts, effects (strikethrough, underline, colour), only
// fonts both screen and printer have.
inline constexpr unsigned kFontDialogFlags = 33027;

void RunOpen(Platform& platform);
void RunEdit(Platform& platform);
void RunSave(Platform& platform);
void RunPrint(Platform& platform);
void RunFont(Platform& platform);

} // namespace fortelle
