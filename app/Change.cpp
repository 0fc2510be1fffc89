#include "app/Change.h"

#include "app/Inventory.h"
#include "app/Report.h"
#include "office/UserInfo.h"
#include "repair/Actions.h"
#include "repair/OfficeRepair.h"
#include "sysinfo/Account.h"
#include "sysinfo/Folder.h"
#include "sysinfo/Handle.h"
#include "sysinfo/JsonWriter.h"
#include "sysinfo/RegBackup.h"
#include "sysinfo/Text.h"
#include "sysinfo/TextRules.h"

#include <windows.h>

#include <algorithm>
#include <exception>
#include <optional>

namespace app {

namespace {

TCommandAccount thisAccount() {
    return {kel::gProcessElevated(), kel::RunsAsDeskUser(),
            kel::CurrentUserSid() == kel::kSystemSid};
}

// A command never asks and never ends a program: a question is answered No.
class ScriptHost : public kel::TActionHost {
  public:
    void ShowRunningState(const std::string&, const std::string&, bool) override {}
    bool Confirm(const std::string&) override { return false; }
    void Inform(const std::string&) override {}
    bool Closing() const override { return false; }
};

const char* const kNull = "null";

std::string stateText(int state) {
    return state == kNoRow ? kNull : std::to_string(state);
}

// The refusal of a row in this account, or nothing (exit code 0).
TCommandResult permitted(const kel::TAction& action, const TCommandAccount& account) {
    switch (kel::CommandPermit(action.scope, account.elevated, account.deskUser)) {
    case kel::TPermit::NotTheDeskUser:
        return TextResult(
            kExitNotTheDeskUser,
            std::string(action.row) +
                ": 利用者ごとの設定です。ログオン中の利用者のアカウントで実行してください"
                " (Intune では「ログオンしたユーザーの資格情報でこのスクリプトを実行する」、"
                "またはログオン スクリプト)。\r\n");
    case kel::TPermit::NeedsAdministrator:
        return TextResult(kExitNeedsAdministrator,
                          std::string(action.row) +
                              ": コンピューター全体の設定です。管理者として実行してください"
                              " (SYSTEM、またはスタートアップ スクリプト)。\r\n");
    case kel::TPermit::Allowed:
        break;
    }
    return {};
}

// What a command knows of Office, surveyed at its first use: a command about
// Windows' own settings alone never surveys Office.
class Inventory {
  public:
    kel::TKelOfficeInfo& info() {
        survey();
        return info_;
    }
    bool officeFound() {
        survey();
        return officeFound_;
    }
    // The Office that a row's reading and change are given: none for a row of
    // Windows' own settings, which reads none.
    kel::TKelOfficeInfo& infoFor(const kel::TAction& action) {
        return action.subject == kel::TSubject::Windows ? none_ : info();
    }
    bool has(const kel::TAction& action) {
        return action.subject == kel::TSubject::Windows ||
               RowIsPresent(action, info(), officeFound());
    }

  private:
    void survey() {
        if (!surveyed_)
            officeFound_ = GatherInventory(info_, userInfo_) == 0;
        surveyed_ = true;
    }
    kel::TKelOfficeInfo info_, none_;
    kel::TUserInfoList userInfo_;
    bool officeFound_ = false;
    bool surveyed_ = false;
};

// A registry file's text, read from its handle: UTF-16 with its byte order mark and
// the editor's version line. Nothing for another file.
std::optional<std::wstring> readRegFile(HANDLE file) {
    LARGE_INTEGER size{};
    constexpr LONGLONG kLargest = 64 * 1024 * 1024;
    if (!GetFileSizeEx(file, &size) || size.QuadPart > kLargest || size.QuadPart % 2 != 0)
        return std::nullopt;
    std::wstring text(static_cast<size_t>(size.QuadPart / 2), L'\0');
    DWORD read = 0;
    if (!ReadFile(file, text.data(), static_cast<DWORD>(size.QuadPart), &read, nullptr) ||
        read != size.QuadPart)
        return std::nullopt;
    const std::wstring header = L"\xFEFFWindows Registry Editor Version 5.00";
    if (text.compare(0, header.size(), header) != 0)
        return std::nullopt;
    return text;
}

std::string undoRefusal(const std::string& shown, const std::string& why) {
    return "/undo: " + shown + ": " + why + "\r\n";
}

// The backups an undo made before it failed, for the user's way back.
std::string madeFirst(const std::vector<std::wstring>& files) {
    std::string text;
    for (const std::wstring& file : files)
        text += "\r\n取り込む前の状態の控え: " + kel::WideToAnsi(file);
    return text;
}

// A command's line for one name: "NAME WORD" and what follows it, with its outcome.
TCommandResult named(int exitCode, const std::string& name, const std::string& word,
                     const std::string& rest = {}) {
    return {exitCode, name + " " + word + rest + "\r\n", {{name, word}}, {}, {}};
}

// /userinfo and its /check need an account that may write some place of them.
std::optional<TCommandResult> userInfoRefusal(const TCommandAccount& account) {
    if (account.deskUser || account.elevated)
        return std::nullopt;
    return TextResult(
        kExitNotTheDeskUser,
        "/userinfo: このアカウントは、ログオン中の利用者でも管理者でもありません。\r\n");
}

// The values given as the window's edit would take them, and the places this account
// writes: the user's own settings as the user at the desk, the machine's as an
// administrator.
std::pair<kel::TUserInfoList, kel::TUserInfoWrite>
userInfoToWrite(const std::vector<std::pair<std::string, std::string>>& fields,
                const TCommandAccount& account) {
    kel::TUserInfoList list;
    kel::TUserInfoWrite what;
    what.user = account.deskUser;
    what.machine = account.elevated;
    for (const auto& [name, value] : fields) {
        list.SetValue(name, kel::EditedValue(value));
        what.names.push_back(name);
    }
    return {list, what};
}

// "NAME=VALUE WORD" for each field, with the word wordOf gives its name: exit 1 when
// one is neither "ok" nor "absent", else 3 when one is "absent".
template <class WordOf>
TCommandResult fieldLines(const std::vector<std::pair<std::string, std::string>>& fields,
                          const kel::TUserInfoList& list, WordOf wordOf) {
    TCommandResult result;
    bool absent = false;
    for (const auto& [name, value] : fields) {
        std::string word = wordOf(name);
        result.text += name + "=" + kel::OnOneLine(list.Value(name)) + " " + word + "\r\n";
        result.results.emplace_back(name, word);
        if (word == "absent")
            absent = true;
        else if (word != "ok")
            result.exitCode = kExitNotDone;
    }
    if (absent && result.exitCode == kExitDone)
        result.exitCode = kExitAbsent;
    return result;
}

bool holds(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// /userinfo and its /check: refused for an account that may write no place of them,
// every name absent without Office, else what answer makes of the inventory, the
// values and the places this account writes.
template <class Answer>
TCommandResult withUserInfo(const std::vector<std::pair<std::string, std::string>>& fields,
                            Answer answer) {
    TCommandAccount account = gCommandAccount();
    if (std::optional<TCommandResult> refused = userInfoRefusal(account))
        return *refused;
    Inventory inventory;
    auto [list, what] = userInfoToWrite(fields, account);
    if (!inventory.officeFound())
        return fieldLines(fields, list, [](const std::string&) { return "absent"; });
    return answer(inventory, list, what);
}

// How much an exit code weighs when two parts of a command are one result.
int weight(int exitCode) {
    switch (exitCode) {
    case kExitDone:
        return 0;
    case kExitAbsent:
        return 1;
    case kExitNotDone:
        return 2;
    default:
        return 3;
    }
}

} // namespace

TCommandAccount (*gCommandAccount)() = thisAccount;

// The name of Click-to-Run's online repair on the command line: the repair row
// "Office" at its other depth.
const char kOfficeOnline[] = "OfficeOnline";

TCommandResult TextResult(int exitCode, std::string text) {
    TCommandResult result;
    result.exitCode = exitCode;
    result.text = std::move(text);
    return result;
}

std::string CommandJson(const TCommandResult& result) {
    kel::TJsonWriter writer;
    writer.BeginObject();
    writer.Key("Results");
    writer.BeginObject();
    for (const auto& [name, outcome] : result.results) {
        writer.Key(name);
        writer.String(outcome);
    }
    writer.EndObject();
    writer.Key("Switches");
    SwitchStates(writer, result.switches);
    writer.Key("Before");
    if (result.before)
        SwitchStates(writer, *result.before);
    else
        writer.Null();
    writer.Key("Text");
    writer.String(kel::WideToAnsi(kel::AnsiToWide(result.text, 932), CP_UTF8));
    writer.Key("ExitCode");
    writer.Number(result.exitCode);
    writer.EndObject();
    return writer.Text();
}

TCommandResult CombineResults(TCommandResult first, const TCommandResult& second) {
    first.text += second.text;
    first.results.insert(first.results.end(), second.results.begin(), second.results.end());
    first.switches.insert(first.switches.end(), second.switches.begin(), second.switches.end());
    if (weight(second.exitCode) > weight(first.exitCode))
        first.exitCode = second.exitCode;
    return first;
}

TCommandResult RunUserInfoCheck(const std::vector<std::pair<std::string, std::string>>& fields) {
    return withUserInfo(fields, [&](Inventory& inventory, const kel::TUserInfoList& list,
                                    const kel::TUserInfoWrite& what) {
        kel::TUserInfoComparison found = kel::CompareUserInfo(inventory.info(), list, what);
        return fieldLines(fields, list, [&](const std::string& name) {
            return holds(found.unplaced, name)    ? "absent"
                   : holds(found.differing, name) ? "differs"
                                                  : "ok";
        });
    });
}

std::optional<TCommandResult> RefuseUntrustedProgram(const TCommandAccount& account,
                                                     const std::wstring& programFile) {
    if (!account.system)
        return std::nullopt;
    std::optional<kel::TUntrustedPlace> place = kel::UntrustedProgramPlace(programFile);
    if (!place)
        return std::nullopt;
    return TextResult(
        kExitUntrustedProgram,
        kel::WideToAnsi(place->path) + ": " + place->why +
            "\r\nSYSTEM では、管理者以外も書き込める場所のプログラムで変更しません。"
            "管理者だけが書き込めるフォルダ (Program Files など) に置いてください。\r\n");
}

TCommandResult RunUndoCommand(const std::wstring& file) {
    std::string shown = kel::WideToAnsi(file);
    size_t slash = file.find_last_of(L"\\/");
    std::wstring fileName = slash == std::wstring::npos ? file : file.substr(slash + 1);
    // The file as named (a link as the link); a backup of the machine's folder is
    // read through that folder's handle.
    kel::Handle given(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    kel::Handle machine =
        given.valid() ? kel::OpenMachineBackup(given.get(), fileName) : kel::Handle();
    std::optional<std::wstring> text;
    if (given.valid())
        text = readRegFile(machine.valid() ? machine.get() : given.get());
    std::optional<std::vector<kel::TRegSection>> sections;
    if (text && kel::SectionKeys(*text))
        sections = kel::ParseRegFile(*text);
    if (!sections)
        return TextResult(
            kExitBadArguments,
            undoRefusal(shown, "変更の控え (.reg) ではないか、読めない行があります。"));
    TCommandAccount account = gCommandAccount();
    if (kel::NamesOnlyTheUsersKeys(*text)) {
        if (!account.deskUser)
            return TextResult(kExitNotTheDeskUser,
                              undoRefusal(shown, "利用者ごとの設定の控えです。ログオン中の利用者の"
                                                 "アカウントで実行してください。"));
    } else if (!machine.valid()) {
        return TextResult(
            kExitBadArguments,
            undoRefusal(shown,
                        ("コンピューター全体の設定の控えとして取り込めるのは、控えのフォルダ (" +
                         kel::WideToAnsi(kel::gBackupFolder(kel::TBackupPlace::Machine)) +
                         ") のファイルだけです。内容を確かめたうえで取り込むには、管理者として"
                         "次を実行してください:\r\n  ")) +
                kel::WideToAnsi(kel::RegImportLine(file)) + "\r\n");
    } else if (!account.elevated) {
        return TextResult(kExitNeedsAdministrator,
                          undoRefusal(shown, "コンピューター全体の設定の控えです。管理者として"
                                             "実行してください。"));
    }
    std::optional<kel::TBackupName> name = kel::ParseBackupFileName(fileName);
    std::string row = name ? kel::WideToAnsi(name->row) : "/undo";
    std::optional<unsigned long> imported;
    std::optional<std::wstring> different;
    std::vector<std::wstring> made;
    bool backedUp = false;
    {
        kel::RegBackup backup(L"Undo-" + (name ? name->row : L"File"));
        backedUp = kel::BackUpKeysOf(*text);
        // The text read and checked is the one imported, from a copy of the
        // program's own: the file may change meanwhile.
        if (backedUp)
            imported = kel::ImportRegText(*text, kel::NamesOnlyTheUsersKeys(*text)
                                                     ? kel::TBackupPlace::User
                                                     : kel::TBackupPlace::Machine);
        if (imported == 0u)
            different = kel::FirstDifferentKey(*sections);
        made = backup.Files();
    }
    if (!backedUp)
        return named(kExitNoBackup, row, "failed", ": 取り込むキーを控えられません");
    if (imported != 0u)
        return named(kExitNotDone, row, "failed",
                     (imported ? ": reg import" : ": 取り込むファイルを作れません") +
                         madeFirst(made));
    if (different)
        return named(kExitNotDone, row, "failed",
                     ": 取り込んだ後のキーが控えと違います: " + kel::WideToAnsi(*different) +
                         madeFirst(made));
    const kel::TAction* action = kel::FindAction(row);
    if (action == nullptr || !action->IsSwitch())
        return named(kExitDone, row, "ok");
    Inventory inventory;
    int state = inventory.has(*action) ? int(action->read(inventory.infoFor(*action))) : kNoRow;
    TCommandResult result = named(kExitDone, row, "ok");
    result.text = row + " " + stateText(state) + " ok\r\n";
    result.switches = {{row, state}};
    return result;
}

TCommandResult RunSwitchCommand(const std::vector<TSetting>& settings, bool change) {
    std::vector<const kel::TAction*> rows;
    for (const TSetting& setting : settings) {
        const kel::TAction* action = kel::FindAction(setting.row);
        if (action == nullptr || !action->IsSwitch())
            return TextResult(kExitBadArguments,
                              "スイッチの名前ではありません: " + setting.row + "\r\n");
        rows.push_back(action);
    }
    // A change needs its permit; a check reads, but a per-user row read in another
    // account's profile would answer for that account, not the user.
    TCommandAccount account = gCommandAccount();
    if (!change)
        account.elevated = true;
    for (const kel::TAction* action : rows)
        if (TCommandResult refused = permitted(*action, account); refused.exitCode != 0)
            return refused;

    Inventory inventory;
    ScriptHost host;
    TCommandResult result;
    std::vector<TNamedState> before;
    std::optional<int> stopped; // the backup's exit code, once one could not be written
    bool changed = false;
    bool absent = false; // a row this PC does not have
    // The backups there were, to name the rows' own.
    std::vector<kel::TBackupFile> madeBefore =
        change ? kel::ListBackups() : std::vector<kel::TBackupFile>();
    for (size_t i = 0; i < rows.size(); ++i) {
        const kel::TAction& action = *rows[i];
        int wanted = settings[i].state;
        int was = inventory.has(action) ? int(action.read(inventory.infoFor(action))) : kNoRow;
        int now = was;
        std::string verdict;
        if (was == kNoRow) {
            verdict = "absent";
        } else if (change && stopped) {
            verdict = "skipped";
        } else if (change) {
            try {
                kel::ActionResult done =
                    kel::RunAction(action, wanted, host, inventory.infoFor(action));
                now = done.stateRead;
                verdict = done.switchSucceeded ? "ok" : "failed";
            } catch (const std::exception& error) {
                kel::ActionResult back = kel::ReadBackAfterError(action, inventory.infoFor(action));
                now = back.switchRow != nullptr ? back.stateRead : was;
                std::string why = error.what();
                if (const auto* registry = dynamic_cast<const kel::RegistryError*>(&error);
                    registry != nullptr && !registry->SystemText().empty())
                    why += ": " + registry->SystemText();
                verdict = "failed (" + kel::OnOneLine(why) + ")";
                if (const auto* backup = dynamic_cast<const kel::BackupError*>(&error)) {
                    stopped =
                        changed || !backup->Made().empty() ? kExitStoppedPartWay : kExitNoBackup;
                    if (changed) // the rows before it were changed: their backups put them back
                        for (const kel::TBackupFile& file : kel::BackupsSince(madeBefore))
                            verdict += " " + kel::WideToAnsi(file.path);
                }
            }
            changed = changed || now != was;
        } else {
            verdict = was == wanted ? "ok" : "differs";
        }
        if (verdict == "absent")
            absent = true;
        else if (verdict != "ok")
            result.exitCode = kExitNotDone;
        result.text += std::string(action.row) + " " + (change ? stateText(was) + " " : "") +
                       stateText(now) + " " + verdict + "\r\n";
        result.results.emplace_back(action.row, verdict.substr(0, verdict.find(' ')));
        before.emplace_back(action.row, was);
        result.switches.emplace_back(action.row, now);
    }
    if (change)
        result.before = before;
    if (stopped)
        result.exitCode = *stopped;
    else if (absent && result.exitCode == kExitDone)
        result.exitCode = kExitAbsent;
    return result;
}

namespace {

// "/repair Office" (the quick repair) or "/repair OfficeOnline": absent where this
// machine has no such repair, else the repair's exit code (0: "ok").
TCommandResult repairOffice(const kel::TAction& action, const std::string& row,
                            kel::TRepairDepth depth) {
    if (TCommandResult refused = permitted(action, gCommandAccount()); refused.exitCode != 0)
        return refused;
    Inventory inventory;
    if (!inventory.has(action) || !kel::OfficeRepairStartOf(inventory.info(), depth))
        return named(kExitAbsent, row, "absent");
    kel::TOfficeRepairRun run = kel::RunOfficeRepair(inventory.info(), depth);
    if (!run.started)
        return named(kExitNotDone, row, "failed", ": 修復のプログラムを起動出来ませんでした。");
    if (!kel::OfficeRepaired(run.exitCode))
        return named(kExitNotDone, row, "failed", ": 終了コード " + std::to_string(run.exitCode));
    return named(kExitDone, row, "ok", run.exitCode == 0 ? "" : ": 再起動してください。");
}

} // namespace

TCommandResult RunRepairCommand(const std::string& row) {
    if (row == kOfficeOnline)
        if (const kel::TAction* office = kel::FindAction("Office"))
            return repairOffice(*office, row, kel::TRepairDepth::Online);
    const kel::TAction* action = kel::FindAction(row);
    if (action != nullptr && action->kind == kel::TActionKind::RepairOffice)
        return repairOffice(*action, row, kel::TRepairDepth::Quick);
    if (action == nullptr || action->kind != kel::TActionKind::GuardedRepair)
        return TextResult(kExitBadArguments, "修復の名前ではありません: " + row + "\r\n");
    if (TCommandResult refused = permitted(*action, gCommandAccount()); refused.exitCode != 0)
        return refused;
    Inventory inventory;
    if (!inventory.has(*action))
        return named(kExitAbsent, row, "absent");
    ScriptHost host;
    kel::ActionResult done = kel::RunAction(*action, 0, host, inventory.info());
    if (done.outcome == kel::TOutcome::RepairTried) {
        const kel::TRepairResult& repaired = done.repaired;
        if (repaired.unlisted)
            return named(kExitNotDone, row, "failed", ": フォルダの中を調べられませんでした。");
        if (repaired.found == 0)
            return named(kExitDone, row, "nothing to do");
        if (repaired.left == 0)
            return named(kExitDone, row, "ok");
        return named(kExitNotDone, row, "failed",
                     ": " + std::to_string(repaired.left) + " / " + std::to_string(repaired.found) +
                         " を削除出来ませんでした。");
    }
    const kel::TKelExtInfo& record = inventory.info().Record(*action->application);
    return named(kExitNotDone, row, "not made",
                 ": " + kel::OnOneLine(record.ViewName) +
                     " が動いています。終了してから実行してください。");
}

TCommandResult RunUserInfoCommand(const std::vector<std::pair<std::string, std::string>>& fields) {
    return withUserInfo(fields, [&](Inventory& inventory, const kel::TUserInfoList& list,
                                    const kel::TUserInfoWrite& what) {
        bool written = kel::WriteUserInfo(inventory.info(), list, what) == 0;
        // A name that no place holds for this account was written nowhere.
        std::vector<std::string> unplaced =
            kel::CompareUserInfo(inventory.info(), list, what).unplaced;
        TCommandResult result = fieldLines(fields, list, [&](const std::string& name) {
            return holds(unplaced, name) ? "absent" : written ? "ok" : "failed";
        });
        if (!what.machine && kel::HasMachineUserInfo(inventory.info())) {
            result.text += "/userinfo: Office の登録情報と既定のユーザーの設定は、管理者として"
                           "実行してください。\r\n";
            result.exitCode = kExitNeedsAdministrator;
        }
        return result;
    });
}

std::wstring ChangeCommandsUsage() {
    std::wstring switches, repairs;
    for (const kel::TAction& action : kel::kActions) {
        std::wstring name = kel::AnsiToWide(action.row);
        std::wstring scope =
            action.scope == kel::TScope::Machine ? L" (コンピューター全体)" : L" (利用者ごと)";
        if (action.IsSwitch())
            switches += L"    " + name + scope + L"\r\n";
        else if (action.kind == kel::TActionKind::GuardedRepair)
            repairs += L"    " + name + scope + L"\r\n";
        else if (action.kind == kel::TActionKind::RepairOffice)
            repairs += L"    " + name + scope + L" クイック修復\r\n    " +
                       kel::AnsiToWide(kOfficeOnline) + scope +
                       L" オンライン修復 (Office をダウンロードして入れ直します)\r\n";
    }
    return L"%s /set 名前=0|1 [名前=0|1 ...]\r\n"
           L"    スイッチを設定し、読み直して、名前ごとに前後の状態を表示します。\r\n\r\n"
           L"%s /check [名前=0|1 ...] [Company=会社名] [Owner=使用者名] [Initials=頭文字]\r\n"
           L"    何も変えずに、スイッチと登録ユーザー情報が指定どおりかを調べます\r\n"
           L"    (ユーザー情報は /userinfo が書き込む場所と同じ場所を調べます)。\r\n\r\n"
           L"%s /userinfo [Company=会社名] [Owner=使用者名] [Initials=頭文字]\r\n"
           L"    Office の登録ユーザー情報を、ウィンドウの「更新」と同じ場所に書き込み、\r\n"
           L"    読み直します (利用者の設定はログオン中の利用者として、登録情報は\r\n"
           L"    管理者として)。\r\n\r\n"
           L"%s /repair 名前\r\n"
           L"    実行したアカウントのファイルを修復します。アプリケーションが動いていれば"
           L"修復しません。\r\n\r\n"
           L"%s /undo ファイル\r\n"
           L"    変更の前に保存した控え (.reg) を取り込んで、変更を元に戻します。控えは\r\n"
           L"    %LOCALAPPDATA%\\Wexdal\\Backup (利用者ごと) と\r\n"
           L"    %ProgramData%\\Wexdal\\Backup (コンピューター全体、管理者として) "
           L"にあります。\r\n\r\n"
           L"スイッチの名前 (1 = する、0 = しない):\r\n" +
           switches + L"\r\n修復の名前:\r\n" + repairs;
}

} // namespace app
