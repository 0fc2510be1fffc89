#include "tests/support/ScratchKey.h"

#include "sysinfo/RegKey.h"
#include "sysinfo/Text.h"

#include <stdexcept>

namespace testing_support {

namespace {

std::string bare(const std::string& path) {
    return !path.empty() && path[0] == '\\' ? path.substr(1) : path;
}

kel::RegKey createKey(HKEY root, const std::string& keyPath) {
    kel::RegKey key;
    if (key.create(root, bare(keyPath), KEY_ALL_ACCESS) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create test key " + keyPath);
    return key;
}

bool isLink(HKEY key) {
    DWORD type = REG_NONE;
    return RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) ==
               ERROR_SUCCESS &&
           type == REG_LINK;
}

// Deletes a link itself, never the key it names.
bool deleteLink(HKEY root, const std::wstring& path) {
    using NtDeleteKeyFunction = LONG(NTAPI*)(HANDLE);
    auto ntDeleteKey = reinterpret_cast<NtDeleteKeyFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey")));
    kel::RegKey link;
    return ntDeleteKey != nullptr &&
           link.openW(root, path, DELETE, REG_OPTION_OPEN_LINK) == ERROR_SUCCESS &&
           ntDeleteKey(link.get()) == 0;
}

// Deletes a key with its tree (a link as the link); an empty path empties root
// instead.
bool deleteTree(HKEY root, const std::wstring& path) {
    kel::RegKey key;
    if (key.openW(root, path, KEY_READ, REG_OPTION_OPEN_LINK) == ERROR_SUCCESS) {
        if (!path.empty() && isLink(key.get()))
            return deleteLink(root, path);
        wchar_t name[256];
        DWORD length = 256;
        while (RegEnumKeyExW(key.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS) {
            if (!deleteTree(key.get(), name))
                break;
            length = 256;
        }
    }
    return path.empty() || RegDeleteKeyW(root, path.c_str()) == ERROR_SUCCESS;
}

Tree readTree(HKEY key) {
    Tree tree;
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameLength = 16384, type = 0, size = 0;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS)
            break;
        Value value{type, Bytes(size)};
        nameLength = 16384;
        RegEnumValueW(key, i, name, &nameLength, nullptr, &type, size ? value.data.data() : nullptr,
                      &size);
        tree.values[std::wstring(name, nameLength)] = value;
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        kel::RegKey child;
        if (child.openW(key, name, KEY_READ) == ERROR_SUCCESS)
            tree.keys[name] = readTree(child.get());
    }
    return tree;
}

} // namespace

ScratchKey::ScratchKey(HKEY root, std::string path) : root_(root), path_(std::move(path)) {
    removeTree(root_, path_);
    makeKey(root_, path_);
}

ScratchKey::~ScratchKey() {
    removeTree(root_, path_);
}

void putValue(HKEY root, const std::string& keyPath, const std::string& name, DWORD type,
              const Bytes& data) {
    kel::RegKey key = createKey(root, keyPath);
    if (RegSetValueExA(key.get(), name.c_str(), 0, type, data.empty() ? nullptr : data.data(),
                       static_cast<DWORD>(data.size())) != ERROR_SUCCESS)
        throw std::runtime_error("cannot set test value " + name);
}

void putString(HKEY root, const std::string& keyPath, const std::string& name,
               const std::string& text) {
    const BYTE* begin = reinterpret_cast<const BYTE*>(text.c_str());
    putValue(root, keyPath, name, REG_SZ, Bytes(begin, begin + text.size() + 1));
}

void putDword(HKEY root, const std::string& keyPath, const std::string& name, DWORD value) {
    const BYTE* begin = reinterpret_cast<const BYTE*>(&value);
    putValue(root, keyPath, name, REG_DWORD, Bytes(begin, begin + sizeof value));
}

void makeKey(HKEY root, const std::string& keyPath) {
    createKey(root, keyPath);
}

void removeTree(HKEY root, const std::string& keyPath) {
    deleteTree(root, kel::AnsiToWide(bare(keyPath)));
}

bool keyExists(HKEY root, const std::string& keyPath) {
    kel::RegKey key;
    return key.open(root, bare(keyPath), KEY_QUERY_VALUE) == ERROR_SUCCESS;
}

bool valueExists(HKEY root, const std::string& keyPath, const std::string& name) {
    kel::RegKey key;
    return key.open(root, bare(keyPath), KEY_QUERY_VALUE) == ERROR_SUCCESS &&
           RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS;
}

Tree snapshot(HKEY root, const std::string& keyPath) {
    kel::RegKey key;
    if (key.open(root, bare(keyPath), KEY_READ) != ERROR_SUCCESS)
        return {};
    return readTree(key.get());
}

void putWideValue(HKEY root, const std::wstring& keyPath, const std::wstring& name, DWORD type,
                  const Bytes& data) {
    kel::RegKey key;
    if (key.createW(root, keyPath, KEY_ALL_ACCESS) != ERROR_SUCCESS ||
        RegSetValueExW(key.get(), name.c_str(), 0, type, data.empty() ? nullptr : data.data(),
                       static_cast<DWORD>(data.size())) != ERROR_SUCCESS)
        throw std::runtime_error("cannot set a test value named in UTF-16");
}

void putWideString(HKEY root, const std::wstring& keyPath, const std::wstring& name,
                   const std::wstring& text) {
    const BYTE* begin = reinterpret_cast<const BYTE*>(text.c_str());
    putWideValue(root, keyPath, name, REG_SZ, Bytes(begin, begin + (text.size() + 1) * 2));
}

void removeWideTree(HKEY root, const std::wstring& keyPath) {
    if (!keyPath.empty())
        deleteTree(root, keyPath);
}

void removeWideValue(HKEY root, const std::wstring& keyPath, const std::wstring& name) {
    kel::RegKey key;
    if (key.openW(root, keyPath, KEY_SET_VALUE) == ERROR_SUCCESS)
        RegDeleteValueW(key.get(), name.c_str());
}

bool wideKeyExists(HKEY root, const std::wstring& keyPath) {
    kel::RegKey key;
    return key.openW(root, keyPath, KEY_QUERY_VALUE) == ERROR_SUCCESS;
}

Tree wideSnapshot(HKEY root, const std::wstring& keyPath) {
    kel::RegKey key;
    if (key.openW(root, keyPath, KEY_READ) != ERROR_SUCCESS)
        return {};
    return readTree(key.get());
}

std::vector<std::wstring> wideSubKeyNames(HKEY root, const std::wstring& keyPath) {
    std::vector<std::wstring> names;
    kel::RegKey key;
    if (key.openW(root, keyPath, KEY_READ) != ERROR_SUCCESS)
        return names;
    wchar_t name[256];
    DWORD length = 256;
    for (DWORD i = 0; RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr,
                                    nullptr) == ERROR_SUCCESS;
         ++i, length = 256)
        names.emplace_back(name, length);
    return names;
}

} // namespace testing_support

#include <sddl.h>

namespace testing_support {

void setKeySecurity(HKEY root, const std::string& keyPath, const std::string& sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1,
                                                              &descriptor, nullptr))
        throw std::runtime_error("bad SDDL " + sddl);
    kel::RegKey key;
    LONG status = key.open(root, bare(keyPath), WRITE_DAC);
    if (status == ERROR_SUCCESS)
        status = RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor);
    LocalFree(descriptor);
    if (status != ERROR_SUCCESS)
        throw std::runtime_error("cannot set the security of " + keyPath);
}

std::string keySecurity(HKEY root, const std::string& keyPath) {
    kel::RegKey key;
    if (key.open(root, bare(keyPath), READ_CONTROL) != ERROR_SUCCESS)
        return {};
    Bytes descriptor(4096);
    DWORD size = static_cast<DWORD>(descriptor.size());
    char* text = nullptr;
    if (RegGetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor.data(), &size) !=
            ERROR_SUCCESS ||
        !ConvertSecurityDescriptorToStringSecurityDescriptorA(
            descriptor.data(), SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr))
        return {};
    std::string sddl = text;
    LocalFree(text);
    return sddl;
}

void makeLink(HKEY root, const std::wstring& keyPath, const std::wstring& target) {
    kel::RegKey key;
    if (key.createW(root, keyPath, KEY_ALL_ACCESS | KEY_CREATE_LINK, REG_OPTION_CREATE_LINK) !=
            ERROR_SUCCESS ||
        RegSetValueExW(key.get(), L"SymbolicLinkValue", 0, REG_LINK,
                       reinterpret_cast<const BYTE*>(target.data()),
                       static_cast<DWORD>(target.size() * sizeof(wchar_t))) != ERROR_SUCCESS)
        throw std::runtime_error("cannot make a test link");
}

std::wstring linkTarget(HKEY root, const std::wstring& keyPath) {
    kel::RegKey key;
    if (key.openW(root, keyPath, KEY_QUERY_VALUE, REG_OPTION_OPEN_LINK) != ERROR_SUCCESS)
        return {};
    wchar_t target[1024];
    DWORD type = REG_NONE, size = sizeof target;
    if (RegQueryValueExW(key.get(), L"SymbolicLinkValue", nullptr, &type,
                         reinterpret_cast<BYTE*>(target), &size) != ERROR_SUCCESS ||
        type != REG_LINK)
        return {};
    return std::wstring(target, size / sizeof(wchar_t));
}

std::vector<std::string> platformSubKeyNames(HKEY root, const std::string& keyPath) {
    std::vector<std::string> names;
    kel::RegKey key;
    if (key.open(root, bare(keyPath), KEY_READ) != ERROR_SUCCESS)
        return names;
    char name[256];
    DWORD length = sizeof name;
    for (DWORD i = 0; RegEnumKeyExA(key.get(), i, name, &length, nullptr, nullptr, nullptr,
                                    nullptr) == ERROR_SUCCESS;
         ++i, length = sizeof name)
        names.emplace_back(name, length);
    return names;
}

} // namespace testing_support

namespace testing_support {

std::vector<std::string> platformValueNames(HKEY root, const std::string& keyPath) {
    std::vector<std::string> names;
    kel::RegKey key;
    if (key.open(root, bare(keyPath), KEY_READ) != ERROR_SUCCESS)
        return names;
    char name[1024];
    DWORD length = sizeof name;
    for (DWORD i = 0; RegEnumValueA(key.get(), i, name, &length, nullptr, nullptr, nullptr,
                                    nullptr) == ERROR_SUCCESS;
         ++i, length = sizeof name)
        names.emplace_back(name, length);
    return names;
}

} // namespace testing_support
