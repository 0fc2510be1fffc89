#include "tests/support/Backups.h"

#include "tests/support/Fixtures.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace testing_support {

NewBackups::NewBackups() : before_(kel::ListBackups()) {}

std::vector<kel::TBackupFile> NewBackups::files() const {
    return kel::BackupsSince(before_);
}

std::wstring readWideFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::wstring text(GetFileSize(file, nullptr) / 2, L'\0');
    DWORD read = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(text.size() * 2), &read, nullptr);
    CloseHandle(file);
    return text;
}

} // namespace testing_support
