// Text rules over 8-bit strings in code page 932 (Shift-JIS).
#pragma once

#include "sysinfo/ShiftJis.h"

#include <string>
#include <vector>

namespace kel {

// Every occurrence of oldText replaced by newText, left to right, without overlap.
// Case-sensitive; a match never starts on the trail byte of a code page 932
// double-byte character. An empty oldText returns text unchanged.
std::string ReplaceAll(const std::string& text, const std::string& oldText,
                       const std::string& newText);

// value in decimal, with leading zeros to width characters, a minus sign included
// ("-005"), as printf's "%0*d"; or a value not below zero in hexadecimal with
// upper-case letters, as "%0*X".
enum class TDigits { Decimal, Hex };
std::string ZeroPadded(long long value, size_t width, TDigits digits = TDigits::Decimal);

// ASCII-only case mapping; double-byte characters pass through untouched.
std::string AsciiLower(const std::string& text);
std::string AsciiUpper(const std::string& text);
// The same for UTF-16 text: A to Z only.
std::wstring AsciiLower(std::wstring text);

// True when a and b name the same file: equal once letter case is folded as Windows'
// file systems fold it, character by character. Folded are the ASCII letters and the
// double-byte full-width Latin, Greek and Cyrillic letters; a trail byte is never
// folded on its own, and half-width katakana (single bytes) have no case.
bool SameFileName(const std::string& a, const std::string& b);

// The text after the last "\" or ":" of path, the whole path when it has none. A
// trail byte of a double-byte character (0x5C in "ソ" or "表") is no delimiter.
std::string AfterLastPathDelimiter(const std::string& path);

// text with every CR and LF replaced by a space: a value written on a line of a
// text report cannot start a line of its own. Neither byte occurs inside a
// double-byte character of code page 932.
std::string OnOneLine(std::string text);

// True when the program's account is not the user signed in at the desk, both told
// by their SIDs ("S-1-5-21-..."; a name can be renamed or reused, a SID cannot); an
// unknown SID (empty) is taken for no other account.
bool IsAnotherAccount(const std::string& deskUserSid, const std::string& accountSid);

// The SID of the user at the desk, from the tokens that tell it, never from a name
// (an "AzureAD\\name" may not resolve): the first of told, in its order, that is
// known and no service account (SYSTEM, LocalService, NetworkService is no user at a
// desk). Empty when none tells.
std::string DeskUserSid(const std::vector<std::string>& told);

// True when the account is the user at the desk: neither unknown nor a service
// account, and the same SID.
bool IsDeskUser(const std::string& accountSid, const std::string& deskUserSid);

} // namespace kel
