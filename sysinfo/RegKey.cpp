#include "sysinfo/RegKey.h"

namespace kel {

namespace {

// Opens or creates through the platform call it is handed, keeping the key on success.
template <typename Call> LONG take(RegKey& key, Call call) {
    key.close();
    HKEY opened = nullptr;
    LONG status = call(&opened);
    if (status == ERROR_SUCCESS)
        key = RegKey(opened);
    return status;
}

} // namespace

LONG RegKey::open(HKEY root, const std::string& path, REGSAM access) {
    return take(*this,
                [&](HKEY* key) { return RegOpenKeyExA(root, path.c_str(), 0, access, key); });
}

LONG RegKey::openW(HKEY root, const std::wstring& path, REGSAM access, DWORD options) {
    return take(*this,
                [&](HKEY* key) { return RegOpenKeyExW(root, path.c_str(), options, access, key); });
}

LONG RegKey::create(HKEY root, const std::string& path, REGSAM access) {
    return take(*this, [&](HKEY* key) {
        return RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                               nullptr, key, nullptr);
    });
}

LONG RegKey::createW(HKEY root, const std::wstring& path, REGSAM access, DWORD options,
                     DWORD* disposition) {
    return take(*this, [&](HKEY* key) {
        return RegCreateKeyExW(root, path.c_str(), 0, nullptr, options, access, nullptr, key,
                               disposition);
    });
}

} // namespace kel
