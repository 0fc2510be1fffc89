#include "repair/Actions.h"

#include "repair/OfficeRepair.h"

#include "office/ProcessSurvey.h"
#include "repair/BrowserIntegration.h"
#include "repair/OfficeUpdate.h"
#include "repair/OfficeSwitches.h"
#include "repair/Repairs.h"
#include "repair/ScriptHostGuard.h"
#include "sysinfo/Account.h"
#include "sysinfo/RegBackup.h"
#include "sysinfo/Text.h"
#include "sysinfo/WebPage.h"
#include "sysinfo/TextRules.h"

#include <windows.h>

#include <optional>
#include <type_traits>

namespace kel {

namespace {

// A switch's getter and setter as the table holds them, made of the platform
// function itself: with the Office inventory or without, with its own arguments
// first (a document type's extension), the state last; a setter that returns
// nothing reports the change made, one that returns an int 0 for made, one that
// returns a bool true for made.
template <auto get, auto... arguments> bool reads(const TKelOfficeInfo& info) {
    auto call = [&] {
        if constexpr (std::is_invocable_v<decltype(get), const TKelOfficeInfo&,
                                          decltype(arguments)...>)
            return get(info, arguments...);
        else
            return get(arguments...);
    };
    using State = decltype(call());
    static_assert(std::is_same_v<State, int> || std::is_same_v<State, bool>,
                  "a getter answers 1 or 0, or true or false");
    return call() != 0;
}
template <auto set, auto... arguments> bool sets(const TKelOfficeInfo& info, bool state) {
    auto call = [&] {
        if constexpr (std::is_invocable_v<decltype(set), const TKelOfficeInfo&,
                                          decltype(arguments)..., int>)
            return set(info, arguments..., state ? 1 : 0);
        else
            return set(arguments..., state ? 1 : 0);
    };
    using Made = decltype(call());
    static_assert(std::is_void_v<Made> || std::is_same_v<Made, int> || std::is_same_v<Made, bool>,
                  "a setter answers nothing, 0 for made, or true for made");
    if constexpr (std::is_void_v<Made>) {
        call();
        return true;
    } else if constexpr (std::is_same_v<Made, bool>) {
        return call();
    } else {
        return call() == 0;
    }
}
constexpr char xlsExtension[] = "xls", docExtension[] = "doc", pptExtension[] = "ppt";

TRepairResult excelToolbar(const TKelOfficeInfo&) {
    return RepairExcelToolbar();
}
TRepairResult wordToolbar(const TKelOfficeInfo& info) {
    return RepairWordToolbar(info.PrimaryVersion());
}
TRepairResult tempFiles(const TKelOfficeInfo&) {
    return DeleteTempFiles();
}

constexpr TApplication xls = TApplication::Excel, doc = TApplication::Word,
                       ppt = TApplication::PowerPoint;
constexpr std::optional<TApplication> none; // for rows that name no application
constexpr TOutcome switched = TOutcome::Switched, quiet = TOutcome::Quiet;
constexpr TScope kept = TScope::None, user = TScope::User, machine = TScope::Machine;
constexpr TActionKind pair = TActionKind::Switch, update = TActionKind::OpenUpdate,
                      terminate = TActionKind::Terminate, repair = TActionKind::GuardedRepair,
                      repairOffice = TActionKind::RepairOffice;
constexpr TRowIcon noIcon = TRowIcon::None, warning = TRowIcon::Warning,
                   information = TRowIcon::Information, question = TRowIcon::Question;
constexpr TSubject office = TSubject::Office, windows = TSubject::Windows;
constexpr TPage onOffice = TPage::Office, onExcel = TPage::Excel, onWord = TPage::Word,
                onPowerPoint = TPage::PowerPoint, onOutlook = TPage::Outlook;
constexpr const char* running = "稼動状況"; // until the survey tells
constexpr const char* tryRepair = "修復を試みる";
constexpr const char* browser = "InternetExplorerと連携";

// Page by page, each in its rows' order; the switches in the report's order.
// clang-format off
const TAction kActionTable[] = {
    // page, position, row, label, caption, icon, kind, scope,
    // read, set, application, repair, outcome when a termination is declined, subject
    {onOffice,   3, "MsoClip",    "Officeクリップボードを使用", nullptr, question, pair, user,
     reads<GetOfficeClipboard>, sets<SetOfficeClipboard>, none, nullptr, switched, office},
    {onOffice,   4, "LogonIme",   "ログオン画面にIMEを表示", nullptr, question, pair, machine,
     reads<GetLogonIme>, sets<SetLogonIme>, none, nullptr, switched, windows},
    {onOffice,   6, "Office",     nullptr, "Office を修復する", noIcon, repairOffice, machine,
     nullptr, nullptr, none, nullptr, quiet, office},
    {onOffice,   7, "MsoUpdate",  nullptr, "Office のアップデートを行う", noIcon, update, kept,
     nullptr, nullptr, none, nullptr, quiet, office},
    {onExcel,    0, "XlsProcess", running, "停止する", information, terminate, kept,
     nullptr, nullptr, xls, nullptr, quiet, office},
    {onExcel,    1, "XlsMenuBar", "メニューバーが消えました", tryRepair, warning, repair, user,
     nullptr, nullptr, xls, excelToolbar, switched, office},
    {onExcel,    2, "XlsUsed",    "ファイルが編集出来ません", tryRepair, warning, repair, user,
     nullptr, nullptr, xls, tempFiles, switched, office},
    {onExcel,    3, "XlsBrowser", browser, nullptr, question, pair, machine,
     reads<GetBrowserIntegration, xlsExtension>, sets<SetBrowserIntegration, xlsExtension>, none, nullptr, switched, office},
    {onWord,     0, "DocProcess", running, "停止する", information, terminate, kept,
     nullptr, nullptr, doc, nullptr, quiet, office},
    {onWord,     1, "DocMenuBar", "メニューバーが消えました", tryRepair, warning, repair, user,
     nullptr, nullptr, doc, wordToolbar, quiet, office},
    {onWord,     2, "DocUsed",    "ファイルが編集出来ません", tryRepair, warning, repair, user,
     nullptr, nullptr, doc, tempFiles, switched, office},
    {onWord,     3, "DocBrowser", browser, nullptr, question, pair, machine,
     reads<GetBrowserIntegration, docExtension>, sets<SetBrowserIntegration, docExtension>, none, nullptr, switched, office},
    {onPowerPoint, 0, "PptProcess", running, "停止する", information, terminate, kept,
     nullptr, nullptr, ppt, nullptr, quiet, office},
    {onPowerPoint, 1, "PptBrowser", browser, nullptr, question, pair, machine,
     reads<GetBrowserIntegration, pptExtension>, sets<SetBrowserIntegration, pptExtension>, none, nullptr, switched, office},
    {onPowerPoint, 2, "PptLocalSv", "IEから開く場合に編集", nullptr, question, pair, machine,
     reads<IsLocalServerDisabled, pptExtension>, sets<SetLocalServerDisabled, pptExtension>,
     none, nullptr, switched, office},
    {onOutlook,  0, "EmlWsh",     "マクロウィルス(WSH)の動作を許可", nullptr, question, pair, machine,
     reads<GetScriptHostEnabled>, sets<SetScriptHostEnabled>, none, nullptr, switched, windows},
};
// clang-format on

struct RunningRow {
    TKelExtInfo& record;
    ProcessIds& ids;
    const char* row;
};

// The running-state row of Excel, Word or PowerPoint.
RunningRow rowOf(TKelOfficeInfo& info, TApplication application) {
    const TDocumentType& type = DocumentTypeOf(application);
    return {info.Record(type.application), info.RunningIds(type.application), type.processRow};
}

enum class Guard { Closed, Declined, StillRunning };

// The running guard: Closed when the repair may go ahead, which is only once the
// application's processes have really ended.
Guard runningGuard(TActionHost& host, TKelOfficeInfo& info, TApplication application) {
    RunningRow row = rowOf(info, application);
    if (!RefreshRunningState(host, row.record, row.ids, row.row))
        return Guard::Closed;
    if (row.ids.empty())
        return Guard::StillRunning; // runs where the program may not end it
    switch (ConfirmTerminate(host, info, application)) {
    case 0:
        return Guard::Closed;
    case -1:
        return Guard::Declined;
    default:
        return Guard::StillRunning;
    }
}

const OutcomeMessage kUpdated = {"更新しました。ご確認ください。", false};
const OutcomeMessage kNotUpdated = {"更新出来ませんでした。", true};
const OutcomeMessage kRepairTried = {"修復を試みました。ご確認ください。", false};

} // namespace

const std::span<const TAction> kActions = kActionTable;

const TAction* FindAction(const std::string& row) {
    for (const TAction& action : kActions)
        if (row == action.row)
            return &action;
    return nullptr;
}

int ConfirmTerminate(TActionHost& host, TKelOfficeInfo& info, TApplication application) {
    if (!HasRunningRow(DocumentTypeOf(application)))
        return -1; // an application whose processes are not surveyed is not ended
    RunningRow row = rowOf(info, application);
    std::string question = row.record.ViewName + " を強制終了します。宜しいですか？";
    if (!host.Confirm(question) || host.Closing())
        return -1;
    bool ended = gTerminateProcesses(row.ids, ProgramNameOf(row.record.FileName));
    Sleep(100);
    bool running = RefreshRunningState(host, row.record, row.ids, row.row);
    return ended && !running ? 0 : 1;
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

bool (*gTerminateProcesses)(const ProcessIds&, const std::string&) = TerminateProcesses;

void TellOfAnotherAccountOnce(TActionHost& host) {
    static bool told = false;
    if (told)
        return;
    TDeskUser desk = gDeskUser();
    if (!IsAnotherAccount(desk.sid, CurrentUserSid()))
        return;
    told = true;
    std::string deskName = WideToAnsi(desk.name), ownName = WideToAnsi(AccountName());
    std::string text = "このプログラムは、ログオン中のユーザー「" + deskName + "」ではなく、「" +
                       ownName +
                       "」のアカウントで動いています。\r\nOfficeクリップボード、メニューバー、"
                       "一時ファイル、ユーザー情報の修復と設定は、「" +
                       ownName + "」のものに対して行われます。";
    host.Inform(text);
}

ActionResult ReadBackSwitch(const TAction& item, const TKelOfficeInfo& info, int state, bool made) {
    ActionResult result;
    result.switchRow = item.row;
    result.stateRead = item.read(info) ? 1 : 0;
    result.switchSucceeded = made && result.stateRead == state;
    return result;
}

ActionResult ReadBackAfterError(const TAction& item, const TKelOfficeInfo& info) {
    try {
        return ReadBackSwitch(item, info, 0, false);
    } catch (const std::exception&) {
        return {};
    }
}

ActionResult RunAction(const TAction& action, int state, TActionHost& host, TKelOfficeInfo& info) {
    ActionResult result;
    if (action.scope == TScope::User)
        TellOfAnotherAccountOnce(host);
    if (host.Closing()) {
        result.outcome = TOutcome::Quiet;
        return result;
    }
    // What a switch or a repair changes in the registry is backed up first.
    std::optional<RegBackup> backup;
    if (action.kind == TActionKind::Switch || action.kind == TActionKind::GuardedRepair)
        backup.emplace(AnsiToWide(action.row));
    switch (action.kind) {
    case TActionKind::Switch:
        return ReadBackSwitch(action, info, state, action.set(info, state != 0));
    case TActionKind::OpenUpdate:
        if (!StartOfficeUpdate(info))
            host.Inform(gProcessElevated() ? kElevatedOpensNothing : "起動出来ませんでした。");
        result.outcome = TOutcome::Quiet;
        break;
    case TActionKind::Terminate:
        ConfirmTerminate(host, info, *action.application);
        result.outcome = TOutcome::Quiet;
        break;
    case TActionKind::RepairOffice: // here with administrator rights
        RepairOfficeAsking(host, info, [&](TRepairDepth depth) -> std::optional<long> {
            TOfficeRepairRun run = RunOfficeRepair(info, depth);
            return run.started ? static_cast<long>(run.exitCode) : kRepairNotStarted;
        });
        result.outcome = TOutcome::Quiet;
        break;
    case TActionKind::GuardedRepair:
        switch (runningGuard(host, info, *action.application)) {
        case Guard::Closed:
            result.repaired = action.repair(info);
            result.outcome = TOutcome::RepairTried;
            break;
        case Guard::Declined:
            result.outcome = host.Closing() ? TOutcome::Quiet : action.declined;
            break;
        case Guard::StillRunning: // reported as not done, whatever the row's default
            result.outcome = TOutcome::Switched;
            break;
        }
        break;
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
