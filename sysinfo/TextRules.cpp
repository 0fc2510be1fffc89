#include "sysinfo/TextRules.h"

namespace kel {

std::string ZeroPadded(long long value, size_t width, TDigits digits) {
    unsigned base = digits == TDigits::Hex ? 16 : 10;
    bool negative = value < 0;
    unsigned long long magnitude = negative ? 0 - static_cast<unsigned long long>(value)
                                            : static_cast<unsigned long long>(value);
    std::string text;
    do {
        text.insert(text.begin(), "0123456789ABCDEF"[magnitude % base]);
        magnitude /= base;
    } while (magnitude != 0);
    size_t room = width > negative ? width - negative : 0;
    if (text.size() < room)
        text.insert(0, room - text.size(), '0');
    return negative ? "-" + text : text;
}

std::string ReplaceAll(const std::string& text, const std::string& oldText,
                       const std::string& newText) {
    if (oldText.empty())
        return text;
    std::string result;
    result.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, oldText.size(), oldText) == 0) {
            result += newText;
            i += oldText.size();
            continue;
        }
        // Copy a whole character, so that the next match test starts on a lead byte.
        size_t next = NextCharacter(text, i);
        result.append(text, i, next - i);
        i = next;
    }
    return result;
}

namespace {

template <typename Map> std::string mapAscii(const std::string& text, Map map) {
    std::string result = text;
    for (size_t i = 0; i < result.size(); i = NextCharacter(result, i))
        if (!IsSjisLeadByte(static_cast<unsigned char>(result[i])))
            result[i] = map(result[i]);
    return result;
}

} // namespace

std::string AsciiLower(const std::string& text) {
    return mapAscii(text, AsciiLowerChar<char>);
}

std::string AsciiUpper(const std::string& text) {
    return mapAscii(text, AsciiUpperChar<char>);
}

namespace {

// The lower-case letters of code page 932's double-byte rows and where their
// upper-case forms begin; each range keeps its lead byte.
struct CaseRange {
    unsigned first, last, upper;
};
constexpr CaseRange kDoubleByteLower[] = {
    {0x8281, 0x829A, 0x8260}, // full-width Latin a to z
    {0x83BF, 0x83D6, 0x839F}, // Greek alpha to omega
    {0x8470, 0x847E, 0x8440}, // Cyrillic a to n
    {0x8480, 0x8491, 0x844F}, // Cyrillic o to ya
};

// text with every letter in upper case, byte for byte as long, each byte still a lead
// byte, a trail byte or a single byte as it was.
std::string fileNameUpper(std::string text) {
    for (size_t i = 0; i < text.size(); i = NextCharacter(text, i)) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        if (!IsSjisLeadByte(lead)) {
            text[i] = AsciiUpperChar(text[i]);
            continue;
        }
        if (i + 1 == text.size())
            break; // a lead byte without its trail byte stays as it is
        unsigned code = lead << 8 | static_cast<unsigned char>(text[i + 1]);
        for (const CaseRange& range : kDoubleByteLower)
            if (code >= range.first && code <= range.last)
                text[i + 1] = static_cast<char>((code - range.first + range.upper) & 0xFF);
    }
    return text;
}

} // namespace

bool SameFileName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && fileNameUpper(a) == fileNameUpper(b);
}

std::string AfterLastPathDelimiter(const std::string& path) {
    size_t start = 0;
    for (size_t i = 0; i < path.size(); i = NextCharacter(path, i))
        if (path[i] == '\\' || path[i] == ':')
            start = i + 1;
    return path.substr(start);
}

std::wstring AsciiLower(std::wstring text) {
    for (wchar_t& c : text)
        c = AsciiLowerChar(c);
    return text;
}

std::string OnOneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    return text;
}

bool IsAnotherAccount(const std::string& deskUserSid, const std::string& accountSid) {
    return !deskUserSid.empty() && !accountSid.empty() &&
           AsciiLower(deskUserSid) != AsciiLower(accountSid);
}

namespace {

bool isServiceAccount(const std::string& sid) {
    for (const char* service : {"s-1-5-18", "s-1-5-19", "s-1-5-20"})
        if (AsciiLower(sid) == service)
            return true;
    return false;
}

} // namespace

std::string DeskUserSid(const std::vector<std::string>& told) {
    for (const std::string& sid : told)
        if (!sid.empty() && !isServiceAccount(sid))
            return sid;
    return {};
}

bool IsDeskUser(const std::string& accountSid, const std::string& deskUserSid) {
    return !accountSid.empty() && !deskUserSid.empty() && !isServiceAccount(accountSid) &&
           !IsAnotherAccount(deskUserSid, accountSid);
}

} // namespace kel
