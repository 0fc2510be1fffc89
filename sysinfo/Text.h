// Text helpers for 8-bit strings in the ANSI code page (932).
#pragma once

#include <string>

namespace kel {

// Every occurrence of oldText replaced by newText, left to right, without overlap.
// Case-sensitive; a match never starts on the trail byte of a code page 932
// double-byte character. An empty oldText returns text unchanged.
std::string ReplaceAll(const std::string& text, const std::string& oldText,
                       const std::string& newText);

// True when byte c starts a double-byte character in code page 932.
constexpr bool IsSjisLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// ASCII-only case mapping; double-byte characters pass through untouched.
std::string AsciiLower(const std::string& text);
std::string AsciiUpper(const std::string& text);

// Conversions between the ANSI code page and UTF-16. WideToAnsi uses best-fit:
// its result is for showing, never for naming what is to be touched.
std::wstring AnsiToWide(const std::string& text);
std::string WideToAnsi(const std::wstring& text);

// Sets ansi to text in the ANSI code page and returns true only when every
// character has its own code (no best-fit, no default character, no NUL) and the
// result converts back to exactly text; otherwise false with ansi untouched.
bool WideToAnsiExact(const std::wstring& text, std::string& ansi);

// The text after the last "\" or ":" of path, the whole path when it has none. A
// trail byte of a double-byte character (0x5C in "ソ" or "表") is no delimiter.
std::string AfterLastPathDelimiter(const std::string& path);

} // namespace kel
