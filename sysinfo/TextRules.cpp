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

} // namespace kel
