// The program's registry backups, seen from the tests: which were made, and the
// state of the keys a backup names.
#pragma once

#include "sysinfo/RegBackup.h"

#include <string>
#include <vector>

namespace testing_support {

// The backups made since the object was made.
class NewBackups {
  public:
    NewBackups();
    std::vector<kel::TBackupFile> files() const;

  private:
    std::vector<kel::TBackupFile> before_;
};

// A file's UTF-16 text; empty when it can't be read.
std::wstring readWideFile(const std::wstring& path);

// The keys that the files' texts name, as the editor names them, each key whole
// (every value's type and bytes) or missing, written as a backup writes them: the
// state to compare before and after an undo.
std::wstring treesNamedBy(const std::vector<std::wstring>& fileTexts);

} // namespace testing_support
