// The modal input prompt through which calculators ask for their numbers.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fortelle {

class Prompt {
public:
    virtual ~Prompt() = default;
    // Shows the prompt with the edit field holding `defaultText`. Returns the
    // typed text on OK, nothing on Cancel or when the prompt is closed.
    virtual std::optional<std::string> ask(std::string_view title, std::string_view message,
                                           std::string_view defaultText) = 0;
};

} // namespace fortelle
