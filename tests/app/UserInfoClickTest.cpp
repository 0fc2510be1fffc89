#include "app/Elevate.h"
#include "app/MainWindow.h"
#include "office/OfficeKeys.h"

#include "office/UserInfo.h"
#include "sysinfo/Account.h"
#include "sysinfo/Registry.h"
#include "tests/sample/SampleMachine.h"
#include "sysinfo/Text.h"
#include "tests/support/Dialogs.h"
#include "tests/support/Fixtures.h"
#include "tests/support/Processes.h"
#include "tests/support/ScratchKey.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// The Office page of the program built on the sample machine.
class UserInfoClickTest : public testing::Test {
  protected:
    UserInfoClickTest() {
        sample::Lay(sample::Standard());
        restart();
    }
    ~UserInfoClickTest() override {
        form.reset();
        sample::Remove();
    }

    std::unique_ptr<app::MainWindow> form;
    ui::TEdit& field(const char* name) { return *form->Find<ui::TEdit>(name); }
    // The program started again on the machine as it now is, Office page shown.
    void restart() {
        form = std::make_unique<app::MainWindow>();
        if (!form->PagesBuilt())
            form->BuildPages();
        form->GLB_Menu->SetItemIndex(0);
        form->GLB_MenuClick(*form->GLB_Menu);
    }

    // Clicks the update button and returns the outcome dialog as shown.
    SeenDialog click() {
        DialogAnswer answer(press("OK"));
        SendMessageA(form->Office()->BB_UserInfo->Handle(), BM_CLICK, 0, 0);
        EXPECT_TRUE(answer.answered());
        return answer.seen();
    }
    static std::string initialsIn(const std::string& profileKey) {
        std::string text;
        kel::ReadRegWideString(HKEY_USERS, profileKey, "UserInitials", text);
        return text;
    }
};

TEST_F(UserInfoClickTest, FieldLabelsAreCentredOnTheirEditsBandAtTheHeightOfTheirText) {
    int w = form->Find<ui::TGroupBox>("GB_Office")->Width();
    int top = 21;
    for (const char* name : {"MsoCompany", "MsoOwner", "MsoInitials", "MsoProductID"}) {
        ui::TEdit& edit = field((std::string("ED_") + name).c_str());
        EXPECT_EQ(edit.Left(), w - 290) << name;
        EXPECT_EQ(edit.Height(), 20) << name;
        EXPECT_GE(edit.Top(), top) << name;
        top = edit.Top() + 20;
        ui::TLabel& label = *form->Find<ui::TLabel>(std::string("LL_") + name);
        ui::WindowDc dc(nullptr);
        ui::SelectGuard font(dc.get(), label.FontHandle());
        std::string text = label.Caption();
        SIZE size = {};
        GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
        ASSERT_GT(size.cy, 8) << name;
        ASSERT_LT(size.cy, 20) << name;
        EXPECT_EQ(label.Left(), 12) << name;
        EXPECT_EQ(label.Top(), edit.Top() + (20 - size.cy) / 2) << name;
        EXPECT_EQ(label.Left() + label.Width(), w - 290 - 4) << name; // 4 before its field
        EXPECT_EQ(label.Height(), size.cy) << name;
    }
}

// Without administrator rights the registrations and the default profile are
// written by "wexdal.exe /userinfo ..." started elevated (here without the prompt),
// the user's own settings by the window; a declined prompt changes and says nothing.
TEST_F(UserInfoClickTest, WithoutRightsTheMachinesPlacesAreWrittenByTheElevatedCommand) {
    static std::wstring asked;
    struct Seams {
        decltype(kel::gProcessElevated) elevated = kel::gProcessElevated;
        decltype(app::gStartElevated) start = app::gStartElevated;
        ~Seams() {
            kel::gProcessElevated = elevated;
            app::gStartElevated = start;
        }
    } seams;
    kel::gProcessElevated = [] { return false; };
    EXPECT_FALSE(form->Office()->BB_UserInfo->Shielded()) << "the window with rights";
    restart(); // without them
    EXPECT_TRUE(form->Office()->BB_UserInfo->Shielded());
    app::gStartElevated = [](HWND, const std::wstring& parameters) {
        asked = parameters;
        app::TElevatedStart start;
        start.process.reset(startDetached(wexdalPath(), parameters));
        return start;
    };
    const std::string company = "@新 \"会社\"　名"; // "@": no file's name to the command
    field("ED_MsoCompany").SetCaption(company);
    EXPECT_EQ(click().message, "更新しました。ご確認ください。");
    EXPECT_EQ(asked.rfind(L"/userinfo \"Company=", 0), 0u) << kel::WideToAnsi(asked);
    std::string registered;
    kel::ReadRegString(HKEY_LOCAL_MACHINE, kel::UninstallEntryKey(sample::OfficeXP().code),
                       "RegCompany", registered);
    EXPECT_EQ(registered, company);

    app::gStartElevated = [](HWND, const std::wstring&) {
        app::TElevatedStart start;
        start.declined = true;
        return start;
    };
    field("ED_MsoCompany").SetCaption("断られた会社");
    DialogAnswer answer(press("OK"));
    SendMessageA(form->Office()->BB_UserInfo->Handle(), BM_CLICK, 0, 0);
    EXPECT_FALSE(answer.answered());
    kel::ReadRegString(HKEY_LOCAL_MACHINE, kel::UninstallEntryKey(sample::OfficeXP().code),
                       "RegCompany", registered);
    EXPECT_EQ(registered, company);
    std::string own;
    kel::ReadRegWideString(HKEY_CURRENT_USER,
                           "\\Software\\Microsoft\\Office\\10.0\\Common\\UserInfo", "Company", own);
    EXPECT_EQ(own, company) << "the user's own settings untouched too";
}

// The fields one edits in the system's window colour; only the read-only product ID
// in the page's colour.
TEST_F(UserInfoClickTest, EditableFieldsTakeTheWindowColourTheProductIdThePages) {
    HWND page = form->Find<ui::TGroupBox>("GB_Office")->Handle();
    ui::WindowDc dc(nullptr);
    const std::pair<const char*, int> fields[] = {{"ED_MsoCompany", COLOR_WINDOW},
                                                  {"ED_MsoOwner", COLOR_WINDOW},
                                                  {"ED_MsoInitials", COLOR_WINDOW},
                                                  {"ED_MsoProductID", COLOR_BTNFACE}};
    for (const auto& [name, colour] : fields) {
        UINT message = colour == COLOR_WINDOW ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
        SetBkColor(dc.get(), RGB(1, 2, 3));
        SendMessageA(page, message, reinterpret_cast<WPARAM>(dc.get()),
                     reinterpret_cast<LPARAM>(field(name).Handle()));
        EXPECT_EQ(GetBkColor(dc.get()), GetSysColor(colour)) << name;
    }
}

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

// The fields' byte limits (104, 52, 9) limit typing only: a registered company
// longer than its field is shown whole, and an update without an edit writes
// nothing, so the company is never cut in the registry.
TEST_F(UserInfoClickTest, ALongRegisteredCompanyIsShownWholeAndNotCut) {
    form.reset();
    std::string company;
    for (int i = 0; i < 60; ++i)
        company += "株";
    std::string uninstall = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    putString(HKEY_LOCAL_MACHINE, uninstall + "\\" + sample::OfficeXP().code, "RegCompany",
              company);
    Tree machine = snapshot(HKEY_LOCAL_MACHINE, uninstall);
    Tree user = snapshot(HKEY_CURRENT_USER, "\\Software\\Microsoft\\Office");
    restart();

    ui::TEdit& edit = field("ED_MsoCompany");
    EXPECT_EQ(edit.Caption(), company);
    SeenDialog seen = click();
    EXPECT_EQ(seen.message, "変更されていません。");
    EXPECT_EQ(snapshot(HKEY_LOCAL_MACHINE, uninstall), machine);
    EXPECT_EQ(snapshot(HKEY_CURRENT_USER, "\\Software\\Microsoft\\Office"), user);

    // Typing at the end of the over-long text adds nothing; deleting still works.
    SendMessageA(edit.Handle(), EM_SETSEL, 60, 60);
    SendMessageA(edit.Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("X"));
    EXPECT_EQ(edit.Caption(), company);
    SendMessageA(edit.Handle(), EM_SETSEL, 0, 1);
    SendMessageA(edit.Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(""));
    EXPECT_EQ(edit.Caption(), company.substr(2));
}

TEST_F(UserInfoClickTest, BlankFieldsAreStoredAsAFullWidthSpaceAndShownEmpty) {
    field("ED_MsoCompany").SetCaption(" 株式会社　新見本 ");
    field("ED_MsoInitials").SetCaption("　 　");
    SeenDialog seen = click();
    EXPECT_EQ(seen.title, "情報");
    EXPECT_EQ(seen.message, "更新しました。ご確認ください。");
    EXPECT_EQ(field("ED_MsoCompany").Caption(), "株式会社　新見本");
    EXPECT_EQ(field("ED_MsoInitials").Caption(), "");
    EXPECT_EQ(initialsIn(std::string("\\") + kel::CurrentUserSid() +
                         "\\Software\\Microsoft\\Office\\11.0\\Common\\UserInfo"),
              "　");
    EXPECT_EQ(initialsIn(std::string("\\") + sample::kSecondProfile +
                         "\\Software\\Microsoft\\Office\\11.0\\Common\\UserInfo"),
              "HS")
        << "another signed-in user's";
    EXPECT_EQ(form->InfoBefore().Lines,
              (std::vector<std::string>{"Company=株式会社　新見本", "Owner=山田 太郎"}));
    EXPECT_TRUE(form->InfoBefore() == form->InfoAfter());
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
    EXPECT_EQ(form->InfoAfter().Value("Initials"), "AB");
    EXPECT_EQ(form->InfoBefore().Value("Initials"), "YT"); // what it held before
}

// The primary version's settings and the registrations take the edit; the other
// version's settings refuse it. The read-back alone would agree.
TEST_F(UserInfoClickTest, AWriteRefusedInOneProfileIsReportedAsFailed) {
    std::string refusing = std::string("\\") + kel::CurrentUserSid() +
                           "\\Software\\Microsoft\\Office\\11.0\\Common\\UserInfo";
    setKeySecurity(HKEY_USERS, refusing, "D:P(A;;KR;;;WD)");
    field("ED_MsoInitials").SetCaption("AB");
    SeenDialog seen = click();
    setKeySecurity(HKEY_USERS, refusing, "D:P(A;;KA;;;WD)");
    EXPECT_EQ(seen.message, "更新出来ませんでした。");
    EXPECT_EQ(form->InfoBefore().Value("Initials"), "AB");
    EXPECT_NE(initialsIn(refusing), "AB");
}

// A registered company with a character code page 932 has no code for is shown in
// its best-fit form; an update of the owner leaves the stored company as it was.
TEST_F(UserInfoClickTest, AnUneditedCompanyThatDoesNotConvertExactlyIsNotWrittenBack) {
    form.reset();
    std::wstring entry = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    for (char c : sample::OfficeXP().code)
        entry += static_cast<wchar_t>(c);
    putWideString(HKEY_LOCAL_MACHINE, entry, L"RegCompany", L"\u898B\u672C\xD83D\xDE00");
    Tree stored = wideSnapshot(HKEY_LOCAL_MACHINE, entry);
    restart();

    std::string shown = field("ED_MsoCompany").Caption();
    EXPECT_EQ(click().message, "変更されていません。");
    field("ED_MsoOwner").SetCaption("鈴木 一郎");
    SeenDialog seen = click();
    EXPECT_EQ(seen.message, "更新しました。ご確認ください。");
    EXPECT_EQ(wideSnapshot(HKEY_LOCAL_MACHINE, entry).values.at(L"RegCompany"),
              stored.values.at(L"RegCompany"));
    EXPECT_EQ(field("ED_MsoCompany").Caption(), shown);
}

// Initials read in a best-fit form of blanks only (as a no-break space shows on
// Windows) are shown as read and marked. An update of the owner leaves them as
// stored: the field was not retyped.
TEST_F(UserInfoClickTest, AMarkedFieldOfBlanksIsNotWrittenUnlessRetyped) {
    for (kel::TUserInfoList* list : {&form->InfoBefore(), &form->InfoAfter()}) {
        list->SetValue("Initials", "　 　");
        list->SetApproximate("Initials", true);
    }
    field("ED_MsoInitials").SetCaption(form->InfoAfter().Shown("Initials"));
    std::string profile = std::string("\\") + sample::kSecondProfile +
                          "\\Software\\Microsoft\\Office\\11.0\\Common\\UserInfo";
    std::string current = "\\Software\\Microsoft\\Office\\10.0\\Common\\UserInfo";
    std::string stored = initialsIn(profile);
    ASSERT_NE(stored, "");
    Tree user = snapshot(HKEY_CURRENT_USER, current);

    field("ED_MsoOwner").SetCaption("鈴木 一郎");
    SeenDialog seen = click();
    EXPECT_EQ(seen.message, "更新しました。ご確認ください。"); // the initials as read back
    EXPECT_EQ(field("ED_MsoInitials").Caption(), "YT");
    EXPECT_EQ(initialsIn(profile), stored);
    EXPECT_EQ(snapshot(HKEY_CURRENT_USER, current).values.at(L"UserInitials"),
              user.values.at(L"UserInitials"));
}

// Three places: the current user has no initials, so the user's own profile is
// walked, and its Office 2003 company, which code page 932 does not carry, is
// shown (marked) over the registered one. Only the initials are edited and
// written; the read-back then finds them at the current user's Office XP settings
// and takes the registered company. The company was not touched: the update
// succeeded.
TEST_F(UserInfoClickTest, AnUnwrittenMarkedCompanyTakesTheReadBack) {
    form.reset();
    for (const char* version : {"10.0", "11.0"})
        (void)kel::DeleteRegValue(HKEY_CURRENT_USER,
                                  std::string("\\Software\\Microsoft\\Office\\") + version +
                                      "\\Common\\UserInfo",
                                  "UserInitials");
    std::string profile =
        "\\" + kel::CurrentUserSid() + "\\Software\\Microsoft\\Office\\11.0\\Common\\UserInfo";
    putValue(HKEY_USERS, profile, "Company", REG_BINARY,
             Bytes{0x8B, 0x89, 0x2C, 0x67, 0x3D, 0xD8, 0, 0xDE, 0, 0});
    Tree stored = snapshot(HKEY_USERS, profile);
    restart();
    ASSERT_TRUE(form->InfoBefore().IsApproximate("Company"));
    std::string registered;
    kel::ReadRegString(HKEY_LOCAL_MACHINE,
                       "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" +
                           sample::OfficeXP().code,
                       "RegCompany", registered);
    ASSERT_NE(field("ED_MsoCompany").Caption(), registered);

    field("ED_MsoInitials").SetCaption("AB");
    SeenDialog seen = click();
    EXPECT_EQ(seen.message, "更新しました。ご確認ください。");
    EXPECT_EQ(field("ED_MsoCompany").Caption(), registered);
    EXPECT_EQ(snapshot(HKEY_USERS, profile).values.at(L"Company"), stored.values.at(L"Company"));
    EXPECT_EQ(initialsIn(profile), "AB");
    EXPECT_EQ(click().message, "変更されていません。");
}

} // namespace
