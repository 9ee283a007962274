// The pick-3 and pick-4 digit games: fixed odds, nothing to ask.
#pragma once

#include <string>

namespace fortelle {

// Report bytes as they pass through the scratch file (whole-text form).
std::string Pick3Report();
std::string Pick4Report();

} // namespace fortelle
