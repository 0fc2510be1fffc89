// The one-way repairs: Excel's toolbar files, Word's toolbar value, stale
// temporary files. None reports a result.
#pragma once

#include "repair/FileMask.h"

#include <string>

namespace kel {

// Removes the *.xlb files in <AppData>\Microsoft\Excel\ (to the Recycle Bin, as
// all the repairs' files).
void RepairExcelToolbar();
// Deletes "Toolbars" of HKCU\Software\Microsoft\Office\<version>\Word\Data.
void RepairWordToolbar(const std::string& officeVersion);
// Removes the ~*.* files in the TEMP folder (TMP when TEMP is unset or empty).
void DeleteTempFiles();

// Removes (RecycleFile) the plain, read-only, hidden and archive files of folder (ending with
// "\") whose long names fit mask. The folder is listed and each file deleted
// through the wide API, by the exact name listed, so that no name is changed by a
// code page on the way. Failed removals are passed over.
void DeleteMatchingFiles(const std::wstring& folder, const std::wstring& mask);

} // namespace kel
