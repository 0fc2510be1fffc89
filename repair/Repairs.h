// The one-way repairs: Excel's toolbar files, Word's toolbar value, stale
// temporary files. Each says what it found to remove and what of that stays.
#pragma once

#include "repair/FileMask.h"

#include <string>

namespace kel {

// What a repair found to remove (files or a value), how many of them stay, and
// whether it could look at all (a folder it could not list).
struct TRepairResult {
    int found = 0;
    int left = 0;
    bool unlisted = false;
};

// Removes the *.xlb files in <AppData>\Microsoft\Excel\ (to the Recycle Bin, as
// all the repairs' files).
TRepairResult RepairExcelToolbar();
// Deletes "Toolbars" of HKCU\Software\Microsoft\Office\<version>\Word\Data.
TRepairResult RepairWordToolbar(const std::string& officeVersion);
// Removes the ~*.* files in the TEMP folder (TMP when TEMP is unset or empty).
TRepairResult DeleteTempFiles();

// Removes the plain, hidden and archive files of folder (ending with "\") whose long
// names fit mask, all in one call to the Recycle Bin (gRecycleFiles, with the window
// gRecycleOwner names). The folder is listed and the files named through the wide
// API, by the exact names listed, so that no name is changed by a code page on the
// way. A file that stays (the bin can't take it and no one said to delete it, or
// it can't be removed) is counted as left; a read-only file stays, as a deletion
// would leave it, and is not counted.
TRepairResult DeleteMatchingFiles(const std::wstring& folder, const std::wstring& mask);

} // namespace kel
