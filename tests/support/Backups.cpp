#include "tests/support/Backups.h"

#include "tests/support/Fixtures.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace testing_support {

NewBackups::NewBackups() : before_(kel::ListBackups()) {}

std::vector<kel::TBackupFile> NewBackups::files() const {
    std::vector<kel::TBackupFile> made;
    for (const kel::TBackupFile& file : kel::ListBackups())
        if (std::none_of(before_.begin(), before_.end(),
                         [&](const kel::TBackupFile& old) { return old.path == file.path; }))
            made.push_back(file);
    return made;
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

namespace {

std::wstring snapshotFolder;
std::wstring inSnapshotFolder(kel::TBackupPlace) {
    return snapshotFolder;
}

} // namespace

std::wstring treesNamedBy(const std::vector<std::wstring>& fileTexts) {
    ScratchFolder folder("C:\\wexdal-tests\\snapshot");
    snapshotFolder = L"C:\\wexdal-tests\\snapshot";
    auto program = std::exchange(kel::gBackupFolder, inSnapshotFolder);
    std::vector<std::wstring> files;
    {
        kel::RegBackup snapshot(L"Snapshot");
        for (const std::wstring& text : fileTexts)
            kel::BackUpKeysOf(text);
        files = snapshot.Files();
    }
    kel::gBackupFolder = program;
    std::wstring trees;
    for (const std::wstring& file : files) {
        std::wstring text = readWideFile(file);
        for (size_t start = 0; start < text.size();) {
            size_t end = std::min(text.find(L"\r\n", start), text.size());
            if (text[start] != L';') // the comments name the time and the file
                trees += text.substr(start, end - start) + L"\n";
            start = end + 2;
        }
    }
    return trees;
}

} // namespace testing_support
