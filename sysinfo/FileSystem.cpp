#include "sysinfo/FileSystem.h"

#include <windows.h>

#include <shellapi.h>

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

bool RecycleFile(const std::wstring& path) {
    // A read-only file stays, as a deletion leaves it; the shell would move it.
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    std::wstring from = path + L'\0'; // the list ends with a second NUL
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NO_UI;
    // The shell itself deletes where the volume has no Recycle Bin; a file it could
    // not remove stays.
    return SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted &&
           GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

} // namespace kel
