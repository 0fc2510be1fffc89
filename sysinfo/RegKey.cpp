#include "sysinfo/RegKey.h"

namespace kel {

namespace {

// HKEY_CLASSES_ROOT and its siblings are handle values from 0x80000000 upward.
bool isPredefined(HKEY key) {
    return reinterpret_cast<ULONG_PTR>(key) >= reinterpret_cast<ULONG_PTR>(HKEY_CLASSES_ROOT);
}

} // namespace

RegKey& RegKey::operator=(RegKey&& other) noexcept {
    if (this != &other) {
        close();
        key_ = other.release();
    }
    return *this;
}

HKEY RegKey::release() {
    HKEY key = key_;
    key_ = nullptr;
    return key;
}

void RegKey::close() {
    if (key_ != nullptr && !isPredefined(key_))
        RegCloseKey(key_);
    key_ = nullptr;
}

LONG RegKey::open(HKEY root, const std::string& path, REGSAM access) {
    close();
    HKEY key = nullptr;
    LONG status = RegOpenKeyExA(root, path.c_str(), 0, access, &key);
    if (status == ERROR_SUCCESS)
        key_ = key;
    return status;
}

LONG RegKey::openW(HKEY root, const std::wstring& path, REGSAM access) {
    close();
    HKEY key = nullptr;
    LONG status = RegOpenKeyExW(root, path.c_str(), 0, access, &key);
    if (status == ERROR_SUCCESS)
        key_ = key;
    return status;
}

LONG RegKey::create(HKEY root, const std::string& path, REGSAM access) {
    close();
    HKEY key = nullptr;
    LONG status = RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                  nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS)
        key_ = key;
    return status;
}

LONG RegKey::createW(HKEY root, const std::wstring& path, REGSAM access) {
    close();
    HKEY key = nullptr;
    LONG status = RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                  nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS)
        key_ = key;
    return status;
}

} // namespace kel
