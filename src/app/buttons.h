// The window's fifteen buttons: where each sits, its caption and tooltip,
// and the calculator or text tool it runs. The Qt window, the web page and
// the test transcripts all build their buttons from this one table.
#pragma once

#include <span>
#include <string_view>

#include "shell/window_layout.h"

namespace fortelle {

struct Platform;

using Handler = void (*)(Platform&);

struct ButtonDesign {
    std::string_view name;
    std::string_view caption;
    std::string_view tooltip;
    int left;
    int top;
    Handler onClick;
};

std::span<const ButtonDesign> ButtonDesigns();

// Keyboard focus order by control name; the banner label is in the chain
// but takes no focus.
std::span<const std::string_view> TabOrder();

} // namespace fortelle
