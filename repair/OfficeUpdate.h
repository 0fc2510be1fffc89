// The row "Office のアップデートを行う": Office's own update where it has one,
// Windows Update for Office by Windows Installer, the update page otherwise.
#pragma once

#include "office/OfficeInfo.h"
#include "repair/UpdateRule.h"

#include <optional>
#include <vector>

namespace kel {

// The facts UpdateStarts chooses by: the primary product's kind (Click-to-Run when
// its line has no product code) and version, the Click-to-Run clients the
// registrations name, the Windows it runs on, the system folder and the update page.
TUpdateFacts UpdateFactsOf(const TKelOfficeInfo& info);

// The starts of UpdateStarts for this machine, in the order they are tried.
std::vector<TStart> OfficeUpdateStarts(const TKelOfficeInfo& info);

// Tries them in order until one starts (StartOne); says nothing. The start that
// succeeded, or nullopt when none did.
std::optional<TStart> StartOfficeUpdate(const TKelOfficeInfo& info);

} // namespace kel
