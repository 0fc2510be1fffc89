// The registry editor's export format, and the names of the program's backup
// files; no platform calls. Texts are UTF-16 code units in std::wstring.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kel {

// One value of a section: its data, or (absent) a value to delete ("name"=-). An
// empty name is the key's default value.
struct TRegValue {
    std::wstring name;
    bool present = true;
    uint32_t type = 0;
    std::vector<uint8_t> data;
    bool operator==(const TRegValue&) const = default;
};

// One section: a key to delete with its tree ([-path]), or a key to create or open
// and the values to set or delete in it ([path]). path begins with the root's full
// name ("HKEY_CURRENT_USER\Software\...").
struct TRegSection {
    std::wstring path;
    bool deleteKey = false;
    std::vector<TRegValue> values;
    bool operator==(const TRegSection&) const = default;
};

// The file's text as the registry editor writes it: its version line, the comment
// lines ("; " before each), then each section and its values, lines ended CR LF,
// long hexadecimal data wrapped. Strings are written as strings when the data is
// one whole NUL-terminated string without a line break; other data as hex(N):
// byte lists, so that an import gives the bytes and type back exactly. Nothing when
// a key path holds a line break, NUL or "]" (which SectionKeys refuses), or begins
// with no root the program backs up (HKEY_CLASSES_ROOT, HKEY_CURRENT_USER,
// HKEY_LOCAL_MACHINE, HKEY_USERS): such a key can't be named in the file; nor a
// comment with a line break or NUL, nor a value name with a NUL, which the editor
// does not read back.
std::optional<std::wstring> RegFileText(const std::vector<std::wstring>& comments,
                                        const std::vector<TRegSection>& sections);

// The name the registry editor gives a key named by the system's own path of it
// ("\REGISTRY\MACHINE\SOFTWARE\..."). ownUser is that path of the account's own
// profile ("\REGISTRY\USER\S-1-5-21-..."), whose key is HKEY_CURRENT_USER and whose
// classes ("..._Classes") its Software\Classes; the hive of the system's own accounts
// (".DEFAULT", "S-1-5-18", "S-1-5-19", "S-1-5-20") keeps its HKEY_USERS name, being no
// person's. Nothing for a path under no root.
std::optional<std::wstring> RegeditPath(const std::wstring& systemPath,
                                        const std::wstring& ownUser);

// True when path names key or a key under it (letters in either case).
bool KeyLiesUnder(const std::wstring& path, const std::wstring& key);

// The keys a file's text names in its sections ("[...]" and "[-...]" lines), in
// order, its lines ended as an import ends them (CR LF, LF, a lone CR). Nothing for a
// text with a lone CR or a NUL, or when a line could be read as a section another
// way (anything an importer might skip as blank before its "[", text after its "]")
// or a section names no key under a root's full name: what an import would change
// must be known exactly.
std::optional<std::vector<std::wstring>> SectionKeys(const std::wstring& fileText);

// The sections of a file's text as RegFileText writes it, read back exactly (a value
// to delete with type 0 and no data, a key to delete with no values). Nothing for a
// text SectionKeys refuses or a line it can't read exactly (an unknown form, a value
// outside a section or in a key to delete, malformed data): what an import sets must
// be known before it is made.
std::optional<std::vector<TRegSection>> ParseRegFile(const std::wstring& fileText);

// True when the file's sections are known (SectionKeys) and every one lies under
// HKEY_CURRENT_USER: importing it needs no administrator rights.
bool NamesOnlyTheUsersKeys(const std::wstring& fileText);

// The time a backup was made, as the clock reads it locally.
struct TBackupTime {
    int year, month, day, hour, minute, second;
};

// A backup's file name: "20261209-101530_EmlWsh.reg"; a later one of the same
// second and row takes "-2", "-3", ... after the time (attempt 2, 3, ...).
std::wstring BackupFileName(const TBackupTime& time, const std::wstring& row, int attempt = 1);

// What a backup's file name says; nothing for a name not made by BackupFileName.
struct TBackupName {
    std::wstring time; // "2026-12-09 10:15:30"
    std::wstring row;
};
std::optional<TBackupName> ParseBackupFileName(const std::wstring& name);

// The backups' names beyond the newest keep, oldest first; names that are not
// backups' are never among them.
std::vector<std::wstring> BackupsBeyond(std::vector<std::wstring> names, size_t keep);

} // namespace kel
