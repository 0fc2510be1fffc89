// Text helpers for 8-bit strings in the ANSI code page (932).
#pragma once

#include "sysinfo/TextRules.h"

#include <string>
#include <string_view>

namespace kel {

// Conversions between 8-bit text in codePage and UTF-16; codePage 0 is the ANSI
// code page (CP_ACP). WideToAnsi uses best-fit: its result is for showing, never for
// naming what is to be touched.
std::wstring AnsiToWide(const std::string& text, unsigned codePage = 0);
std::string WideToAnsi(const std::wstring& text, unsigned codePage = 0);

// Sets ansi to text in the ANSI code page and returns true only when every
// character has its own code (no best-fit, no default character, no NUL) and the
// result converts back to exactly text; otherwise false with ansi untouched.
bool WideToAnsiExact(std::wstring_view text, std::string& ansi);

} // namespace kel
