#include "app/Unit1.h"

#include "tests/support/Dialogs.h"
#include "tests/support/ScratchKey.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// An action that ends with a registry error: switching scripts off where a script
// class holds a sub-key that can't be read, so that it can't be set aside.
TEST(ActionButton, ARegistryErrorEndsTheActionWithEverythingRestored) {
    ScratchKey locked(HKEY_CLASSES_ROOT, "\\AAWexdalTest.Locked");
    putString(HKEY_CLASSES_ROOT, locked.sub("Shell\\Open\\Command"), "", "wscript.exe \"%1\"");
    makeKey(HKEY_CLASSES_ROOT, locked.sub("Secret"));
    setKeySecurity(HKEY_CLASSES_ROOT, locked.sub("Secret"), "D:P(D;;KR;;;WD)(A;;KA;;;WD)");

    app::TForm1 form;
    ui::TSpeedButton& button = form.Create<ui::TSpeedButton>("SB_EmlWsh0", form.GB_About->Handle());
    form.GLB_Menu->AddItem("About");
    form.GLB_Menu->SetItemIndex(0);
    form.Timer1->SetEnabled(true);

    bool pageEnabled = false, panelShown = true, timerOn = false;
    {
        DialogAnswer answer([&](HWND dialog) {
            pageEnabled = form.GB_About->Enabled();
            panelShown = form.PL_Wait->Visible();
            timerOn = form.Timer1->Enabled();
            pressButton(dialog, "OK");
        });
        form.ActionButtonClick(button);
        EXPECT_EQ(answer.seen().title, "エラー");
        EXPECT_EQ(answer.seen().message, "'AAWexdalTest.Locked\\Secret' の取得に失敗しました");
    }
    EXPECT_TRUE(pageEnabled);
    EXPECT_FALSE(panelShown);
    EXPECT_TRUE(timerOn);
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, "\\AAWexdalTest.Locked.SymantecDisabled"));
    setKeySecurity(HKEY_CLASSES_ROOT, locked.sub("Secret"), "D:P(A;;KA;;;WD)");
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, locked.sub("Secret"))); // nothing lost
}

TEST(ActionButton, TheTimerKeepsItsStateAndTheWaitPanelHidesBeforeTheMessage) {
    app::TForm1 form;
    ui::TSpeedButton& button = form.Create<ui::TSpeedButton>("SB_EmlWshX", form.GB_About->Handle());
    form.GLB_Menu->AddItem("About");
    form.GLB_Menu->SetItemIndex(0);
    form.Timer1->SetEnabled(false);
    bool panelShown = true;
    DialogAnswer answer([&](HWND dialog) {
        panelShown = form.PL_Wait->Visible();
        pressButton(dialog, "OK");
    });
    form.ActionButtonClick(button); // a name of no action: the switch did not succeed
    EXPECT_EQ(answer.seen().message, "更新出来ませんでした。");
    EXPECT_FALSE(panelShown);
    EXPECT_FALSE(form.Timer1->Enabled());
    EXPECT_TRUE(form.GB_About->Enabled());
}

} // namespace
