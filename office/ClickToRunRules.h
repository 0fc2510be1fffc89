// Rules for reading a Click-to-Run installation's registry data; no platform calls.
#pragma once

#include "sysinfo/ProductVersion.h"

#include <string>
#include <vector>

namespace kel {

// The product release IDs of a "ProductReleaseIds" value ("O365ProPlusRetail,
// VisioProRetail"): split at commas, blanks around each ID removed, empty ones
// dropped.
std::vector<std::string> SplitReleaseIds(const std::string& value);

// What a product release ID installs, told by its beginning without regard to
// ASCII case: an Office suite ("O365ProPlusRetail", "Standard2021Volume",
// "HomeBusinessPipcRetail", ...), a product that never holds Excel, Word or Outlook
// (Visio, Project, language packs, proofing tools, ...), or else a single
// application or a free product ("ExcelRetail", "OneNoteFreeRetail", ...).
enum class ReleaseKind { Suite, Application, Other };
ReleaseKind ReleaseKindOf(const std::string& id);

// True when an Uninstall entry's name is the release ID's entry for one culture:
// the ID, " - ", and a non-empty culture ("O365ProPlusRetail - ja-jp"). The ID is
// compared without regard to ASCII case.
bool IsReleaseEntryName(const std::string& id, const std::string& entryName);

// The culture part of such an entry name; empty when the name has none.
std::string EntryCulture(const std::string& entryName);

// The folder of the Office programs under an installation path:
// path + "\root\Office" + major + "\" (one backslash between path and "root").
std::string ClickToRunProgramFolder(const std::string& installationPath, int major);

// True for a full path the registry may name a program by: a drive letter and ":\",
// "\\?\", or a share "\\server\"; no component ".." (nor one of dots only, which
// Windows reads as "..").
bool IsFullPlainPath(const std::wstring& path);

// Where an installation's registration puts its client, OfficeC2RClient.exe: in the
// folder its "ClientFolder" names; without one (or with one that is no full plain
// path), where the layout keeps the client
// beside its installation (Office 2013: "<installation>\ClientX64", then
// "...\ClientX86"). Paths to try, in order; empty folders and folders that are no full
// plain path give none.
std::vector<std::wstring> ClickToRunClientPrograms(const std::wstring& clientFolder,
                                                   const std::wstring& installationPath,
                                                   bool clientInInstallation);

} // namespace kel
