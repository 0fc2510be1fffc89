#include "sysinfo/Registry.h"

#include "sysinfo/Folder.h"
#include "sysinfo/NameList.h"
#include "sysinfo/RegBackup.h"
#include "sysinfo/RegKey.h"
#include "sysinfo/Text.h"
#include "sysinfo/TextRules.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace kel {

namespace {

using Bytes = std::vector<BYTE>;

std::string relativePath(const std::string& keyPath) {
    return !keyPath.empty() && keyPath[0] == '\\' ? keyPath.substr(1) : keyPath;
}

[[noreturn]] void raise(const char* format, const std::string& name, LONG status) {
    // A name read from the machine may hold a NUL; the message ends the name there.
    throw RegistryError(ReplaceAll(format, "%s", name.substr(0, name.find('\0'))), status);
}

[[noreturn]] void raiseCreateFailed(const std::string& key, LONG status = ERROR_SUCCESS) {
    raise("キー %s の作成に失敗しました", key, status);
}
[[noreturn]] void raiseSetFailed(const std::string& name, LONG status = ERROR_SUCCESS) {
    raise("'%s' の設定に失敗しました", name, status);
}
[[noreturn]] void raiseGetFailed(const std::string& name, LONG status = ERROR_SUCCESS) {
    raise("'%s' の取得に失敗しました", name, status);
}
[[noreturn]] void raiseBadType(const std::string& name) {
    raise("'%s' のデータ型が不正です", name, ERROR_SUCCESS);
}

// Read-only open: KEY_READ, falling back to narrower rights where that is refused.
REGSAM viewFlag(RegView view) {
    return view == RegView::Bits64   ? KEY_WOW64_64KEY
           : view == RegView::Bits32 ? KEY_WOW64_32KEY
                                     : 0;
}

// open(access) is the platform's open of the key by its narrow or its wide path.
template <typename Open> bool openReadOnlyBy(Open open, RegView view) {
    static const REGSAM kTries[] = {
        KEY_READ,
        READ_CONTROL | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
        KEY_QUERY_VALUE,
    };
    for (REGSAM access : kTries) {
        LONG status = open(access | viewFlag(view));
        if (status == ERROR_SUCCESS)
            return true;
        if (status != ERROR_ACCESS_DENIED)
            return false;
    }
    return false;
}

bool openReadOnly(RegKey& key, HKEY root, const std::string& keyPath,
                  RegView view = RegView::Program) {
    std::string path = relativePath(keyPath);
    return openReadOnlyBy([&](REGSAM access) { return key.open(root, path, access); }, view);
}

bool openReadOnlyW(RegKey& key, HKEY root, const std::wstring& keyPath, RegView view) {
    std::wstring path = !keyPath.empty() && keyPath[0] == L'\\' ? keyPath.substr(1) : keyPath;
    return openReadOnlyBy([&](REGSAM access) { return key.openW(root, path, access); }, view);
}

// What a value's write, read-back and deletion need of its key, and no more: a key
// that grants these but not full access is still written.
constexpr REGSAM kValueAccess = KEY_QUERY_VALUE | KEY_SET_VALUE;

// Opens (or creates) the key for a change of one value (valueName) or, without a
// value, for its creation; what the change touches is backed up first. A key that
// is only opened is backed up once it opened, so that a missing one leaves no
// backup. The platform's status.
LONG openWritable(RegKey& key, HKEY root, const std::string& keyPath, bool create,
                  const std::string* valueName, RegView view = RegView::Program,
                  REGSAM rights = kValueAccess) {
    BeforeRegWriteOpen(root, keyPath);
    std::string path = relativePath(keyPath);
    REGSAM access = rights | viewFlag(view);
    auto backUp = [&] {
        if (valueName != nullptr || create)
            BeforeRegChange(root, AnsiToWide(path), viewFlag(view),
                            valueName ? TRegChange::Value : TRegChange::Creation,
                            valueName ? AnsiToWide(*valueName) : std::wstring());
    };
    if (!create) {
        LONG status = key.open(root, path, access);
        if (status == ERROR_SUCCESS)
            backUp();
        return status;
    }
    backUp();
    return key.create(root, path, access);
}

struct StoredValue {
    DWORD type = REG_NONE;
    Bytes data;
};

enum class Query { Missing, Read, Unreadable };

// Reads a whole value in one query when it fits the first buffer; the buffer grows
// while the value is larger (or grows under us).
Query queryValue(HKEY key, const std::string& name, StoredValue& value) {
    value.data.resize(256);
    for (;;) {
        DWORD size = static_cast<DWORD>(value.data.size());
        LONG status =
            RegQueryValueExA(key, name.c_str(), nullptr, &value.type, value.data.data(), &size);
        if (status == ERROR_SUCCESS) {
            value.data.resize(size);
            return Query::Read;
        }
        if (status != ERROR_MORE_DATA)
            return status == ERROR_FILE_NOT_FOUND ? Query::Missing : Query::Unreadable;
        value.data.resize(std::max<size_t>(size, value.data.size() * 2));
    }
}

bool valueExists(HKEY key, const std::string& name) {
    return RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// Absorbs every read failure of a value that exists: the out value stays preset.
template <typename Decode>
int readValue(HKEY root, const std::string& keyPath, const std::string& valueName, Decode decode,
              RegView view = RegView::Program) {
    RegKey key;
    if (!openReadOnly(key, root, keyPath, view))
        return -1;
    StoredValue value;
    Query query = queryValue(key.get(), valueName, value);
    if (query == Query::Missing)
        return -1;
    if (query == Query::Read)
        decode(value);
    return 0;
}

bool decodeInteger(const StoredValue& value, int& out) {
    if (value.type != REG_DWORD || value.data.size() != sizeof(DWORD))
        return false;
    std::memcpy(&out, value.data.data(), sizeof(DWORD));
    return true;
}

bool decodeString(const StoredValue& value, std::string& out) {
    if (value.type != REG_SZ && value.type != REG_EXPAND_SZ)
        return false;
    const char* data = reinterpret_cast<const char*>(value.data.data());
    out.assign(data, strnlen(data, value.data.size()));
    return true;
}

bool decodeWideText(const StoredValue& value, std::wstring& out) {
    if (value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_DWORD ||
        value.data.size() > kWideBufferBytes)
        return false;
    wchar_t buffer[kWideBufferBytes / sizeof(wchar_t)] = {};
    std::memcpy(buffer, value.data.data(), value.data.size());
    out.assign(buffer, wcsnlen(buffer, std::size(buffer)));
    return true;
}

bool decodeWideString(const StoredValue& value, std::string& out) {
    std::wstring wide;
    if (!decodeWideText(value, wide))
        return false;
    out = WideToAnsi(wide);
    return true;
}

void setValue(HKEY key, const std::string& name, DWORD type, const void* data, DWORD size) {
    LONG status = RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    if (status != ERROR_SUCCESS)
        raiseSetFailed(name, status);
}

// The writers' read-back: the value must be there again with the type written.
StoredValue readBack(HKEY key, const std::string& name, DWORD expectedType) {
    StoredValue value;
    if (queryValue(key, name, value) != Query::Read)
        raiseGetFailed(name);
    if (value.type != expectedType)
        raiseBadType(name);
    return value;
}

// ---- Whole-tree operations, done in UTF-16 so that names and data pass unchanged.

std::wstring childPath(const std::wstring& parent, const std::wstring& child) {
    return parent.empty() ? child : parent + L"\\" + child;
}

struct KeyCounts {
    DWORD subKeys = 0, maxSubKeyName = 0, values = 0, maxValueName = 0, maxValueData = 0;
};

bool queryCounts(HKEY key, KeyCounts& counts) {
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &counts.subKeys, &counts.maxSubKeyName,
                            nullptr, &counts.values, &counts.maxValueName, &counts.maxValueData,
                            nullptr, nullptr) == ERROR_SUCCESS;
}

bool subKeyName(HKEY key, DWORD index, DWORD maxName, std::wstring& name) {
    std::vector<wchar_t> buffer(maxName + 1 > 256 ? maxName + 1 : 256);
    DWORD length = static_cast<DWORD>(buffer.size());
    if (RegEnumKeyExW(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
        return false;
    name.assign(buffer.data(), length);
    return true;
}

// A platform function that not every system has, resolved at run time; null where
// the module lacks it.
template <typename Function> Function systemFunction(const char* module, const char* name) {
    HMODULE loaded = GetModuleHandleA(module);
    return loaded
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name)))
               : nullptr;
}

// True when a key opened with REG_OPTION_OPEN_LINK is a link: its REG_LINK value
// "SymbolicLinkValue" names the key it stands for. A link is moved, copied and
// deleted as itself; what it names is never walked.
bool isLink(HKEY key) {
    DWORD type = REG_NONE;
    return RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) ==
               ERROR_SUCCESS &&
           type == REG_LINK;
}

// Deletes the key itself, a link as a link (RegDeleteKeyEx would delete the key it
// names); the key must hold no sub-keys.
LONG deleteKey(HKEY root, const std::wstring& path, REGSAM view) {
    using NtDeleteKeyFunction = LONG(NTAPI*)(HANDLE);
    using RtlNtStatusToDosErrorFunction = ULONG(NTAPI*)(LONG);
    static const auto ntDeleteKey = systemFunction<NtDeleteKeyFunction>("ntdll.dll", "NtDeleteKey");
    static const auto dosError =
        systemFunction<RtlNtStatusToDosErrorFunction>("ntdll.dll", "RtlNtStatusToDosError");
    RegKey key;
    LONG status = key.openW(root, path, DELETE | view, REG_OPTION_OPEN_LINK);
    if (status != ERROR_SUCCESS)
        return status;
    if (ntDeleteKey == nullptr || dosError == nullptr)
        return ERROR_PROC_NOT_FOUND;
    return static_cast<LONG>(dosError(ntDeleteKey(key.get())));
}

// Deletes the sub-keys depth-first, highest index first, then the key; returns the
// status of the key's own deletion.
LONG deleteTreeOnce(HKEY root, const std::wstring& path, REGSAM view) {
    RegKey key;
    if (key.openW(root, path, KEY_READ | view, REG_OPTION_OPEN_LINK) == ERROR_SUCCESS &&
        !isLink(key.get())) {
        KeyCounts counts;
        if (queryCounts(key.get(), counts)) {
            for (DWORD i = counts.subKeys; i-- > 0;) {
                std::wstring name;
                if (subKeyName(key.get(), i, counts.maxSubKeyName, name))
                    deleteTreeOnce(key.get(), name, view);
            }
        }
    }
    key.close();
    BeforeRegKeyDelete(root, path);
    return deleteKey(root, path, view);
}

// False when a key of the tree refuses to open for deletion, so that a move does not
// stop half way at a key that only grants reading. A key that can't be listed is
// left to the copy, which reports it.
bool treeDeletable(HKEY root, const std::wstring& path, REGSAM view) {
    RegKey key;
    if (key.openW(root, path, DELETE | view, REG_OPTION_OPEN_LINK) == ERROR_ACCESS_DENIED)
        return false;
    KeyCounts counts;
    if (key.openW(root, path, KEY_READ | view, REG_OPTION_OPEN_LINK) != ERROR_SUCCESS ||
        isLink(key.get()) || !queryCounts(key.get(), counts))
        return true;
    for (DWORD index = 0; index < counts.subKeys; ++index) {
        std::wstring name;
        if (subKeyName(key.get(), index, counts.maxSubKeyName, name) &&
            !treeDeletable(key.get(), name, view))
            return false;
    }
    return true;
}

// A key that still holds a sub-key can't be deleted: one that could not be deleted,
// or one that a writer put back meanwhile. The tree is walked again a few times
// while the key is still there.
LONG deleteTreeW(HKEY root, const std::wstring& path, REGSAM view) {
    constexpr int kRounds = 3;
    LONG status = ERROR_SUCCESS;
    for (int round = 0; round < kRounds; ++round) {
        status = deleteTreeOnce(root, path, view);
        if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND)
            break;
    }
    return status;
}

// Copies the values of one key in registry order, each with its type and bytes.
void copyValues(HKEY from, HKEY to, const std::wstring& where) {
    KeyCounts counts;
    if (!queryCounts(from, counts))
        raiseGetFailed(WideToAnsi(where));
    std::vector<wchar_t> name(counts.maxValueName + 1);
    Bytes data(counts.maxValueData);
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = REG_NONE;
        LONG status = RegEnumValueW(from, index, name.data(), &nameLength, nullptr, &type,
                                    data.empty() ? nullptr : data.data(), &size);
        if (status == ERROR_NO_MORE_ITEMS)
            return;
        if (status == ERROR_MORE_DATA) {
            // A value grew, or the name is longer than reported: grow and ask again.
            name.resize(name.size() * 2 + 256);
            data.resize(size > data.size() ? size : data.size() * 2 + 256);
            --index;
            continue;
        }
        std::wstring valueName(name.data(), nameLength);
        if (status != ERROR_SUCCESS)
            raiseGetFailed(WideToAnsi(valueName), status);
        status = RegSetValueExW(to, valueName.c_str(), 0, type, size ? data.data() : nullptr, size);
        if (status != ERROR_SUCCESS)
            raiseSetFailed(WideToAnsi(valueName), status);
    }
}

// Gives a key that the copy made the access rules (the DACL) of the key it copies.
void copyAccessRules(HKEY from, HKEY to, const std::wstring& where, REGSAM view) {
    Bytes descriptor(256);
    DWORD size = static_cast<DWORD>(descriptor.size());
    LONG status = RegGetKeySecurity(from, DACL_SECURITY_INFORMATION, descriptor.data(), &size);
    if (status == ERROR_INSUFFICIENT_BUFFER) {
        descriptor.resize(size);
        status = RegGetKeySecurity(from, DACL_SECURITY_INFORMATION, descriptor.data(), &size);
    }
    if (status != ERROR_SUCCESS)
        raiseGetFailed(WideToAnsi(where), status);
    // A second handle that may change the rules: the copy's own asks only for what
    // copying needs, so that a key that is there already is copied into as it is.
    RegKey rules;
    status = rules.openW(to, L"", WRITE_DAC | view, REG_OPTION_OPEN_LINK);
    if (status == ERROR_SUCCESS)
        status = RegSetKeySecurity(rules.get(), DACL_SECURITY_INFORMATION, descriptor.data());
    if (status != ERROR_SUCCESS)
        raiseSetFailed(WideToAnsi(where), status);
}

// What a copy needs of its target keys; no more, so that a key whose deletion is
// denied can still be copied into.
constexpr REGSAM kCopyAccess = KEY_READ | KEY_WRITE;

// Creates (or opens, when it is there) the copy of source at path below parent: a
// link as a link. created tells whether the key is new.
LONG createCopy(HKEY source, HKEY parent, const std::wstring& path, REGSAM view, RegKey& target,
                bool& created) {
    bool link = isLink(source);
    DWORD disposition = 0;
    LONG status =
        target.createW(parent, path, kCopyAccess | (link ? KEY_CREATE_LINK : 0) | view,
                       link ? REG_OPTION_CREATE_LINK : REG_OPTION_NON_VOLATILE, &disposition);
    created = status == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY;
    return status;
}

// Copies a key's values and its sub-keys' trees (a link is copied with its own value
// only), and, when the copy made the key, its access rules after its contents.
void copyTree(HKEY from, HKEY to, bool created, const std::wstring& where, REGSAM view) {
    copyValues(from, to, where);
    KeyCounts counts;
    if (!isLink(from) && !queryCounts(from, counts))
        raiseGetFailed(WideToAnsi(where));
    for (DWORD index = 0; index < counts.subKeys; ++index) {
        std::wstring name;
        if (!subKeyName(from, index, counts.maxSubKeyName, name))
            raiseGetFailed(WideToAnsi(where));
        std::wstring path = childPath(where, name);
        RegKey source;
        if (LONG status = source.openW(from, name, KEY_READ | view, REG_OPTION_OPEN_LINK);
            status != ERROR_SUCCESS)
            raiseGetFailed(WideToAnsi(path), status);
        RegKey target;
        bool made = false;
        if (LONG status = createCopy(source.get(), to, name, view, target, made);
            status != ERROR_SUCCESS)
            raiseCreateFailed(WideToAnsi(path), status);
        copyTree(source.get(), target.get(), made, path, view);
    }
    if (created)
        copyAccessRules(from, to, where, view);
}

// Copies the tree at from over the tree at to, both under root; false when a key
// can't be opened or created, or the copy fails part way.
bool copyTreeOver(HKEY root, const std::wstring& from, const std::wstring& to, REGSAM view) {
    RegKey source, target;
    bool created = false;
    if (source.openW(root, from, KEY_READ | view, REG_OPTION_OPEN_LINK) != ERROR_SUCCESS ||
        createCopy(source.get(), root, to, view, target, created) != ERROR_SUCCESS)
        return false;
    try {
        copyTree(source.get(), target.get(), created, from, view);
    } catch (const RegistryError&) {
        return false;
    }
    return true;
}

// The platform's rename where the system has a sound one. Wine's (8.0) loses the
// sibling that follows the key when the new name sorts right after the old one (a
// marker appended to a class name), so under Wine keys are copied.
RegRenameKeyFunction platformRename() {
    static const auto exported =
        systemFunction<RegRenameKeyFunction>("advapi32.dll", "RegRenameKey");
    static const bool wine = systemFunction<void (*)()>("ntdll.dll", "wine_get_version") != nullptr;
    return RegRenameKeyToUse(wine ? nullptr : exported, exported);
}

// The last name of a path, when the other path has the same parent: what the
// platform's rename takes as the new name. Empty otherwise.
std::wstring newNameBeside(const std::wstring& oldPath, const std::wstring& newPath) {
    size_t oldCut = oldPath.rfind(L'\\'), newCut = newPath.rfind(L'\\');
    std::wstring oldParent = oldCut == std::wstring::npos ? L"" : oldPath.substr(0, oldCut);
    std::wstring newParent = newCut == std::wstring::npos ? L"" : newPath.substr(0, newCut);
    return oldParent == newParent ? newPath.substr(newCut == std::wstring::npos ? 0 : newCut + 1)
                                  : std::wstring();
}

// The platform's rename: one step that keeps the key whole, with its security, its
// links and its volatility. The new name must not exist; nothing changes otherwise.
int renameInPlace(RegRenameKeyFunction rename, HKEY root, const std::wstring& oldPath,
                  const std::wstring& newName, const std::string& newKeyPath, REGSAM view) {
    RegKey key;
    if (key.openW(root, oldPath, KEY_WRITE | view, REG_OPTION_OPEN_LINK) != ERROR_SUCCESS)
        return -1;
    BeforeRegWriteOpen(root, newKeyPath);
    return rename(key.get(), nullptr, newName.c_str()) == ERROR_SUCCESS ? 0 : -1;
}

// The move where the platform can't rename: a copy, then the deletion of the old key.
int moveByCopy(HKEY root, const std::wstring& oldWide, const std::wstring& newWide,
               const std::string& newKeyPath, REGSAM view) {
    RegKey source;
    if (source.openW(root, oldWide, KEY_READ | DELETE | view, REG_OPTION_OPEN_LINK) !=
            ERROR_SUCCESS ||
        !treeDeletable(root, oldWide, view))
        return -1;
    BeforeRegWriteOpen(root, newKeyPath);
    RegKey target;
    bool created = false;
    if (LONG status = createCopy(source.get(), root, newWide, view, target, created);
        status != ERROR_SUCCESS)
        raiseCreateFailed(newKeyPath, status);
    if (!created)
        return -1; // another writer made it meanwhile: it is theirs, left as it is
    try {
        copyTree(source.get(), target.get(), true, oldWide, view);
    } catch (const RegistryError&) {
        target.close();
        deleteTreeW(root, newWide, view);
        throw;
    }
    source.close();
    target.close();
    LONG deleted = deleteTreeW(root, oldWide, view);
    if (deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND)
        return 0;
    // The old key stays: what its deletion took away is put back from the copy, and
    // the copy goes, so that exactly one of the two keys remains. Should that fail
    // too, both stay and nothing is lost.
    if (copyTreeOver(root, newWide, oldWide, view))
        deleteTreeW(root, newWide, view);
    return -1;
}

// The UTF-16 form of an ANSI key path, when that form converts back to exactly the
// same bytes (so that the path names the key its text shows).
bool exactWidePath(const std::string& path, std::wstring& wide) {
    std::wstring converted = AnsiToWide(path);
    std::string back;
    if (!WideToAnsiExact(converted, back) || back != path)
        return false;
    wide = std::move(converted);
    return true;
}

bool liesInside(const std::string& inner, const std::string& outer) {
    std::string a = AsciiLower(inner) + "\\", b = AsciiLower(outer) + "\\";
    return a.compare(0, b.size(), b) == 0;
}

} // namespace

bool OtherRegView(RegView& view) {
#ifdef _WIN64
    view = RegView::Bits32;
    return true;
#else
    BOOL wow64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64)
        return false;
    view = RegView::Bits64;
    return true;
#endif
}

int ReadRegInteger(HKEY root, const std::string& keyPath, const std::string& valueName, int& value,
                   RegView view) {
    value = -1;
    return readValue(
        root, keyPath, valueName, [&](const StoredValue& stored) { decodeInteger(stored, value); },
        view);
}

int WriteRegInteger(HKEY root, const std::string& keyPath, const std::string& valueName,
                    int value) {
    RegKey key;
    if (openWritable(key, root, keyPath, true, &valueName) != ERROR_SUCCESS)
        return -1;
    DWORD data = static_cast<DWORD>(value);
    setValue(key.get(), valueName, REG_DWORD, &data, sizeof data);
    int readValue = -1;
    decodeInteger(readBack(key.get(), valueName, REG_DWORD), readValue);
    return readValue == value ? 0 : -1;
}

int ReadRegString(HKEY root, const std::string& keyPath, const std::string& valueName,
                  std::string& text, RegView view) {
    text.clear();
    return readValue(
        root, keyPath, valueName, [&](const StoredValue& stored) { decodeString(stored, text); },
        view);
}

namespace {

// ReadRegStringW's read from the opened key.
int readStringW(HKEY key, const std::wstring& name, std::wstring& text) {
    std::vector<BYTE> data(256);
    DWORD type = REG_NONE;
    for (;;) {
        DWORD size = static_cast<DWORD>(data.size());
        LONG status = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size);
        if (status == ERROR_MORE_DATA) {
            data.resize(std::max<size_t>(size, data.size() * 2));
            continue;
        }
        if (status == ERROR_FILE_NOT_FOUND)
            return -1;
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
            return 0;
        const wchar_t* begin = reinterpret_cast<const wchar_t*>(data.data());
        text.assign(begin, wcsnlen(begin, size / sizeof(wchar_t)));
        return 0;
    }
}

} // namespace

int ReadRegStringW(HKEY root, const std::string& keyPath, const std::string& valueName,
                   std::wstring& text, RegView view) {
    return ReadRegStringW(root, AnsiToWide(keyPath), AnsiToWide(valueName), text, view);
}

int ReadRegStringW(HKEY root, const std::wstring& keyPath, const std::wstring& valueName,
                   std::wstring& text, RegView view) {
    text.clear();
    RegKey key;
    if (!openReadOnlyW(key, root, keyPath, view))
        return -1;
    return readStringW(key.get(), valueName, text);
}

int ReadRegKeyName(HKEY root, const std::string& keyPath, const std::string& valueName,
                   std::string& name) {
    name.clear();
    std::wstring text;
    std::string converted;
    if (ReadRegStringW(root, keyPath, valueName, text) != 0 || text.empty() ||
        text.find(L'\\') != std::wstring::npos || !WideToAnsiExact(text, converted))
        return -1;
    name = std::move(converted);
    return 0;
}

namespace {

int writeString(HKEY root, const std::string& keyPath, const std::string& valueName,
                const std::string& text, RegView view, bool create) {
    RegKey key;
    if (openWritable(key, root, keyPath, create, &valueName, view) != ERROR_SUCCESS)
        return -1;
    setValue(key.get(), valueName, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    std::string readText;
    decodeString(readBack(key.get(), valueName, REG_SZ), readText);
    return readText == text ? 0 : -1;
}

int writeWideString(HKEY root, const std::string& keyPath, const std::string& valueName,
                    const std::string& text, bool create) {
    if (text.size() > kWideTextMaxBytes)
        return -1;
    RegKey key;
    if (openWritable(key, root, keyPath, create, &valueName) != ERROR_SUCCESS)
        return -1;
    wchar_t buffer[kWideBufferBytes / sizeof(wchar_t)] = {};
    std::wstring wide = AnsiToWide(text);
    std::memcpy(buffer, wide.data(), wide.size() * sizeof(wchar_t));
    setValue(key.get(), valueName, REG_BINARY, buffer, static_cast<DWORD>(2 * (text.size() + 1)));
    std::string readText;
    decodeWideString(readBack(key.get(), valueName, REG_BINARY), readText);
    return readText == text ? 0 : -1;
}

} // namespace

int WriteRegString(HKEY root, const std::string& keyPath, const std::string& valueName,
                   const std::string& text, RegView view) {
    return writeString(root, keyPath, valueName, text, view, true);
}

int UpdateRegString(HKEY root, const std::string& keyPath, const std::string& valueName,
                    const std::string& text, RegView view) {
    return writeString(root, keyPath, valueName, text, view, false);
}

int ReadRegWideString(HKEY root, const std::string& keyPath, const std::string& valueName,
                      std::string& text) {
    text.clear();
    return readValue(root, keyPath, valueName,
                     [&](const StoredValue& stored) { decodeWideString(stored, text); });
}

int ReadRegWideStringW(HKEY root, const std::string& keyPath, const std::string& valueName,
                       std::wstring& text) {
    text.clear();
    return readValue(root, keyPath, valueName,
                     [&](const StoredValue& stored) { decodeWideText(stored, text); });
}

int WriteRegWideString(HKEY root, const std::string& keyPath, const std::string& valueName,
                       const std::string& text) {
    return writeWideString(root, keyPath, valueName, text, true);
}

int UpdateRegWideString(HKEY root, const std::string& keyPath, const std::string& valueName,
                        const std::string& text) {
    return writeWideString(root, keyPath, valueName, text, false);
}

std::string RegistryError::SystemText() const {
    return status_ == ERROR_SUCCESS ? std::string() : SystemErrorText(static_cast<DWORD>(status_));
}

bool OpenRegKeyToRead(HKEY root, const std::string& keyPath, RegView view, RegKey& key) {
    return openReadOnly(key, root, keyPath, view);
}

int RegKeyExists(HKEY root, const std::string& keyPath, RegView view) {
    RegKey key;
    return openReadOnly(key, root, keyPath, view) ? 0 : -1;
}

int CreateRegKey(HKEY root, const std::string& keyPath) {
    RegKey key;
    if (LONG status =
            openWritable(key, root, keyPath, true, nullptr, RegView::Program, KEY_QUERY_VALUE);
        status != ERROR_SUCCESS)
        raiseCreateFailed(keyPath, status);
    return 0;
}

int DeleteRegKey(HKEY root, const std::string& keyPath) {
    std::wstring path;
    if (!exactWidePath(relativePath(keyPath), path) || path.empty())
        return -1; // never the root itself
    if (RegKeyExists(root, keyPath) != 0)
        return -1;
    BeforeRegChange(root, path, 0, TRegChange::Tree);
    return deleteTreeW(root, path, 0) == ERROR_SUCCESS ? 0 : -1;
}

int DeleteRegValue(HKEY root, const std::string& keyPath, const std::string& valueName) {
    RegKey key;
    if (openWritable(key, root, keyPath, false, nullptr) != ERROR_SUCCESS ||
        !valueExists(key.get(), valueName))
        return -1;
    BeforeRegChange(root, AnsiToWide(relativePath(keyPath)), 0, TRegChange::Value,
                    AnsiToWide(valueName));
    if (RegDeleteValueA(key.get(), valueName.c_str()) != ERROR_SUCCESS)
        return -1;
    return valueExists(key.get(), valueName) ? -1 : 0;
}

int GetRegKeyNames(HKEY root, const std::string& keyPath, StringList& names, RegView view) {
    std::vector<std::wstring> wide;
    int status = GetRegKeyNamesW(root, keyPath, wide, view);
    names.clear();
    for (const std::wstring& name : wide) {
        std::string exact;
        if (WideToAnsiExact(name, exact))
            names.push_back(std::move(exact));
    }
    return status;
}

int GetRegKeyNamesW(HKEY root, const std::string& keyPath, std::vector<std::wstring>& names,
                    RegView view) {
    names.clear();
    RegKey key;
    if (!openReadOnly(key, root, keyPath, view))
        return -1;
    KeyCounts counts;
    queryCounts(key.get(), counts);
    return detail::listWideNames(names, counts.subKeys, counts.maxSubKeyName,
                                 [&](DWORD index, wchar_t* name, DWORD* length) {
                                     return RegEnumKeyExW(key.get(), index, name, length, nullptr,
                                                          nullptr, nullptr, nullptr);
                                 });
}

int GetRegValueNames(HKEY root, const std::string& keyPath, StringList& names) {
    names.clear();
    RegKey key;
    if (!openReadOnly(key, root, keyPath))
        return -1;
    KeyCounts counts;
    queryCounts(key.get(), counts);
    return detail::listNames(names, counts.values, counts.maxValueName,
                             [&](DWORD index, wchar_t* name, DWORD* length) {
                                 return RegEnumValueW(key.get(), index, name, length, nullptr,
                                                      nullptr, nullptr, nullptr);
                             });
}

int RenameRegKey(HKEY root, const std::string& oldKeyPath, const std::string& newKeyPath,
                 RegView view) {
    std::string oldPath = relativePath(oldKeyPath), newPath = relativePath(newKeyPath);
    std::wstring oldWide, newWide;
    if (!exactWidePath(oldPath, oldWide) || !exactWidePath(newPath, newWide))
        return -1;
    if (RegKeyExists(root, oldPath, view) != 0 || RegKeyExists(root, newPath, view) == 0 ||
        oldPath.empty() || liesInside(newPath, oldPath))
        return -1;
    const REGSAM flag = viewFlag(view);
    BeforeRegChange(root, oldWide, flag, TRegChange::Tree);
    BeforeRegChange(root, newWide, flag, TRegChange::Tree);
    std::wstring newName = newNameBeside(oldWide, newWide);
    if (RegRenameKeyFunction rename = platformRename(); rename != nullptr && !newName.empty())
        return renameInPlace(rename, root, oldWide, newName, newKeyPath, flag);
    return moveByCopy(root, oldWide, newWide, newKeyPath, flag);
}

} // namespace kel
