#include "repair/SwitchStates.h"

#include "repair/BrowserIntegration.h"
#include "repair/OfficeSwitches.h"
#include "repair/ScriptHostGuard.h"

#include <cstring>

namespace kel {

const TSwitchState kSwitchStates[7] = {
    {"MsoClip", "Office", GetOfficeClipboard},
    {"LogonIme", "Office", [](const TKelOfficeInfo&) { return GetLogonIme(); }},
    {"XlsBrowser", "Excel", [](const TKelOfficeInfo&) { return GetBrowserIntegration("xls"); }},
    {"DocBrowser", "Word", [](const TKelOfficeInfo&) { return GetBrowserIntegration("doc"); }},
    {"PptBrowser", "PowerPoint",
     [](const TKelOfficeInfo&) { return GetBrowserIntegration("ppt"); }},
    {"PptLocalSv", "PowerPoint",
     [](const TKelOfficeInfo&) { return IsLocalServerDisabled("ppt"); }},
    {"EmlWsh", "Outlook", [](const TKelOfficeInfo&) { return GetScriptHostEnabled(); }},
};

const TSwitchState* FindSwitchState(const char* row) {
    for (const TSwitchState& state : kSwitchStates)
        if (std::strcmp(state.row, row) == 0)
            return &state;
    return nullptr;
}

} // namespace kel
