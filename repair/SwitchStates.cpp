#include "repair/SwitchStates.h"

#include "repair/BrowserIntegration.h"
#include "repair/OfficeSwitches.h"
#include "repair/ScriptHostGuard.h"

namespace kel {

const TSwitchState kSwitchStates[7] = {
    {"MsoClip", "Office", GetOfficeClipboard},
    {"LogonIme", "Office", [](const TKelOfficeInfo&) { return GetLogonIme(); }},
    {"XlsBrowser", "Excel", [](const TKelOfficeInfo&) { return GetBrowserIntegration("xls"); }},
    {"DocBrowser", "Word", [](const TKelOfficeInfo&) { return GetBrowserIntegration("doc"); }},
    {"PptBrowser", "PowerPoint",
     [](const TKelOfficeInfo&) { return GetBrowserIntegration("Ppt"); }},
    {"PptLocalSv", "PowerPoint",
     [](const TKelOfficeInfo&) { return IsLocalServerDisabled("Ppt"); }},
    {"EmlWsh", "Outlook", [](const TKelOfficeInfo&) { return GetScriptHostEnabled(); }},
};

} // namespace kel
