#include "sysinfo/Text.h"

#include <windows.h>

#include <iterator>

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

bool WideToAnsiExact(std::wstring_view text, std::string& ansi) {
    if (text.find(L'\0') != std::wstring_view::npos)
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
    if (usedDefault)
        return false;
    // Back again, on the stack for a name of usual length, and compared.
    wchar_t stack[256];
    std::wstring heap;
    wchar_t* back = stack;
    if (text.size() > std::size(stack)) {
        heap.resize(text.size());
        back = heap.data();
    }
    int backLength = MultiByteToWideChar(CP_ACP, 0, converted.data(), length, nullptr, 0);
    if (backLength != size ||
        MultiByteToWideChar(CP_ACP, 0, converted.data(), length, back, size) != size ||
        text != std::wstring_view(back, text.size()))
        return false;
    ansi = std::move(converted);
    return true;
}

} // namespace kel
