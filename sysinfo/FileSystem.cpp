#include "sysinfo/FileSystem.h"

#include <windows.h>

#include <shellapi.h>

#include <map>
#include <optional>

namespace kel {

namespace {

DWORD attributesOf(const std::string& path) {
    return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path.c_str());
}

} // namespace

bool FileExists(const std::string& path) {
    DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::wstring& path) {
    DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
    DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

// A volume's Recycle Bin: whether it has one that keeps files, and its size in bytes (0: not set,
// the system's default).
struct TBinSettings {
    bool keeps = false;
    unsigned long long capacity = 0;
};

// The policy "Do not move deleted files to the Recycle Bin", of the user or the
// machine.
bool recyclingForbidden() {
    const wchar_t* key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        DWORD value = 0, size = sizeof value;
        if (RegGetValueW(root, key, L"NoRecycleFiles", RRF_RT_REG_DWORD, nullptr, &value, &size) ==
                ERROR_SUCCESS &&
            value != 0)
            return true;
    }
    return false;
}

// The settings of the bin of a volume (its root, "C:\\").
TBinSettings binOfVolume(const std::wstring& root) {
    TBinSettings bin;
    wchar_t volume[MAX_PATH] = {};
    // Only a fixed volume has a bin of its own; a removable or network one deletes.
    if (GetDriveTypeW(root.c_str()) != DRIVE_FIXED)
        return bin;
    bin.keeps = true;
    if (!GetVolumeNameForVolumeMountPointW(root.c_str(), volume, MAX_PATH))
        return bin;
    // "\\?\Volume{GUID}\": the bin's key is named by the GUID.
    std::wstring name = volume;
    size_t open = name.find(L'{'), close = name.find(L'}');
    if (open == std::wstring::npos || close == std::wstring::npos)
        return bin;
    std::wstring key =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BitBucket\\Volume\\" +
        name.substr(open, close - open + 1);
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"NukeOnDelete", RRF_RT_REG_DWORD, nullptr,
                     &value, &size) == ERROR_SUCCESS &&
        value != 0)
        bin.keeps = false;
    size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"MaxCapacity", RRF_RT_REG_DWORD, nullptr,
                     &value, &size) == ERROR_SUCCESS)
        bin.capacity = static_cast<unsigned long long>(value) << 20; // megabytes
    return bin;
}

// The bins of the volumes that one removal's files lie on: the policy read once,
// each volume's settings at its first file.
class TBins {
  public:
    // Whether the bin of the file's volume takes it whole.
    bool takes(const std::wstring& path) {
        if (!forbidden_)
            forbidden_ = recyclingForbidden();
        wchar_t root[MAX_PATH] = {};
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (*forbidden_ || !GetVolumePathNameW(path.c_str(), root, MAX_PATH) ||
            !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
            return false;
        auto found = volumes_.find(root);
        if (found == volumes_.end())
            found = volumes_.emplace(root, binOfVolume(root)).first;
        const TBinSettings& bin = found->second;
        unsigned long long size =
            (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        return bin.keeps && (bin.capacity == 0 || size <= bin.capacity);
    }

  private:
    std::optional<bool> forbidden_;
    std::map<std::wstring, TBinSettings> volumes_;
};

bool isThere(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// One call of the shell for a list of files (each ending with a NUL, the list with a
// second one); true when it did not remove them all.
bool shellDelete(const std::wstring& from, void* ownerWindow) {
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = static_cast<HWND>(ownerWindow);
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    // Asks nothing and shows no progress or error, but, in a window, the shell's own
    // question before a file would be deleted for good rather than recycled.
    operation.fFlags = ownerWindow != nullptr ? FOF_ALLOWUNDO | FOF_NOCONFIRMATION |
                                                    FOF_WANTNUKEWARNING | FOF_SILENT | FOF_NOERRORUI
                                              : FOF_ALLOWUNDO | FOF_NO_UI;
    return SHFileOperationW(&operation) != 0 || operation.fAnyOperationsAborted;
}

size_t recycleFiles(const std::vector<std::wstring>& files, void* ownerWindow) {
    // A read-only file stays, as a deletion leaves it; the shell would move it. Without
    // a window to ask in, so does a file the bin can't take.
    TBins bins;
    std::wstring from; // the list ends with a second NUL
    for (const std::wstring& file : files) {
        DWORD attributes = GetFileAttributesW(file.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) ||
            (ownerWindow == nullptr && !bins.takes(file)))
            continue;
        from += file + L'\0';
    }
    if (!from.empty()) {
        from += L'\0';
        bool aborted = shellDelete(from, ownerWindow);
        // A file the shell could not take (one in use) may have stopped the others:
        // those still there that the bin takes are handed over one by one (one the
        // user chose to keep is not asked about again).
        if (aborted)
            for (size_t at = 0; at + 1 < from.size(); at = from.find(L'\0', at) + 1) {
                std::wstring file = from.substr(at, from.find(L'\0', at) - at);
                if (isThere(file) && bins.takes(file))
                    shellDelete(file + L'\0', ownerWindow);
            }
    }
    size_t left = 0;
    for (const std::wstring& file : files)
        left += isThere(file) ? 1 : 0;
    return left;
}

} // namespace

size_t (*gRecycleFiles)(const std::vector<std::wstring>& files, void* ownerWindow) = recycleFiles;
void* gRecycleOwner = nullptr;

std::wstring OwnProgramPath() {
    std::wstring path(32768, L'\0');
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length < path.size() ? length : 0);
    return path;
}

} // namespace kel
