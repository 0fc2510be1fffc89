// What the row "Office を修復する" starts: the repair that Windows' own "Programs and
// Features" starts for the kind and version of the installed Office. No platform
// calls.
#pragma once

#include "repair/UpdateRule.h"

#include <optional>
#include <string>

namespace kel {

// Click-to-Run's quick repair (offline, a few minutes) or its online repair (a
// reinstall that downloads the whole of Office); Windows Installer Office has one.
enum class TRepairDepth { Quick, Online };

struct TRepairFacts {
    TInstallKind kind = TInstallKind::None; // of the primary product
    int officeMajor = 0;                    // its major version: 9 (2000) to 16
    // Click-to-Run: its service (OfficeClickToRun.exe, a file that exists in the
    // machine's own folders), its "Platform" and its culture ("ja-jp").
    std::wstring service, platform, culture;
    // Windows Installer Office 2007 to 2016: the suite's uninstall command, which
    // names its setup controller ("\"...\\setup.exe\" /uninstall PROPLUS /dll
    // OSETUP.DLL"), a file that exists in the machine's own folders.
    std::wstring uninstallCommand;
    // Windows Installer Office 2000 to 2003: the suite's product code.
    std::wstring productCode;
    std::wstring systemFolder; // "C:\Windows\System32"
};

// The program and parameters of the repair:
// - Click-to-Run (2013 to Microsoft 365): the service with "scenario=Repair", the
//   installation's platform and culture, "RepairType=QuickRepair" (or
//   "FullRepair" for the online one), closing Office's programs and showing nothing;
// - Windows Installer Office 2007 to 2016: its setup controller with "/repair" and
//   the uninstall command's product and DLL;
// - Office 2000 to 2003: msiexec.exe of the system folder, "/focum" and the code.
// Nothing where the facts name no such repair, or name it with a part that is no
// plain path, platform, culture, product or code (a command line can't be slipped
// in through them); the online repair is Click-to-Run's alone.
std::optional<TStart> OfficeRepairStart(const TRepairFacts& facts, TRepairDepth depth);

// The setup controller's repair of an uninstall command "\"PATH\\setup.exe\"
// /uninstall PRODUCT [/dll NAME.DLL]": PATH with "/repair PRODUCT [/dll NAME.DLL]";
// nothing for any other command.
std::optional<TStart> SetupControllerRepair(const std::wstring& uninstallCommand);

} // namespace kel
