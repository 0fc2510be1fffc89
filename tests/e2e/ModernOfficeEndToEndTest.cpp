// The real wexdal.exe on today's Office, every install kind of the sample machines,
// driven through its windows.
#include "sysinfo/Registry.h"
#include "tests/e2e/Session.h"
#include "tests/sample/ModernMachine.h"
#include "tests/sample/SampleMachine.h"
#include "tests/support/Fixtures.h"
#include "tests/support/OfficeProgram.h"
#include "tests/support/Processes.h"
#include "tests/support/Remote.h"
#include "tests/support/ScratchKey.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace testing_support;

namespace {

const std::string kCommon = "\\Software\\Microsoft\\Office\\Common\\UserInfo";

class ModernEndToEnd : public Session {
  protected:
    RemoteWexdal& start(void (*lay)()) {
        lay();
        return launch();
    }
    // The user-information fields of the Office page, top to bottom.
    std::vector<HWND> userInfoFields() {
        std::vector<HWND> edits;
        for (const RemoteControl& control : remote->controlsOf(remote->visiblePage()))
            if (lstrcmpiA(control.className.c_str(), "Edit") == 0)
                edits.push_back(control.window);
        std::sort(edits.begin(), edits.end(), [](HWND a, HWND b) {
            RECT ra, rb;
            GetWindowRect(a, &ra);
            GetWindowRect(b, &rb);
            return ra.top < rb.top;
        });
        return edits;
    }
    // Every page's header, as the menu lists them.
    void expectPages(const std::string& officeCaption, const std::string& programVersion) {
        EXPECT_EQ(remote->menuItems(),
                  (std::vector<std::string>{"Office", "Excel", "Word", "PowerPoint", "Outlook",
                                            "About"}));
        show("Office");
        EXPECT_EQ(remote->caption(remote->visiblePage()), officeCaption);
        const std::pair<const char*, const char*> pages[] = {{"Excel", "EXCEL.EXE"},
                                                             {"Word", "WINWORD.EXE"},
                                                             {"PowerPoint", "POWERPNT.EXE"},
                                                             {"Outlook", "OUTLOOK.EXE"}};
        for (const auto& [page, program] : pages) {
            show(page);
            EXPECT_EQ(remote->caption(remote->visiblePage()),
                      OfficeProgramDescription(std::stoi(programVersion), program) + " [Version " +
                          programVersion + "]")
                << page;
        }
    }
    static std::string text(HKEY root, const std::string& key, const char* name) {
        std::string value;
        return kel::ReadRegString(root, key, name, value) == 0 ? value : "<missing>";
    }
};

// Each install kind: the suite and its version head the Office page, with the
// suite's product ID (不明 where the installation keeps none); every application
// has its page, and the Office switches act on the suite's version.
TEST_F(ModernEndToEnd, EveryInstallKindShowsItsSuiteAndEveryPage) {
    for (const sample::ModernMachine& machine : sample::kModernMachines) {
        SCOPED_TRACE(machine.option);
        start(machine.lay);
        expectPages(std::string(machine.displayName) + " [Version " + machine.version + "]",
                    machine.version);
        show("Office");
        std::vector<HWND> fields = userInfoFields();
        ASSERT_EQ(fields.size(), 4u);
        EXPECT_EQ(remote->caption(fields[0]), "株式会社　見本");
        EXPECT_EQ(remote->caption(fields[1]), "山田 太郎");
        EXPECT_EQ(remote->caption(fields[2]), "YT");
        EXPECT_EQ(remote->caption(fields[3]), *machine.productId ? machine.productId : "不明");

        // The switches act on the suite's version.
        const std::string version =
            "\\Software\\Microsoft\\Office\\" + std::string(machine.version).substr(0, 2) + ".0";
        EXPECT_EQ(clickRow("Officeクリップボードを使用", "しない"),
                  "更新しました。ご確認ください。");
        int acb = -2;
        kel::ReadRegInteger(HKEY_CURRENT_USER, version + "\\Common\\General", "AcbControl", acb);
        EXPECT_EQ(acb, 1);
        removeTree(HKEY_CURRENT_USER, version);
        program->close("Wexdal");
        program.reset();
        sample::Remove();
    }
}

TEST_F(ModernEndToEnd, Microsoft365UserInformationIsUpdatedForTheDeskUserOnly) {
    start(sample::LayM365);
    show("Office");
    std::vector<HWND> fields = userInfoFields();
    ASSERT_EQ(fields.size(), 4u);
    SendMessageA(fields[1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>("鈴木 一郎"));
    remote->click(remote->controlByText(remote->visiblePage(), "更新(&R)"));
    HWND dialog = waitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialogMessage(dialog), "更新しました。ご確認ください。");
    PostMessageA(FindWindowExA(dialog, nullptr, "Button", "OK"), BM_CLICK, 0, 0);
    ASSERT_TRUE(waitUntilIdle(remote->main()));
    EXPECT_EQ(text(HKEY_CURRENT_USER, kCommon, "UserName"), "鈴木 一郎");
    EXPECT_EQ(text(HKEY_USERS, std::string("\\") + sample::kDefaultProfile + kCommon, "UserName"),
              "鈴木 一郎");
    EXPECT_EQ(text(HKEY_USERS, std::string("\\") + sample::kSecondProfile + kCommon, "UserName"),
              "佐藤 花子")
        << "another signed-in user's";
}

TEST_F(ModernEndToEnd, Microsoft365SwitchesAndRepairsWork) {
    start(sample::LayM365);
    const std::string general = "\\Software\\Microsoft\\Office\\16.0\\Common\\General";
    show("Office");
    EXPECT_EQ(clickRow("Officeクリップボードを使用", "しない"), "更新しました。ご確認ください。");
    int acb = -2;
    kel::ReadRegInteger(HKEY_CURRENT_USER, general, "AcbControl", acb);
    EXPECT_EQ(acb, 1);
    EXPECT_EQ(clickRow("Officeクリップボードを使用", "する"), "更新しました。ご確認ください。");
    EXPECT_FALSE(valueExists(HKEY_CURRENT_USER, general, "AcbControl"));

    show("Excel");
    EXPECT_EQ(clickRow("InternetExplorerと連携", "する"), "更新しました。ご確認ください。");
    EXPECT_FALSE(valueExists(HKEY_CLASSES_ROOT, "\\Excel.Sheet.8", "BrowserFlags"));

    show("Word");
    const std::string data = "\\Software\\Microsoft\\Office\\16.0\\Word\\Data";
    putString(HKEY_CURRENT_USER, data, "Toolbars", "custom");
    EXPECT_EQ(clickRow("メニューバーが消えました", "修復を試みる"),
              "修復を試みました。ご確認ください。");
    EXPECT_FALSE(valueExists(HKEY_CURRENT_USER, data, "Toolbars"));
    removeTree(HKEY_CURRENT_USER, "\\Software\\Microsoft\\Office\\16.0");
}

// 64-bit Excel of Microsoft 365: its page shows it running and stops it.
TEST_F(ModernEndToEnd, Microsoft365ExcelIsSeenRunningAndStopped) {
    start(sample::LayM365);
    ChildProcess excel(sample::M365Folder() + "EXCEL.EXE", "300");
    show("Excel");
    ASSERT_TRUE(eventually([&] {
        return remote->controlByText(remote->visiblePage(), "Excel は 稼動中 です。") != nullptr;
    }));
    EXPECT_EQ(clickRow("Excel は 稼動中 です。", "停止する", "はい(&Y)"),
              "Excel を強制終了します。宜しいですか？");
    EXPECT_TRUE(excel.endsWithin(5000));
    EXPECT_TRUE(eventually([&] {
        return remote->controlByText(remote->visiblePage(), "Excel は 非稼動 です。") != nullptr;
    }));
}

} // namespace
