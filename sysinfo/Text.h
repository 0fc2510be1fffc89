// Text helpers for 8-bit strings in the ANSI code page (932).
#pragma once

#include "sysinfo/TextRules.h"

#include <string>

namespace kel {

// Conversions between 8-bit text in codePage and UTF-16; codePage 0 is the ANSI
// code page (CP_ACP).
std::wstring AnsiToWide(const std::string& text, unsigned codePage = 0);
std::string WideToAnsi(const std::wstring& text, unsigned codePage = 0);

} // namespace kel
