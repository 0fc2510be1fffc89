// The real wexdal.exe on the sample machine, used from the keyboard alone; and how
// it starts when its shortcut says "minimised".
#include "sysinfo/WebPage.h"
#include "tests/e2e/Session.h"
#include "tests/sample/SampleMachine.h"
#include "tests/support/Fixtures.h"
#include "tests/support/Processes.h"
#include "tests/support/Remote.h"

#include <gtest/gtest.h>

#include <memory>

using namespace testing_support;

namespace {

class Keyboard : public Session {
  protected:
    RemoteWexdal& start(int show = -1) {
        sample::Lay(sample::Standard());
        return launch(show, false);
    }
    RemoteWexdal& startAndWait() {
        sample::Lay(sample::Standard());
        return launch();
    }
    std::string className(HWND window) const {
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        return name;
    }
    // What has the focus: the menu list as "[list]", other controls by their text.
    std::string focused() const {
        HWND focus = remote->focus();
        if (focus == nullptr)
            return "(none)";
        if (lstrcmpiA(className(focus).c_str(), "ListBox") == 0)
            return "[list]";
        return remote->caption(focus);
    }
    bool pageShown(const std::string& caption) const {
        return eventually([&] {
            HWND page = remote->visiblePage();
            return page != nullptr && remote->caption(page).find(caption) != std::string::npos;
        });
    }
    bool focusBecomes(const std::string& expected) const {
        return eventually([&] { return focused() == expected; });
    }
};

TEST_F(Keyboard, TheMenuHasTheFocusAndUpAndDownChangePagesWithTheTimerRule) {
    RemoteWexdal& wexdal = startAndWait();
    ASSERT_TRUE(focusBecomes("[list]"));
    EXPECT_EQ(wexdal.selectedItem(), 5);

    wexdal.pressKey(VK_UP);
    EXPECT_TRUE(eventually([&] { return wexdal.selectedItem() == 4; }));
    EXPECT_TRUE(pageShown("[Version 10.0.6626]")); // Outlook
    for (int i = 0; i < 3; ++i)
        wexdal.pressKey(VK_UP);
    ASSERT_TRUE(eventually([&] { return wexdal.selectedItem() == 1; }));
    ASSERT_TRUE(pageShown("[Version 10.0.6626]"));
    EXPECT_NE(wexdal.controlByText(wexdal.visiblePage(), "Excel は 非稼動 です。"), nullptr);

    // Reached by keys, the Excel page is surveyed by the timer as after a click.
    ChildProcess excel(sample::InstallRoot(10) + "EXCEL.EXE", "300");
    EXPECT_TRUE(eventually([&] {
        return wexdal.controlByText(wexdal.visiblePage(), "Excel は 稼動中 です。") != nullptr;
    }));
    wexdal.pressKey(VK_UP);
    EXPECT_TRUE(eventually([&] { return wexdal.selectedItem() == 0; }));
    EXPECT_TRUE(pageShown("Microsoft Office XP"));
}

TEST_F(Keyboard, TabGoesThroughTheMenuTheCloseButtonAndThePageInCreationOrder) {
    RemoteWexdal& wexdal = startAndWait();
    ASSERT_TRUE(focusBecomes("[list]"));
    for (int i = 0; i < 5; ++i)
        wexdal.pressKey(VK_UP);
    ASSERT_TRUE(pageShown("Microsoft Office XP"));

    const std::vector<std::string> forward = {"閉じる(&C)",
                                              "株式会社　見本",
                                              "山田 太郎",
                                              "YT",
                                              sample::OfficeXP().productId,
                                              "更新(&R)",
                                              "する",
                                              "しない",
                                              "する",
                                              "しない",
                                              "Office を修復する",
                                              "Office のアップデートを行う",
                                              "[list]"};
    for (const std::string& expected : forward) {
        wexdal.pressKey(VK_TAB);
        EXPECT_TRUE(focusBecomes(expected)) << "expected " << expected << ", got " << focused();
    }
    for (const char* expected :
         {"Office のアップデートを行う", "Office を修復する", "しない", "する"}) {
        wexdal.pressKey(VK_TAB, true);
        EXPECT_TRUE(focusBecomes(expected)) << "expected " << expected << ", got " << focused();
    }
    // The arrow keys go as the pair reads: from する on to しない.
    wexdal.pressKey(VK_RIGHT);
    EXPECT_TRUE(focusBecomes("しない")) << focused();
}

TEST_F(Keyboard, SpacePressesAndTheFocusComesBackAfterTheMessage) {
    RemoteWexdal& wexdal = startAndWait();
    ASSERT_TRUE(focusBecomes("[list]"));
    for (int i = 0; i < 5; ++i)
        wexdal.pressKey(VK_UP);
    ASSERT_TRUE(pageShown("Microsoft Office XP"));
    for (int i = 0; i < 8; ++i)
        wexdal.pressKey(VK_TAB); // the clipboard row's "しない", after its "する"
    ASSERT_TRUE(focusBecomes("しない"));
    HWND off = wexdal.focus();
    wexdal.pressKey(VK_SPACE);
    HWND dialog = waitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialogMessage(dialog), "更新しました。ご確認ください。");
    wexdal.pressKey(VK_RETURN); // the dialog's default button
    ASSERT_TRUE(waitUntilIdle(wexdal.main()));
    EXPECT_EQ(SendMessageA(off, BM_GETCHECK, 0, 0), BST_CHECKED);
    // The page was locked while the message showed; the pressed button has the
    // focus again.
    EXPECT_TRUE(focusBecomes("しない"));
    EXPECT_EQ(wexdal.focus(), off);

    // Where nothing was locked, the focus goes back where it was.
    for (int i = 0; i < 6; ++i)
        wexdal.pressKey(VK_TAB, true);
    ASSERT_TRUE(focusBecomes("株式会社　見本"));
    wexdal.pressKey('R', false, true);
    HWND notice = waitForDialog();
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(dialogMessage(notice), "変更されていません。");
    wexdal.pressKey(VK_RETURN);
    ASSERT_TRUE(waitUntilIdle(wexdal.main()));
    EXPECT_TRUE(focusBecomes("株式会社　見本"));
}

TEST_F(Keyboard, AccessKeysWorkWithAltInTheWindowAndItsDialogs) {
    // A browser that logs the pages handed to it.
    ScratchFolder logs("C:\\wexdal-tests\\e2e-keys-dde");
    SetEnvironmentVariableA("WEXDAL_FIXTURE_LOG", logs.file("log.txt").c_str());
    installFixture("office11", logs.file("IEXPLORE.EXE"));
    ChildProcess browser(logs.file("IEXPLORE.EXE"), "300");
    SetEnvironmentVariableA("WEXDAL_FIXTURE_LOG", nullptr);
    ASSERT_TRUE(eventually([&] { return !readFile(logs.file("log.txt")).empty(); }));
    auto pageOpened = [&] {
        return readFile(logs.file("log.txt")).find(kel::kVectorAuthorUrl) != std::string::npos;
    };

    RemoteWexdal& wexdal = startAndWait();
    ASSERT_TRUE(focusBecomes("[list]"));

    // A link asks first; Alt+N answers No and the page is not opened, Alt+Y opens it.
    HWND about = wexdal.visiblePage();
    HWND link = wexdal.controlByText(about, kel::kVectorAuthorUrl);
    ASSERT_NE(link, nullptr);
    auto clickLink = [&] {
        PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    };
    clickLink();
    ASSERT_NE(waitForDialog(), nullptr);
    wexdal.pressKey('N', false, true);
    EXPECT_TRUE(waitUntilIdle(wexdal.main()));
    EXPECT_EQ(waitForDialog(300), nullptr);
    Sleep(500);
    EXPECT_FALSE(pageOpened());
    clickLink();
    ASSERT_NE(waitForDialog(), nullptr);
    wexdal.pressKey('Y', false, true);
    EXPECT_TRUE(eventually(pageOpened));
    EXPECT_TRUE(waitUntilIdle(wexdal.main()));

    // Alt+R: the update button of the Office page, only while that page is shown.
    wexdal.pressKey('R', false, true);
    EXPECT_EQ(waitForDialog(800), nullptr);
    for (int i = 0; i < 5; ++i)
        wexdal.pressKey(VK_UP);
    ASSERT_TRUE(pageShown("Microsoft Office XP"));
    wexdal.pressKey('R', false, true);
    HWND notice = waitForDialog();
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(dialogMessage(notice), "変更されていません。");
    wexdal.pressKey(VK_RETURN);
    ASSERT_TRUE(waitUntilIdle(wexdal.main()));

    // Alt+C: the close button ends the program.
    wexdal.pressKey('C', false, true);
    EXPECT_TRUE(program->endsWithin(10000));
}

TEST_F(Keyboard, AShortcutSetToMinimisedStartsItMinimised) {
    RemoteWexdal& wexdal = start(SW_SHOWMINNOACTIVE);
    EXPECT_TRUE(eventually([&] { return IsIconic(wexdal.main()) != FALSE; }));
    Sleep(500);
    EXPECT_TRUE(IsIconic(wexdal.main()));
    // Restored, as a second start would do it: pages built, the menu focused.
    SendMessageA(wexdal.main(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(eventually([&] { return !IsIconic(wexdal.main()); }));
    EXPECT_TRUE(eventually([&] { return wexdal.menuItems().size() == 6; }));
    EXPECT_TRUE(focusBecomes("[list]"));
}

} // namespace
