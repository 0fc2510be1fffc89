// The row "Office のアップデートを行う": Office's own update where it has one,
// Windows Update for Office by Windows Installer, the update page otherwise.
#pragma once

#include "office/OfficeInfo.h"
#include "repair/UpdateRule.h"

#include <vector>

namespace kel {

// How the primary Office product was installed: by Click-to-Run, by Windows
// Installer, or none found.
TInstallKind InstallKindOf(const TKelOfficeInfo& info);

// The starts of UpdateStarts for this machine, in the order they are tried.
std::vector<TStart> OfficeUpdateStarts(const TKelOfficeInfo& info);

// Tries them in order until one starts (StartOne); true when one did.
bool StartOfficeUpdate(const TKelOfficeInfo& info);

} // namespace kel
