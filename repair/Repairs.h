// The one-way repairs: Excel's toolbar files, Word's toolbar value, stale
// temporary files. None reports a result.
#pragma once

#include <string>

namespace kel {

// Deletes the *.xlb files in <AppData>\Microsoft\Excel\.
void RepairExcelToolbar();
// Deletes "Toolbars" of HKCU\Software\Microsoft\Office\<version>\Word\Data.
void RepairWordToolbar(const std::string& officeVersion);
// Deletes the ~*.* files in the TEMP folder (TMP when TEMP is unset or empty).
void DeleteTempFiles();

// Whether a long file name fits a mask of "*" and "?" (letter case ignored, double-
// byte characters respected); a final ".*" also fits a name without a dot.
bool MatchesMask(const std::string& name, const std::string& mask);

// Deletes the plain, read-only, hidden and archive files of folder (ending with
// "\") whose long names fit mask. Failed deletions are passed over.
void DeleteMatchingFiles(const std::string& folder, const std::string& mask);

} // namespace kel
