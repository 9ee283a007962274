#include "filetools/decoding.h"

#include <cstdint>

namespace fortelle {
namespace {

// Length of the valid UTF-8 sequence starting at `i`, or 0 when the bytes
// there do not form one (overlong forms, surrogates and values above
// U+10FFFF are not valid).
std::size_t ValidSequence(std::string_view s, std::size_t i)
{
    const auto byte = [&](std::size_t j) { return static_cast<std::uint8_t>(s[j]); };
    const std::uint8_t b0 = byte(i);
    std::size_t length = 0;
    std::uint8_t low = 0x80, high = 0xBF; // allowed range of the second byte
    if (b0 < 0x80) return 1;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0) low = 0xA0;
        if (b0 == 0xED) high = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0) low = 0x90;
        if (b0 == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > s.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t j = 2; j < length; ++j) {
        if (byte(i + j) < 0x80 || byte(i + j) > 0xBF) return 0;
    }
    return length;
}

} // namespace

std::string DecodeFileBytes(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    std::size_t i = 0;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c == '\0') {
            out += "\xEF\xBF\xBD"; // U+FFFD
            ++i;
            continue;
        }
        const std::size_t n = ValidSequence(bytes, i);
        if (n > 0) {
            out.append(bytes, i, n);
            i += n;
        } else {
            const auto b = static_cast<std::uint8_t>(c); // Latin-1: U+0080..U+00FF
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
            ++i;
        }
    }
    return out;
}

std::string WithCrLf(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace fortelle
