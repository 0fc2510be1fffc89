#include "sysinfo/RegBackup.h"

#include "sysinfo/Account.h"
#include "sysinfo/Folder.h"
#include "sysinfo/Handle.h"
#include "sysinfo/RegKey.h"
#include "sysinfo/Text.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <optional>
#include <set>
#include <utility>

namespace kel {

namespace {

constexpr int kKeyNameInformation = 3; // NtQueryKey's class for the key's own path

// The system's own path of an open key ("\REGISTRY\MACHINE\SOFTWARE\..."): where
// it really lives, whatever view or merged root opened it. Empty when unknown.
std::wstring systemPathOf(HKEY key) {
    using NtQueryKeyFunction = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    static const auto query = reinterpret_cast<NtQueryKeyFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryKey")));
    if (query == nullptr)
        return {};
    std::vector<BYTE> buffer(1024);
    ULONG length = 0;
    while (query(key, kKeyNameInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                 &length) != 0) {
        if (length <= buffer.size())
            return {};
        buffer.resize(length);
    }
    ULONG bytes = 0;
    std::memcpy(&bytes, buffer.data(), sizeof bytes);
    bytes = std::min<ULONG>(bytes, static_cast<ULONG>(buffer.size() - sizeof bytes));
    return std::wstring(reinterpret_cast<const wchar_t*>(buffer.data() + sizeof bytes),
                        bytes / sizeof(wchar_t));
}

// The roots the program backs up, by the editor's names.
const std::pair<const wchar_t*, HKEY> kRootKeys[] = {{L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                                                     {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                                                     {L"HKEY_USERS", HKEY_USERS},
                                                     {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT}};

// The editor's name of a root, for a key made right under it: new classes go to the
// machine's classes.
std::wstring rootName(HKEY root) {
    if (root == HKEY_CLASSES_ROOT)
        return L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes";
    for (const auto& [name, key] : kRootKeys)
        if (key == root)
            return name;
    return L"HKEY_LOCAL_MACHINE";
}

std::vector<std::wstring> keyNames(const std::wstring& path) {
    std::vector<std::wstring> names;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = std::min(path.find(L'\\', start), path.size());
        if (end > start)
            names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::wstring joined(const std::vector<std::wstring>& names, size_t from, size_t to) {
    std::wstring path;
    for (size_t i = from; i < to; ++i)
        path += (path.empty() ? L"" : L"\\") + names[i];
    return path;
}

std::wstring withChild(const std::wstring& path, const std::wstring& child) {
    return child.empty() ? path : path + L"\\" + child;
}

// Why a backup can't be written: the key or file, and the reason. The session
// turns it into the user's message.
[[noreturn]] void refuse(const std::wstring& what, const std::string& why) {
    throw BackupError(WideToAnsi(what) + "\r\n" + why);
}

bool sixtyFourBitWindows() {
    RegView other;
    return OtherRegView(other);
}

// The view in which the editor's names of keys name them: the 64-bit view on 64-bit
// Windows, whose names of the 32-bit view's keys hold WOW6432Node.
REGSAM fileView() {
    return sixtyFourBitWindows() ? KEY_WOW64_64KEY : 0;
}

// The root and the path below it of a key as the editor names it; false for a name
// under no root the program backs up.
bool splitRoot(const std::wstring& named, HKEY& root, std::wstring& path) {
    for (const auto& [name, key] : kRootKeys)
        if (KeyLiesUnder(named, name)) {
            root = key;
            path = named.substr(std::min(named.size(), std::wcslen(name) + 1));
            return true;
        }
    return false;
}

// A key as the file names it: where it lives (or, when missing, where it would be
// made), and the first of its missing keys, which the file deletes.
struct Located {
    std::wstring path;
    std::wstring firstMissing; // empty when the key exists
};

std::optional<Located> locate(HKEY root, const std::wstring& keyPath, REGSAM view,
                              const std::wstring& ownUser) {
    std::vector<std::wstring> names = keyNames(keyPath);
    for (size_t present = names.size() + 1; present-- > 0;) {
        RegKey key;
        std::wstring base;
        LONG status = key.openW(root, joined(names, 0, present), KEY_QUERY_VALUE | view);
        if (status == ERROR_SUCCESS) {
            std::optional<std::wstring> named = RegeditPath(systemPathOf(key.get()), ownUser);
            if (!named && present != 0)
                return std::nullopt;
            base = named ? *named : rootName(root);
        } else if (present == 0) {
            base = rootName(root);
        } else if (status == ERROR_FILE_NOT_FOUND) {
            continue;
        } else {
            return std::nullopt; // there, but unreadable: never taken for missing
        }
        Located located{withChild(base, joined(names, present, names.size())), {}};
        if (present < names.size())
            located.firstMissing = withChild(base, names[present]);
        return located;
    }
    return std::nullopt;
}

// Reads one value exactly; absent when the key has none of that name.
TRegValue readValue(HKEY key, const std::wstring& name, const std::wstring& where) {
    TRegValue value{name, true, 0, std::vector<uint8_t>(256)};
    for (;;) {
        DWORD type = 0, size = static_cast<DWORD>(value.data.size());
        LONG status = RegQueryValueExW(key, name.c_str(), nullptr, &type, value.data.data(), &size);
        if (status == ERROR_FILE_NOT_FOUND)
            return {name, false, 0, {}};
        if (status == ERROR_MORE_DATA) {
            value.data.resize(size);
            continue;
        }
        if (status != ERROR_SUCCESS)
            refuse(where, SystemErrorText(status));
        value.type = type;
        value.data.resize(size);
        return value;
    }
}

// A registry link can't be written back by an import (it would come back as a key
// of its own), and its target lies outside the tree: a backup that meets one is
// refused, never followed into the key it names.
void refuseLink(HKEY key, const std::wstring& path) {
    DWORD type = 0;
    LONG status = RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr);
    if (status == ERROR_SUCCESS && type == REG_LINK)
        refuse(path, "別のキーへのリンクです。リンクのキーは控えられません。");
}

// The key and its tree, each key a section with all its values, parents first.
void addTree(HKEY key, const std::wstring& path, REGSAM view, std::vector<TRegSection>& out) {
    DWORD subKeys = 0, maxSubKey = 0, values = 0, maxValueName = 0, maxData = 0;
    LONG status = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr,
                                   &values, &maxValueName, &maxData, nullptr, nullptr);
    if (status != ERROR_SUCCESS)
        refuse(path, SystemErrorText(status));
    TRegSection section{path, false, {}};
    for (DWORD i = 0; i < values; ++i) {
        std::wstring name(maxValueName + 1, L'\0');
        DWORD length = maxValueName + 1;
        status = RegEnumValueW(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS)
            refuse(path, SystemErrorText(status));
        name.resize(length);
        section.values.push_back(readValue(key, name, path));
    }
    out.push_back(std::move(section));
    for (DWORD i = 0; i < subKeys; ++i) {
        std::wstring name(maxSubKey + 1, L'\0');
        DWORD length = maxSubKey + 1;
        status = RegEnumKeyExW(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS)
            refuse(path, SystemErrorText(status));
        name.resize(length);
        RegKey child;
        status = child.openW(key, name, KEY_READ | view, REG_OPTION_OPEN_LINK);
        if (status != ERROR_SUCCESS)
            refuse(path + L"\\" + name, SystemErrorText(status));
        refuseLink(child.get(), path + L"\\" + name);
        addTree(child.get(), path + L"\\" + name, view, out);
    }
}

// The machine's backups: the administrators and the system change them, the users
// of the PC read them.
constexpr wchar_t kMachineFolderRules[] =
    L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FRFX;;;BU)";

// A folder of the backups' chain, used only when it is no link and, for the
// machine's, nobody but SYSTEM, the administrators and TrustedInstaller owns it or
// may change it: an elevated backup never writes, prunes or undoes where a user
// could have put files or a link. Such a folder is refused, not taken over.
void checkFolder(const TFolder& folder, TBackupPlace place) {
    std::optional<TTrust> judged = JudgeHeldAdminOnly(folder.get());
    if (!judged)
        refuse(folder.Path(), "アクセス許可を読めません。");
    TTrust verdict = *judged;
    if (place == TBackupPlace::User && verdict != TTrust::ReparsePoint)
        return;
    if (verdict != TTrust::Trusted)
        refuse(folder.Path(),
               std::string(UntrustedReason(verdict)) +
                   "\r\n管理者がこのフォルダを削除してから、もう一度実行してください。");
}

// What a backup folder is opened for: its names listed, its files read, or written
// (the folder made when missing). Those read or written are checked first.
enum class TFolderUse { List, Read, Write };

// The place's folder ("...\Wexdal\Backup"), opened through its parent's handle one
// folder at a time. Invalid, unless written, for a folder that is not there.
TFolder openBackupFolder(TBackupPlace place, TFolderUse use) {
    bool create = use == TFolderUse::Write;
    std::wstring path = gBackupFolder(place);
    size_t backup = path.rfind(L'\\');
    size_t program = backup == std::wstring::npos || backup == 0 ? std::wstring::npos
                                                                 : path.rfind(L'\\', backup - 1);
    if (program == std::wstring::npos || program < 2)
        refuse(L"Backup", "フォルダが分かりません。");
    std::wstring base = path.substr(0, program);
    const wchar_t* rules = place == TBackupPlace::Machine ? kMachineFolderRules : nullptr;
    if (create)
        for (size_t at = base.find(L'\\', 3); at != std::wstring::npos;
             at = base.find(L'\\', at + 1))
            CreateDirectoryW(base.substr(0, at).c_str(), nullptr); // only those missing
    DWORD error = ERROR_SUCCESS;
    TFolder folder = TFolder::Open(nullptr, base, create, nullptr, error);
    for (const std::wstring& name :
         {path.substr(program + 1, backup - program - 1), path.substr(backup + 1)}) {
        if (!folder.valid())
            break;
        TFolder inner = TFolder::Open(&folder, name, create, rules, error);
        if (inner.valid() && use != TFolderUse::List)
            checkFolder(inner, place);
        folder = std::move(inner);
    }
    if (!folder.valid() && create)
        refuse(path, SystemErrorText(error));
    return folder;
}

RegBackup::State* gActive = nullptr;

} // namespace

const char kNothingChangedWithoutBackup[] =
    "更新出来ませんでした。変更前の状態を控えられないため、何も変更していません。";
const char kStoppedWithoutBackup[] =
    "更新出来ませんでした。変更前の状態を控えられないため、途中で止めました。"
    "ここまでの変更は、次の控えで元に戻せます:";

std::wstring KnownBackupFolder(TBackupPlace place) {
    wchar_t folder[MAX_PATH] = {};
    int which = place == TBackupPlace::User ? CSIDL_LOCAL_APPDATA : CSIDL_COMMON_APPDATA;
    if (SHGetFolderPathW(nullptr, which, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK)
        return {};
    return std::wstring(folder) + L"\\Wexdal\\Backup";
}

std::wstring (*gBackupFolder)(TBackupPlace place) = KnownBackupFolder;

struct RegBackup::State {
    struct Place {
        std::vector<std::vector<TRegSection>> changes; // in the order they were made
        TFolder folder;                                // open from the first change on
        std::wstring name;                             // the file's, in the folder
        std::wstring path;                             // empty until the first change made the file
        bool written = false;                          // the file holds a whole backup
    };

    std::wstring row;
    TBackupTime time{};
    std::wstring ownUser;
    Place places[2];
    std::set<std::wstring> valuesKept;     // path, NUL, name: each value once
    std::vector<std::wstring> keysDeleted; // keys the file deletes, with their trees
    std::string failure;

    bool covered(const std::wstring& path) const {
        return std::any_of(keysDeleted.begin(), keysDeleted.end(),
                           [&](const std::wstring& key) { return KeyLiesUnder(path, key); });
    }

    void record(HKEY root, const std::wstring& keyPath, REGSAM view, TRegChange change,
                const std::wstring& valueName) {
        try {
            std::optional<Located> located = locate(root, keyPath, view, ownUser);
            // What the backup already holds whole may still change: a change that
            // stopped puts its own first steps back.
            if (located && covered(located->path))
                return;
            if (!failure.empty())
                throw BackupError(failure, files());
            if (!located)
                refuse(keyPath, "キーを読めないか、その場所が分かりません。");
            std::vector<TRegSection> sections;
            if (!located->firstMissing.empty()) {
                sections.push_back({located->firstMissing, true, {}});
                keysDeleted.push_back(located->firstMissing);
            } else if (change == TRegChange::Creation) {
                return;
            } else if (!readKey(change, valueName, *located, sections)) {
                return;
            }
            write(placeOf(located->path), std::move(sections));
        } catch (const BackupError& error) {
            if (failure.empty())
                failure = userMessage(error.what());
            throw BackupError(failure, files());
        }
    }

    // The user's message of a backup that can't be written: nothing changed, or,
    // when earlier steps of the change were made, where their backup is.
    std::string userMessage(const std::string& why) const {
        std::vector<std::wstring> made = files();
        if (made.empty())
            return std::string(kNothingChangedWithoutBackup) + "\r\n" + why;
        std::string text = kStoppedWithoutBackup;
        for (const std::wstring& file : made)
            text += "\r\n" + WideToAnsi(file);
        return text + "\r\n" + why;
    }

    std::vector<std::wstring> files() const {
        std::vector<std::wstring> made;
        for (const Place& place : places)
            if (place.written)
                made.push_back(place.path);
        return made;
    }

    // The sections that put back a key that exists: one value, or the whole tree
    // (deleted first, so that what the change adds goes too). False when the value
    // was kept already.
    bool readKey(TRegChange change, const std::wstring& valueName, const Located& located,
                 std::vector<TRegSection>& sections) {
        // The key where it lives, never through the merged classes' view, whose
        // listing mixes the user's sub-keys with the machine's.
        RegKey key;
        HKEY base = nullptr;
        std::wstring path;
        REGSAM rights = change == TRegChange::Value ? KEY_QUERY_VALUE : KEY_READ;
        if (!splitRoot(located.path, base, path))
            refuse(located.path, "キーの場所が分かりません。");
        LONG status = key.openW(base, path, rights | fileView(),
                                change == TRegChange::Value ? 0 : REG_OPTION_OPEN_LINK);
        if (status != ERROR_SUCCESS)
            refuse(located.path, SystemErrorText(status));
        if (change == TRegChange::Value) {
            std::wstring id = located.path + L'\0' + valueName;
            std::transform(id.begin(), id.end(), id.begin(), towupper);
            if (!valuesKept.insert(id).second)
                return false;
            sections.push_back(
                {located.path, false, {readValue(key.get(), valueName, located.path)}});
            return true;
        }
        refuseLink(key.get(), located.path);
        sections.push_back({located.path, true, {}});
        addTree(key.get(), located.path, fileView(), sections);
        keysDeleted.push_back(located.path);
        return true;
    }

    static TBackupPlace placeOf(const std::wstring& path) {
        return KeyLiesUnder(path, L"HKEY_CURRENT_USER") ? TBackupPlace::User
                                                        : TBackupPlace::Machine;
    }

    // Rewrites the place's file whole, the latest change first, so that importing it
    // undoes the changes in the reverse order of their making; the file is made on
    // the first change.
    void write(TBackupPlace which, std::vector<TRegSection> sections) {
        Place& place = places[static_cast<int>(which)];
        place.changes.push_back(std::move(sections));
        if (place.path.empty())
            create(which, place);
        std::vector<TRegSection> all;
        for (auto change = place.changes.rbegin(); change != place.changes.rend(); ++change)
            all.insert(all.end(), change->begin(), change->end());
        std::optional<std::wstring> text = RegFileText(comments(place.path), all);
        if (!text)
            refuse(place.path, "キーの名前をファイルに書けません。");
        std::wstring content = L"\xFEFF" + *text;
        DWORD error = place.folder.ReplaceWhole(
            place.name, std::string(reinterpret_cast<const char*>(content.data()),
                                    content.size() * sizeof(wchar_t)));
        if (error != ERROR_SUCCESS) {
            if (!place.written)
                place.folder.Remove(place.name); // the empty file that took the name
            refuse(place.path, SystemErrorText(error));
        }
        place.written = true;
    }

    std::vector<std::wstring> comments(const std::wstring& path) const {
        std::optional<TBackupName> name = ParseBackupFileName(path.substr(path.rfind(L'\\') + 1));
        return {L"Wexdal: " + row + L" を変更する前の状態 (" + (name ? name->time : L"") + L")",
                L"元に戻すには、このファイルをダブルクリックするか、次のどちらかを実行します:",
                L"  " + RegImportLine(path), L"  wexdal.exe /undo \"" + path + L"\"",
                !sixtyFourBitWindows() ? L"キーは Windows の登録どおりの場所で書いてあります。"
                                       : L"キーは 64 ビットのビューの名前で書いてあります "
                                         L"(32 ビットのビューのキーは WOW6432Node の下)。"};
    }

    // Opens the place's folder, takes a name by making the file, and prunes the
    // oldest backups beyond those kept, all through the folder's handle.
    void create(TBackupPlace which, Place& place) {
        place.folder = openBackupFolder(which, TFolderUse::Write);
        std::wstring name;
        DWORD error = ERROR_FILE_EXISTS;
        for (int attempt = 1; attempt <= 9999 && place.path.empty(); ++attempt) {
            name = BackupFileName(time, row, attempt);
            if (place.folder.CreateNewFile(name, GENERIC_WRITE, error).valid()) {
                place.name = name;
                place.path = place.folder.PathOf(name);
            } else if (error != ERROR_FILE_EXISTS) {
                break;
            }
        }
        if (place.path.empty())
            refuse(place.folder.PathOf(name), SystemErrorText(error));
        if (std::optional<std::vector<std::wstring>> names = place.folder.FileNames(L".reg"))
            for (const std::wstring& old : BackupsBeyond(*names, kBackupsKept))
                place.folder.Remove(old);
    }
};

RegBackup::RegBackup(std::wstring row) {
    if (gActive != nullptr)
        return;
    state_ = std::make_unique<State>();
    state_->row = std::move(row);
    SYSTEMTIME now;
    GetLocalTime(&now);
    state_->time = {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    HKEY own = nullptr;
    if (RegOpenCurrentUser(KEY_QUERY_VALUE, &own) == ERROR_SUCCESS) {
        RegKey owned(own);
        state_->ownUser = systemPathOf(owned.get());
    }
    gActive = state_.get();
}

RegBackup::~RegBackup() {
    if (state_ && gActive == state_.get())
        gActive = nullptr;
}

std::vector<std::wstring> RegBackup::Files() const {
    return state_ ? state_->files() : std::vector<std::wstring>();
}

void BeforeRegChange(HKEY root, const std::wstring& keyPath, REGSAM view, TRegChange change,
                     const std::wstring& valueName) {
    if (gActive != nullptr)
        gActive->record(root, keyPath, view, change, valueName);
}

bool BackUpKeysOf(const std::wstring& fileText) {
    std::optional<std::vector<std::wstring>> keys = SectionKeys(fileText);
    if (!keys)
        return false;
    std::vector<std::pair<HKEY, std::wstring>> split;
    for (const std::wstring& key : *keys) {
        HKEY root = nullptr;
        std::wstring path;
        if (!splitRoot(key, root, path) || path.empty())
            return false;
        split.emplace_back(root, path);
    }
    for (const auto& [root, path] : split)
        BeforeRegChange(root, path, fileView(), TRegChange::Tree);
    return true;
}

Handle OpenMachineBackup(HANDLE file, const std::wstring& name) {
    if (!ParseBackupFileName(name))
        return Handle();
    TFolder folder;
    try {
        folder = openBackupFolder(TBackupPlace::Machine, TFolderUse::Read);
    } catch (const BackupError&) {
        return Handle(); // a folder that is not the administrators' vouches for nothing
    }
    DWORD error = ERROR_SUCCESS;
    Handle backup = folder.valid() ? folder.OpenFile(name, GENERIC_READ, error) : Handle();
    if (!backup.valid() || !SameFile(backup.get(), file))
        return Handle();
    return backup;
}

std::optional<unsigned long> ImportRegFile(const std::wstring& file) {
    wchar_t system[MAX_PATH] = {};
    UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || file.find(L'"') != std::wstring::npos)
        return std::nullopt;
    std::wstring program = std::wstring(system) + L"\\reg.exe";
    std::wstring command = L"\"" + program + L"\" import \"" + file + L"\"" +
                           (sixtyFourBitWindows() ? L" /reg:64" : L"");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &started))
        return std::nullopt;
    Handle process(started.hProcess), thread(started.hThread);
    DWORD exitCode = 1;
    if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.get(), &exitCode))
        return std::nullopt;
    return exitCode;
}

std::wstring RegImportLine(const std::wstring& file) {
    return L"reg import \"" + file + L"\"" + (sixtyFourBitWindows() ? L" /reg:64" : L"");
}

std::optional<std::wstring> FirstDifferentKey(const std::vector<TRegSection>& sections) {
    // What the import leaves: a later section overrides an earlier one, and a key
    // deleted takes what was said of its tree with it. A key made again after its
    // deletion holds exactly what the file gives it.
    struct Expected {
        TRegSection section;
        bool whole = false;
    };
    auto sameName = [](const std::wstring& a, const std::wstring& b) {
        return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
    };
    std::vector<Expected> expected;
    for (const TRegSection& section : sections) {
        if (section.deleteKey)
            std::erase_if(expected, [&](const Expected& earlier) {
                return KeyLiesUnder(earlier.section.path, section.path);
            });
        auto same = std::find_if(expected.begin(), expected.end(), [&](const Expected& earlier) {
            return !earlier.section.deleteKey && !section.deleteKey &&
                   sameName(earlier.section.path, section.path);
        });
        if (same == expected.end()) {
            bool whole =
                !section.deleteKey &&
                std::any_of(expected.begin(), expected.end(), [&](const Expected& e) {
                    return e.section.deleteKey && KeyLiesUnder(section.path, e.section.path);
                });
            expected.push_back({{section.path, section.deleteKey, {}}, whole});
            same = expected.end() - 1;
        }
        for (const TRegValue& value : section.values) {
            std::erase_if(same->section.values, [&](const TRegValue& earlier) {
                return sameName(earlier.name, value.name);
            });
            same->section.values.push_back(value);
        }
    }
    for (const auto& [section, whole] : expected) {
        HKEY root = nullptr;
        std::wstring path;
        if (!splitRoot(section.path, root, path))
            return section.path;
        RegKey key;
        LONG status = key.openW(root, path, KEY_QUERY_VALUE | fileView());
        bool madeAgain =
            section.deleteKey &&
            std::any_of(expected.begin(), expected.end(), [&](const Expected& e) {
                return !e.section.deleteKey && KeyLiesUnder(e.section.path, section.path);
            });
        if (section.deleteKey ? !madeAgain && status != ERROR_FILE_NOT_FOUND
                              : status != ERROR_SUCCESS)
            return section.path;
        if (section.deleteKey)
            continue;
        size_t present = 0;
        for (const TRegValue& value : section.values) {
            TRegValue stored;
            try {
                stored = readValue(key.get(), value.name, section.path);
            } catch (const BackupError&) {
                return section.path; // unreadable: not known to be as the file says
            }
            if (stored.present != value.present ||
                (value.present && (stored.type != value.type || stored.data != value.data)))
                return section.path;
            present += value.present ? 1 : 0;
        }
        if (!whole)
            continue;
        // Nothing more than the file gives: no other value, no other sub-key.
        size_t children = std::count_if(expected.begin(), expected.end(), [&](const Expected& e) {
            return !e.section.deleteKey && KeyLiesUnder(e.section.path, section.path) &&
                   e.section.path.size() > section.path.size() &&
                   e.section.path.find(L'\\', section.path.size() + 1) == std::wstring::npos;
        });
        DWORD subKeys = 0, values = 0;
        if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                             &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
            subKeys != children || values != present)
            return section.path;
    }
    return std::nullopt;
}

std::optional<unsigned long> ImportRegText(const std::wstring& text, TBackupPlace place) {
    TFolder folder = openBackupFolder(place, TFolderUse::Write);
    std::wstring name; // not a backup's name: never listed, pruned or undone
    DWORD error = ERROR_SUCCESS;
    Handle file = folder.WriteNewFile(
        L"~wexdal-undo-", L".reg",
        std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t)),
        name, error);
    if (!file.valid())
        return std::nullopt;
    file.reset();
    std::optional<unsigned long> imported = ImportRegFile(folder.PathOf(name));
    folder.Remove(name);
    return imported;
}

std::vector<TBackupFile> ListBackups() {
    std::vector<TBackupFile> files;
    for (TBackupPlace place : {TBackupPlace::User, TBackupPlace::Machine}) {
        TFolder folder;
        try {
            folder = openBackupFolder(place, TFolderUse::List);
        } catch (const BackupError&) {
            continue; // no folder known
        }
        std::optional<std::vector<std::wstring>> names;
        if (folder.valid())
            names = folder.FileNames(L".reg");
        for (const std::wstring& name : names ? *names : std::vector<std::wstring>())
            if (std::optional<TBackupName> parsed = ParseBackupFileName(name))
                files.push_back({folder.PathOf(name), place, *parsed});
    }
    std::sort(files.begin(), files.end(), [](const TBackupFile& a, const TBackupFile& b) {
        return std::tie(a.name.time, a.path) < std::tie(b.name.time, b.path);
    });
    return files;
}

std::vector<TBackupFile> BackupsSince(const std::vector<TBackupFile>& before) {
    std::vector<TBackupFile> made;
    for (TBackupFile& file : ListBackups())
        if (std::none_of(before.begin(), before.end(),
                         [&](const TBackupFile& old) { return old.path == file.path; }))
            made.push_back(std::move(file));
    return made;
}

} // namespace kel
