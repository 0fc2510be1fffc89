#include "sysinfo/RegBackup.h"

#include "sysinfo/Handle.h"
#include "sysinfo/RegKey.h"
#include "sysinfo/Text.h"

#include <aclapi.h>
#include <sddl.h>
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

std::string errorText(DWORD error) {
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   text, sizeof text, nullptr);
    std::string message = text;
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    return message.empty() ? "エラー " + std::to_string(error) : message;
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
            refuse(where, errorText(status));
        value.type = type;
        value.data.resize(size);
        return value;
    }
}

// The key and its tree, each key a section with all its values, parents first.
void addTree(HKEY key, const std::wstring& path, REGSAM view, std::vector<TRegSection>& out) {
    DWORD subKeys = 0, maxSubKey = 0, values = 0, maxValueName = 0, maxData = 0;
    LONG status = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr,
                                   &values, &maxValueName, &maxData, nullptr, nullptr);
    if (status != ERROR_SUCCESS)
        refuse(path, errorText(status));
    TRegSection section{path, false, {}};
    for (DWORD i = 0; i < values; ++i) {
        std::wstring name(maxValueName + 1, L'\0');
        DWORD length = maxValueName + 1;
        status = RegEnumValueW(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS)
            refuse(path, errorText(status));
        name.resize(length);
        section.values.push_back(readValue(key, name, path));
    }
    out.push_back(std::move(section));
    for (DWORD i = 0; i < subKeys; ++i) {
        std::wstring name(maxSubKey + 1, L'\0');
        DWORD length = maxSubKey + 1;
        status = RegEnumKeyExW(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS)
            refuse(path, errorText(status));
        name.resize(length);
        RegKey child;
        status = child.openW(key, name, KEY_READ | view);
        if (status != ERROR_SUCCESS)
            refuse(path + L"\\" + name, errorText(status));
        addTree(child.get(), path + L"\\" + name, view, out);
    }
}

bool isFolder(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The machine's backups: the administrators and the system change them, the users
// of the PC read them (the common application data folder lets every user add
// files, which an elevated undo or pruning must not meet).
constexpr wchar_t kMachineFolderRules[] = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FRFX;;;BU)";

// The machine's folder made the administrators' with the rules above, also when
// another account made it first: an elevated backup never writes, prunes or undoes
// where a user could have put files. Refused when that can't be done.
void secureFolder(const std::wstring& folder, PSECURITY_DESCRIPTOR descriptor) {
    BOOL present = FALSE, defaulted = FALSE;
    PACL rulesList = nullptr;
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof administrators;
    if (!GetSecurityDescriptorDacl(descriptor, &present, &rulesList, &defaulted) ||
        !CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size))
        refuse(folder, errorText(GetLastError()));
    DWORD status = SetNamedSecurityInfoW(const_cast<wchar_t*>(folder.c_str()), SE_FILE_OBJECT,
                                         OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                                             PROTECTED_DACL_SECURITY_INFORMATION,
                                         administrators, nullptr, rulesList, nullptr);
    if (status != ERROR_SUCCESS)
        refuse(folder, errorText(status));
}

// Makes the folder and its missing parents, the machine's with its own access rules.
// A folder or parent that is a link elsewhere is refused: an elevated backup writes
// and prunes only where it meant to.
void makeFolder(const std::wstring& folder, TBackupPlace place) {
    SECURITY_ATTRIBUTES rules{sizeof rules, nullptr, FALSE};
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (place == TBackupPlace::Machine) {
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
                kMachineFolderRules, SDDL_REVISION_1, &descriptor, nullptr))
            refuse(folder, errorText(GetLastError()));
        rules.lpSecurityDescriptor = descriptor;
    }
    LocalMemory owner(descriptor);
    for (size_t at = folder.find(L'\\', 3); at != std::wstring::npos;
         at = folder.find(L'\\', at + 1))
        CreateDirectoryW(folder.substr(0, at).c_str(), &rules); // only those missing
    CreateDirectoryW(folder.c_str(), &rules);
    size_t parent = folder.rfind(L'\\');
    if (!isFolder(folder) || (parent != std::wstring::npos && !isFolder(folder.substr(0, parent))))
        refuse(folder, "フォルダを作れません。");
    if (place == TBackupPlace::Machine)
        secureFolder(folder, descriptor);
}

std::vector<std::wstring> regFilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    FindHandle search(FindFirstFileW((folder + L"\\*.reg").c_str(), &found));
    if (!search.valid())
        return names;
    do {
        if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
            names.push_back(found.cFileName);
    } while (FindNextFileW(search.get(), &found));
    return names;
}

RegBackup::State* gActive = nullptr;

} // namespace

const char kNothingChangedWithoutBackup[] =
    "更新出来ませんでした。変更前の状態を控えられないため、何も変更していません。";

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
        std::wstring path;                             // empty until the first change made the file
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
                throw BackupError(failure);
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
            throw BackupError(failure);
        }
    }

    // The user's message of a backup that can't be written: nothing changed, or,
    // when earlier steps of the change were made, where their backup is.
    std::string userMessage(const std::string& why) const {
        std::vector<std::wstring> made = files();
        if (made.empty())
            return std::string(kNothingChangedWithoutBackup) + "\r\n" + why;
        std::string text =
            "更新出来ませんでした。変更前の状態を控えられないため、途中で止めました。"
            "ここまでの変更は、次の控えで元に戻せます:";
        for (const std::wstring& file : made)
            text += "\r\n" + WideToAnsi(file);
        return text + "\r\n" + why;
    }

    std::vector<std::wstring> files() const {
        std::vector<std::wstring> made;
        for (const Place& place : places)
            if (!place.path.empty())
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
        LONG status = key.openW(base, path, rights | fileView());
        if (status != ERROR_SUCCESS)
            refuse(located.path, errorText(status));
        if (change == TRegChange::Value) {
            std::wstring id = located.path + L'\0' + valueName;
            std::transform(id.begin(), id.end(), id.begin(), towupper);
            if (!valuesKept.insert(id).second)
                return false;
            sections.push_back(
                {located.path, false, {readValue(key.get(), valueName, located.path)}});
            return true;
        }
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
        replaceWhole(place.path, L"\xFEFF" + *text);
    }

    // The file's new text written beside it and moved over it, so that a crash
    // mid-way leaves the last whole backup.
    static void replaceWhole(const std::wstring& path, const std::wstring& content) {
        std::wstring next = path + L".new";
        DeleteFileW(next.c_str());
        Handle file(CreateFileW(next.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD bytes = static_cast<DWORD>(content.size() * sizeof(wchar_t)), written = 0;
        bool whole = file.valid() &&
                     WriteFile(file.get(), content.data(), bytes, &written, nullptr) &&
                     written == bytes && FlushFileBuffers(file.get());
        DWORD error = GetLastError();
        file.reset();
        if (!whole || !MoveFileExW(next.c_str(), path.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            error = whole ? GetLastError() : error;
            DeleteFileW(next.c_str());
            refuse(path, errorText(error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT));
        }
    }

    std::vector<std::wstring> comments(const std::wstring& path) const {
        std::wstring sixtyFour = sixtyFourBitWindows() ? L" /reg:64" : L"";
        std::optional<TBackupName> name = ParseBackupFileName(path.substr(path.rfind(L'\\') + 1));
        return {L"Wexdal: " + row + L" を変更する前の状態 (" + (name ? name->time : L"") + L")",
                L"元に戻すには、このファイルをダブルクリックするか、次のどちらかを実行します:",
                L"  reg import \"" + path + L"\"" + sixtyFour,
                L"  wexdal.exe /undo \"" + path + L"\"",
                sixtyFour.empty() ? L"キーは Windows の登録どおりの場所で書いてあります。"
                                  : L"キーは 64 ビットのビューの名前で書いてあります "
                                    L"(32 ビットのビューのキーは WOW6432Node の下)。"};
    }

    void create(TBackupPlace which, Place& place) {
        std::wstring folder = gBackupFolder(which);
        if (folder.empty())
            refuse(L"Backup", "フォルダが分かりません。");
        makeFolder(folder, which);
        // The name is taken by making the file; its text follows.
        std::wstring path;
        for (int attempt = 1; attempt <= 9999 && place.path.empty(); ++attempt) {
            path = folder + L"\\" + BackupFileName(time, row, attempt);
            Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
            if (file.valid())
                place.path = path;
            else if (GetLastError() != ERROR_FILE_EXISTS)
                refuse(path, errorText(GetLastError()));
        }
        if (place.path.empty())
            refuse(path, errorText(ERROR_FILE_EXISTS));
        for (const std::wstring& old : BackupsBeyond(regFilesIn(folder), kBackupsKept))
            DeleteFileW((folder + L"\\" + old).c_str());
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

std::vector<TBackupFile> ListBackups() {
    std::vector<TBackupFile> files;
    for (TBackupPlace place : {TBackupPlace::User, TBackupPlace::Machine}) {
        std::wstring folder = gBackupFolder(place);
        if (folder.empty())
            continue;
        for (const std::wstring& name : regFilesIn(folder))
            if (std::optional<TBackupName> parsed = ParseBackupFileName(name))
                files.push_back({folder + L"\\" + name, place, *parsed});
    }
    std::sort(files.begin(), files.end(), [](const TBackupFile& a, const TBackupFile& b) {
        return std::tie(a.name.time, a.path) < std::tie(b.name.time, b.path);
    });
    return files;
}

} // namespace kel
