#include "repair/OfficeSwitches.h"
#include "sysinfo/Account.h"
#include "repair/ScriptHostGuard.h"

#include "sysinfo/Registry.h"
#include "tests/support/RegistrySeams.h"
#include "tests/support/ScratchKey.h"

#include <gtest/gtest.h>

using namespace kel;
using namespace testing_support;

namespace {

// ---- Office clipboard

class ClipboardTest : public testing::Test {
  protected:
    // Whole version keys, so that nothing of the test is left behind.
    ScratchKey version10{HKEY_CURRENT_USER, "\\SOFTWARE\\Microsoft\\Office\\10.0"};
    ScratchKey version11{HKEY_CURRENT_USER, "\\SOFTWARE\\Microsoft\\Office\\11.0"};
    std::string office10 = version10.sub("Common\\General");
    std::string office11 = version11.sub("Common\\General");
    TKelOfficeInfo info;

    ClipboardTest() {
        info.Product.MajorVersion = "11.0";
        info.VerList = {kel::MakeProductLine(11, "{A}", "Office 2003", "", "", "C:\\O11\\"),
                        kel::MakeProductLine(10, "{B}", "Office XP", "", "", "C:\\O10\\")};
        makeKey(HKEY_CURRENT_USER, office11);
    }
    int acb(const std::string& key) {
        int value = -2;
        ReadRegInteger(HKEY_CURRENT_USER, key, "AcbControl", value);
        return value;
    }
};

TEST_F(ClipboardTest, AcbControlOneMeansOff) {
    EXPECT_EQ(GetOfficeClipboard(info), 1);
    putDword(HKEY_CURRENT_USER, office11, "AcbControl", 0);
    EXPECT_EQ(GetOfficeClipboard(info), 1);
    putDword(HKEY_CURRENT_USER, office11, "AcbControl", 1);
    EXPECT_EQ(GetOfficeClipboard(info), 0);
    putString(HKEY_CURRENT_USER, office11, "AcbControl", "1");
    EXPECT_EQ(GetOfficeClipboard(info), 1);
}

TEST_F(ClipboardTest, SettingWritesEveryInstalledVersion) {
    SetOfficeClipboard(info, 0);
    EXPECT_EQ(acb(office11), 1);
    EXPECT_EQ(acb(office10), 1); // its key created
    EXPECT_EQ(GetOfficeClipboard(info), 0);
    SetOfficeClipboard(info, 1);
    EXPECT_FALSE(valueExists(HKEY_CURRENT_USER, office11, "AcbControl"));
    EXPECT_FALSE(valueExists(HKEY_CURRENT_USER, office10, "AcbControl"));
    EXPECT_EQ(GetOfficeClipboard(info), 1);

    TKelOfficeInfo none;
    SetOfficeClipboard(none, 0); // no versions: nothing to write
    EXPECT_FALSE(valueExists(HKEY_CURRENT_USER, office11, "AcbControl"));
}

// ---- Logon IME

class LogonImeTest : public testing::Test {
  protected:
    ScratchKey layouts{HKEY_USERS, "\\.DEFAULT\\Keyboard Layout"};
    std::string preload = layouts.sub("Preload");
    std::string saved = layouts.sub("Preload_bak");

    void list(const std::string& key,
              std::initializer_list<std::pair<const char*, const char*>> values) {
        makeKey(HKEY_USERS, key);
        for (const auto& [name, layout] : values)
            putString(HKEY_USERS, key, name, layout);
    }
};

TEST_F(LogonImeTest, ReadsTheImeInAnyLetterCase) {
    EXPECT_EQ(GetLogonIme(), 0); // no list at all
    list(preload, {{"1", "00000411"}});
    EXPECT_EQ(GetLogonIme(), 0);
    list(preload, {{"2", "E0010411"}});
    EXPECT_EQ(GetLogonIme(), 1);
}

TEST_F(LogonImeTest, HidingAndShowingRestoresTheWholeList) {
    list(preload, {{"1", "00000411"}, {"2", "e0010411"}, {"3", "00000409"}});
    Tree before = snapshot(HKEY_USERS, preload);

    SetLogonIme(0);
    EXPECT_EQ(GetLogonIme(), 0);
    EXPECT_EQ(snapshot(HKEY_USERS, saved), before);
    EXPECT_EQ(platformValueNames(HKEY_USERS, preload), (std::vector<std::string>{"1"}));
    std::string layout;
    ReadRegString(HKEY_USERS, preload, "1", layout);
    EXPECT_EQ(layout, "00000411");

    SetLogonIme(1);
    EXPECT_EQ(GetLogonIme(), 1);
    EXPECT_EQ(snapshot(HKEY_USERS, preload), before);
    EXPECT_FALSE(keyExists(HKEY_USERS, saved));
}

// Hiding replaces a left-over kept list only once the current list is out of the
// way: when the current list can't move, or the kept list can't be deleted, both
// lists stay as they were.
TEST_F(LogonImeTest, AHidingThatCannotBeDoneKeepsBothLists) {
    const struct {
        const char* obstacle;
        void (*lay)(const std::string& current);
    } cases[] = {
        {"the current list may be read, not deleted",
         [](const std::string& current) {
             setKeySecurity(HKEY_USERS, current, "D:P(D;;SD;;;WD)(A;;KR;;;WD)");
         }},
        {"a writer keeps filling the kept list",
         [](const std::string&) {
             gBeforeRegKeyDelete = [](HKEY parent, const std::wstring& name) {
                 if (name.size() >= 11 && name.compare(name.size() - 11, 11, L"Preload_bak") == 0)
                     putWideString(parent, name + L"\\Writer", L"", L"theirs");
             };
         }},
    };
    for (const auto& c : cases) {
        list(saved, {{"1", "00000409"}});
        list(preload, {{"1", "00000411"}, {"2", "e0010411"}});
        Tree kept = snapshot(HKEY_USERS, saved), current = snapshot(HKEY_USERS, preload);
        c.lay(preload);
        SetLogonIme(0);
        gBeforeRegKeyDelete = nullptr;
        setKeySecurity(HKEY_USERS, preload, "D:P(A;;KA;;;WD)");
        removeTree(HKEY_USERS, saved + "\\Writer");
        EXPECT_EQ(snapshot(HKEY_USERS, preload), current) << c.obstacle;
        EXPECT_EQ(snapshot(HKEY_USERS, saved), kept) << c.obstacle;
        EXPECT_EQ(platformSubKeyNames(HKEY_USERS, layouts.path()),
                  (std::vector<std::string>{"Preload", "Preload_bak"}))
            << c.obstacle;
    }
}

// A new list whose keyboard can't be written is not left for the logon: the saved
// list goes back, and the switch reads unchanged.
TEST_F(LogonImeTest, ANewListWithoutItsKeyboardGivesWayToTheSavedOne) {
    list(preload, {{"1", "00000411"}, {"2", "e0010411"}});
    Tree current = snapshot(HKEY_USERS, preload);
    gBeforeRegWriteOpen = [](HKEY root, const std::string& key) {
        // The new, empty list: its values may not be set.
        if (root == HKEY_USERS && keyExists(root, key) && platformValueNames(root, key).empty() &&
            key.size() >= 8 && key.compare(key.size() - 8, 8, "\\Preload") == 0)
            setKeySecurity(root, key, "D:P(D;;0x2;;;WD)(A;;KA;;;WD)");
    };
    SetLogonIme(0);
    gBeforeRegWriteOpen = nullptr;
    EXPECT_EQ(GetLogonIme(), 1);
    EXPECT_EQ(snapshot(HKEY_USERS, preload), current);
    EXPECT_FALSE(keyExists(HKEY_USERS, saved));
}

// A list left under the moving name by an interrupted hiding is the user's newest:
// with no current list it goes back into place before anything else; beside a
// current list it stays, and nothing changes.
TEST_F(LogonImeTest, AListLeftByAnInterruptedMoveIsNeverLost) {
    std::string moving = layouts.sub("Preload_bak.new");
    list(saved, {{"1", "00000409"}});
    list(moving, {{"1", "00000411"}, {"2", "e0010411"}});
    Tree newest = snapshot(HKEY_USERS, moving), kept = snapshot(HKEY_USERS, saved);
    SetLogonIme(1);
    EXPECT_EQ(snapshot(HKEY_USERS, preload), newest);
    EXPECT_FALSE(keyExists(HKEY_USERS, moving));
    EXPECT_EQ(snapshot(HKEY_USERS, saved), kept);

    list(moving, {{"1", "00000409"}});
    Tree all = snapshot(HKEY_USERS, layouts.path());
    SetLogonIme(0);
    EXPECT_EQ(snapshot(HKEY_USERS, layouts.path()), all);
}

TEST_F(LogonImeTest, HidingAgainKeepsTheKeptList) {
    list(saved, {{"1", "00000411"}, {"2", "e0010411"}});
    list(preload, {{"1", "00000411"}});
    Tree kept = snapshot(HKEY_USERS, saved), placeholder = snapshot(HKEY_USERS, preload);
    SetLogonIme(0);
    EXPECT_EQ(snapshot(HKEY_USERS, saved), kept);
    EXPECT_EQ(snapshot(HKEY_USERS, preload), placeholder);
}

TEST_F(LogonImeTest, ShowingWithoutAKeptListAddsTheImeAfterTheUsersLayouts) {
    list(preload, {{"1", "00000409"}, {"2", "00000411"}});
    SetLogonIme(1);
    EXPECT_EQ(GetLogonIme(), 1);
    EXPECT_EQ(platformValueNames(HKEY_USERS, preload), (std::vector<std::string>{"1", "2", "3"}));
    std::string first, added;
    ReadRegString(HKEY_USERS, preload, "1", first);
    ReadRegString(HKEY_USERS, preload, "3", added);
    EXPECT_EQ(first, "00000409");
    EXPECT_EQ(added, "e0010411");
    EXPECT_FALSE(keyExists(HKEY_USERS, saved));
}

TEST_F(LogonImeTest, AListChangedByHandWhileHiddenIsKeptWhenShowing) {
    list(saved, {{"1", "00000411"}, {"2", "e0010411"}});
    list(preload, {{"1", "00000409"}});
    Tree kept = snapshot(HKEY_USERS, saved);
    SetLogonIme(1);
    EXPECT_EQ(GetLogonIme(), 1);
    std::string own;
    ReadRegString(HKEY_USERS, preload, "1", own);
    EXPECT_EQ(own, "00000409");
    EXPECT_EQ(snapshot(HKEY_USERS, saved), kept);
}

TEST_F(LogonImeTest, ALeftOverKeptListNeverLeavesTheSwitchStuck) {
    // A move whose deletion of the old key failed: both lists hold the full list.
    list(preload, {{"1", "00000411"}, {"2", "e0010411"}, {"3", "00000409"}});
    list(saved, {{"1", "00000411"}, {"2", "e0010411"}, {"3", "00000409"}});
    Tree full = snapshot(HKEY_USERS, preload);
    SetLogonIme(0);
    EXPECT_EQ(GetLogonIme(), 0);
    EXPECT_EQ(snapshot(HKEY_USERS, saved), full);
    SetLogonIme(1);
    EXPECT_EQ(snapshot(HKEY_USERS, preload), full);
    EXPECT_FALSE(keyExists(HKEY_USERS, saved));

    // A stale kept list beside a current list with the IME: the current one is kept.
    list(saved, {{"1", "00000409"}});
    SetLogonIme(0);
    EXPECT_EQ(GetLogonIme(), 0);
    EXPECT_EQ(snapshot(HKEY_USERS, saved), full);
}

TEST_F(LogonImeTest, ACurrentListThatCannotBeReadIsNeverDropped) {
    list(saved, {{"1", "00000411"}, {"2", "e0010411"}});
    list(preload, {{"1", "00000409"}});
    Tree kept = snapshot(HKEY_USERS, saved);
    setKeySecurity(HKEY_USERS, preload, "D:P(D;;KR;;;WD)(A;;KA;;;WD)");
    SetLogonIme(1);
    setKeySecurity(HKEY_USERS, preload, "D:P(A;;KA;;;WD)");
    std::string layout;
    EXPECT_EQ(ReadRegString(HKEY_USERS, preload, "1", layout), 0);
    EXPECT_EQ(layout, "00000409");
    EXPECT_EQ(snapshot(HKEY_USERS, saved), kept);
}

TEST_F(LogonImeTest, ShowingBringsBackAKeptListOverAnEmptyOne) {
    list(saved, {{"1", "00000411"}, {"2", "e0010411"}});
    Tree kept = snapshot(HKEY_USERS, saved);
    makeKey(HKEY_USERS, preload); // an earlier step left it empty
    SetLogonIme(1);
    EXPECT_EQ(snapshot(HKEY_USERS, preload), kept);
    EXPECT_FALSE(keyExists(HKEY_USERS, saved));
}

TEST_F(LogonImeTest, HidingWithoutAnyListWritesTheKeyboardOnly) {
    removeTree(HKEY_USERS, preload);
    SetLogonIme(0); // already reads 0: nothing to do
    EXPECT_FALSE(keyExists(HKEY_USERS, preload));
    list(preload, {{"1", "e0010411"}});
    Tree before = snapshot(HKEY_USERS, preload);
    SetLogonIme(0);
    EXPECT_EQ(snapshot(HKEY_USERS, saved), before);
    EXPECT_EQ(platformValueNames(HKEY_USERS, preload), (std::vector<std::string>{"1"}));
    std::string layout;
    ReadRegString(HKEY_USERS, preload, "1", layout);
    EXPECT_EQ(layout, "00000411");
}

// ---- Script-host guard (Wine's own VBSFile and JSFile are script classes too)

class ScriptHostTest : public testing::Test {
  protected:
    std::vector<std::unique_ptr<ScratchKey>> classes;
    Tree before;

    ScriptHostTest() {
        // Whatever the prefix holds is put back afterwards by the round trips.
        addClass("WexdalTest.VBS", "\"C:\\windows\\system32\\WScript.EXE\" \"%1\" %*");
        addClass("WexdalTest.Cmd", "C:\\windows\\system32\\CScript.exe //nologo \"%1\"");
        addClass("WexdalTest.Text", "notepad.exe %1");
        addClass("WexdalTest.symantecdisabled", "wscript.exe \"%1\"");
        putString(HKEY_CLASSES_ROOT, "\\WexdalTest.VBS\\ScriptEngine", "", "VBScript");
    }
    ~ScriptHostTest() override {
        SetScriptHostEnabled(1);
        for (const char* name :
             {"WexdalTest.VBS.SymantecDisabled", "WexdalTest.Cmd.SymantecDisabled",
              "WexdalTest.symantecdisabled.SymantecDisabled"})
            removeTree(HKEY_CLASSES_ROOT, std::string("\\") + name);
        for (HKEY hive : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
            for (const char* name : {"WexdalTest.Both", "WexdalTest.Both.SymantecDisabled"})
                removeTree(hive, std::string("\\Software\\Classes\\") + name);
    }
    void addClass(const std::string& name, const std::string& command) {
        classes.push_back(std::make_unique<ScratchKey>(HKEY_CLASSES_ROOT, "\\" + name));
        putString(HKEY_CLASSES_ROOT, "\\" + name + "\\Shell\\Open\\Command", "", command);
    }
};

TEST_F(ScriptHostTest, OffAndOnAgainLeavesEveryClassAsItWas) {
    Tree vbs = snapshot(HKEY_CLASSES_ROOT, "\\WexdalTest.VBS");
    EXPECT_EQ(GetScriptHostEnabled(), 1);

    SetScriptHostEnabled(0);
    EXPECT_EQ(GetScriptHostEnabled(), 0);
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, "\\WexdalTest.VBS"));
    EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, "\\WexdalTest.VBS.SymantecDisabled"), vbs);
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, "\\WexdalTest.Cmd.SymantecDisabled"));
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, "\\WexdalTest.Text"));
    // A marker in another letter case does not count: the marker is appended.
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, "\\WexdalTest.symantecdisabled.SymantecDisabled"));

    SetScriptHostEnabled(1);
    EXPECT_EQ(GetScriptHostEnabled(), 1);
    EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, "\\WexdalTest.VBS"), vbs);
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, "\\WexdalTest.VBS.SymantecDisabled"));
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, "\\WexdalTest.symantecdisabled"));
}

// A class of the same name in the user's classes and in the machine's: each is
// renamed where it is, as a whole of its own, and comes back unchanged. Scripts are
// on while either hive holds an unmarked script class. (Wine shows the machine's
// classes alone as HKEY_CLASSES_ROOT; Windows merges the user's over them.)
TEST_F(ScriptHostTest, EachHivesClassIsRenamedWhereItIs) {
    const std::string user = "\\Software\\Classes\\WexdalTest.Both";
    const std::string machine = "\\Software\\Classes\\WexdalTest.Both";
    const std::string marked = ".SymantecDisabled";
    ScratchKey userClass{HKEY_CURRENT_USER, user}, machineClass{HKEY_LOCAL_MACHINE, machine};
    putString(HKEY_CURRENT_USER, user + "\\Shell\\Open\\Command", "", "wscript.exe \"%1\"");
    putString(HKEY_CURRENT_USER, user + "\\UserOnly", "", "mine");
    putString(HKEY_LOCAL_MACHINE, machine + "\\Shell\\Open\\Command", "", "cscript.exe \"%1\"");
    putString(HKEY_LOCAL_MACHINE, machine + "\\MachineOnly", "", "ours");
    Tree userBefore = snapshot(HKEY_CURRENT_USER, user);
    Tree machineBefore = snapshot(HKEY_LOCAL_MACHINE, machine);

    EXPECT_EQ(SetScriptHostEnabled(0), 0);
    EXPECT_EQ(GetScriptHostEnabled(), 0);
    EXPECT_EQ(snapshot(HKEY_CURRENT_USER, user + marked), userBefore);
    EXPECT_EQ(snapshot(HKEY_LOCAL_MACHINE, machine + marked), machineBefore);
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, user));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, machine));

    // The user's class alone starts scripts again.
    ASSERT_EQ(RenameRegKey(HKEY_CURRENT_USER, user + marked, user), 0);
    EXPECT_EQ(GetScriptHostEnabled(), 1);
    ASSERT_EQ(RenameRegKey(HKEY_CURRENT_USER, user, user + marked), 0);

    EXPECT_EQ(SetScriptHostEnabled(1), 0);
    EXPECT_EQ(GetScriptHostEnabled(), 1);
    EXPECT_EQ(snapshot(HKEY_CURRENT_USER, user), userBefore);
    EXPECT_EQ(snapshot(HKEY_LOCAL_MACHINE, machine), machineBefore);
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, user + marked));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, machine + marked));

    // Under an account that is not the desk's user (an administrator's typed
    // credentials, SYSTEM), the account's own classes are not the user's: the
    // machine's alone change.
    struct OtherDesk {
        decltype(gDeskUser) kept = gDeskUser;
        OtherDesk() {
            gDeskUser = [] { return TDeskUser{L"PC1\\hanako", "S-1-5-21-9-1001"}; };
        }
        ~OtherDesk() { gDeskUser = kept; }
    } otherDesk;
    EXPECT_EQ(SetScriptHostEnabled(0), 0);
    EXPECT_EQ(snapshot(HKEY_CURRENT_USER, user), userBefore);
    EXPECT_EQ(snapshot(HKEY_LOCAL_MACHINE, machine + marked), machineBefore);
    EXPECT_EQ(SetScriptHostEnabled(1), 0);
}

TEST_F(ScriptHostTest, AMarkedClassBesideItsUnmarkedNameStays) {
    SetScriptHostEnabled(0);
    putString(HKEY_CLASSES_ROOT, "\\WexdalTest.VBS\\Shell\\Open\\Command", "", "notepad.exe %1");
    Tree marked = snapshot(HKEY_CLASSES_ROOT, "\\WexdalTest.VBS.SymantecDisabled");
    Tree unmarked = snapshot(HKEY_CLASSES_ROOT, "\\WexdalTest.VBS");
    EXPECT_EQ(SetScriptHostEnabled(1), -1) << "a marked script class remains";
    EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, "\\WexdalTest.VBS.SymantecDisabled"), marked);
    EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, "\\WexdalTest.VBS"), unmarked);
    removeTree(HKEY_CLASSES_ROOT, "\\WexdalTest.VBS.SymantecDisabled");
}

// Moved by a copy (where the system has no RegRenameKey), a class that another writer
// keeps filling can't be deleted: it stays whole under its own name, with no marked
// copy beside it, and the change is reported as not done.
TEST_F(ScriptHostTest, AClassThatCannotBeDeletedStaysWholeAndFailsTheChange) {
    RenameWayFor copying{RenameWay::Copy};
    Tree vbs = snapshot(HKEY_CLASSES_ROOT, "\\WexdalTest.VBS");
    testing_support::gBeforeRegKeyDelete = [](HKEY parent, const std::wstring& name) {
        if (name == L"Software\\Classes\\WexdalTest.VBS")
            putWideString(parent, name + L"\\ScriptEngine", L"", L"VBScript");
    };
    EXPECT_EQ(SetScriptHostEnabled(0), -1);
    testing_support::gBeforeRegKeyDelete = nullptr;
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, "\\WexdalTest.VBS.SymantecDisabled"));
    EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, "\\WexdalTest.VBS"), vbs);
    EXPECT_EQ(GetScriptHostEnabled(), 1);
}

TEST_F(ScriptHostTest, AnUnmarkedLowerCaseMarkerStillCounts) {
    SetScriptHostEnabled(0);
    ASSERT_EQ(RenameRegKey(HKEY_CLASSES_ROOT, "WexdalTest.symantecdisabled.SymantecDisabled",
                           "WexdalTest.symantecdisabled"),
              0);
    EXPECT_EQ(GetScriptHostEnabled(), 1);
}

} // namespace
