#include "repair/Repairs.h"

#include "sysinfo/CommandLine.h"
#include "sysinfo/Handle.h"
#include "sysinfo/Registry.h"

#include <windows.h>

namespace kel {

namespace {

bool isDeletableKind(DWORD attributes) {
    return !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM));
}

} // namespace

void DeleteMatchingFiles(const std::string& folder, const std::string& mask) {
    WIN32_FIND_DATAA found;
    FindHandle search(FindFirstFileA((folder + mask).c_str(), &found));
    if (!search.valid())
        return;
    do {
        // The search also matches generated 8.3 names; the long name must fit too.
        if (isDeletableKind(found.dwFileAttributes) && MatchesMask(found.cFileName, mask))
            DeleteFileA((folder + found.cFileName).c_str());
    } while (FindNextFileA(search.get(), &found));
}

void RepairExcelToolbar() {
    std::string appData;
    if (ReadRegString(HKEY_CURRENT_USER,
                      "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                      "AppData", appData) != 0)
        return;
    DeleteMatchingFiles(appData + "\\Microsoft\\Excel\\", "*.xlb");
}

void RepairWordToolbar(const std::string& officeVersion) {
    DeleteRegValue(HKEY_CURRENT_USER,
                   "\\Software\\Microsoft\\Office\\" + officeVersion + "\\Word\\Data", "Toolbars");
}

void DeleteTempFiles() {
    std::string folder = "%TEMP%\\";
    ExpandEnvVariable(folder);
    if (folder == "\\") {
        folder = "%TMP%\\";
        ExpandEnvVariable(folder);
    }
    if (folder == "\\")
        return;
    DeleteMatchingFiles(folder, "~*.*");
}

} // namespace kel
