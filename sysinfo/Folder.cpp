#include "sysinfo/Folder.h"

#include "sysinfo/Account.h"
#include "sysinfo/Text.h"

#include <aclapi.h>
#include <sddl.h>
#include <winternl.h>

#include <cwctype>

namespace kel {

namespace {

// The native calls that open a file relative to a folder's handle.
using CreateFileFunction = decltype(&NtCreateFile);
using StatusToErrorFunction = decltype(&RtlNtStatusToDosError);
using SetInformationFunction = LONG(NTAPI*)(HANDLE, IO_STATUS_BLOCK*, void*, ULONG, int);
constexpr int kFileRenameInformation = 10;

struct Native {
    CreateFileFunction createFile = nullptr;
    StatusToErrorFunction toError = nullptr;
    SetInformationFunction setInformation = nullptr;
};

const Native& native() {
    static const Native calls = [] {
        Native found;
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        if (ntdll != nullptr) {
            found.createFile = reinterpret_cast<CreateFileFunction>(
                reinterpret_cast<void*>(GetProcAddress(ntdll, "NtCreateFile")));
            found.toError = reinterpret_cast<StatusToErrorFunction>(
                reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlNtStatusToDosError")));
            found.setInformation = reinterpret_cast<SetInformationFunction>(
                reinterpret_cast<void*>(GetProcAddress(ntdll, "NtSetInformationFile")));
        }
        return found;
    }();
    return calls;
}

// A name that stands for itself in the folder: no separator, no stream, neither
// "." nor "..".
bool plainName(const std::wstring& name) {
    return !name.empty() && name != L"." && name != L".." &&
           name.find_first_of(std::wstring(L"\\/:\0", 4)) == std::wstring::npos;
}

constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// A folder in use can be read and added to, but not renamed or deleted.
constexpr ULONG kShareFolder = FILE_SHARE_READ | FILE_SHARE_WRITE;

// Opens or makes name relative to the folder, never following a link.
Handle openRelative(HANDLE folder, const std::wstring& name, DWORD access, ULONG share,
                    ULONG disposition, ULONG options, PSECURITY_DESCRIPTOR rules, DWORD& error) {
    const Native& calls = native();
    if (!plainName(name) || name.size() > 32767 || calls.createFile == nullptr) {
        error = ERROR_INVALID_NAME;
        return Handle();
    }
    UNICODE_STRING unicodeName;
    unicodeName.Buffer = const_cast<wchar_t*>(name.c_str());
    unicodeName.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    unicodeName.MaximumLength = unicodeName.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &unicodeName, OBJ_CASE_INSENSITIVE, folder, rules);
    IO_STATUS_BLOCK io{};
    HANDLE opened = nullptr;
    NTSTATUS status = calls.createFile(
        &opened, access | SYNCHRONIZE, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL, share,
        disposition, options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
    if (status < 0) {
        error = calls.toError != nullptr ? calls.toError(status) : ERROR_ACCESS_DENIED;
        return Handle();
    }
    return Handle(opened);
}

// Renames the open file to name in the folder, replacing a file there, through the
// system's own call (the documented one reads the name as a path of the current
// folder). 0, or the system's error.
DWORD renameRelative(HANDLE file, HANDLE folder, const std::wstring& name) {
    const Native& calls = native();
    if (calls.setInformation == nullptr || calls.toError == nullptr)
        return ERROR_NOT_SUPPORTED;
    std::vector<BYTE> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = folder;
    rename->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    std::copy(name.begin(), name.end(), rename->FileName);
    IO_STATUS_BLOCK io{};
    LONG status = calls.setInformation(file, &io, buffer.data(), static_cast<ULONG>(buffer.size()),
                                       kFileRenameInformation);
    if (status < 0)
        return calls.toError(status);
    FlushFileBuffers(file); // the new name on the disk; renamed, the file is kept either way
    return ERROR_SUCCESS;
}

bool isLink(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION information{};
    return !GetFileInformationByHandle(file, &information) ||
           (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::string sidText(PSID sid) {
    wchar_t* text = nullptr;
    if (sid == nullptr || !ConvertSidToStringSidW(sid, &text))
        return {};
    LocalMemory owner(text);
    std::string ascii;
    for (const wchar_t* at = text; *at != 0; ++at)
        ascii += static_cast<char>(*at < 0x80 ? *at : '?');
    return ascii;
}

// An entry of an access list as the rule reads it. Entries of a kind it does not
// know are taken as granting everything to nobody it trusts.
TAccessEntry entryOf(const ACE_HEADER* header) {
    bool inheritOnly = (header->AceFlags & INHERIT_ONLY_ACE) != 0;
    switch (header->AceType) {
    case ACCESS_ALLOWED_ACE_TYPE:
    case ACCESS_DENIED_ACE_TYPE: {
        const auto* entry = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header);
        return {header->AceType == ACCESS_ALLOWED_ACE_TYPE,
                sidText(const_cast<DWORD*>(&entry->SidStart)), entry->Mask, inheritOnly};
    }
    case ACCESS_DENIED_OBJECT_ACE_TYPE:
    case ACCESS_DENIED_CALLBACK_ACE_TYPE:
    case ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE:
        return {false, {}, 0, inheritOnly};
    default:
        return {true, {}, GENERIC_ALL, inheritOnly};
    }
}

} // namespace

TFolder TFolder::Open(const TFolder* parent, const std::wstring& name, bool create,
                      const wchar_t* rulesSddl, DWORD& error) {
    PSECURITY_DESCRIPTOR rules = nullptr;
    if (rulesSddl != nullptr && !ConvertStringSecurityDescriptorToSecurityDescriptorW(
                                    rulesSddl, SDDL_REVISION_1, &rules, nullptr)) {
        error = GetLastError();
        return {};
    }
    LocalMemory rulesOwner(rules);
    constexpr DWORD access =
        FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | READ_CONTROL | SYNCHRONIZE;
    TFolder folder;
    if (parent != nullptr) {
        folder.handle_ =
            openRelative(parent->get(), name, access, kShareFolder,
                         create ? FILE_OPEN_IF : FILE_OPEN, FILE_DIRECTORY_FILE, rules, error);
        folder.path_ = parent->PathOf(name);
    } else {
        if (create) {
            SECURITY_ATTRIBUTES made{sizeof made, rules, FALSE};
            CreateDirectoryW(name.c_str(), &made); // only when missing
        }
        folder.handle_.reset(CreateFileW(name.c_str(), access, kShareFolder, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!folder.handle_.valid())
            error = GetLastError();
        folder.path_ = name;
    }
    if (!folder.valid())
        return {};
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(folder.get(), &information) ||
        !(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = ERROR_DIRECTORY;
        return {};
    }
    return folder;
}

Handle TFolder::CreateNewFile(const std::wstring& name, DWORD access, DWORD& error) const {
    Handle file =
        openRelative(get(), name, access, 0, FILE_CREATE, FILE_NON_DIRECTORY_FILE, nullptr, error);
    if (error == ERROR_ALREADY_EXISTS)
        error = ERROR_FILE_EXISTS; // as CreateFile says it
    return file;
}

Handle TFolder::OpenFile(const std::wstring& name, DWORD access, DWORD& error) const {
    return openRelative(get(), name, access, FILE_SHARE_READ, FILE_OPEN, FILE_NON_DIRECTORY_FILE,
                        nullptr, error);
}

Handle TFolder::WriteNewFile(const std::wstring& prefix, const std::wstring& suffix,
                             const std::string& bytes, std::wstring& name, DWORD& error) const {
    error = ERROR_FILE_EXISTS;
    Handle file;
    unsigned unique = GetCurrentProcessId() ^ GetTickCount();
    for (int attempt = 0; attempt < 256 && !file.valid() && error == ERROR_FILE_EXISTS; ++attempt) {
        name = prefix + AnsiToWide(std::to_string((unique + attempt) & 0xFFFFFF)) + suffix;
        file = CreateNewFile(name, GENERIC_WRITE | DELETE, error);
    }
    if (!file.valid())
        return file;
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        error = GetLastError();
    else if (written != bytes.size())
        error = ERROR_WRITE_FAULT;
    else if (!FlushFileBuffers(file.get()))
        error = GetLastError();
    else
        return file;
    // Deleted as it is closed; by its name when the handle can't say so.
    FILE_DISPOSITION_INFO gone{TRUE};
    bool deleting =
        SetFileInformationByHandle(file.get(), FileDispositionInfo, &gone, sizeof gone) != FALSE;
    file.reset();
    if (!deleting)
        Remove(name);
    return Handle();
}

DWORD TFolder::ReplaceWhole(const std::wstring& name, const std::string& bytes) const {
    std::wstring next;
    DWORD error = ERROR_SUCCESS;
    Handle file = WriteNewFile(L"~wexdal-", L".tmp", bytes, next, error);
    if (!file.valid())
        return error;
    error = renameRelative(file.get(), get(), name);
    if (error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED ||
        error == ERROR_INVALID_FUNCTION) {
        // A network share renames by full path only.
        file.reset();
        if (MoveFileExW(PathOf(next).c_str(), PathOf(name).c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return ERROR_SUCCESS;
        error = GetLastError();
        Remove(next);
        return error;
    }
    if (error != ERROR_SUCCESS) {
        FILE_DISPOSITION_INFO gone{TRUE};
        SetFileInformationByHandle(file.get(), FileDispositionInfo, &gone, sizeof gone);
    }
    return error;
}

std::optional<std::vector<std::wstring>> TFolder::FileNames(const std::wstring& suffix) const {
    std::vector<std::wstring> names;
    std::vector<BYTE> buffer(64 * 1024);
    FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
    for (;;) {
        if (!GetFileInformationByHandleEx(get(), kind, buffer.data(),
                                          static_cast<DWORD>(buffer.size())))
            return GetLastError() == ERROR_NO_MORE_FILES ? std::optional(names) : std::nullopt;
        kind = FileIdBothDirectoryInfo;
        for (size_t at = 0;;) {
            const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer.data() + at);
            std::wstring name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
            bool plainFile = !(entry->FileAttributes &
                               (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
            if (plainFile && name.size() >= suffix.size() &&
                std::equal(suffix.begin(), suffix.end(), name.end() - suffix.size(),
                           [](wchar_t a, wchar_t b) { return towupper(a) == towupper(b); }))
                names.push_back(name);
            if (entry->NextEntryOffset == 0)
                break;
            at += entry->NextEntryOffset;
        }
    }
}

bool TFolder::Remove(const std::wstring& name) const {
    DWORD error = ERROR_SUCCESS;
    Handle file = openRelative(get(), name, DELETE, kShareAll, FILE_OPEN, FILE_NON_DIRECTORY_FILE,
                               nullptr, error);
    FILE_DISPOSITION_INFO gone{TRUE};
    return file.valid() &&
           SetFileInformationByHandle(file.get(), FileDispositionInfo, &gone, sizeof gone);
}

bool FileSecurityKept() {
    static const bool kept =
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr;
    return kept;
}

bool SameFile(HANDLE a, HANDLE b) {
    BY_HANDLE_FILE_INFORMATION first{}, second{};
    return GetFileInformationByHandle(a, &first) && GetFileInformationByHandle(b, &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

std::string SystemErrorText(DWORD error) {
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   text, sizeof text, nullptr);
    std::string message = text;
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    return message.empty() ? "エラー " + std::to_string(error) : message;
}

bool IsPlainFile(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION about{};
    return GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &about) &&
           about.nNumberOfLinks == 1 &&
           !(about.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY));
}

std::optional<TSecurityFacts> SecurityOf(HANDLE object) {
    PSID owner = nullptr;
    PACL rules = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(object, SE_FILE_OBJECT,
                        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                        &rules, nullptr, &descriptor) != ERROR_SUCCESS)
        return std::nullopt;
    LocalMemory descriptorOwner(descriptor);
    TSecurityFacts facts;
    facts.ownerSid = sidText(owner);
    facts.hasAccessList = rules != nullptr;
    facts.reparsePoint = isLink(object);
    for (DWORD i = 0; rules != nullptr && i < rules->AceCount; ++i) {
        void* entry = nullptr;
        if (!GetAce(rules, i, &entry))
            return std::nullopt;
        facts.entries.push_back(entryOf(static_cast<const ACE_HEADER*>(entry)));
    }
    return facts;
}

namespace {

// Where the system keeps no owner of a file (the test bench's Wine), the account
// stands in for the administrators that own what it made on Windows.
const std::string& standInForAdministrators() {
    static const std::string sid = FileSecurityKept() ? std::string() : CurrentUserSid();
    return sid;
}

} // namespace

std::optional<TTrust> JudgeHeldAdminOnly(HANDLE object) {
    std::optional<TSecurityFacts> facts = SecurityOf(object);
    if (!facts)
        return std::nullopt;
    return JudgeAdminOnly(*facts, standInForAdministrators());
}

std::optional<TUntrustedPlace> UntrustedProgramPlace(const std::wstring& programFile) {
    std::optional<TProgramPath> split = SplitProgramPath(programFile);
    if (!split)
        return TUntrustedPlace{programFile, "場所が分かりません。"};
    const std::string& ownSid = standInForAdministrators();
    constexpr DWORD access = READ_CONTROL | FILE_READ_ATTRIBUTES | FILE_TRAVERSE | SYNCHRONIZE;
    constexpr DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    // From the root down, each step opened relative to the one above it and never
    // through a link: the folders above may not let another account replace what
    // they hold, the program's folder and the file may not let it write.
    std::wstring path = split->root;
    Handle held(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    DWORD error = held.valid() ? ERROR_SUCCESS : GetLastError();
    for (size_t step = 0; step <= split->folders.size() + 1; ++step) {
        bool above = step < split->folders.size(), isFile = step == split->folders.size() + 1;
        if (!held.valid())
            return TUntrustedPlace{path, "開けません: " + SystemErrorText(error)};
        std::optional<TSecurityFacts> facts = SecurityOf(held.get());
        if (!facts)
            return TUntrustedPlace{path, "アクセス許可を読めません。"};
        TTrust verdict = above ? JudgeAncestor(*facts, ownSid) : JudgeAdminOnly(*facts, ownSid);
        if (verdict != TTrust::Trusted)
            return TUntrustedPlace{path, UntrustedReason(verdict)};
        if (isFile)
            break;
        const std::wstring& name = above ? split->folders[step] : split->file;
        if (path.back() != L'\\')
            path += L'\\';
        path += name;
        held = openRelative(held.get(), name, access, share, FILE_OPEN,
                            above ? FILE_DIRECTORY_FILE : FILE_NON_DIRECTORY_FILE, nullptr, error);
    }
    return std::nullopt;
}

} // namespace kel
