// Owning wrapper for an open registry key.
#pragma once

#include "sysinfo/Handle.h"

#include <windows.h>

#include <string>

namespace kel {

// HKEY_CLASSES_ROOT and its siblings are borrowed, never closed: they are handle
// values from 0x80000000 upward.
struct RegKeyTraits : NullTraits<HKEY, RegCloseKey> {
    static bool IsValid(HKEY key) {
        return key != nullptr &&
               reinterpret_cast<ULONG_PTR>(key) < reinterpret_cast<ULONG_PTR>(HKEY_CLASSES_ROOT);
    }
};

// A move-only owner of one HKEY.
class RegKey : public ScopedHandle<RegKeyTraits> {
  public:
    using ScopedHandle::ScopedHandle;
    // Open even when it holds a predefined root, which it does not close.
    explicit operator bool() const { return get() != nullptr; }
    void close() { reset(); }

    // Each returns the platform status; on failure the key is left closed. options
    // are the platform's: REG_OPTION_OPEN_LINK opens a link itself rather than the key
    // it names, REG_OPTION_CREATE_LINK makes one. disposition, when given, is set on
    // success to REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY.
    [[nodiscard]] LONG open(HKEY root, const std::string& path, REGSAM access);
    [[nodiscard]] LONG openW(HKEY root, const std::wstring& path, REGSAM access, DWORD options = 0);
    [[nodiscard]] LONG create(HKEY root, const std::string& path, REGSAM access);
    [[nodiscard]] LONG createW(HKEY root, const std::wstring& path, REGSAM access,
                               DWORD options = REG_OPTION_NON_VOLATILE,
                               DWORD* disposition = nullptr);
};

} // namespace kel
