// Office installed by Click-to-Run: Office 2013, Office 2016 to 2024 and
// Microsoft 365 Apps.
#pragma once

#include "office/VerList.h"

#include <string>
#include <vector>

namespace kel {

// Appends a candidate for each product of each Click-to-Run installation. Both
// kinds keep their keys in HKLM's 64-bit view, whatever the bitness of the Office
// they installed:
// - Office 2016 and later: "\SOFTWARE\Microsoft\Office\ClickToRun\Configuration",
//   values "ProductReleaseIds", "VersionToReport", "ClientCulture" and
//   "InstallationPath";
// - Office 2013: "\SOFTWARE\Microsoft\Office\15.0\ClickToRun\Configuration", values
//   "ProductReleaseIds" and "ClientCulture", and the folder in value "InstallPath"
//   of "\SOFTWARE\Microsoft\Office\15.0\ClickToRun".
// A release ID gives a line when it is a suite or an application (ReleaseKindOf),
// has an Uninstall entry "<ID> - <culture>" with a display name (the installation's
// culture, else the first listed), and the program folder
// "<installation folder>\root\Office<major>\" holds an Office program. The line has
// no product code and no product ID; its version is the installation's major
// number (15 for Office 2013; else that of "VersionToReport", else of the entry's
// DisplayVersion) followed by ".0". A suite is listed as Listing::Suite, an
// application as Listing::Shown.
void AppendClickToRunProducts(std::vector<ProductCandidate>& list);

// The clients (OfficeC2RClient.exe) of the Click-to-Run installations, where their
// configurations name them (value "ClientFolder"; Office 2013 without one: beside its
// folder, see ClickToRunClientPrograms), today's layout first. Not checked to exist.
std::vector<std::wstring> ClickToRunClients();

// What a Click-to-Run installation's repair needs: its service, OfficeClickToRun.exe
// beside each place its client may be (in the order of ClickToRunClients; not
// checked to exist), its "Platform", and its culture ("ClientCulture", else that of
// its first release's Uninstall entry).
struct TClickToRunSetup {
    std::wstring service, platform, culture;
};
std::vector<TClickToRunSetup> ClickToRunSetups();

} // namespace kel
