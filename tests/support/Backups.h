// The program's registry backups, seen from the tests: which were made, and what
// they hold.
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

} // namespace testing_support
