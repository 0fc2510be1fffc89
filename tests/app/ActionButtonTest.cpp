#include "app/MainWindow.h"

#include "app/Change.h"
#include "app/Elevate.h"
#include "app/Inventory.h"
#include "office/OfficeKeys.h"
#include "office/UserInfo.h"
#include "office/ProcessSurvey.h"
#include "repair/Actions.h"
#include "repair/OfficeRepair.h"
#include "repair/ScriptHostGuard.h"
#include "sysinfo/Account.h"
#include "sysinfo/Handle.h"
#include "sysinfo/Text.h"
#include "tests/app/Pages.h"
#include "tests/sample/SampleMachine.h"
#include "tests/support/Backups.h"
#include "tests/support/Dialogs.h"
#include "tests/support/Environment.h"
#include "tests/support/Fixtures.h"
#include "tests/support/Json.h"
#include "tests/support/Processes.h"
#include "tests/support/ScratchKey.h"

#include <gtest/gtest.h>

#include <aclapi.h>
#include <sddl.h>

#include <utility>

#include <algorithm>
#include <deque>
#include <memory>
#include <stdexcept>

using namespace testing_support;

namespace {

// The main window with its About page shown, Excel and Word played by fixture
// programs, and TEMP pointing to a scratch folder.
class ActionButtonTest : public testing::Test {
  protected:
    ScratchFolder programs{"C:\\wexdal-tests\\actions"};
    ScratchFolder temp{"C:\\wexdal-tests\\actions-temp"};
    EnvironmentOverride tempVariable{"TEMP", "C:\\wexdal-tests\\actions-temp"};
    app::MainWindow form;
    kel::TKelOfficeInfo& info = form.OfficeInfo();

    // What each dialog of a click said, and how the page stood while it was open.
    struct Seen {
        std::string title, message;
        bool pageEnabled, panelShown, timerOn;
    };
    std::vector<Seen> seen;

    ActionButtonTest() {
        form.SetPagesBuilt(); // activation must not build the machine's pages over these
        form.GLB_Menu->AddItem("About");
        form.GLB_Menu->SetItemIndex(0);
        for (const char* program : {"EXCEL.EXE", "WINWORD.EXE"})
            installFixture("office11", programs.file(program));
        info.Record(kel::TApplication::Excel).FileName = programs.file("EXCEL.EXE");
        info.Record(kel::TApplication::Excel).ViewName = "Excel";
        info.Record(kel::TApplication::Word).FileName = programs.file("WINWORD.EXE");
        info.Record(kel::TApplication::Word).ViewName = "Word";
        placed(*kel::FindAction("XlsProcess"), 0);
        placed(*kel::FindAction("DocProcess"), 1);
    }

    // Clicks the control and answers its dialogs in turn with the given buttons;
    // a dialog without that button, or any further one, gets "いいえ(&N)" or "OK".
    void click(ui::TControl& control, std::vector<std::string> buttons = {"OK"}) {
        std::vector<std::unique_ptr<DialogAnswer>> answers;
        HWND last = nullptr;
        std::function<void(HWND)> answer = [&](HWND dialog) {
            answers.push_back(std::make_unique<DialogAnswer>(answer)); // the next one
            if (dialog == last)
                return; // still closing
            last = dialog;
            SeenDialog shown = readDialog(dialog);
            seen.push_back({shown.title, shown.message, form.GB_About->Enabled(),
                            form.PL_Wait->Visible(), form.Timer1->Enabled()});
            std::string wanted = seen.size() <= buttons.size() ? buttons[seen.size() - 1] : "";
            if (std::find(shown.buttons.begin(), shown.buttons.end(), wanted) !=
                shown.buttons.end()) {
                pressButton(dialog, wanted);
            } else {
                pressButton(dialog, "いいえ(&N)");
                pressButton(dialog, "OK");
            }
        };
        answers.push_back(std::make_unique<DialogAnswer>(answer));
        SendMessageA(control.Handle(), BM_CLICK, 0, 0);
    }
    std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (const Seen& dialog : seen)
            texts.push_back(dialog.message);
        return texts;
    }
    // The rows placed on the test page; they live as long as the form's controls.
    std::deque<kel::TAction> rows;
    // Adds a row to the test page at index, as the pages build it.
    void placed(kel::TAction action, int index) {
        action.page = kel::TPage::About;
        action.position = index;
        rows.push_back(action);
        testing_support::AddActionRow(form, rows.back());
    }
    ui::TButton& repairRow(const char* row, int index) {
        placed(*kel::FindAction(row), index);
        return *form.Find<ui::TButton>(std::string("BB_") + row);
    }
    ui::TSpeedButton& switchRow(const char* row, int index, int state) {
        placed(*kel::FindAction(row), index);
        return *form.Find<ui::TSpeedButton>(std::string("SB_") + row + std::to_string(state));
    }
};

TEST_F(ActionButtonTest, ARepairWhileExcelRunsEndsItOnYesThenRepairs) {
    ChildProcess excel(programs.file("EXCEL.EXE"));
    writeFile(temp.file("~book.tmp"), "x");
    form.Timer1->SetEnabled(true);

    click(repairRow("XlsUsed", 2), {"はい(&Y)", "OK"});

    ASSERT_EQ(messages(), (std::vector<std::string>{"Excel を強制終了します。宜しいですか？",
                                                    "修復を試みました。ご確認ください。"}));
    // While the action ran: page locked, wait panel shown, timer stopped.
    EXPECT_FALSE(seen[0].pageEnabled);
    EXPECT_TRUE(seen[0].panelShown);
    EXPECT_FALSE(seen[0].timerOn);
    EXPECT_EQ(form.PL_Wait->Caption(), "作業中です...お待ちください。");
    EXPECT_FALSE(seen[1].panelShown);

    EXPECT_TRUE(excel.endsWithin(5000));
    EXPECT_EQ(GetFileAttributesA(temp.file("~book.tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(form.GB_About->Enabled());
    EXPECT_FALSE(form.PL_Wait->Visible());
    EXPECT_TRUE(form.Timer1->Enabled());
}

TEST_F(ActionButtonTest, WordsRepairAsksOnlyWhenWordRuns) {
    ChildProcess excel(programs.file("EXCEL.EXE"));
    writeFile(temp.file("~letter.tmp"), "x");
    click(repairRow("DocUsed", 2));
    EXPECT_EQ(messages(), std::vector<std::string>{"修復を試みました。ご確認ください。"});
    EXPECT_EQ(GetFileAttributesA(temp.file("~letter.tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(excel.running());

    ChildProcess word(programs.file("WINWORD.EXE"));
    writeFile(temp.file("~letter.tmp"), "x");
    seen.clear();
    click(*form.Find<ui::TButton>("BB_DocUsed"), {"いいえ(&N)", "OK"});
    EXPECT_EQ(messages(), (std::vector<std::string>{"Word を強制終了します。宜しいですか？",
                                                    "更新出来ませんでした。"}));
    EXPECT_NE(GetFileAttributesA(temp.file("~letter.tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(word.running());
}

// A repair goes ahead only once its application has really ended: where the
// processes outlive their termination, nothing is deleted and the change is
// reported as not made.
TEST_F(ActionButtonTest, ARepairWhoseApplicationOutlivesItsTerminationDeletesNothing) {
    struct FailingTermination {
        decltype(kel::gTerminateProcesses) kept = kel::gTerminateProcesses;
        FailingTermination() {
            kel::gTerminateProcesses = [](const kel::ProcessIds&, const std::string&) {
                return false;
            };
        }
        ~FailingTermination() { kel::gTerminateProcesses = kept; }
    } failing;
    ChildProcess excel(programs.file("EXCEL.EXE"));
    writeFile(temp.file("~book.tmp"), "x");

    click(repairRow("XlsUsed", 2), {"はい(&Y)", "OK"});

    EXPECT_EQ(messages(), (std::vector<std::string>{"Excel を強制終了します。宜しいですか？",
                                                    "更新出来ませんでした。"}));
    EXPECT_NE(GetFileAttributesA(temp.file("~book.tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(excel.running());
}

// A close asked for while a question is open (a shutdown, a taskkill without /F)
// ends the question; the action then stops without acting, shows nothing, and the
// window closes once it has returned, its timer stopped.
TEST_F(ActionButtonTest, ACloseDuringAQuestionStopsTheActionAndThenClosesTheWindow) {
    ChildProcess excel(programs.file("EXCEL.EXE"));
    writeFile(temp.file("~book.tmp"), "x");
    form.Timer1->SetEnabled(true);
    std::vector<std::string> shown;
    std::unique_ptr<DialogAnswer> further;
    DialogAnswer closeWhileAsked([&](HWND dialog) {
        shown.push_back(readDialog(dialog).message);
        further = std::make_unique<DialogAnswer>([&](HWND next) {
            shown.push_back(readDialog(next).message);
            pressButton(next, "OK");
        });
        PostMessageA(form.Handle(), WM_CLOSE, 0, 0);
    });

    SendMessageA(repairRow("XlsUsed", 2).Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindow(form.Handle())) << "not closed under the running action";
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        if (message.message != WM_QUIT)
            DispatchMessageA(&message);

    EXPECT_EQ(shown, std::vector<std::string>{"Excel を強制終了します。宜しいですか？"});
    EXPECT_EQ(form.Handle(), nullptr) << "closed afterwards";
    EXPECT_FALSE(form.Timer1->Enabled());
    EXPECT_TRUE(excel.running());
    EXPECT_NE(GetFileAttributesA(temp.file("~book.tmp").c_str()), INVALID_FILE_ATTRIBUTES);
}

// A switch that could not be changed shows the state it reads, not the one asked
// for (no document class for ".ppt" here: the local server reads as not set aside).
TEST_F(ActionButtonTest, AFailedSwitchShowsTheStateItReads) {
    ASSERT_FALSE(keyExists(HKEY_CLASSES_ROOT, "\\.ppt"));
    ui::TSpeedButton& on = switchRow("PptLocalSv", 3, 1);
    click(on);
    EXPECT_EQ(messages(), std::vector<std::string>{"更新出来ませんでした。"});
    EXPECT_FALSE(on.Down());
    EXPECT_TRUE(form.Find<ui::TSpeedButton>("SB_PptLocalSv0")->Down());
}

// A window without administrator rights: a machine-wide switch shows the shield and
// its click runs "wexdal.exe /set ROW=STATE" (here started without the consent
// prompt) while the window goes on painting and running its timers; the window
// reads the state back itself. A declined prompt changes and says nothing.
class ElevatedChangeTest : public ActionButtonTest {
  protected:
    decltype(kel::gProcessElevated) keptElevated = kel::gProcessElevated;
    decltype(app::gStartElevated) keptStart = app::gStartElevated;
    // Ticks of a timer of the test's thread while the window waited for the command
    // (locked, its wait panel shown).
    static inline int ticksWhileWaiting = 0;
    static inline app::MainWindow* waiting = nullptr;
    static void CALLBACK countTickWhileWaiting(HWND, UINT, UINT_PTR, DWORD) {
        if (waiting->PL_Wait->Visible() && !IsWindowEnabled(waiting->Handle()))
            ++ticksWhileWaiting;
    }

    ElevatedChangeTest() {
        sample::Lay(sample::Standard()); // the command acts on rows of pages this PC has
        kel::gProcessElevated = [] { return false; };
        app::gStartElevated = [](HWND, const std::wstring& parameters) {
            app::TElevatedStart start;
            start.process.reset(startDetached(wexdalPath(), parameters));
            return start;
        };
    }
    ~ElevatedChangeTest() override {
        kel::gProcessElevated = keptElevated;
        app::gStartElevated = keptStart;
        kel::SetScriptHostEnabled(1);
        sample::Remove();
    }
};

TEST_F(ElevatedChangeTest, AMachineWideSwitchRunsAsTheElevatedCommandWhileTheWindowLives) {
    ASSERT_EQ(kel::GetScriptHostEnabled(), 1);
    ui::TSpeedButton& off = switchRow("EmlWsh", 3, 0);
    EXPECT_TRUE(off.Shielded());
    EXPECT_TRUE(form.Find<ui::TSpeedButton>("SB_EmlWsh1")->Shielded());
    EXPECT_FALSE(switchRow("MsoClip", 4, 0).Shielded()) << "the user's own setting";
    ticksWhileWaiting = 0;
    waiting = &form;
    UINT_PTR timer = SetTimer(nullptr, 0, 20, countTickWhileWaiting);

    click(off);
    KillTimer(nullptr, timer);

    EXPECT_EQ(messages(), std::vector<std::string>{"更新しました。ご確認ください。"});
    EXPECT_EQ(kel::GetScriptHostEnabled(), 0);
    EXPECT_TRUE(off.Down());
    EXPECT_GT(ticksWhileWaiting, 0) << "the window's messages ran while it waited";
    EXPECT_TRUE(IsWindowEnabled(form.Handle()));

    // Declined: nothing started, nothing shown, the pair shows what is.
    app::gStartElevated = [](HWND, const std::wstring&) {
        app::TElevatedStart start;
        start.declined = true;
        return start;
    };
    seen.clear();
    ui::TSpeedButton& on = *form.Find<ui::TSpeedButton>("SB_EmlWsh1");
    click(on);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(kel::GetScriptHostEnabled(), 0);
    EXPECT_TRUE(off.Down());
    EXPECT_FALSE(on.Down());
}

// Office's repair in a window without administrator rights: the shield, a question
// first, then "wexdal.exe /repair Office" started elevated, its exit code the
// outcome (a code no repair answers: not run); a declined prompt says nothing more.
TEST_F(ElevatedChangeTest, OfficesRepairRunsAsTheElevatedCommandAfterItsQuestion) {
    placed(*kel::FindAction("Office"), 5);
    ui::TButton& repair = *form.Find<ui::TButton>("BB_Office");
    EXPECT_TRUE(repair.Shielded());
    static std::vector<std::wstring> asked;
    static std::wstring answering; // the command line that gives the exit code wanted
    app::gStartElevated = [](HWND, const std::wstring& parameters) {
        asked.push_back(parameters);
        app::TElevatedStart start;
        start.process.reset(startDetached(wexdalPath(), answering));
        return start;
    };
    const std::string question = "Office を修復します。数分かかります。開いている Office の"
                                 "プログラムは閉じられます。作業中のものは保存してください。"
                                 "よろしいですか？";
    // The command's exit code as a stand-in gives: 0, 1 (a check that differs), and
    // 87, which no repair that ran answers.
    const int scripts = kel::GetScriptHostEnabled();
    const std::pair<std::wstring, const char*> outcomes[] = {
        {L"/check EmlWsh=" + std::to_wstring(scripts), "Office を修復しました。"},
        {L"/check EmlWsh=" + std::to_wstring(1 - scripts), "Office を修復出来ませんでした。"},
        {L"/check NoSuchRow=1", "修復のプログラムを起動出来ませんでした。"}};
    for (const auto& [command, outcome] : outcomes) {
        answering = command;
        asked.clear();
        seen.clear();
        click(repair, {"はい(&Y)", "OK"});
        EXPECT_EQ(asked, std::vector<std::wstring>{L"/repair Office"});
        EXPECT_EQ(messages(), (std::vector<std::string>{question, outcome}));
    }
    seen.clear();
    click(repair, {"いいえ(&N)"});
    EXPECT_EQ(messages(), std::vector<std::string>{question}) << "declined: nothing runs";
    app::gStartElevated = [](HWND, const std::wstring&) {
        app::TElevatedStart start;
        start.declined = true;
        return start;
    };
    seen.clear();
    click(repair, {"はい(&Y)"});
    EXPECT_EQ(messages(), std::vector<std::string>{question}) << "a declined prompt";
}

// The change command refuses a row where the change would land in the wrong place,
// and changes nothing: a per-user row under SYSTEM or another account (4), a
// machine-wide row without administrator rights (5). A change that does not read
// back is printed as failed (1), never as done.
// The account a command runs under, as the tests give it.
class CommandAccountTest : public ElevatedChangeTest {
  protected:
    static inline app::TCommandAccount given;
    decltype(app::gCommandAccount) keptAccount = app::gCommandAccount;
    CommandAccountTest() {
        app::gCommandAccount = [] { return given; };
    }
    ~CommandAccountTest() override { app::gCommandAccount = keptAccount; }
};

// Gives Everyone every right on the file or folder (and what it will hold).
bool letEveryoneChange(const std::string& path) {
    PSECURITY_DESCRIPTOR everyone = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;OICI;FA;;;WD)", SDDL_REVISION_1,
                                                              &everyone, nullptr))
        return false;
    kel::LocalMemory everyoneOwner(everyone);
    BOOL present = FALSE, defaulted = FALSE;
    PACL rules = nullptr;
    GetSecurityDescriptorDacl(everyone, &present, &rules, &defaulted);
    return SetNamedSecurityInfoA(const_cast<char*>(path.c_str()), SE_FILE_OBJECT,
                                 DACL_SECURITY_INFORMATION, nullptr, nullptr, rules,
                                 nullptr) == ERROR_SUCCESS;
}

TEST_F(CommandAccountTest, TheCommandRefusesWhatWouldLandInTheWrongPlace) {
    struct Case {
        app::TCommandAccount account;
        std::vector<app::TSetting> settings;
        int exitCode;
    };
    const app::TCommandAccount system{true, false}, user{false, true}, admin{true, true};
    const Case cases[] = {
        {system, {{"MsoClip", 0}}, app::kExitNotTheDeskUser},
        {system, {{"EmlWsh", 0}, {"MsoClip", 0}}, app::kExitNotTheDeskUser},
        {user, {{"EmlWsh", 0}}, app::kExitNeedsAdministrator},
        {user, {{"MsoClip", 0}, {"LogonIme", 0}}, app::kExitNeedsAdministrator},
    };
    const char* const office = "\\Software\\Microsoft\\Office";
    const char* const layouts = "\\.DEFAULT\\Keyboard Layout";
    Tree clipboard = snapshot(HKEY_CURRENT_USER, office), logon = snapshot(HKEY_USERS, layouts);
    int scripts = kel::GetScriptHostEnabled();
    for (const Case& c : cases) {
        given = c.account;
        app::TCommandResult result = app::RunSwitchCommand(c.settings, true);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.text;
        EXPECT_EQ(result.text.find(" ok"), std::string::npos);
    }
    given = system;
    EXPECT_EQ(app::RunRepairCommand("XlsUsed").exitCode, app::kExitNotTheDeskUser);
    EXPECT_TRUE(snapshot(HKEY_CURRENT_USER, office) == clipboard) << "nothing changed";
    EXPECT_TRUE(snapshot(HKEY_USERS, layouts) == logon) << "nothing changed";
    EXPECT_EQ(kel::GetScriptHostEnabled(), scripts);

    // A change whose backup can't be written is not made, and says so by its code.
    given = admin;
    ScratchFolder blocked("C:\\wexdal-tests\\nobackup");
    writeFile(blocked.file("Wexdal"), "a file where the folder would be");
    static std::wstring folder;
    folder = kel::AnsiToWide(blocked.file("Wexdal\\Backup"));
    auto program = std::exchange(kel::gBackupFolder, [](kel::TBackupPlace) { return folder; });
    // /set stops at the first row refused: the rows after it are skipped.
    app::TCommandResult noBackup =
        app::RunSwitchCommand({{"EmlWsh", 1 - scripts}, {"LogonIme", 1}}, true);
    kel::gBackupFolder = program;
    EXPECT_EQ(noBackup.exitCode, app::kExitNoBackup) << noBackup.text;
    EXPECT_NE(noBackup.text.find("\r\nLogonIme "), std::string::npos) << noBackup.text;
    EXPECT_NE(noBackup.text.find(" skipped\r\n"), std::string::npos) << noBackup.text;
    EXPECT_EQ(kel::GetScriptHostEnabled(), scripts);
    EXPECT_TRUE(snapshot(HKEY_USERS, layouts) == logon) << "nothing changed";

    // A machine folder that another account may change is refused, never taken over
    // (the bench shows only what Wine keeps of an access list: a right for Everyone).
    ScratchFolder open("C:\\wexdal-tests\\openbackup");
    makeFolders(open.file("Wexdal"));
    ASSERT_TRUE(letEveryoneChange(open.file("Wexdal")));
    folder = kel::AnsiToWide(open.file("Wexdal\\Backup"));
    kel::gBackupFolder = [](kel::TBackupPlace) { return folder; };
    app::TCommandResult untrusted = app::RunSwitchCommand({{"EmlWsh", 1 - scripts}}, true);
    kel::gBackupFolder = program;
    EXPECT_EQ(untrusted.exitCode, app::kExitNoBackup) << untrusted.text;
    EXPECT_NE(untrusted.text.find(open.file("Wexdal")), std::string::npos) << untrusted.text;
    EXPECT_EQ(GetFileAttributesA(open.file("Wexdal\\Backup").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(kel::GetScriptHostEnabled(), scripts);

    // A marked script class beside a class of its name: scripts can't be put on.
    given = admin;
    ScratchKey active{HKEY_CLASSES_ROOT, "\\WexdalTest.VBS"};
    ScratchKey marked{HKEY_CLASSES_ROOT, "\\WexdalTest.VBS.SymantecDisabled"};
    for (const auto* key : {&active, &marked})
        putString(HKEY_CLASSES_ROOT, key->sub("Shell\\Open\\Command"), "", "wscript.exe \"%1\"");
    app::TCommandResult refused = app::RunSwitchCommand({{"EmlWsh", 1}}, true);
    EXPECT_EQ(refused.exitCode, app::kExitNotDone);
    EXPECT_EQ(refused.text, "EmlWsh 1 1 failed\r\n");
    given = system;
    EXPECT_EQ(app::RunSwitchCommand({{"MsoClip", 1}}, false).exitCode, app::kExitNotTheDeskUser)
        << "SYSTEM's profile would answer for the user's";
}

// On a PC without Office, a row of Office's is absent (exit 3 when every other row is
// as given, 1 when one is not), and the rows of Windows' own settings answer.
TEST_F(CommandAccountTest, WithoutOfficeOnlyOfficesRowsAreAbsent) {
    sample::Options bare = sample::Standard();
    bare.products.clear();
    bare.componentMajor = 0;
    sample::Lay(bare);
    given = {true, true, false};
    std::vector<app::TSetting> present, absent;
    for (const kel::TAction& row : kel::kActions)
        if (row.IsSwitch())
            (row.subject == kel::TSubject::Windows ? present : absent)
                .push_back({row.row, row.read(kel::TKelOfficeInfo())});
    ASSERT_FALSE(present.empty());
    ASSERT_FALSE(absent.empty());
    app::TCommandResult answered = app::RunSwitchCommand(present, false);
    EXPECT_EQ(answered.exitCode, app::kExitDone) << answered.text;
    for (app::TSetting setting : absent) {
        std::vector<app::TSetting> settings = present;
        settings.push_back(setting);
        app::TCommandResult result = app::RunSwitchCommand(settings, false);
        EXPECT_EQ(result.exitCode, app::kExitAbsent) << result.text;
        EXPECT_NE(result.text.find(setting.row + " null absent\r\n"), std::string::npos)
            << result.text;
        std::string json = app::CommandJson(result);
        EXPECT_NE(json.find("\"ExitCode\": 3"), std::string::npos) << json;
        EXPECT_NE(json.find("\"" + setting.row + "\": \"absent\""), std::string::npos) << json;
        settings.front().state = 1 - settings.front().state;
        EXPECT_EQ(app::RunSwitchCommand(settings, false).exitCode, app::kExitNotDone)
            << "a row that differs outweighs one absent";
    }
    for (const kel::TAction& row : kel::kActions) {
        if (row.kind != kel::TActionKind::GuardedRepair)
            continue;
        EXPECT_EQ(app::RunRepairCommand(row.row).text, std::string(row.row) + " absent\r\n");
    }
    EXPECT_EQ(app::RunRepairCommand("XlsUsed").exitCode, app::kExitAbsent);
    given = {true, false}; // Office's repair is the machine's
    for (const char* row : {"Office", "OfficeOnline"})
        EXPECT_EQ(app::RunRepairCommand(row).text, std::string(row) + " absent\r\n");
}

// A change run as SYSTEM refuses a program file, or its folder, that another account
// may change (the bench shows what Wine keeps of an access list: a right for
// Everyone); other accounts, and a program that is the administrators' alone, run.
TEST_F(CommandAccountTest, ASystemChangeTrustsOnlyAProgramTheAdministratorsOwn) {
    wchar_t own[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, own, MAX_PATH), 0u);
    ScratchFolder trusted("C:\\wexdal-tests\\trustedprogram"),
        shared("C:\\wexdal-tests\\sharedprogram"), kept("C:\\wexdal-tests\\keptprogram"),
        openAbove("C:\\wexdal-tests\\openabove");
    auto folderOf = [](const ScratchFolder& folder) {
        return folder.path().substr(0, folder.path().size() - 1);
    };
    ASSERT_TRUE(letEveryoneChange(folderOf(shared)));
    ASSERT_TRUE(letEveryoneChange(folderOf(openAbove)));
    makeFolders(openAbove.file("inner"));
    for (const std::string& program :
         {trusted.file("wexdal.exe"), shared.file("wexdal.exe"), kept.file("wexdal.exe"),
          openAbove.file("inner\\wexdal.exe")})
        ASSERT_TRUE(CopyFileW(own, kel::AnsiToWide(program).c_str(), FALSE)) << program;
    ASSERT_TRUE(letEveryoneChange(kept.file("wexdal.exe")));
    const app::TCommandAccount system{true, false, true}, admin{true, true, false};
    struct Case {
        std::string program;
        std::string refusedPlace; // empty: the change runs
    };
    const Case cases[] = {
        {trusted.file("wexdal.exe"), ""},
        {shared.file("wexdal.exe"), folderOf(shared)},
        {kept.file("wexdal.exe"), kept.file("wexdal.exe")},
        {openAbove.file("inner\\wexdal.exe"), folderOf(openAbove)}, // a folder above
        {"wexdal.exe", "wexdal.exe"},                               // no folder to judge
        {trusted.file("..\\trustedprogram\\wexdal.exe"),
         trusted.file("..\\trustedprogram\\wexdal.exe")}, // a step that leads back
    };
    for (const Case& c : cases) {
        std::optional<app::TCommandResult> refusal =
            app::RefuseUntrustedProgram(system, kel::AnsiToWide(c.program));
        EXPECT_FALSE(app::RefuseUntrustedProgram(admin, kel::AnsiToWide(c.program)));
        if (c.refusedPlace.empty()) {
            EXPECT_FALSE(refusal) << c.program << ": " << refusal->text;
            continue;
        }
        ASSERT_TRUE(refusal) << c.program;
        EXPECT_EQ(refusal->exitCode, app::kExitUntrustedProgram);
        EXPECT_EQ(refusal->text.rfind(c.refusedPlace + ": ", 0), 0u) << refusal->text;
    }
}

// /repair repairs for the account, never while its application runs (and ends no
// program); /userinfo writes the names given where the account may: its own
// settings as the user at the desk, the registrations with administrator rights.
TEST_F(CommandAccountTest, RepairAndUserInfoWriteOnlyWhatTheAccountMay) {
    kel::TKelOfficeInfo office;
    kel::TUserInfoList read;
    ASSERT_EQ(app::GatherInventory(office, read), 0);
    given = {false, true};
    writeFile(temp.file("~stale.tmp"), "x");
    {
        ChildProcess excel(office.Record(kel::TApplication::Excel).FileName);
        ASSERT_TRUE(eventually([&] {
            return kel::SurveyProcesses(office.Record(kel::TApplication::Excel),
                                        office.RunningIds(kel::TApplication::Excel));
        }));
        EXPECT_EQ(app::RunRepairCommand("XlsUsed").exitCode, app::kExitNotDone);
        EXPECT_TRUE(excel.running());
        EXPECT_NE(GetFileAttributesA(temp.file("~stale.tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    }
    ASSERT_TRUE(eventually([&] {
        return !kel::SurveyProcesses(office.Record(kel::TApplication::Excel),
                                     office.RunningIds(kel::TApplication::Excel));
    }));
    EXPECT_EQ(app::RunRepairCommand("XlsUsed").text, "XlsUsed ok\r\n");
    EXPECT_EQ(GetFileAttributesA(temp.file("~stale.tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(app::RunRepairCommand("XlsUsed").text, "XlsUsed nothing to do\r\n");

    // Office's repair: the machine's, its exit code the outcome; Click-to-Run's online
    // repair is absent from Windows Installer Office.
    static std::vector<kel::TStart> repairs;
    static unsigned long repairExit = 0;
    struct RepairSeam {
        decltype(kel::gRunAndWait) kept = kel::gRunAndWait;
        RepairSeam() {
            kel::gRunAndWait = [](const kel::TStart& start) -> std::optional<unsigned long> {
                repairs.push_back(start);
                return repairExit;
            };
        }
        ~RepairSeam() { kel::gRunAndWait = kept; }
    } repairSeam;
    EXPECT_EQ(app::RunRepairCommand("Office").exitCode, app::kExitNeedsAdministrator);
    given = {true, false};
    EXPECT_EQ(app::RunRepairCommand("Office").text, "Office ok\r\n");
    repairExit = 1603;
    app::TCommandResult unrepaired = app::RunRepairCommand("Office");
    EXPECT_EQ(unrepaired.exitCode, app::kExitNotDone);
    EXPECT_EQ(unrepaired.text, "Office failed: 終了コード 1603\r\n");
    EXPECT_EQ(app::RunRepairCommand("OfficeOnline").exitCode, app::kExitAbsent);
    ASSERT_EQ(repairs.size(), 2u);
    EXPECT_EQ(repairs[0].parameters, L"/focum " + kel::AnsiToWide(sample::OfficeXP().code));
    given = {false, true};

    const std::string registration = kel::UninstallEntryKey(sample::OfficeXP().code);
    const std::string own = "\\Software\\Microsoft\\Office\\10.0\\Common\\UserInfo";
    auto registered = [&] {
        std::string company;
        kel::ReadRegString(HKEY_LOCAL_MACHINE, registration, "RegCompany", company);
        return company;
    };
    auto ownValue = [&](const char* name) {
        std::string text;
        kel::ReadRegWideString(HKEY_CURRENT_USER, own, name, text);
        return text;
    };
    std::string initials = ownValue("UserInitials"), company = registered();
    NewBackups userChange;
    app::TCommandResult user = app::RunUserInfoCommand({{"Initials", "ZZ"}});
    EXPECT_EQ(user.exitCode, app::kExitNeedsAdministrator) << user.text;
    EXPECT_EQ(ownValue("UserInitials"), "ZZ");
    EXPECT_EQ(ownValue("Company"), "株式会社　見本") << "a name not given stays";
    std::vector<kel::TBackupFile> userFiles = userChange.files();
    given = {true, false};
    NewBackups systemChange;
    app::TCommandResult system = app::RunUserInfoCommand({{"Company", "新会社"}});
    EXPECT_EQ(system.exitCode, app::kExitDone) << system.text;
    EXPECT_EQ(registered(), "新会社");
    EXPECT_EQ(ownValue("Company"), "株式会社　見本") << "not the user's own, as SYSTEM";
    std::vector<kel::TBackupFile> systemFiles = systemChange.files();
    given = {false, false};
    EXPECT_EQ(app::RunUserInfoCommand({{"Company", "x"}}).exitCode, app::kExitNotTheDeskUser);

    // /check compares the places /userinfo writes in the same account, and each
    // command's JSON document says what its lines say.
    struct Check {
        app::TCommandAccount account;
        std::vector<std::pair<std::string, std::string>> fields;
        int exitCode;
        std::string text;
    };
    const Check checks[] = {
        {{false, true}, {{"Initials", "ZZ"}}, app::kExitDone, "Initials=ZZ ok\r\n"},
        {{false, true}, {{"Company", "新会社"}}, app::kExitNotDone, "Company=新会社 differs\r\n"},
        {{true, false}, {{"Company", "新会社"}}, app::kExitDone, "Company=新会社 ok\r\n"},
        {{true, false},
         {{"Owner", "x"}, {"Company", " 新会社 "}},
         app::kExitNotDone,
         "Owner=x differs\r\nCompany=新会社 ok\r\n"},
        {{false, false}, {{"Company", "新会社"}}, app::kExitNotTheDeskUser, ""},
    };
    std::vector<app::TCommandResult> results = {user, system};
    for (const Check& check : checks) {
        given = check.account;
        app::TCommandResult result = app::RunUserInfoCheck(check.fields);
        EXPECT_EQ(result.exitCode, check.exitCode) << result.text;
        if (!check.text.empty()) {
            EXPECT_EQ(result.text, check.text);
        }
        results.push_back(result);
    }
    given = {false, true};
    int clipboard = app::RunSwitchCommand({{"MsoClip", 1}}, false).switches.front().second;
    app::TCommandResult same = app::RunSwitchCommand({{"MsoClip", clipboard}}, false);
    ASSERT_EQ(same.exitCode, app::kExitDone) << same.text;
    app::TCommandResult both = app::CombineResults(same, results[3]);
    EXPECT_EQ(both.exitCode, app::kExitNotDone) << "the user information that differs counts";
    results.push_back(both);
    results.push_back(app::RunRepairCommand("XlsUsed"));
    for (const app::TCommandResult& result : results) {
        JsonValue json = parseJson(app::CommandJson(result));
        EXPECT_EQ(json["ExitCode"].number, result.exitCode);
        EXPECT_EQ(kel::AnsiToWide(json["Text"].text, CP_UTF8), kel::AnsiToWide(result.text, 932));
        ASSERT_EQ(json["Results"].members.size(), result.results.size()) << result.text;
        for (const auto& [name, outcome] : result.results) {
            EXPECT_EQ(json["Results"][name].text, outcome);
            EXPECT_NE(result.text.find(name), std::string::npos) << name;
        }
        EXPECT_EQ(json["Switches"].members.size(), result.switches.size());
        EXPECT_EQ(json["Before"].kind, result.before ? JsonValue::Object : JsonValue::Null);
    }

    // Each change's backup undoes it, in the account that may write its keys.
    ASSERT_EQ(userFiles.size(), 1u);
    ASSERT_EQ(systemFiles.size(), 1u);
    EXPECT_EQ(userFiles[0].place, kel::TBackupPlace::User);
    EXPECT_EQ(systemFiles[0].place, kel::TBackupPlace::Machine);
    given = {false, true};
    EXPECT_EQ(app::RunUndoCommand(systemFiles[0].path).exitCode, app::kExitNeedsAdministrator);
    EXPECT_EQ(app::RunUndoCommand(L"C:\\wexdal-tests\\none.reg").exitCode, app::kExitBadArguments);
    EXPECT_EQ(app::RunUndoCommand(userFiles[0].path).text, "UserInfo ok\r\n");
    EXPECT_EQ(ownValue("UserInitials"), initials);
    given = {true, false};
    EXPECT_EQ(app::RunUndoCommand(userFiles[0].path).exitCode, app::kExitNotTheDeskUser);
    EXPECT_EQ(registered(), "新会社");
    EXPECT_EQ(app::RunUndoCommand(systemFiles[0].path).exitCode, app::kExitDone);
    EXPECT_EQ(registered(), company);

    // An import that leaves a key other than the file says fails, naming the key and
    // the backup that the undo made first.
    putString(HKEY_LOCAL_MACHINE, registration, "RegCompany", "x");
    setKeySecurity(HKEY_LOCAL_MACHINE, registration, "D:P(D;;0x2;;;WD)(A;;KA;;;WD)");
    app::TCommandResult unwritten = app::RunUndoCommand(systemFiles[0].path);
    setKeySecurity(HKEY_LOCAL_MACHINE, registration, "D:P(A;;KA;;;WD)");
    EXPECT_EQ(unwritten.exitCode, app::kExitNotDone) << unwritten.text;
    EXPECT_NE(unwritten.text.find("取り込む前の状態の控え: "), std::string::npos) << unwritten.text;
    EXPECT_EQ(registered(), "x");
    putString(HKEY_LOCAL_MACHINE, registration, "RegCompany", company);

    // Only a backup of the machine's own folder may name the machine's keys: the same
    // text elsewhere is refused, with the line for an administrator who means it; a
    // section that only an import would see (after a lone CR) is refused anywhere.
    ScratchFolder elsewhere("C:\\wexdal-tests\\undo");
    std::wstring text = readWideFile(systemFiles[0].path);
    auto copyAs = [&](const std::string& name, const std::wstring& content) {
        std::string path = elsewhere.file(name);
        writeFile(path, std::string(reinterpret_cast<const char*>(content.data()),
                                    content.size() * sizeof(wchar_t)));
        return kel::AnsiToWide(path);
    };
    std::wstring copied = copyAs(
        kel::WideToAnsi(systemFiles[0].path.substr(systemFiles[0].path.rfind(L'\\') + 1)), text);
    app::TCommandResult foreign = app::RunUndoCommand(copied);
    EXPECT_EQ(foreign.exitCode, app::kExitBadArguments);
    EXPECT_NE(foreign.text.find("reg import \"" + kel::WideToAnsi(copied) + "\""),
              std::string::npos)
        << foreign.text;
    std::wstring userText = readWideFile(userFiles[0].path);
    std::wstring hidden = userText + L"; x\r[HKEY_LOCAL_MACHINE\\SOFTWARE\\WexdalTests]\r\n";
    given = {true, true};
    EXPECT_EQ(app::RunUndoCommand(copyAs("hidden.reg", hidden)).exitCode, app::kExitBadArguments);
    EXPECT_EQ(app::RunUndoCommand(copyAs("user.reg", userText)).exitCode, app::kExitDone);
}

TEST_F(ActionButtonTest, ASwitchAlreadyInTheAskedStateRunsAgainAndStaysDown) {
    // The clipboard reads on (no AcbControl for 11.0); 10.0 still has it off.
    ScratchKey version10{HKEY_CURRENT_USER, "\\SOFTWARE\\Microsoft\\Office\\10.0"};
    ScratchKey version11{HKEY_CURRENT_USER, "\\SOFTWARE\\Microsoft\\Office\\11.0"};
    makeKey(HKEY_CURRENT_USER, version11.sub("Common\\General"));
    putDword(HKEY_CURRENT_USER, version10.sub("Common\\General"), "AcbControl", 1);
    info.Product.MajorVersion = "11.0";
    info.VerList = {kel::MakeProductLine(11, "{A}", "Office 2003", "", "", "C:\\O11\\"),
                    kel::MakeProductLine(10, "{B}", "Office XP", "", "", "C:\\O10\\")};
    ui::TSpeedButton& on = switchRow("MsoClip", 3, 1);
    app::SetPairState(form, "MsoClip", true);

    click(on);

    EXPECT_EQ(messages(), std::vector<std::string>{"更新しました。ご確認ください。"});
    EXPECT_FALSE(valueExists(HKEY_CURRENT_USER, version10.sub("Common\\General"), "AcbControl"));
    EXPECT_TRUE(on.Down());
    EXPECT_FALSE(form.Find<ui::TSpeedButton>("SB_MsoClip0")->Down());
}

TEST_F(ActionButtonTest, AStoppedTimerStaysStoppedAndTheWaitPanelHidesBeforeTheMessage) {
    form.Timer1->SetEnabled(false);
    kel::TAction stuck = *kel::FindAction("MsoClip"); // a switch that reads on whatever is set
    stuck.row = "Stuck";
    stuck.read = [](const kel::TKelOfficeInfo&) { return true; };
    stuck.set = [](const kel::TKelOfficeInfo&, bool) { return true; };
    placed(stuck, 3);
    click(*form.Find<ui::TSpeedButton>("SB_Stuck0"));
    EXPECT_EQ(messages(), std::vector<std::string>{"更新出来ませんでした。"});
    EXPECT_FALSE(seen[0].panelShown);
    EXPECT_FALSE(form.Timer1->Enabled());
    EXPECT_TRUE(form.GB_About->Enabled());
}

// The page is locked while the message shows; afterwards the pressed button has the
// focus again, not the first control in tab order, as in a Windows program.
TEST_F(ActionButtonTest, ThePressedButtonKeepsTheFocusAfterTheMessage) {
    ui::TButton& repair = repairRow("DocUsed", 2);
    form.GLB_MenuClick(*form.GLB_Menu);
    ShowWindow(form.Handle(), SW_SHOW);
    SetForegroundWindow(form.Handle());
    SetFocus(repair.Handle());
    ASSERT_EQ(GetFocus(), repair.Handle());

    click(repair);

    EXPECT_EQ(messages(), std::vector<std::string>{"修復を試みました。ご確認ください。"});
    EXPECT_FALSE(seen[0].pageEnabled);
    EXPECT_EQ(GetFocus(), repair.Handle());
    ShowWindow(form.Handle(), SW_HIDE);
}

// "停止する" disables itself once its program has ended: the focus goes on to the
// next control of the page that can take it (past the disabled "停止する" of the
// next row), as Windows moves it on from a disabled control, not to the menu list.
TEST_F(ActionButtonTest, AButtonDisabledByItsActionPassesTheFocusOnWithinThePage) {
    ui::TButton& repair = repairRow("DocUsed", 2);
    ChildProcess excel(programs.file("EXCEL.EXE"));
    kel::RefreshRunningState(form, info.Record(kel::TApplication::Excel),
                             info.RunningIds(kel::TApplication::Excel), "XlsProcess");
    kel::RefreshRunningState(form, info.Record(kel::TApplication::Word),
                             info.RunningIds(kel::TApplication::Word), "DocProcess");
    ui::TButton& stop = *form.Find<ui::TButton>("BB_XlsProcess");
    ASSERT_TRUE(stop.Enabled());
    ASSERT_FALSE(form.Find<ui::TButton>("BB_DocProcess")->Enabled());
    form.GLB_MenuClick(*form.GLB_Menu);
    ShowWindow(form.Handle(), SW_SHOW);
    SetForegroundWindow(form.Handle());
    SetFocus(stop.Handle());
    ASSERT_EQ(GetFocus(), stop.Handle());

    click(stop, {"はい(&Y)"});

    EXPECT_TRUE(excel.endsWithin(5000));
    EXPECT_FALSE(stop.Enabled());
    EXPECT_EQ(GetFocus(), repair.Handle());
    ShowWindow(form.Handle(), SW_HIDE);
}

// An action that ends with a registry error: switching scripts off where a script
// class holds a sub-key that can't be read, so that it can't be set aside.
class ActionErrorTest : public ActionButtonTest {
  protected:
    static constexpr const char* kSetAside = "\\AAWexdalTest.Locked.SymantecDisabled";
    ScratchKey locked{HKEY_CLASSES_ROOT, "\\AAWexdalTest.Locked"};

    ~ActionErrorTest() override {
        // Also when the error did not come: everything readable, wherever the key
        // now is, then scripts on again. Nothing may escape a destructor.
        for (const std::string& secret :
             {locked.sub("Secret"), std::string(kSetAside) + "\\Secret"}) {
            try {
                setKeySecurity(HKEY_CLASSES_ROOT, secret, "D:P(A;;KA;;;WD)");
            } catch (const std::exception&) {
                // not there
            }
        }
        try {
            kel::SetScriptHostEnabled(1);
        } catch (const std::exception& error) {
            ADD_FAILURE() << "scripts not switched on again: " << error.what();
        }
        try {
            removeTree(HKEY_CLASSES_ROOT, kSetAside);
        } catch (const std::exception& error) {
            ADD_FAILURE() << "set-aside key not removed: " << error.what();
        }
    }
};

TEST_F(ActionErrorTest, ARegistryErrorEndsTheActionWithEverythingRestored) {
    putString(HKEY_CLASSES_ROOT, locked.sub("Shell\\Open\\Command"), "", "wscript.exe \"%1\"");
    makeKey(HKEY_CLASSES_ROOT, locked.sub("Secret"));
    setKeySecurity(HKEY_CLASSES_ROOT, locked.sub("Secret"), "D:P(D;;KR;;;WD)(A;;KA;;;WD)");
    form.Timer1->SetEnabled(true);
    ASSERT_EQ(kel::GetScriptHostEnabled(), 1);
    ui::TSpeedButton& off = switchRow("EmlWsh", 3, 0);

    click(off);

    // The pair shows the state read back, not the button clicked.
    EXPECT_FALSE(off.Down());
    EXPECT_TRUE(form.Find<ui::TSpeedButton>("SB_EmlWsh1")->Down());
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "エラー");
    // The key that can't be read can't be backed up either: the change is not made.
    EXPECT_EQ(seen[0].message.rfind("更新出来ませんでした。", 0), 0u) << seen[0].message;
    EXPECT_NE(seen[0].message.find("AAWexdalTest.Locked\\Secret"), std::string::npos);
    EXPECT_TRUE(seen[0].pageEnabled);
    EXPECT_FALSE(seen[0].panelShown);
    EXPECT_TRUE(seen[0].timerOn);
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, kSetAside));
    setKeySecurity(HKEY_CLASSES_ROOT, locked.sub("Secret"), "D:P(A;;KA;;;WD)");
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, locked.sub("Secret"))); // nothing lost
}

} // namespace
