// The form's keyboard: tab order apart from z-order, Shift+Tab, the focus at
// activation and access keys, driven by key messages through the form's own
// pre-dispatch handling, as the program's message loop does.
#include "widgets/AccessKey.h"
#include "widgets/GraphicListBox.h"

#include <gtest/gtest.h>

using namespace ui;

namespace {

class KeyForm : public TForm {
  public:
    KeyForm() : TForm("WexdalKeyForm", "Keys", WS_OVERLAPPEDWINDOW, 0) { SetOuterSize(400, 300); }
};

// A form laid out like the main window: a list first, a button, a page holding an
// edit and buttons, a control moved onto the page after them, and controls that
// can't take the focus.
class KeyboardTest : public testing::Test {
  protected:
    KeyForm form;
    TGraphicListBox& list = form.Create<TGraphicListBox>("GLB_Menu", form.Handle());
    TButton& close = form.Create<TButton>("BB_Exit", form.Handle());
    TButton& moved = form.Create<TButton>("BB_Moved", form.Handle());
    TGroupBox& page = form.Create<TGroupBox>("GB_Page", form.Handle());
    TEdit& edit = form.Create<TEdit>("ED_Edit", page.Handle());
    TLabel& label = form.Create<TLabel>("LL_Label", page.Handle());
    TButton& hidden = form.Create<TButton>("BB_Hidden", page.Handle());
    TButton& disabled = form.Create<TButton>("BB_Disabled", page.Handle());
    TSpeedButton& off = form.Create<TSpeedButton>("SB_Row0", page.Handle());
    TSpeedButton& on = form.Create<TSpeedButton>("SB_Row1", page.Handle());
    TGroupBox& hiddenPage = form.Create<TGroupBox>("GB_Hidden", form.Handle());
    TButton& onHiddenPage = form.Create<TButton>("BB_OnHiddenPage", hiddenPage.Handle());
    std::vector<std::string> clicks;

    KeyboardTest() {
        list.SetBounds(0, 0, 97, 150);
        list.AddItem("One");
        list.AddItem("Two");
        close.SetBounds(0, 160, 97, 30);
        close.SetCaption("閉じる(&C)");
        page.SetBounds(100, 0, 280, 250);
        hiddenPage.SetBounds(100, 0, 280, 250);
        edit.SetBounds(10, 20, 100, 20);
        label.SetBounds(10, 50, 100, 15);
        hidden.SetBounds(10, 70, 80, 25);
        disabled.SetBounds(100, 70, 80, 25);
        disabled.SetEnabled(false);
        disabled.SetCaption("無効(&D)");
        off.SetBounds(100, 100, 70, 25);
        off.SetGroupIndex(1);
        off.SetCaption("しない(&O)");
        on.SetBounds(20, 100, 70, 25);
        on.SetGroupIndex(1);
        on.SetCaption("する");
        onHiddenPage.SetBounds(10, 20, 80, 25);
        onHiddenPage.SetCaption("隠れ(&H)");
        moved.SetParent(page.Handle());
        moved.SetBounds(10, 150, 80, 25);
        moved.SetCaption("更新(&R)");
        for (TControl* control : std::initializer_list<TControl*>{
                 &list, &close, &page, &edit, &label, &disabled, &off, &on, &moved, &onHiddenPage})
            control->Show();
        for (TControl* control :
             std::initializer_list<TControl*>{&close, &moved, &disabled, &off, &on, &onHiddenPage})
            control->OnClick = [this](TComponent& sender) { clicks.push_back(sender.Name()); };
        ShowWindow(form.Handle(), SW_SHOW);
        SetForegroundWindow(form.Handle());
        pump();
    }
    ~KeyboardTest() override { setShift(false); }

    // The program's message loop, until the queue is empty.
    void pump() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (form.IsDialogKey(message))
                continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    static void setShift(bool down) {
        BYTE state[256];
        GetKeyboardState(state);
        state[VK_SHIFT] = state[VK_LSHIFT] = down ? 0x80 : 0;
        SetKeyboardState(state);
    }
    // A key pressed and released on the focused window, as the keyboard sends it.
    void press(WPARAM key, bool shift = false) {
        setShift(shift);
        HWND target = GetFocus() ? GetFocus() : form.Handle();
        PostMessageA(target, WM_KEYDOWN, key, 1);
        PostMessageA(target, WM_KEYUP, key, 0xC0000001);
        pump();
        setShift(false);
    }
    void pressAlt(char letter) {
        HWND target = GetFocus() ? GetFocus() : form.Handle();
        PostMessageA(target, WM_SYSCHAR, static_cast<WPARAM>(letter), 1 << 29);
        pump();
    }
    std::string focusName() const {
        TControl* control = TControl::FromHandle(GetFocus());
        return control ? control->Name() : "";
    }
    std::vector<std::string> names(const std::vector<TControl*>& controls) const {
        std::vector<std::string> result;
        for (TControl* control : controls)
            result.push_back(control->Name());
        return result;
    }
};

TEST_F(KeyboardTest, TabOrderIsPlacementOrderNotZOrder) {
    // Each new control lies above the ones before it.
    EXPECT_EQ(GetWindow(page.Handle(), GW_CHILD), moved.Handle());
    EXPECT_EQ(GetWindow(form.Handle(), GW_CHILD), hiddenPage.Handle());

    const std::vector<std::string> expected = {"GLB_Menu", "BB_Exit", "ED_Edit",
                                               "SB_Row0",  "SB_Row1", "BB_Moved"};
    EXPECT_EQ(names(form.TabOrderList()), expected);

    // A control that shows up or comes back on takes its place again.
    hidden.Show();
    disabled.SetEnabled(true);
    EXPECT_EQ(names(form.TabOrderList()),
              (std::vector<std::string>{"GLB_Menu", "BB_Exit", "ED_Edit", "BB_Hidden",
                                        "BB_Disabled", "SB_Row0", "SB_Row1", "BB_Moved"}));
    // A disabled page takes its controls out.
    page.SetEnabled(false);
    EXPECT_EQ(names(form.TabOrderList()), (std::vector<std::string>{"GLB_Menu", "BB_Exit"}));
}

// The page's next tab stop, as a dialog's next tab item: from a control that can't
// take the focus too, going round within the page only.
TEST_F(KeyboardTest, TheNextTabStopOnAPageSkipsWhatCannotTakeTheFocusAndGoesRound) {
    EXPECT_EQ(form.NextTabStopOn(disabled, page.Handle()), &off);
    EXPECT_EQ(form.NextTabStopOn(edit, page.Handle()), &off);
    EXPECT_EQ(form.NextTabStopOn(moved, page.Handle()), &edit);
    EXPECT_EQ(form.NextTabStopOn(onHiddenPage, hiddenPage.Handle()), nullptr);
}

TEST_F(KeyboardTest, TheFirstInTabOrderHasTheFocusAtActivation) {
    EXPECT_EQ(focusName(), "GLB_Menu");
}

TEST_F(KeyboardTest, TabAndShiftTabGoRoundInTabOrder) {
    std::vector<std::string> forward;
    for (int i = 0; i < 7; ++i) {
        press(VK_TAB);
        forward.push_back(focusName());
    }
    EXPECT_EQ(forward, (std::vector<std::string>{"BB_Exit", "ED_Edit", "SB_Row0", "SB_Row1",
                                                 "BB_Moved", "GLB_Menu", "BB_Exit"}));
    std::vector<std::string> backward;
    for (int i = 0; i < 3; ++i) {
        press(VK_TAB, true);
        backward.push_back(focusName());
    }
    EXPECT_EQ(backward, (std::vector<std::string>{"GLB_Menu", "BB_Moved", "SB_Row1"}));
    EXPECT_TRUE(clicks.empty());
}

TEST_F(KeyboardTest, TabSelectsAnEditsTextAndTypingStaysInIt) {
    edit.SetCaption("ABC");
    press(VK_TAB);
    press(VK_TAB);
    ASSERT_EQ(focusName(), "ED_Edit");
    DWORD start = 0, end = 0;
    SendMessageA(edit.Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 3u);
    press('R'); // typed into the edit, not taken as the access key of 更新(&R)
    EXPECT_EQ(edit.Caption(), "r");
    EXPECT_TRUE(clicks.empty());
}

TEST_F(KeyboardTest, SpacePressesTheFocusedButton) {
    press(VK_TAB);
    ASSERT_EQ(focusName(), "BB_Exit");
    press(VK_SPACE);
    EXPECT_EQ(clicks, std::vector<std::string>{"BB_Exit"});
    press(VK_TAB);
    press(VK_TAB);
    ASSERT_EQ(focusName(), "SB_Row0");
    press(VK_SPACE);
    EXPECT_TRUE(off.Down());
    EXPECT_FALSE(on.Down());
}

TEST_F(KeyboardTest, UpAndDownMoveTheListSelectionWithItsClickEvent) {
    std::vector<int> selected;
    list.OnClick = [&](TComponent&) { selected.push_back(list.ItemIndex()); };
    press(VK_DOWN);
    press(VK_DOWN);
    press(VK_UP);
    EXPECT_EQ(selected, (std::vector<int>{0, 1, 0}));
}

TEST_F(KeyboardTest, EnterPressesOnlyAFocusedPushButton) {
    press(VK_RETURN); // on the list
    press(VK_TAB);
    ASSERT_EQ(focusName(), "BB_Exit");
    press(VK_RETURN);
    EXPECT_EQ(clicks, std::vector<std::string>{"BB_Exit"});
    press(VK_TAB);
    press(VK_RETURN); // in the edit
    press(VK_TAB);
    ASSERT_EQ(focusName(), "SB_Row0");
    press(VK_RETURN); // a two-state button is no push button
    EXPECT_EQ(clicks, std::vector<std::string>{"BB_Exit"});
    EXPECT_FALSE(off.Down());
}

TEST_F(KeyboardTest, ArrowsGoRoundTheControlsOfTheFocusedOnesParent) {
    press(VK_TAB);
    ASSERT_EQ(focusName(), "BB_Exit");
    press(VK_DOWN);
    EXPECT_EQ(focusName(), "GLB_Menu"); // the page's controls are not the button's siblings
    press(VK_UP);
    EXPECT_EQ(focusName(), "GLB_Menu"); // the list moves its selection instead

    press(VK_TAB);
    press(VK_TAB);
    press(VK_TAB);
    ASSERT_EQ(focusName(), "SB_Row0");
    std::vector<std::string> seen;
    for (WPARAM key : {VK_RIGHT, VK_DOWN, VK_RIGHT, VK_LEFT, VK_UP}) {
        press(key);
        seen.push_back(focusName());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"SB_Row1", "BB_Moved", "ED_Edit", "ED_Edit",
                                              "ED_Edit"})); // the edit keeps its arrows
    EXPECT_TRUE(clicks.empty());
}

TEST_F(KeyboardTest, AccessKeysPressTheirButtonWithAltOnlyWhereTheyCanBeUsed) {
    pressAlt('c');
    pressAlt('R');
    pressAlt('o');
    pressAlt('d'); // disabled
    pressAlt('h'); // on a hidden page
    pressAlt('x'); // nobody's
    EXPECT_EQ(clicks, (std::vector<std::string>{"BB_Exit", "BB_Moved", "SB_Row0"}));
    EXPECT_TRUE(off.Down());
    EXPECT_EQ(focusName(), "GLB_Menu"); // pressing by access key leaves the focus alone

    // A plain letter where the focused control takes no characters works too.
    press(VK_TAB);
    ASSERT_EQ(focusName(), "BB_Exit");
    press('R');
    EXPECT_EQ(clicks.back(), "BB_Moved");
}

TEST_F(KeyboardTest, TheFocusComesBackAfterAnotherWindowWasActive) {
    press(VK_TAB);
    press(VK_TAB);
    ASSERT_EQ(focusName(), "ED_Edit");
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                 nullptr, nullptr, nullptr);
    SetActiveWindow(other);
    pump();
    SetActiveWindow(form.Handle());
    pump();
    EXPECT_EQ(focusName(), "ED_Edit");

    // Gone from sight meanwhile: the first control in tab order takes it.
    SetActiveWindow(other);
    page.Hide();
    SetActiveWindow(form.Handle());
    pump();
    EXPECT_EQ(focusName(), "GLB_Menu");
    DestroyWindow(other);
}

TEST_F(KeyboardTest, TheFormTakesTheFocusWhenNoControlCan) {
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                 nullptr, nullptr, nullptr);
    SetActiveWindow(other);
    pump();
    list.SetEnabled(false);
    close.SetEnabled(false);
    page.Hide();
    SetActiveWindow(form.Handle());
    pump();
    EXPECT_EQ(GetFocus(), form.Handle());
    DestroyWindow(other);
}

TEST(AccessKeys, TheLetterAfterTheAmpersand) {
    EXPECT_EQ(AccessKeyOf("閉じる(&C)"), 'C');
    EXPECT_EQ(AccessKeyOf("はい(&y)"), 'Y');
    EXPECT_EQ(AccessKeyOf("更新(&R)"), 'R');
    EXPECT_EQ(AccessKeyOf("A&&B"), 0);
    EXPECT_EQ(AccessKeyOf("A&&B&2"), '2');
    EXPECT_EQ(AccessKeyOf("末尾&"), 0);
    EXPECT_EQ(AccessKeyOf("&会社"), 0); // a double-byte character is no access key
    EXPECT_EQ(AccessKeyOf("OK"), 0);
    EXPECT_TRUE(IsAccessKey('c', "閉じる(&C)"));
    EXPECT_TRUE(IsAccessKey('C', "閉じる(&c)"));
    EXPECT_FALSE(IsAccessKey('&', "A&&B"));
    EXPECT_FALSE(IsAccessKey('R', "閉じる(&C)"));
}

} // namespace
