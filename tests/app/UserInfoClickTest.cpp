#include "app/Unit1.h"

#include "office/UserInfo.h"
#include "sysinfo/Registry.h"
#include "tests/sample/SampleMachine.h"
#include "tests/support/Dialogs.h"
#include "tests/support/ScratchKey.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// The Office page of the program built on the sample machine.
class UserInfoClickTest : public testing::Test {
  protected:
    UserInfoClickTest() {
        sample::Lay(sample::Standard());
        form = std::make_unique<app::TForm1>();
        if (!app::gPagesBuilt)
            form->BuildPages();
        form->GLB_Menu->SetItemIndex(0);
        form->GLB_MenuClick(*form->GLB_Menu);
    }
    ~UserInfoClickTest() override {
        form.reset();
        sample::Remove();
    }

    std::unique_ptr<app::TForm1> form;
    ui::TEdit& field(const char* name) { return *form->Find<ui::TEdit>(name); }

    // Clicks the update button and returns the outcome dialog as shown.
    SeenDialog click() {
        DialogAnswer answer(press("OK"));
        SendMessageA(form->BB_UserInfo->Handle(), BM_CLICK, 0, 0);
        EXPECT_TRUE(answer.answered());
        return answer.seen();
    }
    static std::string initialsIn(const std::string& profileKey) {
        std::string text;
        kel::ReadRegWideString(HKEY_USERS, profileKey, "UserInitials", text);
        return text;
    }
};

TEST_F(UserInfoClickTest, UnchangedFieldsWriteNothing) {
    EXPECT_EQ(field("ED_MsoCompany").Caption(), "株式会社　見本");
    EXPECT_EQ(field("ED_MsoInitials").Caption(), "YT");
    EXPECT_EQ(field("ED_MsoProductID").Caption(), sample::OfficeXP().productId);
    Tree before =
        snapshot(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    SeenDialog seen = click();
    EXPECT_EQ(seen.title, "警告");
    EXPECT_EQ(seen.message, "変更されていません。");
    EXPECT_EQ(
        snapshot(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"),
        before);
}

TEST_F(UserInfoClickTest, BlankFieldsAreStoredAsAFullWidthSpaceAndShownEmpty) {
    field("ED_MsoCompany").SetCaption(" 株式会社　新見本 ");
    field("ED_MsoInitials").SetCaption("　 　");
    SeenDialog seen = click();
    EXPECT_EQ(seen.title, "情報");
    EXPECT_EQ(seen.message, "更新しました。ご確認ください。");
    EXPECT_EQ(field("ED_MsoCompany").Caption(), "株式会社　新見本");
    EXPECT_EQ(field("ED_MsoInitials").Caption(), "");
    EXPECT_EQ(initialsIn(std::string("\\") + sample::kSecondProfile +
                         "\\Software\\Microsoft\\Office\\11.0\\Common\\UserInfo"),
              "　");
    EXPECT_EQ(kel::gsInfoBefore->Lines,
              (std::vector<std::string>{"Company=株式会社　新見本", "Owner=山田 太郎"}));
    EXPECT_TRUE(*kel::gsInfoBefore == *kel::gsInfoAfter);
}

TEST_F(UserInfoClickTest, InitialsWithNowhereToGoFail) {
    for (const std::string& user : platformSubKeyNames(HKEY_USERS, ""))
        for (const char* version : {"10.0", "11.0"})
            removeTree(HKEY_USERS, "\\" + user + "\\Software\\Microsoft\\Office\\" + version +
                                       "\\Common\\UserInfo");
    field("ED_MsoInitials").SetCaption("AB");
    SeenDialog seen = click();
    EXPECT_EQ(seen.title, "警告");
    EXPECT_EQ(seen.message, "更新出来ませんでした。");
    EXPECT_EQ(kel::gsInfoAfter->Value("Initials"), "AB");
    EXPECT_EQ(kel::gsInfoBefore->Value("Initials"), "YT"); // what it held before
}

} // namespace
