// Text helpers for 8-bit strings in the ANSI code page (932).
#pragma once

#include "sysinfo/TextRules.h"

#include <string>

namespace kel {

// Conversions between the ANSI code page and UTF-16.
std::wstring AnsiToWide(const std::string& text);
std::string WideToAnsi(const std::wstring& text);

} // namespace kel
