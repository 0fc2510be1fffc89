#include "repair/Actions.h"

#include "repair/ScriptHostGuard.h"
#include "tests/sample/SampleMachine.h"
#include "sysinfo/Account.h"
#include "sysinfo/Text.h"
#include "tests/support/ScratchKey.h"

#include <gtest/gtest.h>

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

} // namespace
