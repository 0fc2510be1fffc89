#include "repair/SwitchStates.h"

#include "repair/BrowserIntegration.h"
#include "repair/OfficeSwitches.h"
#include "repair/ScriptHostGuard.h"

namespace kel {

const TSwitchState kSwitchStates[7] = {
    {"MsoClip", GetOfficeClipboard},
    {"LogonIme", [](const TKelOfficeInfo&) { return GetLogonIme(); }},
    {"XlsBrowser", [](const TKelOfficeInfo&) { return GetBrowserIntegration("xls"); }},
    {"DocBrowser", [](const TKelOfficeInfo&) { return GetBrowserIntegration("doc"); }},
    {"PptBrowser", [](const TKelOfficeInfo&) { return GetBrowserIntegration("Ppt"); }},
    {"PptLocalSv", [](const TKelOfficeInfo&) { return IsLocalServerDisabled("Ppt"); }},
    {"EmlWsh", [](const TKelOfficeInfo&) { return GetScriptHostEnabled(); }},
};

} // namespace kel
