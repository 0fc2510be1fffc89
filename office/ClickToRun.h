// Office installed by Click-to-Run (Microsoft 365 Apps, Office 2016 to 2024).
#pragma once

#include "sysinfo/Registry.h"

namespace kel {

// Appends a VerList line for each Office suite of the Click-to-Run installation
// described by HKLM "\SOFTWARE\Microsoft\Office\ClickToRun\Configuration" (64-bit
// view): each suite release ID of "ProductReleaseIds" that has an Uninstall entry
// "<ID> - <culture>" with a display name, when the installation's program folder
// "<InstallationPath>\root\Office<major>\" holds an Office program. The line has no
// product code and no product ID; its version is the major number of
// "VersionToReport" (else of the entry's DisplayVersion) followed by ".0".
void AppendClickToRunProducts(StringList& list);

} // namespace kel
