#include "sysinfo/TextRules.h"

namespace kel {

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
        size_t width = IsSjisLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
        result.append(text, i, width);
        i += width;
    }
    return result;
}

namespace {

template <typename Map> std::string mapAscii(const std::string& text, Map map) {
    std::string result = text;
    for (size_t i = 0; i < result.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(result[i]);
        if (IsSjisLeadByte(c))
            ++i;
        else
            result[i] = map(c);
    }
    return result;
}

} // namespace

std::string AsciiLower(const std::string& text) {
    return mapAscii(text, [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    });
}

std::string AsciiUpper(const std::string& text) {
    return mapAscii(text, [](unsigned char c) {
        return static_cast<char>(c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c);
    });
}

std::string AfterLastPathDelimiter(const std::string& path) {
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsSjisLeadByte(c))
            ++i; // the trail byte belongs to this character
        else if (c == '\\' || c == ':')
            start = i + 1;
    }
    return path.substr(start);
}

std::wstring AsciiLower(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

bool IsAnotherAccount(const std::wstring& deskUser, const std::wstring& account) {
    // A name without its domain ("user") is compared with the other's user part.
    auto user = [](const std::wstring& name) { return name.substr(name.find(L'\\') + 1); };
    bool bothQualified =
        deskUser.find(L'\\') != std::wstring::npos && account.find(L'\\') != std::wstring::npos;
    std::wstring desk = bothQualified ? deskUser : user(deskUser);
    std::wstring own = bothQualified ? account : user(account);
    return !desk.empty() && !own.empty() && AsciiLower(desk) != AsciiLower(own);
}

} // namespace kel
