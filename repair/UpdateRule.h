// What the row "Office のアップデートを行う" starts, chosen by the kind and version
// of the primary Office product and by the Windows it runs on. No platform calls.
#pragma once

#include "sysinfo/StartRules.h"

#include <string>
#include <vector>

namespace kel {

enum class TInstallKind { None, ClickToRun, WindowsInstaller };

struct TUpdateFacts {
    TInstallKind kind = TInstallKind::None; // of the primary product
    int officeMajor = 0;                    // its major version: 9 (2000) to 16
    // The Click-to-Run clients (OfficeC2RClient.exe) the installations' registrations
    // name, in the order to try.
    std::vector<std::wstring> clients;
    TWindowsVersion windows;
    std::wstring systemFolder; // "C:\Windows\System32"
    std::wstring updatePage;   // the web page that serves the older versions' updates
    // The process has administrator rights: it starts nothing the user's own settings
    // choose (a shell handler); the clients come from the machine's registration.
    bool elevated = false;
};

// The starts to try, in order, until one starts:
// - Click-to-Run (Office 2013 to Microsoft 365): each client with "/update user", so
//   that Office's own update window appears;
// - Windows Installer Office 2007 to 2016: Windows Update, the settings page
//   "ms-settings:windowsupdate" on Windows 10 and 11, the control panel item
//   "control.exe /name Microsoft.WindowsUpdate" on Windows Vista to 8.1 (none on
//   Windows XP, whose Windows Update was a web site);
// - and last, for every kind (alone for Office 2000 to 2003 and when no Office was
//   found), the update page.
// An elevated process leaves out the settings page: it keeps the clients, the
// control panel item of the system folder and the page.
std::vector<TStart> UpdateStarts(const TUpdateFacts& facts);

// What a start is, for the report: "program", "open" or "page".
const char* StartKindName(TStart::Kind kind);

} // namespace kel
