// The information report: the memo's text and the JSON document from one
// gathering, on the sample machine.
#include "app/Report.h"
#include "repair/Actions.h"
#include "app/MainWindow.h"
#include "repair/BrowserIntegration.h"
#include "repair/OfficeSwitches.h"
#include "sysinfo/Text.h"
#include "tests/app/Pages.h"
#include "tests/sample/SampleMachine.h"
#include "tests/support/Processes.h"
#include "tests/support/ReportFacts.h"

#include "sysinfo/WebPage.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace testing_support;

namespace {

std::string utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

TEST(ReportText, ConvertsCodePage932ExactlyAndNeverBreaksUtf8) {
    EXPECT_EQ(app::Utf8FromCp932("株式会社　見本"), utf8(u8"株式会社　見本"));
    // Windows' own mapping of 932: the wave dash is the full-width tilde, 0x5C the
    // backslash, half-width katakana stay half-width.
    EXPECT_EQ(app::Utf8FromCp932("\x81\x60\x5C\xB6\xC5"), utf8(u8"～\\ｶﾅ"));
    EXPECT_EQ(app::Utf8FromCp932(""), "");
    // Bytes that are no character of 932: Windows' table maps the single bytes 0x80,
    // 0xA0 and 0xFD to 0xFF to U+0080 and private-use characters, and a lead byte
    // without a trail byte or an unassigned pair to U+30FB.
    const std::pair<const char*, std::string> hostile[] = {
        {"\x81", utf8(u8"\u30FB")},           {"a\x81", utf8(u8"a\u30FB")},
        {"\xFF\xFE", utf8(u8"\uF8F3\uF8F2")}, {"\x80\xA0\xFD", "\xC2\x80" + utf8(u8"\uF8F0\uF8F1")},
        {"\x81\x7F", utf8(u8"\u30FB")}, // a lead byte takes any byte after it
        {"\x85\x40", utf8(u8"\u30FB")},
    };
    for (const auto& [bytes, expected] : hostile) {
        std::string converted = app::Utf8FromCp932(bytes);
        EXPECT_EQ(converted, expected) << bytes;
        EXPECT_NO_THROW(parseJson("\"" + converted + "\"")) << bytes;
    }
}

class ReportTest : public testing::Test {
  protected:
    ReportTest() { sample::Lay(sample::Standard()); }
    ~ReportTest() override { sample::Remove(); }

    // The switches of the JSON: null exactly where the window, every page shown, has
    // no row, but for the rows of Windows' own settings, which every PC answers.
    static JsonValue switchesBesideTheWindow() {
        app::MainWindow form;
        form.BuildPages();
        testing_support::ShowEveryPage(form);
        JsonValue switches = parseJson(app::JsonReport(app::GatherReportFacts()))["Switches"];
        for (const auto& [row, state] : switches.members) {
            bool built = form.Find<ui::TSpeedButton>("SB_" + row + "1") != nullptr;
            bool windows = kel::FindAction(row)->subject == kel::TSubject::Windows;
            EXPECT_EQ(state.kind == JsonValue::Null, !built && !windows) << row;
        }
        return switches;
    }
};

TEST_F(ReportTest, JsonHoldsTheMemosFactsTheProcessesAndEverySwitch) {
    ChildProcess excel(sample::InstallRoot(10) + "EXCEL.EXE");
    app::TReportFacts facts = app::GatherReportFacts();
    EXPECT_TRUE(facts.officeFound);
    MemoFacts memo = readMemo(app::InformationReport(facts.info, facts.userInfo));
    EXPECT_EQ(memo.fields["ProductID"], sample::OfficeXP().productId);
    EXPECT_EQ(memo.userInfo, (std::vector<std::string>{"Company=株式会社　見本", "Owner=山田 太郎",
                                                       "Initials=YT"}));
    JsonValue json = parseJson(app::JsonReport(facts));
    EXPECT_EQ(compareFacts(memo, json), std::vector<std::string>{});
    EXPECT_TRUE(json["OfficeFound"].boolean);
    EXPECT_EQ(json["UserInfo"]["Company"].text, utf8(u8"株式会社　見本"));
    // Office XP and 2003 are updated from the page alone; the memo does not say so.
    EXPECT_EQ(memo.fields.count("MsoUpdate"), 0u);
    const JsonValue& update = json["MsoUpdate"];
    ASSERT_EQ(update.items.size(), 1u);
    EXPECT_EQ(update.items[0]["Kind"].text, "page");
    EXPECT_EQ(update.items[0]["Target"].text, kel::kOfficeUpdateUrl);

    const JsonValue& excelIds = json["XlsProcessIds"];
    ASSERT_EQ(excelIds.items.size(), 1u);
    EXPECT_EQ(excelIds.items[0].number, static_cast<double>(excel.id()));
    EXPECT_TRUE(json["DocProcessIds"].items.empty());
    EXPECT_TRUE(json["PptProcessIds"].items.empty());

    const JsonValue& switches = json["Switches"];
    std::vector<std::string> rows;
    for (const auto& [row, state] : switches.members)
        rows.push_back(row);
    // Every switch of the table, in its order (tests/report_json.sh holds the schema's
    // golden list).
    std::vector<std::string> table;
    for (const kel::TAction& row : kel::kActions)
        if (row.IsSwitch())
            table.push_back(row.row);
    EXPECT_EQ(rows, table);
    // BrowserFlags 8 on the sample's Excel class; the others as the getters read them.
    EXPECT_EQ(switches["XlsBrowser"].number, 0);
    EXPECT_EQ(switches["DocBrowser"].number, kel::GetBrowserIntegration("doc"));
    EXPECT_EQ(switches["MsoClip"].number, kel::GetOfficeClipboard(facts.info));
    kel::SetBrowserIntegration("xls", 1);
    EXPECT_EQ(parseJson(app::JsonReport(app::GatherReportFacts()))["Switches"]["XlsBrowser"].number,
              1);
    for (const auto& [row, state] : switchesBesideTheWindow().members)
        EXPECT_EQ(state.kind, JsonValue::Number) << row;
}

TEST_F(ReportTest, WithoutOfficeTheReportStillHasEveryMember) {
    sample::Remove();
    sample::Options options;
    options.products.clear();
    options.componentMajor = 0;
    sample::Lay(options);
    app::TReportFacts facts = app::GatherReportFacts();
    EXPECT_FALSE(facts.officeFound);
    std::string text = app::InformationReport(facts.info, facts.userInfo);
    EXPECT_TRUE(text.ends_with("↑-- TKelOfficeInfo --↑\r\n↓-- gsInfoBefore --↓\r\n")) << text;
    JsonValue json = parseJson(app::JsonReport(facts));
    EXPECT_EQ(compareFacts(readMemo(text), json), std::vector<std::string>{});
    EXPECT_FALSE(json["OfficeFound"].boolean);
    EXPECT_TRUE(json["VerList"].items.empty());
    EXPECT_EQ(
        json["Switches"].members.size(),
        static_cast<size_t>(std::count_if(kel::kActions.begin(), kel::kActions.end(),
                                          [](const kel::TAction& row) { return row.IsSwitch(); })));
    JsonValue switches = switchesBesideTheWindow();
    for (const kel::TAction& row : kel::kActions) {
        if (!row.IsSwitch())
            continue;
        bool windows = row.subject == kel::TSubject::Windows;
        EXPECT_EQ(switches[row.row].kind, windows ? JsonValue::Number : JsonValue::Null) << row.row;
    }
}

// Quotes, backslashes, control characters, line breaks and characters outside code
// page 932 in the registry: the JSON stays valid and holds the value exactly, and the
// memo holds it on its one line.
TEST_F(ReportTest, AwkwardRegistryTextKeepsTheJsonValid) {
    std::string entry =
        "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + sample::OfficeXP().code;
    std::wstring company = L"\"引用\"\\と\x01\x1f\t制御\r\nOwner=偽\n\r\u20AC\U0001F600";
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kel::AnsiToWide(entry.substr(1)).c_str(), 0,
                            KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"RegCompany", 0, REG_SZ, reinterpret_cast<const BYTE*>(company.c_str()),
                   static_cast<DWORD>((company.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    app::TReportFacts facts = app::GatherReportFacts();
    std::string text = app::InformationReport(facts.info, facts.userInfo);
    JsonValue json = parseJson(app::JsonReport(facts));
    MemoFacts memo = readMemo(text);
    EXPECT_EQ(compareFacts(memo, json), std::vector<std::string>{});
    EXPECT_EQ(memo.userInfo.size(), 3u);
    EXPECT_NE(text.find("制御  Owner=偽  "), std::string::npos);
    std::string shown = json["UserInfo"]["Company"].text;
    std::string start = "\"" + utf8(u8"引用") + "\"\\" + utf8(u8"と");
    EXPECT_EQ(shown.rfind(start, 0), 0u) << shown;
    EXPECT_NE(shown.find("\x01\x1f\t"), std::string::npos);
    EXPECT_NE(shown.find("\r\nOwner=" + utf8(u8"偽") + "\n\r"), std::string::npos);
}

// The memo of the About page shows exactly the report's text.
TEST_F(ReportTest, TheMemoShowsTheReportText) {
    app::MainWindow form;
    if (!form.PagesBuilt())
        form.BuildPages();
    form.About->BT_InfoClick(*form.About->BT_Info);
    app::TReportFacts facts = app::GatherReportFacts();
    EXPECT_EQ(withoutIconHandles(form.About->MM_Info->Caption()),
              withoutIconHandles(app::InformationReport(facts.info, facts.userInfo)));
}

} // namespace
