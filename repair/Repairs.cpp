#include "repair/Repairs.h"

#include "office/OfficeKeys.h"
#include "repair/FileMask.h"
#include "sysinfo/FileSystem.h"
#include "sysinfo/Handle.h"
#include "sysinfo/Registry.h"

#include <windows.h>

#include <vector>

namespace kel {

namespace {

bool isDeletableKind(DWORD attributes) {
    return !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM));
}

// A name that the file calls take as it is: no separator, and no final dot or
// space, which the path rules strip ("~x." would delete "~x").
bool namesItself(const std::wstring& name) {
    return !name.empty() && name.find_first_of(L"\\/:") == std::wstring::npos &&
           name.back() != L'.' && name.back() != L' ';
}

// A folder named by a value or a variable, ending with "\\"; empty when none.
std::wstring asFolder(const std::wstring& path) {
    return path.empty() ? path : path + L"\\";
}

std::wstring environmentVariable(const wchar_t* name) {
    std::wstring value(32768, L'\0');
    DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    value.resize(length < value.size() ? length : 0);
    return value;
}

} // namespace

TRepairResult DeleteMatchingFiles(const std::wstring& folder, const std::wstring& mask) {
    TRepairResult result;
    if (folder.empty())
        return result;
    WIN32_FIND_DATAW found;
    FindHandle search(FindFirstFileW((folder + mask).c_str(), &found));
    if (!search.valid()) {
        DWORD error = GetLastError();
        // No such file, or no such folder: nothing to remove.
        result.unlisted = error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND &&
                          error != ERROR_NO_MORE_FILES;
        return result;
    }
    std::vector<std::wstring> files;
    do {
        // The search also matches generated 8.3 names; the long name must fit too.
        std::wstring name = found.cFileName;
        if (isDeletableKind(found.dwFileAttributes) &&
            !(found.dwFileAttributes & FILE_ATTRIBUTE_READONLY) && MatchesMask(name, mask) &&
            namesItself(name))
            files.push_back(folder + name);
    } while (FindNextFileW(search.get(), &found));
    result.unlisted = GetLastError() != ERROR_NO_MORE_FILES;
    result.found = static_cast<int>(files.size());
    if (!files.empty())
        result.left = static_cast<int>(gRecycleFiles(files, gRecycleOwner));
    return result;
}

TRepairResult RepairExcelToolbar() {
    std::wstring appData;
    if (ReadRegStringW(HKEY_CURRENT_USER,
                       "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                       "AppData", appData) != 0 ||
        appData.empty())
        return {};
    return DeleteMatchingFiles(appData + L"\\Microsoft\\Excel\\", L"*.xlb");
}

TRepairResult RepairWordToolbar(const std::string& officeVersion) {
    std::string key = OfficeVersionKey(officeVersion, "Word\\Data");
    int ignored = 0;
    if (ReadRegInteger(HKEY_CURRENT_USER, key, "Toolbars", ignored) != 0)
        return {}; // no such value (of any type): nothing to do
    return {1, DeleteRegValue(HKEY_CURRENT_USER, key, "Toolbars") == 0 ? 0 : 1};
}

TRepairResult DeleteTempFiles() {
    std::wstring folder = asFolder(environmentVariable(L"TEMP"));
    if (folder.empty())
        folder = asFolder(environmentVariable(L"TMP"));
    return DeleteMatchingFiles(folder, L"~*.*");
}

} // namespace kel
