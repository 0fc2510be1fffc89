// Backups of the registry before the program changes it: while a RegBackup lives,
// each change the registry functions (sysinfo/Registry.h) make is preceded by the
// state it changes, written to a file in the registry editor's format that puts it
// back when imported.
#pragma once

#include "sysinfo/RegExport.h"
#include "sysinfo/Registry.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kel {

// A change refused because its backup could not be written; what() says where and
// why. A registry error, so that a change undoing its own first steps still does.
class BackupError : public RegistryError {
  public:
    using RegistryError::RegistryError;
};

// The user's first line of a change refused before it changed anything.
extern const char kNothingChangedWithoutBackup[];

// Where backups go: the account's own keys (HKEY_CURRENT_USER) to the user's
// folder, every other key (the machine's, other profiles') to the machine's.
enum class TBackupPlace { User, Machine };
constexpr size_t kBackupsKept = 200;

// The folder of a place: %LOCALAPPDATA%\Wexdal\Backup, %ProgramData%\Wexdal\Backup.
// Tests put another there.
extern std::wstring (*gBackupFolder)(TBackupPlace place);
std::wstring KnownBackupFolder(TBackupPlace place);

class RegBackup {
  public:
    // row names the change in the files' names ("EmlWsh", "UserInfo"). One lives at
    // a time; a nested one leaves the changes to the outer.
    explicit RegBackup(std::wstring row);
    ~RegBackup();
    RegBackup(const RegBackup&) = delete;
    RegBackup& operator=(const RegBackup&) = delete;

    // The files written so far, full paths.
    std::vector<std::wstring> Files() const;

    struct State;

  private:
    std::unique_ptr<State> state_;
};

// What a registry function is about to change: one value of the key, the key's
// creation (with its missing parents), or the key's whole tree. Called by the
// registry functions before the change; with a RegBackup alive it records what
// that changes and writes the backup, throwing BackupError when it can't.
enum class TRegChange { Value, Creation, Tree };
void BeforeRegChange(HKEY root, const std::wstring& keyPath, REGSAM view, TRegChange change,
                     const std::wstring& valueName = {});

// Backs up, whole, each key that a registry file's text names: what importing the
// file will change. False, backing up nothing, for a text whose sections can't all
// be read as keys under the roots the program backs up.
bool BackUpKeysOf(const std::wstring& fileText);

// Imports a registry file with the system's reg.exe, into the 64-bit view on 64-bit
// Windows (where the program's backups name their keys); reg.exe's exit code, or
// nothing when it did not run.
std::optional<unsigned long> ImportRegFile(const std::wstring& file);

// The backups in both folders, oldest first.
struct TBackupFile {
    std::wstring path;
    TBackupPlace place;
    TBackupName name;
};
std::vector<TBackupFile> ListBackups();

} // namespace kel
