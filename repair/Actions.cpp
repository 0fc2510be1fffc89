#include "repair/Actions.h"

#include "office/ProcessSurvey.h"
#include "repair/BrowserIntegration.h"
#include "repair/OfficeSwitches.h"
#include "repair/Repairs.h"
#include "repair/ScriptHostGuard.h"
#include "repair/SwitchStates.h"
#include "sysinfo/Account.h"
#include "sysinfo/Text.h"
#include "sysinfo/TextRules.h"
#include "sysinfo/WebPage.h"

#include <windows.h>

#include <cstdio>

namespace kel {

namespace {

// A setting: its row in the table of switch states (which holds the getter) and
// its setter. A setter that knows when it could not make the change says so
// (reportingSet, -1), and the change then fails whatever the state reads back.
struct Setting {
    const char* row;
    void (*set)(const TKelOfficeInfo&, int state);
    int (*reportingSet)(int state) = nullptr;
};

const Setting kClipboard = {"MsoClip", SetOfficeClipboard};
const Setting kLogonIme = {"LogonIme", [](const TKelOfficeInfo&, int s) { SetLogonIme(s); }};
const Setting kXlsBrowser = {"XlsBrowser",
                             [](const TKelOfficeInfo&, int s) { SetBrowserIntegration("xls", s); }};
const Setting kDocBrowser = {"DocBrowser",
                             [](const TKelOfficeInfo&, int s) { SetBrowserIntegration("doc", s); }};
const Setting kPptBrowser = {"PptBrowser",
                             [](const TKelOfficeInfo&, int s) { SetBrowserIntegration("ppt", s); }};
const Setting kPptLocalServer = {
    "PptLocalSv", [](const TKelOfficeInfo&, int s) { SetLocalServerDisabled("ppt", s); }};
const Setting kScriptHost = {"EmlWsh", nullptr, SetScriptHostEnabled};

// Makes the change; false when the setter reports that it was not made.
bool change(const Setting& setting, const TKelOfficeInfo& info, int state) {
    if (setting.reportingSet != nullptr)
        return setting.reportingSet(state) == 0;
    setting.set(info, state);
    return true;
}

// The state read back after a change; a row without a getter never counts as set.
bool readsBack(const Setting& setting, const TKelOfficeInfo& info, int state) {
    const TSwitchState* switchState = FindSwitchState(setting.row);
    return switchState != nullptr && switchState->read(info) == state;
}

using Repair = void (*)(const TKelOfficeInfo&);
void excelToolbar(const TKelOfficeInfo&) {
    RepairExcelToolbar();
}
void wordToolbar(const TKelOfficeInfo& info) {
    RepairWordToolbar(info.Product.MajorVersion);
}
void tempFiles(const TKelOfficeInfo&) {
    DeleteTempFiles();
}

enum class Kind { Switch, OpenUpdate, Terminate, GuardedRepair };

struct Action {
    const char* name;
    Kind kind;
    const Setting* setting; // Switch: the setting and the state asked for
    int state;
    TApplication application; // Terminate, GuardedRepair
    Repair repair;            // GuardedRepair
    TOutcome declined;        // GuardedRepair: the outcome when a termination is declined
    bool ownAccount;          // acts on the settings of the program's account
};

constexpr TApplication xls = TApplication::Excel, doc = TApplication::Word,
                       ppt = TApplication::PowerPoint;
constexpr TApplication none = TApplication::Excel; // for rows that name no application
constexpr TOutcome switched = TOutcome::Switched, quiet = TOutcome::Quiet;
constexpr bool account = true, machine = false;

// clang-format off
const Action kActions[] = {
    // name, kind, setting, state, application, repair, outcome when declined, whose settings
    {"SB_MsoClip0",    Kind::Switch,        &kClipboard,      0, none, nullptr,      switched, account},
    {"SB_MsoClip1",    Kind::Switch,        &kClipboard,      1, none, nullptr,      switched, account},
    {"SB_LogonIme0",   Kind::Switch,        &kLogonIme,       0, none, nullptr,      switched, machine},
    {"SB_LogonIme1",   Kind::Switch,        &kLogonIme,       1, none, nullptr,      switched, machine},
    {"BB_MsoUpdate",   Kind::OpenUpdate,    nullptr,          0, none, nullptr,      quiet,    machine},
    {"BB_XlsProcess",  Kind::Terminate,     nullptr,          0, xls,  nullptr,      quiet,    machine},
    {"BB_XlsMenuBar",  Kind::GuardedRepair, nullptr,          0, xls,  excelToolbar, switched, account},
    {"BB_XlsUsed",     Kind::GuardedRepair, nullptr,          0, xls,  tempFiles,    switched, account},
    {"SB_XlsBrowser0", Kind::Switch,        &kXlsBrowser,     0, none, nullptr,      switched, machine},
    {"SB_XlsBrowser1", Kind::Switch,        &kXlsBrowser,     1, none, nullptr,      switched, machine},
    {"BB_DocProcess",  Kind::Terminate,     nullptr,          0, doc,  nullptr,      quiet,    machine},
    {"BB_DocMenuBar",  Kind::GuardedRepair, nullptr,          0, doc,  wordToolbar,  quiet,    account},
    {"BB_DocUsed",     Kind::GuardedRepair, nullptr,          0, doc,  tempFiles,    switched, account},
    {"SB_DocBrowser0", Kind::Switch,        &kDocBrowser,     0, doc,  nullptr,      switched, machine},
    {"SB_DocBrowser1", Kind::Switch,        &kDocBrowser,     1, doc,  nullptr,      switched, machine},
    {"BB_PptProcess",  Kind::Terminate,     nullptr,          0, ppt,  nullptr,      quiet,    machine},
    {"SB_PptBrowser0", Kind::Switch,        &kPptBrowser,     0, ppt,  nullptr,      switched, machine},
    {"SB_PptBrowser1", Kind::Switch,        &kPptBrowser,     1, ppt,  nullptr,      switched, machine},
    {"SB_PptLocalSv0", Kind::Switch,        &kPptLocalServer, 0, ppt,  nullptr,      switched, machine},
    {"SB_PptLocalSv1", Kind::Switch,        &kPptLocalServer, 1, ppt,  nullptr,      switched, machine},
    {"SB_EmlWsh0",     Kind::Switch,        &kScriptHost,     0, none, nullptr,      switched, machine},
    {"SB_EmlWsh1",     Kind::Switch,        &kScriptHost,     1, none, nullptr,      switched, machine},
};
// clang-format on

struct RunningRow {
    TKelExtInfo& record;
    StringList& ids;
    const char* row;
};

RunningRow rowOf(TKelOfficeInfo& info, TApplication application) {
    switch (application) {
    case TApplication::Word:
        return {info.DocInfo, info.DocProcessIds, "DocProcess"};
    case TApplication::PowerPoint:
        return {info.PptInfo, info.PptProcessIds, "PptProcess"};
    default:
        return {info.XlsInfo, info.XlsProcessIds, "XlsProcess"};
    }
}

// The running guard: true when the repair may go ahead.
bool applicationClosed(TActionHost& host, TKelOfficeInfo& info, TApplication application) {
    RunningRow row = rowOf(info, application);
    RefreshRunningState(host, row.record, row.ids, row.row);
    return row.ids.empty() || ConfirmTerminate(host, info, application) == 0;
}

const OutcomeMessage kUpdated = {"更新しました。ご確認ください。", false};
const OutcomeMessage kNotUpdated = {"更新出来ませんでした。", true};
const OutcomeMessage kRepairTried = {"修復を試みました。ご確認ください。", false};

} // namespace

int ConfirmTerminate(TActionHost& host, TKelOfficeInfo& info, TApplication application) {
    RunningRow row = rowOf(info, application);
    char question[256];
    std::snprintf(question, sizeof question, "%s を強制終了します。宜しいですか？",
                  row.record.ViewName.c_str());
    if (!host.Confirm(question))
        return -1;
    TerminateProcesses(row.ids, ProgramNameOf(row.record.FileName));
    Sleep(100);
    RefreshRunningState(host, row.record, row.ids, row.row);
    return 0;
}

int ConfirmTerminateExcel(TActionHost& host, TKelOfficeInfo& info) {
    return ConfirmTerminate(host, info, TApplication::Excel);
}
int ConfirmTerminateWord(TActionHost& host, TKelOfficeInfo& info) {
    return ConfirmTerminate(host, info, TApplication::Word);
}
int ConfirmTerminatePowerPoint(TActionHost& host, TKelOfficeInfo& info) {
    return ConfirmTerminate(host, info, TApplication::PowerPoint);
}

std::wstring (*gDeskUserName)() = SessionUserName;

void TellOfAnotherAccountOnce(TActionHost& host) {
    static bool told = false;
    if (told)
        return;
    std::wstring desk = gDeskUserName(), own = AccountName();
    if (!IsAnotherAccount(desk, own))
        return;
    told = true;
    std::string deskName = WideToAnsi(desk), ownName = WideToAnsi(own);
    std::string text = "このプログラムは、ログオン中のユーザー「" + deskName + "」ではなく、「" +
                       ownName +
                       "」のアカウントで動いています。\r\nOfficeクリップボード、メニューバー、"
                       "一時ファイル、ユーザー情報の修復と設定は、「" +
                       ownName + "」のものに対して行われます。";
    host.Inform(text);
}

ActionResult RunAction(const std::string& actionName, TActionHost& host, TKelOfficeInfo& info) {
    ActionResult result;
    for (const Action& action : kActions) {
        if (actionName != action.name)
            continue;
        if (action.ownAccount)
            TellOfAnotherAccountOnce(host);
        switch (action.kind) {
        case Kind::Switch:
            result.switchSucceeded = change(*action.setting, info, action.state) &&
                                     readsBack(*action.setting, info, action.state);
            break;
        case Kind::OpenUpdate:
            OpenUrl(kOfficeUpdateUrl);
            result.outcome = TOutcome::Quiet;
            break;
        case Kind::Terminate:
            ConfirmTerminate(host, info, action.application);
            result.outcome = TOutcome::Quiet;
            break;
        case Kind::GuardedRepair:
            result.outcome = action.declined;
            if (applicationClosed(host, info, action.application)) {
                action.repair(info);
                result.outcome = TOutcome::RepairTried;
            }
            break;
        }
    }
    return result;
}

const OutcomeMessage* MessageOf(const ActionResult& result) {
    switch (result.outcome) {
    case TOutcome::Switched:
        return result.switchSucceeded ? &kUpdated : &kNotUpdated;
    case TOutcome::RepairTried:
        return &kRepairTried;
    default:
        return nullptr;
    }
}

} // namespace kel
