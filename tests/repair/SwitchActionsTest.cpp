#include "repair/Actions.h"

#include "office/UserInfo.h"

#include "repair/OfficeRepair.h"
#include "repair/ScriptHostGuard.h"
#include "sysinfo/RegExport.h"
#include "tests/sample/ModernMachine.h"
#include "tests/sample/SampleMachine.h"
#include "sysinfo/Account.h"
#include "sysinfo/SystemLibrary.h"
#include "sysinfo/Text.h"
#include "sysinfo/WebPage.h"
#include "tests/support/Backups.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScratchKey.h"
#include "tests/support/StartRecorder.h"
#include "sysinfo/WebPage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <utility>

using namespace kel;

namespace {

// The window's side of the actions, in memory: the rows it would show, and the
// messages it was handed.
struct ActionForm : TActionHost {
    std::vector<std::string> told;
    void ShowRunningState(const std::string&, const std::string&, bool) override {}
    bool Confirm(const std::string&) override { return false; }
    void Inform(const std::string& message) override { told.push_back(message); }
    bool Closing() const override { return false; }
};

// Every switch of the pages, on the sample machine: its action reads the state back
// through the getter of the one table of switches, both ways, and the row is left
// as it was found.
class SwitchActions : public testing::Test {
  protected:
    SwitchActions() { sample::Lay(sample::Standard()); }
    ~SwitchActions() override { sample::Remove(); }
};

TEST_F(SwitchActions, EverySwitchReadsBackThroughTheTableOfStates) {
    TKelOfficeInfo info;
    ASSERT_EQ(DetectOffice(info), 0);
    ActionForm form;
    for (const TAction& item : kActions) {
        EXPECT_EQ(FindAction(item.row), &item);
        if (!item.IsSwitch())
            continue;
        int found = item.read(info);
        for (int wanted : {1 - found, found}) {
            ActionResult result = RunAction(item, wanted, form, info);
            EXPECT_TRUE(result.switchSucceeded) << item.row << wanted;
            EXPECT_EQ(item.read(info), wanted) << item.row;
        }
    }
}

// Every change a row makes in the registry is backed up first, and importing the
// backup with reg.exe puts every key it touched back exactly: values, types, bytes,
// and the keys it made removed. The places the rows write are compared whole against
// their state before any change, and every key a backup names lies in one of them.
TEST_F(SwitchActions, EveryRowsChangeIsUndoneExactlyByItsBackup) {
    TKelOfficeInfo info;
    ASSERT_EQ(DetectOffice(info), 0);
    ActionForm form;
    std::string wordData =
        "\\Software\\Microsoft\\Office\\" + info.PrimaryVersion() + "\\Word\\Data";
    testing_support::putString(HKEY_CURRENT_USER, wordData, "Toolbars", "x");
    const std::pair<HKEY, const wchar_t*> places[] = {
        {HKEY_CURRENT_USER, L"Software\\Microsoft\\Office"},
        {HKEY_USERS, L".DEFAULT\\Keyboard Layout"},
        {HKEY_CURRENT_USER, L"Software\\Classes"},
        {HKEY_LOCAL_MACHINE, L"Software\\Classes"}};
    auto snapshotAll = [&] {
        std::vector<testing_support::Tree> trees;
        for (const auto& [root, path] : places)
            trees.push_back(testing_support::wideSnapshot(root, path));
        return trees;
    };
    std::vector<testing_support::Tree> untouched = snapshotAll();
    auto compared = [&](const std::wstring& key) {
        const std::pair<HKEY, const wchar_t*> roots[] = {
            {HKEY_CURRENT_USER, L"HKEY_CURRENT_USER"},
            {HKEY_USERS, L"HKEY_USERS"},
            {HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE"}};
        for (const auto& [root, path] : places)
            for (const auto& [named, name] : roots) {
                std::wstring place = AsciiLower(std::wstring(name) + L"\\" + path);
                std::wstring lower = AsciiLower(key);
                if (named == root && lower.rfind(place, 0) == 0 &&
                    (lower.size() == place.size() || lower[place.size()] == L'\\'))
                    return true;
            }
        return false;
    };
    for (const TAction& item : kActions) {
        if (!item.IsSwitch() && item.kind != TActionKind::GuardedRepair)
            continue;
        int found = item.IsSwitch() ? item.read(info) : 0;
        testing_support::NewBackups made;
        RunAction(item, 1 - found, form, info);
        std::vector<TBackupFile> files = made.files();
        bool registry = item.IsSwitch() || std::string(item.row) == "DocMenuBar";
        ASSERT_EQ(files.empty(), !registry) << item.row;
        for (const TBackupFile& file : files) {
            EXPECT_EQ(file.name.row, AnsiToWide(item.row));
            std::optional<std::vector<std::wstring>> keys =
                SectionKeys(testing_support::readWideFile(file.path));
            ASSERT_TRUE(keys && !keys->empty()) << item.row;
            for (const std::wstring& key : *keys)
                EXPECT_TRUE(compared(key))
                    << item.row << " writes where no place is compared: " << WideToAnsi(key);
            EXPECT_EQ(ImportRegFile(file.path), 0u) << item.row;
        }
        if (item.IsSwitch()) {
            EXPECT_EQ(item.read(info), found) << item.row;
        }
    }
    // Read whole once the rows are undone: the places are as before any change.
    for (size_t i = 0; i < std::size(places); ++i)
        EXPECT_TRUE(testing_support::wideSnapshot(places[i].first, places[i].second) ==
                    untouched[i])
            << WideToAnsi(places[i].second) << " differs";
}

// A change whose backup can't be written is not made, and says why.
TEST_F(SwitchActions, AChangeWhoseBackupCannotBeWrittenIsNotMade) {
    TKelOfficeInfo info;
    ASSERT_EQ(DetectOffice(info), 0);
    ActionForm form;
    testing_support::ScratchFolder scratch("C:\\wexdal-tests\\nobackup");
    testing_support::writeFile(scratch.file("Wexdal"), "a file where the folder would be");
    static std::wstring blocked;
    blocked = AnsiToWide(scratch.file("Wexdal\\Backup"));
    auto program = std::exchange(gBackupFolder, [](TBackupPlace) { return blocked; });
    for (const char* row : {"MsoClip", "EmlWsh"}) {
        const TAction& item = *FindAction(row);
        int found = item.read(info);
        try {
            RunAction(item, 1 - found, form, info);
            ADD_FAILURE() << row << " changed without a backup";
        } catch (const BackupError& error) {
            EXPECT_NE(std::string(error.what()).find("更新出来ませんでした。"), std::string::npos);
            EXPECT_NE(std::string(error.what()).find(scratch.file("Wexdal")), std::string::npos);
            EXPECT_TRUE(error.Made().empty()) << "nothing was changed";
        }
        EXPECT_EQ(item.read(info), found) << row;
    }

    // A change stopped after its first steps names the backup that puts them back:
    // the registrations are written (and backed up) before the user's own settings.
    static std::wstring machine;
    machine = AnsiToWide(scratch.file("Machine\\Wexdal\\Backup"));
    gBackupFolder = [](TBackupPlace place) {
        return place == TBackupPlace::Machine ? machine : blocked;
    };
    TUserInfoList list;
    ASSERT_EQ(ReadUserInfo(info, list), 0);
    list.SetValue("Company", "途中");
    try {
        WriteUserInfo(info, list, {true, true, {"Company"}});
        ADD_FAILURE() << "the user's settings changed without a backup";
    } catch (const BackupError& error) {
        ASSERT_EQ(error.Made().size(), 1u);
        EXPECT_EQ(error.Made()[0].rfind(machine, 0), 0u);
        EXPECT_NE(std::string(error.what()).find(WideToAnsi(error.Made()[0])), std::string::npos);
    }
    gBackupFolder = program;
}

// A repair names its key by the version of the product's VerList line, never by the
// text of a version resource, which may be empty or hold a "\".
TEST_F(SwitchActions, TheWordToolbarRepairNamesItsKeyByTheListedVersion) {
    TKelOfficeInfo info;
    ASSERT_EQ(DetectOffice(info), 0);
    ActionForm form;
    std::string data = "\\Software\\Microsoft\\Office\\" + info.PrimaryVersion() + "\\Word\\Data";
    for (const char* resourceVersion : {"", "..\\11.0"}) {
        testing_support::putString(HKEY_CURRENT_USER, data, "Toolbars", "x");
        info.Product.MajorVersion = resourceVersion;
        EXPECT_EQ(RunAction(*FindAction("DocMenuBar"), 0, form, info).outcome,
                  TOutcome::RepairTried);
        EXPECT_FALSE(testing_support::valueExists(HKEY_CURRENT_USER, data, "Toolbars"))
            << resourceVersion;
    }
}

// Scripts are switched on only when no marked script class remains: a marked class
// beside a class of its unmarked name fails the change, although scripts then run.
TEST_F(SwitchActions, ScriptsAreOnOnlyWhenNoMarkedScriptClassRemains) {
    TKelOfficeInfo info;
    ASSERT_EQ(DetectOffice(info), 0);
    ActionForm form;
    testing_support::ScratchKey active{HKEY_CLASSES_ROOT, "\\WexdalTest.VBS"};
    testing_support::ScratchKey marked{HKEY_CLASSES_ROOT, "\\WexdalTest.VBS.SymantecDisabled"};
    for (const auto* key : {&active, &marked})
        testing_support::putString(HKEY_CLASSES_ROOT, key->sub("Shell\\Open\\Command"), "",
                                   "wscript.exe \"%1\"");
    EXPECT_FALSE(RunAction(*FindAction("EmlWsh"), 1, form, info).switchSucceeded);
    EXPECT_EQ(GetScriptHostEnabled(), 1);
    EXPECT_TRUE(testing_support::keyExists(HKEY_CLASSES_ROOT, marked.path()));
}

// Started with an administrator's credentials: before the first change of the
// account's own settings the program says once whose they are; a machine-wide
// change says nothing.
TEST_F(SwitchActions, AnotherAccountIsNamedOnceBeforeItsSettingsChange) {
    TKelOfficeInfo info;
    ASSERT_EQ(DetectOffice(info), 0);
    ActionForm form;
    struct DeskUser {
        decltype(gDeskUser) kept = gDeskUser;
        DeskUser() {
            gDeskUser = [] { return TDeskUser{L"PC1\\hanako", "S-1-5-21-9-1001"}; };
        }
        ~DeskUser() { gDeskUser = kept; }
    } deskUser;
    RunAction(*FindAction("LogonIme"), 1, form, info);
    RunAction(*FindAction("LogonIme"), 0, form, info);
    EXPECT_TRUE(form.told.empty()) << "a machine-wide switch";
    for (int round = 0; round < 2; ++round) {
        RunAction(*FindAction("MsoClip"), round, form, info);
        ASSERT_EQ(form.told.size(), 1u);
        EXPECT_NE(form.told[0].find("「PC1\\hanako」ではなく、「" + WideToAnsi(AccountName()) +
                                    "」のアカウント"),
                  std::string::npos)
            << form.told[0];
    }
}

// The update row on each sample machine, on Windows 11 for a user without
// administrator rights: Office's own update where Click-to-Run installed it (the
// client its registration names), Windows Update for Office 2007 to 2016 by Windows
// Installer, the update page for Office 2003; when a start fails, the next way, down
// to the page in the default browser. Elevated on Windows 7 it starts only the control
// panel item of the system folder and the clients the machine's registration names,
// no browser. When nothing starts it says why.
TEST(UpdateRow, EachSampleMachineStartsItsOwnUpdateAndFallsBackWhenAStartFails) {
    using testing_support::StartRecorder;
    using Ways = std::map<std::string, std::vector<TStart>>;
    const std::wstring shared =
        AnsiToWide(sample::ProgramFiles64()) +
        L"\\Common Files\\Microsoft Shared\\ClickToRun\\OfficeC2RClient.exe";
    const std::wstring office15 = AnsiToWide(sample::ProgramFiles64()) + L"\\Microsoft Office 15";
    auto client = [](const std::wstring& program) {
        return TStart{TStart::Kind::Program, program, L"/update user"};
    };
    const TStart settings{TStart::Kind::Open, L"ms-settings:windowsupdate", L""};
    const TStart controlPanel{TStart::Kind::Program, SystemFolder() + L"\\control.exe",
                              L"/name Microsoft.WindowsUpdate"};
    const TStart page{TStart::Kind::Open, AnsiToWide(kOfficeUpdateUrl), L""};
    struct Pass {
        bool elevated;
        TWindowsVersion windows;
        Ways ways;
    };
    const Pass passes[] = {
        {false,
         {10, 0, 22631},
         {
             {"--m365", {client(shared), page}},
             {"--ltsc2021", {client(shared), page}},
             {"--office2016", {settings, page}},
             {"--office2013c2r",
              {client(office15 + L"\\ClientX64\\OfficeC2RClient.exe"),
               client(office15 + L"\\ClientX86\\OfficeC2RClient.exe"), page}},
             {"--office2010", {settings, page}},
             {"--office2003", {page}},
         }},
        {true,
         {6, 1, 7601},
         {
             {"--m365", {client(shared)}},
             {"--ltsc2021", {client(shared)}},
             {"--office2016", {controlPanel}},
             {"--office2013c2r",
              {client(office15 + L"\\ClientX64\\OfficeC2RClient.exe"),
               client(office15 + L"\\ClientX86\\OfficeC2RClient.exe")}},
             {"--office2010", {controlPanel}},
             {"--office2003", {}},
         }},
    };
    std::vector<std::pair<std::string, void (*)()>> machines;
    for (const sample::ModernMachine& machine : sample::kModernMachines)
        machines.emplace_back(machine.option, machine.lay);
    machines.emplace_back("--office2003", [] { sample::Lay(sample::Standard()); });

    static bool elevated = false;
    struct Rights {
        decltype(gProcessElevated) kept = gProcessElevated;
        Rights() {
            gProcessElevated = [] { return elevated; };
        }
        ~Rights() { gProcessElevated = kept; }
    } rights;
    const TAction& row = *FindAction("MsoUpdate");
    for (const Pass& pass : passes) {
        SCOPED_TRACE(pass.elevated ? "elevated" : "user");
        elevated = pass.elevated;
        testing_support::WindowsVersionOverride windows{pass.windows};
        for (const auto& [option, lay] : machines) {
            SCOPED_TRACE(option);
            lay();
            TKelOfficeInfo info;
            ASSERT_EQ(DetectOffice(info), 0);
            ActionForm form;
            const std::vector<TStart>& expected = pass.ways.at(option);
            {
                StartRecorder starting;
                EXPECT_EQ(RunAction(row, 0, form, info).outcome, TOutcome::Quiet);
                EXPECT_EQ(
                    starting.starts(),
                    std::vector<TStart>(expected.begin(),
                                        expected.begin() + std::min<size_t>(expected.size(), 1)));
            }
            EXPECT_EQ(form.told.size(), expected.empty() ? 1u : 0u);
            {
                StartRecorder failing([](const TStart&, TShow) { return false; });
                EXPECT_EQ(RunAction(row, 0, form, info).outcome, TOutcome::Quiet);
                EXPECT_EQ(failing.starts(), expected);
            }
            ASSERT_FALSE(form.told.empty());
            EXPECT_EQ(form.told.back(),
                      pass.elevated ? kElevatedOpensNothing : "起動出来ませんでした。");
            sample::Remove();
        }
    }
}

// A window whose questions are answered as told, and whose messages are kept.
struct AnsweringForm : TActionHost {
    bool yes = true;
    std::vector<std::string> asked, told;
    void ShowRunningState(const std::string&, const std::string&, bool) override {}
    bool Confirm(const std::string& question) override {
        asked.push_back(question);
        return yes;
    }
    void Inform(const std::string& message) override { told.push_back(message); }
    bool Closing() const override { return false; }
};

// Office's repair on each sample machine, as Windows' own "Programs and Features"
// starts it: Click-to-Run's service with its installation's platform and culture
// (the online repair only there), the setup controller that a Windows Installer
// suite's uninstall entry names, msiexec of the system folder for Office XP. In the
// window: a question first; the outcome of the repair's exit code; after a quick
// repair that failed, the online one only on a second question; a declined
// question starts nothing. Without Office there is no repair.
TEST(RepairRow, EachSampleMachineRepairsItsOwnOffice) {
    static std::vector<TStart> started;
    static unsigned long exitCode = 0;
    struct Seam {
        decltype(gRunAndWait) kept = gRunAndWait;
        Seam() {
            gRunAndWait = [](const TStart& start) -> std::optional<unsigned long> {
                started.push_back(start);
                return exitCode;
            };
        }
        ~Seam() { gRunAndWait = kept; }
    } seam;
    const std::wstring programFiles64 = AnsiToWide(sample::ProgramFiles64()),
                       setupFolder = AnsiToWide(sample::ProgramFiles32()) +
                                     L"\\Common Files\\Microsoft Shared\\OFFICE";
    auto clickToRun = [](const std::wstring& service, const wchar_t* platform,
                         const wchar_t* type) {
        return TStart{TStart::Kind::Program, service,
                      L"scenario=Repair platform=" + std::wstring(platform) +
                          L" culture=ja-jp RepairType=" + type +
                          L" forceappshutdown=True DisplayLevel=False"};
    };
    auto setup = [&](const wchar_t* version, const wchar_t* product) {
        return TStart{TStart::Kind::Program,
                      setupFolder + version + L"\\Office Setup Controller\\setup.exe",
                      L"/repair " + std::wstring(product) + L" /dll OSETUP.DLL"};
    };
    const std::wstring shared =
        programFiles64 + L"\\Common Files\\Microsoft Shared\\ClickToRun\\OfficeClickToRun.exe";
    const std::wstring office15 =
        programFiles64 + L"\\Microsoft Office 15\\ClientX64\\OfficeClickToRun.exe";
    struct Repairs {
        std::optional<TStart> quick, online;
    };
    const std::map<std::string, Repairs> expected = {
        {"--m365",
         {clickToRun(shared, L"x64", L"QuickRepair"), clickToRun(shared, L"x64", L"FullRepair")}},
        {"--ltsc2021",
         {clickToRun(shared, L"x86", L"QuickRepair"), clickToRun(shared, L"x86", L"FullRepair")}},
        {"--office2013c2r",
         {clickToRun(office15, L"x86", L"QuickRepair"),
          clickToRun(office15, L"x86", L"FullRepair")}},
        {"--office2016", {setup(L"16", L"PROPLUS"), std::nullopt}},
        {"--office2010", {setup(L"14", L"PERSONAL"), std::nullopt}},
        {"--officexp",
         {TStart{TStart::Kind::Program, SystemFolder() + L"\\msiexec.exe",
                 L"/focum " + AnsiToWide(sample::OfficeXP().code)},
          std::nullopt}},
        {"--outlook-express-only", {}},
    };
    std::vector<std::pair<std::string, void (*)()>> machines;
    for (const sample::ModernMachine& machine : sample::kModernMachines)
        machines.emplace_back(machine.option, machine.lay);
    machines.emplace_back("--officexp", [] { sample::Lay(sample::Standard()); });
    machines.emplace_back("--outlook-express-only", [] {
        sample::Options options = sample::Standard();
        options.products.clear();
        options.outlookExpress = true;
        sample::Lay(options);
    });
    const TAction& row = *FindAction("Office");
    for (const auto& [option, lay] : machines) {
        SCOPED_TRACE(option);
        lay();
        TKelOfficeInfo info;
        DetectOffice(info);
        const Repairs& repairs = expected.at(option);
        EXPECT_EQ(OfficeRepairStartOf(info, TRepairDepth::Quick), repairs.quick);
        EXPECT_EQ(OfficeRepairStartOf(info, TRepairDepth::Online), repairs.online);
        if (repairs.quick) {
            const std::pair<unsigned long, const char*> outcomes[] = {
                {0, "Office を修復しました。"},
                {3010, "Office を修復しました。パソコンを再起動してください。"},
                {1603, "Office を修復出来ませんでした。"}};
            for (const auto& [code, outcome] : outcomes) {
                exitCode = code;
                started.clear();
                AnsweringForm form;
                RunAction(row, 0, form, info);
                std::vector<TStart> starts = {*repairs.quick};
                if (code == 1603 && repairs.online) // the online repair after a second question
                    starts.push_back(*repairs.online);
                EXPECT_EQ(started, starts);
                ASSERT_EQ(form.asked.size(), starts.size());
                EXPECT_EQ(form.asked[0],
                          "Office を修復します。数分かかります。開いている Office の"
                          "プログラムは閉じられます。作業中のものは保存してください。"
                          "よろしいですか？");
                EXPECT_EQ(form.told, std::vector<std::string>{outcome});
            }
            started.clear();
            AnsweringForm declining;
            declining.yes = false;
            RunAction(row, 0, declining, info);
            EXPECT_TRUE(started.empty());
            EXPECT_TRUE(declining.told.empty());
            // A repair that did not start is said so, and no online one is offered.
            auto keptSeam = gRunAndWait;
            gRunAndWait = [](const TStart&) -> std::optional<unsigned long> {
                return std::nullopt;
            };
            AnsweringForm unstarted;
            RunAction(row, 0, unstarted, info);
            gRunAndWait = keptSeam;
            EXPECT_EQ(unstarted.asked.size(), 1u);
            EXPECT_EQ(unstarted.told,
                      std::vector<std::string>{"修復のプログラムを起動出来ませんでした。"});
        }
        sample::Remove();
    }
}

} // namespace
