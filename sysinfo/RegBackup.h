// Backups of the registry before the program changes it: while a RegBackup lives,
// each change the registry functions (sysinfo/Registry.h) make is preceded by the
// state it changes, written to a file in the registry editor's format that puts it
// back when imported.
#pragma once

#include "sysinfo/Handle.h"
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
    explicit BackupError(const std::string& what, std::vector<std::wstring> made = {})
        : RegistryError(what), made_(std::move(made)) {}
    // The backups of the steps made before the change stopped; empty when nothing
    // was changed.
    const std::vector<std::wstring>& Made() const { return made_; }

  private:
    std::vector<std::wstring> made_;
};

// The user's first line of a change refused before it changed anything, and of one
// stopped after its first steps (the backups that put them back follow it).
extern const char kNothingChangedWithoutBackup[];
extern const char kStoppedWithoutBackup[];

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

// A backup of the machine's folder, opened through the folder's handle once the
// folder is known to be the administrators' alone, when file (opened by the caller)
// is that very file; invalid otherwise. Only such a file may name the machine's
// keys for an undo.
Handle OpenMachineBackup(HANDLE file, const std::wstring& name);

// Backs up, whole, each key that a registry file's text names: what importing the
// file will change. False, backing up nothing, for a text whose sections can't all
// be read as keys under the roots the program backs up.
bool BackUpKeysOf(const std::wstring& fileText);

// Imports a registry file's text as ImportRegFile does, from a file of the
// program's own made new in the place's backup folder (written through the
// folder's handle, removed after), where no account but the place's own may change
// it meanwhile: the machine's for a text of the machine's keys. Nothing when the
// file can't be made or reg.exe did not run.
std::optional<unsigned long> ImportRegText(const std::wstring& text, TBackupPlace place);

// Imports a registry file with the system's reg.exe, into the 64-bit view on 64-bit
// Windows (where the program's backups name their keys); reg.exe's exit code, or
// nothing when it did not run.
std::optional<unsigned long> ImportRegFile(const std::wstring& file);

// The line that imports a registry file with the system's reg.exe as the program
// does it: `reg import "FILE"`, with " /reg:64" on 64-bit Windows.
std::wstring RegImportLine(const std::wstring& file);

// What an import of the sections should have left, read back from the registry: the
// first key (as the file names it) whose values or presence differ, or nothing when
// every one is as the file says. A value is compared by type and bytes.
std::optional<std::wstring> FirstDifferentKey(const std::vector<TRegSection>& sections);

// The backups in both folders, oldest first.
struct TBackupFile {
    std::wstring path;
    TBackupPlace place;
    TBackupName name;
};
std::vector<TBackupFile> ListBackups();

// The backups listed now that were not among before (an earlier ListBackups).
std::vector<TBackupFile> BackupsSince(const std::vector<TBackupFile>& before);

} // namespace kel
