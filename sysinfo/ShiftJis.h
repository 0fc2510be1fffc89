// Character boundaries of code page 932 (Shift-JIS) text, by the code page's own
// lead-byte ranges, whatever the system code page is, and ASCII case. No platform
// calls.
#pragma once

#include <cstddef>
#include <string>

namespace kel {

// True when byte c starts a double-byte character in code page 932.
constexpr bool IsSjisLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Where the next character begins after the one that starts at byte i: two bytes
// on for a lead byte (whose trail byte may lie past the end of text), else one.
// Every walk over the characters of code page 932 text steps with it.
inline size_t NextCharacter(const std::string& text, size_t i) {
    return i + (IsSjisLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1);
}

// A to Z as a to z, and back, any other code unit as it is. For ASCII and UTF-16
// text; in code page 932 text a trail byte can be a letter (AsciiLower and
// AsciiUpper in TextRules skip it).
template <typename Char> constexpr Char AsciiLowerChar(Char c) {
    return c >= Char('A') && c <= Char('Z') ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}
template <typename Char> constexpr Char AsciiUpperChar(Char c) {
    return c >= Char('a') && c <= Char('z') ? static_cast<Char>(c - Char('a') + Char('A')) : c;
}

// True when text begins with prefix, ASCII letters compared without regard to case.
inline bool StartsWithIgnoringAsciiCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (AsciiLowerChar(text[i]) != AsciiLowerChar(prefix[i]))
            return false;
    return true;
}

// The longest start of text that fits maxBytes bytes and does not end in half a
// double-byte character.
std::string CutToBytes(const std::string& text, size_t maxBytes);

} // namespace kel
