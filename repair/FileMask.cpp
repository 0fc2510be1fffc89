#include "repair/FileMask.h"

#include "sysinfo/ShiftJis.h"

namespace kel {

namespace {

bool matches(const wchar_t* name, const wchar_t* mask) {
    for (;; ++name, ++mask) {
        if (*mask == L'\0')
            return *name == L'\0';
        if (*mask == L'*') {
            for (const wchar_t* rest = name;; ++rest) {
                if (matches(rest, mask + 1))
                    return true;
                if (*rest == L'\0')
                    return false;
            }
        }
        if (*name == L'\0')
            return std::wstring(mask) == L".*"; // "*.*" fits a name without a dot
        if (*mask != L'?' && AsciiLowerChar(*mask) != AsciiLowerChar(*name))
            return false;
    }
}

} // namespace

bool MatchesMask(const std::wstring& name, const std::wstring& mask) {
    if (name.find(L'\0') != std::wstring::npos)
        return false;
    return matches(name.c_str(), mask.c_str());
}

} // namespace kel
