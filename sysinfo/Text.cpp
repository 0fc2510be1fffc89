#include "sysinfo/Text.h"

#include <windows.h>

namespace kel {

std::wstring AnsiToWide(const std::string& text, unsigned codePage) {
    if (text.empty())
        return {};
    int size = static_cast<int>(text.size());
    int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string WideToAnsi(const std::wstring& text, unsigned codePage) {
    if (text.empty())
        return {};
    int size = static_cast<int>(text.size());
    int length = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), size, ansi.data(), length, nullptr, nullptr);
    return ansi;
}

} // namespace kel
