// Character boundaries of code page 932 (Shift-JIS) text, by the code page's own
// lead-byte ranges, whatever the system code page is.
#pragma once

#include <cstddef>
#include <string>

namespace ui {

// True when byte c starts a double-byte character in code page 932.
constexpr bool IsSjisLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The longest start of text that fits maxBytes bytes and does not end in half a
// double-byte character.
std::string CutToBytes(const std::string& text, size_t maxBytes);

} // namespace ui
