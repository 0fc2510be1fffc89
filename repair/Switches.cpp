#include "repair/Switches.h"

#include "repair/BrowserIntegration.h"
#include "repair/OfficeSwitches.h"
#include "repair/ScriptHostGuard.h"

namespace kel {

namespace {

// Internet Explorer's handling of a document type. Setters other than the script
// host's report nothing: the outcome is learnt by reading the state back.
template <const char* extension> int setBrowser(const TKelOfficeInfo&, int state) {
    SetBrowserIntegration(extension, state);
    return 0;
}
template <const char* extension> int readBrowser(const TKelOfficeInfo&) {
    return GetBrowserIntegration(extension);
}

constexpr char xls[] = "xls", doc[] = "doc", ppt[] = "ppt";
constexpr bool account = true, machine = false;

} // namespace

// In the report's order.
// clang-format off
const TSwitch kSwitchTable[] = {
    {"Office",     3, "MsoClip",    "Officeクリップボードを使用",
     GetOfficeClipboard,
     [](const TKelOfficeInfo& info, int s) { SetOfficeClipboard(info, s); return 0; },        account},
    {"Office",     4, "LogonIme",   "ログオン画面にIMEを表示",
     [](const TKelOfficeInfo&) { return GetLogonIme(); },
     [](const TKelOfficeInfo&, int s) { SetLogonIme(s); return 0; },                          machine},
    {"Excel",      3, "XlsBrowser", "InternetExplorerと連携", readBrowser<xls>, setBrowser<xls>,  machine},
    {"Word",       3, "DocBrowser", "InternetExplorerと連携", readBrowser<doc>, setBrowser<doc>,  machine},
    {"PowerPoint", 1, "PptBrowser", "InternetExplorerと連携", readBrowser<ppt>, setBrowser<ppt>,  machine},
    {"PowerPoint", 2, "PptLocalSv", "IEから開く場合に編集",
     [](const TKelOfficeInfo&) { return IsLocalServerDisabled("ppt"); },
     [](const TKelOfficeInfo&, int s) { SetLocalServerDisabled("ppt", s); return 0; },         machine},
    {"Outlook",    0, "EmlWsh",     "マクロウィルス(WSH)の動作を許可",
     [](const TKelOfficeInfo&) { return GetScriptHostEnabled(); },
     [](const TKelOfficeInfo&, int s) { return SetScriptHostEnabled(s); },                     machine},
};
// clang-format on

const std::span<const TSwitch> kSwitches = kSwitchTable;

const TSwitch* FindSwitch(const std::string& row) {
    for (const TSwitch& item : kSwitches)
        if (row == item.row)
            return &item;
    return nullptr;
}

} // namespace kel
