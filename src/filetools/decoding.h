// How the bytes of an opened file become the text of the box.
#pragma once

#include <string>
#include <string_view>

namespace fortelle {

// Bytes that form valid UTF-8 are kept; every other byte is read as one
// Latin-1 character, so every byte shows and nothing fails. Zero bytes show
// as the replacement character U+FFFD. The result is valid UTF-8.
std::string DecodeFileBytes(std::string_view bytes);

// The box's text for a saved file: every line break written as CR LF.
std::string WithCrLf(std::string_view text);

} // namespace fortelle
