#include "sysinfo/Text.h"

#include <windows.h>

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

std::wstring AnsiToWide(const std::string& text) {
    if (text.empty())
        return {};
    int size = static_cast<int>(text.size());
    int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string WideToAnsi(const std::wstring& text) {
    if (text.empty())
        return {};
    int size = static_cast<int>(text.size());
    int length = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, ansi.data(), length, nullptr, nullptr);
    return ansi;
}

bool WideToAnsiExact(const std::wstring& text, std::string& ansi) {
    if (text.find(L'\0') != std::wstring::npos)
        return false;
    if (text.empty()) {
        ansi.clear();
        return true;
    }
    int size = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0,
                                     nullptr, &usedDefault);
    if (length <= 0 || usedDefault)
        return false;
    std::string converted(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, converted.data(), length,
                        nullptr, &usedDefault);
    if (usedDefault || AnsiToWide(converted) != text)
        return false;
    ansi = std::move(converted);
    return true;
}

} // namespace kel
