#include "widgets/MessageDialog.h"

#include "tests/support/Dialogs.h"

#include <gtest/gtest.h>

using namespace ui;
using namespace testing_support;

namespace {

int show(const std::function<void(HWND)>& action, const std::string& message, TMsgDlgType kind,
         unsigned buttons, SeenDialog* seen = nullptr) {
    DialogAnswer answer(action);
    int result = ShowMessageDialog(message, kind, buttons);
    EXPECT_TRUE(answer.answered());
    if (seen)
        *seen = answer.seen();
    return result;
}

TEST(MessageDialog, TitlesAndButtonsInTheirFixedOrder) {
    struct Case {
        TMsgDlgType kind;
        const char* title;
    };
    for (Case c :
         {Case{TMsgDlgType::mtWarning, "警告"}, Case{TMsgDlgType::mtError, "エラー"},
          Case{TMsgDlgType::mtInformation, "情報"}, Case{TMsgDlgType::mtConfirmation, "確認"}}) {
        SeenDialog seen;
        EXPECT_EQ(show(press("OK"), "本文", c.kind, mbCancel | mbOK | mbNo | mbYes, &seen), mrOk);
        EXPECT_EQ(seen.title, c.title);
        EXPECT_EQ(seen.message, "本文");
        EXPECT_EQ(seen.buttons,
                  (std::vector<std::string>{"はい(&Y)", "いいえ(&N)", "OK", "キャンセル"}));
    }
    SeenDialog seen;
    EXPECT_EQ(show(press("いいえ(&N)"), "質問", TMsgDlgType::mtConfirmation, mbYes | mbNo, &seen),
              mrNo);
    EXPECT_EQ(seen.buttons, (std::vector<std::string>{"はい(&Y)", "いいえ(&N)"}));
    EXPECT_EQ(show(press("はい(&Y)"), "質問", TMsgDlgType::mtConfirmation, mbYes | mbNo), mrYes);
    EXPECT_EQ(show(press("キャンセル"), "x", TMsgDlgType::mtWarning, mbOK | mbCancel), mrCancel);
}

TEST(MessageDialog, EnterPressesTheDefaultAndEscapeTheEscapeButton) {
    auto key = [](WPARAM vk) { return [vk](HWND dialog) { pressKey(dialog, vk); }; };
    EXPECT_EQ(show(key(VK_RETURN), "q", TMsgDlgType::mtConfirmation, mbYes | mbNo), mrYes);
    EXPECT_EQ(show(key(VK_ESCAPE), "q", TMsgDlgType::mtConfirmation, mbYes | mbNo), mrNo);
    EXPECT_EQ(show(key(VK_RETURN), "m", TMsgDlgType::mtInformation, mbOK), mrOk);
    EXPECT_EQ(show(key(VK_ESCAPE), "m", TMsgDlgType::mtWarning, mbOK), mrOk);
    EXPECT_EQ(show(key(VK_RETURN), "m", TMsgDlgType::mtWarning, mbYes | mbOK | mbCancel), mrOk);
    EXPECT_EQ(show(key(VK_ESCAPE), "m", TMsgDlgType::mtWarning, mbYes | mbNo | mbCancel), mrCancel);
    // The close box counts as Escape.
    auto closeBox = [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); };
    EXPECT_EQ(show(closeBox, "q", TMsgDlgType::mtConfirmation, mbYes | mbNo), mrNo);
}

TEST(MessageDialog, AccessKeysPressTheirButtons) {
    auto alt = [](char letter) {
        return [letter](HWND dialog) { pressKey(dialog, letter, true); };
    };
    EXPECT_EQ(show(alt('n'), "q", TMsgDlgType::mtConfirmation, mbYes | mbNo), mrNo);
    EXPECT_EQ(show(alt('y'), "q", TMsgDlgType::mtConfirmation, mbYes | mbNo), mrYes);
    // An ampersand in the text (a name from the machine) is no access key; Escape
    // comes after, in case the key went elsewhere.
    auto altThenEscape = [](HWND dialog) {
        pressKey(dialog, 'n', true);
        pressKey(dialog, VK_ESCAPE);
    };
    EXPECT_EQ(
        show(altThenEscape, "C:\\&new\\a.dll", TMsgDlgType::mtWarning, mbYes | mbNo | mbCancel),
        mrNo);
}

TEST(MessageDialog, IconAndTextAreCentredAgainstEachOther) {
    SeenDialog one;
    show(press("OK"), "更新しました。ご確認ください。", TMsgDlgType::mtInformation, mbOK, &one);
    int iconHeight = one.icon.bottom - one.icon.top;
    int labelHeight = one.label.bottom - one.label.top;
    EXPECT_EQ(iconHeight, 32);
    ASSERT_LT(labelHeight, 32);
    EXPECT_EQ(one.label.top - one.icon.top, (32 - labelHeight) / 2);
    EXPECT_GT(one.label.left, one.icon.right); // text to the right of the icon

    SeenDialog four;
    show(press("OK"), "一行目\r\n二行目\r\n三行目\r\n四行目", TMsgDlgType::mtWarning, mbOK, &four);
    labelHeight = four.label.bottom - four.label.top;
    ASSERT_GT(labelHeight, 32);
    EXPECT_EQ(four.label.top, one.icon.top); // the label stays where it was
    EXPECT_EQ(four.icon.top - four.label.top, (labelHeight - 32) / 2);
}

TEST(MessageDialog, TheOwnerIsDisabledWhileItIsOpen) {
    HWND owner = CreateWindowA("STATIC", "owner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
    SetDialogOwner(owner);
    bool enabledWhileOpen = true;
    show(
        [&](HWND dialog) {
            enabledWhileOpen = IsWindowEnabled(owner);
            pressButton(dialog, "OK");
        },
        "m", TMsgDlgType::mtInformation, mbOK);
    EXPECT_FALSE(enabledWhileOpen);
    EXPECT_TRUE(IsWindowEnabled(owner));
    SetDialogOwner(nullptr);
    DestroyWindow(owner);
}

} // namespace
