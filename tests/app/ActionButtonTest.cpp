#include "app/MainWindow.h"

#include "office/ProcessSurvey.h"
#include "repair/ScriptHostGuard.h"
#include "tests/support/Dialogs.h"
#include "tests/support/Environment.h"
#include "tests/support/Fixtures.h"
#include "tests/support/Processes.h"
#include "tests/support/ScratchKey.h"

#include <gtest/gtest.h>

#include <algorithm>
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
        form.AddActionRow(2, {"GB_About", "0", "XlsProcess", "稼動状況", "停止する"});
        form.AddActionRow(2, {"GB_About", "1", "DocProcess", "稼動状況", "停止する"});
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
    // Adds a row to the page as the pages build it, and returns its control.
    template <typename Control>
    Control& row(const std::string& name, const std::vector<std::string>& texts) {
        form.AddActionRow(0, texts);
        return *form.Find<Control>(name);
    }
    ui::TButton& repairRow(const char* row, int index) {
        return this->row<ui::TButton>(
            std::string("BB_") + row,
            {"GB_About", std::to_string(index), row, "ファイルが編集出来ません", "修復を試みる"});
    }
    ui::TSpeedButton& switchRow(const char* row, int index, int state) {
        return this->row<ui::TSpeedButton>(
            std::string("SB_") + row + std::to_string(state),
            {"GB_About", std::to_string(index), row, "Switch", "する", "しない"});
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
    form.SetToggleState("MsoClip", true);

    click(on);

    EXPECT_EQ(messages(), std::vector<std::string>{"更新しました。ご確認ください。"});
    EXPECT_FALSE(valueExists(HKEY_CURRENT_USER, version10.sub("Common\\General"), "AcbControl"));
    EXPECT_TRUE(on.Down());
    EXPECT_FALSE(form.Find<ui::TSpeedButton>("SB_MsoClip0")->Down());
}

TEST_F(ActionButtonTest, AStoppedTimerStaysStoppedAndTheWaitPanelHidesBeforeTheMessage) {
    form.Timer1->SetEnabled(false);
    click(switchRow("EmlWshX", 3, 0)); // no such action: the switch did not succeed
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

    click(switchRow("EmlWsh", 3, 0));

    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "エラー");
    EXPECT_EQ(seen[0].message,
              "'Software\\Classes\\AAWexdalTest.Locked\\Secret' の取得に失敗しました");
    EXPECT_TRUE(seen[0].pageEnabled);
    EXPECT_FALSE(seen[0].panelShown);
    EXPECT_TRUE(seen[0].timerOn);
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, kSetAside));
    setKeySecurity(HKEY_CLASSES_ROOT, locked.sub("Secret"), "D:P(A;;KA;;;WD)");
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, locked.sub("Secret"))); // nothing lost
}

} // namespace
