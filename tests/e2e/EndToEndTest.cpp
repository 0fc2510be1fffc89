// The real wexdal.exe on the sample machine, driven through its windows.
#include "sysinfo/Registry.h"
#include "tests/e2e/Session.h"
#include "tests/sample/SampleMachine.h"
#include "tests/support/Fixtures.h"
#include "tests/support/Processes.h"
#include "tests/support/Remote.h"
#include "tests/support/ReportFacts.h"
#include "tests/support/ScratchKey.h"

#include <gtest/gtest.h>

#include <memory>

using namespace testing_support;

namespace {

class EndToEnd : public Session {
  protected:
    RemoteWexdal& start(const sample::Options& options = sample::Standard()) {
        sample::Lay(options);
        return launch();
    }
    static int dword(HKEY root, const std::string& key, const char* name) {
        int value = -2;
        kel::ReadRegInteger(root, key, name, value);
        return value;
    }
};

TEST_F(EndToEnd, TheMenuListsTheBuiltPagesWithAboutSelected) {
    RemoteWexdal& wexdal = start();
    EXPECT_EQ(wexdal.menuItems(), (std::vector<std::string>{"Office", "Excel", "Word", "PowerPoint",
                                                            "Outlook", "About"}));
    EXPECT_EQ(wexdal.selectedItem(), 5);
    EXPECT_EQ(wexdal.caption(wexdal.visiblePage()), "About");
}

TEST_F(EndToEnd, OutlookExpressAloneGivesTheOutlookPage) {
    sample::Options options;
    options.componentMajor = 0;
    options.outlookExpress = true;
    RemoteWexdal& wexdal = start(options);
    EXPECT_EQ(wexdal.menuItems(), (std::vector<std::string>{"Outlook", "About"}));
    show("Outlook");
    EXPECT_TRUE(eventually(
        [&] { return wexdal.caption(wexdal.visiblePage()) == "Outlook Express [Version 6.00]"; }));
    EXPECT_NE(wexdal.rowControl("マクロウィルス(WSH)の動作を許可", "する"), nullptr);
}

TEST_F(EndToEnd, WithoutOfficeOnlyAbout) {
    sample::Options options;
    options.componentMajor = 0;
    RemoteWexdal& wexdal = start(options);
    EXPECT_EQ(wexdal.menuItems(), std::vector<std::string>{"About"});
}

TEST_F(EndToEnd, PagesShowTheirHeadersRowsAndInitialStates) {
    RemoteWexdal& wexdal = start();
    show("Excel");
    HWND page = wexdal.visiblePage();
    EXPECT_EQ(wexdal.caption(page), "Microsoft Excel [Version 10.0.6626]");
    RECT pageRect;
    GetClientRect(page, &pageRect);
    int w = pageRect.right;
    HWND repair = wexdal.rowControl("メニューバーが消えました", "修復を試みる");
    ASSERT_NE(repair, nullptr);
    for (const RemoteControl& control : wexdal.controlsOf(page)) {
        if (control.window == repair) {
            EXPECT_EQ(control.bounds.left, w - 152);
            EXPECT_EQ(control.bounds.top, 33 + 20);
            EXPECT_EQ(control.bounds.right - control.bounds.left, 142);
            EXPECT_EQ(control.bounds.bottom - control.bounds.top, 25);
        }
    }
    // Each row's icon lies above its frame, which lies behind everything of the row.
    int iconAt = -1, frameAt = -1, index = 0;
    for (const RemoteControl& control : wexdal.controlsOf(page)) {
        if (control.className == "WexdalImage" && control.bounds.top == 33 + 21 && iconAt < 0)
            iconAt = index;
        if (control.className == "WexdalBevel" && control.bounds.top == 33 + 16 && frameAt < 0)
            frameAt = index;
        ++index;
    }
    EXPECT_GE(iconAt, 0);
    EXPECT_LT(iconAt, frameAt);
    EXPECT_NE(wexdal.controlByText(page, "Excel は 非稼動 です。"), nullptr);
    HWND stop = wexdal.rowControl("Excel は 非稼動 です。", "停止する");
    ASSERT_NE(stop, nullptr);
    EXPECT_FALSE(IsWindowEnabled(stop));
    // BrowserFlags 8 on the sample's Excel class: "しない" is down.
    auto down = [&](const char* label, const char* caption) {
        return SendMessageA(wexdal.rowControl(label, caption), BM_GETCHECK, 0, 0) == BST_CHECKED;
    };
    EXPECT_TRUE(down("InternetExplorerと連携", "しない"));
    EXPECT_FALSE(down("InternetExplorerと連携", "する"));

    show("Word");
    EXPECT_TRUE(down("InternetExplorerと連携", "する"));
    show("PowerPoint");
    EXPECT_TRUE(down("IEから開く場合に編集", "しない"));
    show("Office");
    EXPECT_TRUE(down("Officeクリップボードを使用", "する"));
    EXPECT_TRUE(down("ログオン画面にIMEを表示", "する"));
    EXPECT_EQ(wexdal.caption(wexdal.visiblePage()), "Microsoft Office XP [Version 10.0.6626]");
}

TEST_F(EndToEnd, SwitchRowsChangeTheRegistryAndSayWhetherItWorked) {
    start();
    show("Excel");
    EXPECT_EQ(clickRow("InternetExplorerと連携", "する"), "更新しました。ご確認ください。");
    EXPECT_FALSE(valueExists(HKEY_CLASSES_ROOT, "\\Excel.Sheet.8", "BrowserFlags"));
    EXPECT_EQ(clickRow("InternetExplorerと連携", "しない"), "更新しました。ご確認ください。");
    EXPECT_EQ(dword(HKEY_CLASSES_ROOT, "\\Excel.Sheet.8", "BrowserFlags"), 8);

    show("Office");
    EXPECT_EQ(clickRow("Officeクリップボードを使用", "しない"), "更新しました。ご確認ください。");
    for (const char* version : {"10.0", "11.0"})
        EXPECT_EQ(
            dword(HKEY_CURRENT_USER,
                  std::string("\\SOFTWARE\\Microsoft\\Office\\") + version + "\\Common\\General",
                  "AcbControl"),
            1);
    EXPECT_EQ(clickRow("ログオン画面にIMEを表示", "しない"), "更新しました。ご確認ください。");
    EXPECT_TRUE(keyExists(HKEY_USERS, "\\.DEFAULT\\Keyboard Layout\\Preload_bak"));
    EXPECT_EQ(clickRow("ログオン画面にIMEを表示", "する"), "更新しました。ご確認ください。");

    show("PowerPoint");
    const std::string server = "\\CLSID\\{64818D10-4F9B-11CF-86EA-00AA00B929E8}";
    EXPECT_EQ(clickRow("IEから開く場合に編集", "する"), "更新しました。ご確認ください。");
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, server + "\\_KelDisabled_LocalServer32"));
    EXPECT_EQ(clickRow("IEから開く場合に編集", "しない"), "更新しました。ご確認ください。");
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, server + "\\LocalServer32"));

    show("Outlook");
    EXPECT_EQ(clickRow("マクロウィルス(WSH)の動作を許可", "しない"),
              "更新しました。ご確認ください。");
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, "\\VBEFile.SymantecDisabled"));
    EXPECT_EQ(clickRow("マクロウィルス(WSH)の動作を許可", "する"),
              "更新しました。ご確認ください。");
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, "\\VBEFile"));

    // A class that can't be switched: the re-read decides the message.
    removeTree(HKEY_CLASSES_ROOT, "\\.doc");
    show("Word");
    EXPECT_EQ(clickRow("InternetExplorerと連携", "しない"), "更新出来ませんでした。");
}

TEST_F(EndToEnd, StoppingExcelAsksFirstAndRepairsWaitForIt) {
    std::string excel = sample::InstallRoot(10) + "EXCEL.EXE";
    start();
    ChildProcess first(excel, "300"), second(excel, "300");
    show("Excel");
    ASSERT_TRUE(eventually([&] {
        return remote->controlByText(remote->visiblePage(), "Excel は 稼動中 です。") != nullptr;
    }));

    // The menu-bar repair while Excel runs, answered No: nothing deleted.
    std::string appData;
    kel::ReadRegString(HKEY_CURRENT_USER,
                       "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                       "AppData", appData);
    std::string toolbar = appData + "\\Microsoft\\Excel\\Excel10.xlb";
    makeFolders(appData + "\\Microsoft\\Excel");
    writeFile(toolbar, "x");
    HWND repair = remote->rowControl("メニューバーが消えました", "修復を試みる");
    remote->click(repair);
    HWND question = waitForDialog();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(dialogMessage(question), "Excel を強制終了します。宜しいですか？");
    PostMessageA(FindWindowExA(question, nullptr, "Button", "いいえ(&N)"), BM_CLICK, 0, 0);
    ASSERT_TRUE(eventually([&] { return openDialog() != question && openDialog() != nullptr; }));
    EXPECT_EQ(dialogMessage(openDialog()), "更新出来ませんでした。");
    PostMessageA(FindWindowExA(openDialog(), nullptr, "Button", "OK"), BM_CLICK, 0, 0);
    ASSERT_TRUE(waitUntilIdle(remote->main()));
    EXPECT_EQ(readFile(toolbar), "x");
    EXPECT_TRUE(first.running());

    // The stop button: No changes nothing, Yes ends both and says nothing.
    EXPECT_EQ(clickRow("Excel は 稼動中 です。", "停止する", "いいえ(&N)"),
              "Excel を強制終了します。宜しいですか？");
    EXPECT_TRUE(first.running());
    EXPECT_TRUE(second.running());
    EXPECT_EQ(clickRow("Excel は 稼動中 です。", "停止する", "はい(&Y)"),
              "Excel を強制終了します。宜しいですか？");
    EXPECT_TRUE(first.endsWithin(5000));
    EXPECT_TRUE(second.endsWithin(5000));
    EXPECT_EQ(waitForDialog(800), nullptr);
    EXPECT_TRUE(eventually([&] {
        return remote->controlByText(remote->visiblePage(), "Excel は 非稼動 です。") != nullptr;
    }));
    DeleteFileA(toolbar.c_str());
}

TEST_F(EndToEnd, WordsMenuBarRepairDeclinedSaysNothing) {
    start();
    ChildProcess word(sample::InstallRoot(10) + "WINWORD.EXE", "300");
    const std::string data = "\\Software\\Microsoft\\Office\\10.0\\Word\\Data";
    putString(HKEY_CURRENT_USER, data, "Toolbars", "custom");
    show("Word");
    ASSERT_TRUE(eventually([&] {
        return remote->controlByText(remote->visiblePage(), "Word は 稼動中 です。") != nullptr;
    }));
    EXPECT_EQ(clickRow("メニューバーが消えました", "修復を試みる", "いいえ(&N)"),
              "Word を強制終了します。宜しいですか？");
    EXPECT_EQ(waitForDialog(800), nullptr);
    EXPECT_TRUE(valueExists(HKEY_CURRENT_USER, data, "Toolbars"));
}

TEST_F(EndToEnd, TheUpdateButtonHandsThePageToTheBrowserSilently) {
    ScratchFolder logs("C:\\wexdal-tests\\e2e-dde");
    SetEnvironmentVariableA("WEXDAL_FIXTURE_LOG", logs.file("log.txt").c_str());
    installFixture("office11", logs.file("IEXPLORE.EXE"));
    ChildProcess browser(logs.file("IEXPLORE.EXE"), "300");
    ASSERT_TRUE(eventually([&] { return !readFile(logs.file("log.txt")).empty(); }));
    start();
    show("Office");
    HWND update = remote->controlByText(remote->visiblePage(), "Office のアップデートを行う");
    ASSERT_NE(update, nullptr);
    remote->click(update);
    EXPECT_TRUE(eventually([&] {
        return readFile(logs.file("log.txt"))
                   .find("execute \"https://www.catalog.update.microsoft.com/") !=
               std::string::npos;
    }));
    EXPECT_EQ(waitForDialog(800), nullptr);
    SetEnvironmentVariableA("WEXDAL_FIXTURE_LOG", nullptr);
}

TEST_F(EndToEnd, TheUserInformationIsUpdatedFromItsFields) {
    RemoteWexdal& wexdal = start();
    show("Office");
    HWND page = wexdal.visiblePage();
    std::vector<HWND> edits;
    for (const RemoteControl& control : wexdal.controlsOf(page))
        if (lstrcmpiA(control.className.c_str(), "Edit") == 0)
            edits.push_back(control.window);
    ASSERT_EQ(edits.size(), 4u);
    // In z-order: company, owner, initials, product ID (created in that order, last on top).
    std::sort(edits.begin(), edits.end(), [&](HWND a, HWND b) {
        RECT ra, rb;
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.top < rb.top;
    });
    SendMessageA(edits[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>("新しい会社"));
    HWND update = wexdal.controlByText(page, "更新(&R)");
    ASSERT_NE(update, nullptr);
    wexdal.click(update);
    HWND dialog = waitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialogMessage(dialog), "更新しました。ご確認ください。");
    PostMessageA(FindWindowExA(dialog, nullptr, "Button", "OK"), BM_CLICK, 0, 0);
    std::string company;
    kel::ReadRegString(HKEY_LOCAL_MACHINE,
                       "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" +
                           sample::OfficeXP().code,
                       "RegCompany", company);
    EXPECT_EQ(company, "新しい会社");
}

TEST_F(EndToEnd, TheRevealGestureShowsTheReport) {
    RemoteWexdal& wexdal = start();
    HWND about = wexdal.visiblePage();
    HWND icon = nullptr;
    for (const RemoteControl& control : wexdal.controlsOf(about))
        if (control.className == "WexdalImage" && control.bounds.right - control.bounds.left == 32)
            icon = control.window;
    ASSERT_NE(icon, nullptr);
    HWND info = wexdal.controlByText(about, "取得情報表示");
    ASSERT_NE(info, nullptr);

    SendMessageA(icon, WM_LBUTTONDOWN, MK_SHIFT | MK_CONTROL | MK_LBUTTON, 0);
    EXPECT_FALSE(IsWindowVisible(info));
    SendMessageA(icon, WM_RBUTTONDOWN, MK_SHIFT | MK_CONTROL | MK_LBUTTON | MK_RBUTTON, 0);
    EXPECT_TRUE(IsWindowVisible(info));

    wexdal.click(info);
    HWND memo = nullptr;
    ASSERT_TRUE(eventually([&] {
        for (const RemoteControl& control : wexdal.controlsOf(about))
            if (lstrcmpiA(control.className.c_str(), "Edit") == 0 && control.visible)
                memo = control.window;
        return memo != nullptr;
    }));
    std::string report = wexdal.caption(memo);
    EXPECT_EQ(report.rfind("↓-- TKelOfficeInfo --↓\r\n", 0), 0u);
    // The report command writes exactly what the memo shows.
    ScratchFolder folder("C:\\wexdal-tests\\memo");
    ASSERT_EQ(runToEnd(wexdalPath(), "/report " + folder.file("r.txt")), 0u);
    EXPECT_EQ(withoutIconHandles(readFile(folder.file("r.txt"))), withoutIconHandles(report));
    EXPECT_NE(report.find("ProductID[" + sample::OfficeXP().productId + "]\r\n"),
              std::string::npos);
    EXPECT_NE(
        report.find("↑-- TKelOfficeInfo --↑\r\n↓-- gsInfoBefore --↓\r\nCompany=株式会社　見本\r\n"
                    "Owner=山田 太郎\r\nInitials=YT\r\n"),
        std::string::npos);
}

} // namespace
