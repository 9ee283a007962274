// The banner label across the top of the window.
#pragma once

#include <string_view>

namespace fortelle {

class Banner {
public:
    virtual ~Banner() = default;
    // Carriage returns in the text break its lines.
    virtual void setText(std::string_view text) = 0;
};

} // namespace fortelle
