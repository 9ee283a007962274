// The decoding of opened files: always valid UTF-8, nothing lost.
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>
#include <string_view>

#include "filetools/decoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = fortelle::DecodeFileBytes(bytes);
    // Valid UTF-8 decodes to itself, so decoding twice changes nothing.
    if (fortelle::DecodeFileBytes(text) != text) std::abort();
    // Every byte shows: at least one byte out per byte in, at most three.
    if (text.size() < size || text.size() > 3 * size) std::abort();
    if (text.find('\0') != std::string::npos) std::abort();
    // Saving writes CR LF line ends only: without them, no CR or LF is left.
    const std::string saved = std::regex_replace(fortelle::WithCrLf(text), std::regex("\r\n"), "");
    if (saved.find_first_of("\r\n") != std::string::npos) std::abort();
    return 0;
}
