#include "office/ClickToRunRules.h"
#include "office/VerList.h"

#include <gtest/gtest.h>

#include <iterator>
#include <utility>

using namespace kel;

namespace {

TEST(ClickToRunRules, ReleaseIdsEntriesAndVersions) {
    EXPECT_EQ(SplitReleaseIds(" O365ProPlusRetail,,VisioProRetail ,"),
              (std::vector<std::string>{"O365ProPlusRetail", "VisioProRetail"}));
    EXPECT_TRUE(SplitReleaseIds("").empty());

    const std::pair<const char*, ReleaseKind> kinds[] = {
        {"O365ProPlusRetail", ReleaseKind::Suite},
        {"HomeBusiness2019Retail", ReleaseKind::Suite},
        {"HomeBusinessPipcRetail", ReleaseKind::Suite},
        {"standard2021volume", ReleaseKind::Suite},
        {"ProfessionalRetail", ReleaseKind::Suite},
        {"PersonalRetail", ReleaseKind::Suite},
        {"ExcelRetail", ReleaseKind::Application},
        {"OneNoteFreeRetail", ReleaseKind::Application},
        {"AccessRetail", ReleaseKind::Application},
        {"visioproretail", ReleaseKind::Other},
        {"ProjectPro2021Volume", ReleaseKind::Other},
        {"LanguagePack", ReleaseKind::Other},
        {"AccessRuntimeRetail", ReleaseKind::Other},
        {"", ReleaseKind::Other},
    };
    for (const auto& [id, kind] : kinds)
        EXPECT_EQ(ReleaseKindOf(id), kind) << id;

    EXPECT_TRUE(IsReleaseEntryName("O365ProPlusRetail", "O365ProPlusRetail - ja-jp"));
    EXPECT_TRUE(IsReleaseEntryName("O365ProPlusRetail", "o365proplusretail - en-us"));
    EXPECT_FALSE(IsReleaseEntryName("O365ProPlusRetail", "O365ProPlusRetail - "));
    EXPECT_FALSE(IsReleaseEntryName("O365ProPlus", "O365ProPlusRetail - ja-jp"));
    EXPECT_FALSE(IsReleaseEntryName("O365ProPlusRetail", "O365ProPlusRetail"));
    EXPECT_FALSE(IsReleaseEntryName("", " - ja-jp"));
    EXPECT_EQ(EntryCulture("O365ProPlusRetail - ja-jp"), "ja-jp");
    EXPECT_EQ(EntryCulture("{90160000-0011-0000-0000-0000000FF1CE}"), "");

    EXPECT_EQ(VersionMajorNumber("16.0.17029.20108"), 16);
    EXPECT_EQ(VersionMajorNumber("16"), 16);
    EXPECT_EQ(VersionMajorNumber(".0"), -1);
    EXPECT_EQ(VersionMajorNumber(""), -1);
    EXPECT_EQ(VersionMajorNumber("99999999999.0"), -1);

    EXPECT_EQ(ClickToRunProgramFolder("C:\\Program Files\\Microsoft Office", 16),
              "C:\\Program Files\\Microsoft Office\\root\\Office16\\");
    EXPECT_EQ(ClickToRunProgramFolder("C:\\Office\\\\", 16), "C:\\Office\\root\\Office16\\");
    // "表" ends with the byte of a backslash; it stays whole.
    EXPECT_EQ(ClickToRunProgramFolder("C:\\表", 16), "C:\\表\\root\\Office16\\");
    EXPECT_EQ(MakeProductLine(16, "", "Name", "16.0.1", "", "C:\\O\\").Text(),
              "16.0\t\tName\t16.0.1\t\tC:\\O\\");

    // The client where the configuration names it, else beside Office 2013's folder.
    const std::wstring shared = L"C:\\Program Files\\Common Files\\Microsoft Shared\\ClickToRun";
    using Programs = std::vector<std::wstring>;
    EXPECT_EQ(ClickToRunClientPrograms(shared + L"\\", L"C:\\Office", false),
              Programs{shared + L"\\OfficeC2RClient.exe"});
    EXPECT_EQ(ClickToRunClientPrograms(shared, L"C:\\Office 15", true),
              Programs{shared + L"\\OfficeC2RClient.exe"});
    EXPECT_EQ(ClickToRunClientPrograms(L"", L"C:\\Office 15\\", true),
              (Programs{L"C:\\Office 15\\ClientX64\\OfficeC2RClient.exe",
                        L"C:\\Office 15\\ClientX86\\OfficeC2RClient.exe"}));
    EXPECT_EQ(ClickToRunClientPrograms(L"", L"C:\\Office", false), Programs{});
    EXPECT_EQ(ClickToRunClientPrograms(L"\\", L"", true), Programs{});
    // A folder that is no full plain path is taken for none.
    EXPECT_EQ(ClickToRunClientPrograms(L"ClickToRun", L"C:\\Office 15", true),
              (Programs{L"C:\\Office 15\\ClientX64\\OfficeC2RClient.exe",
                        L"C:\\Office 15\\ClientX86\\OfficeC2RClient.exe"}));
    EXPECT_EQ(ClickToRunClientPrograms(L"C:\\A\\..\\B", L"..\\Office", true), Programs{});
    const std::pair<const wchar_t*, bool> paths[] = {
        {L"C:\\Program Files\\ClickToRun", true},
        {L"d:\\", true},
        {L"\\\\?\\C:\\Office", true},
        {L"\\\\server\\share\\ClickToRun", true},
        {L"C:\\Office\\a..b\\.", true},
        {L"", false},
        {L"ClickToRun", false},
        {L"C:ClickToRun", false},
        {L"C:/Office", false},
        {L"\\Office", false},
        {L"\\\\\\share", false},
        {L"\\\\server", false},
        {L"\\\\.\\pipe\\x", false},
        {L"1:\\Office", false},
        {L"C:\\Office\\..\\Windows", false},
        {L"C:\\Office\\..", false},
        {L"C:\\Office/../Windows", false},
        {L"C:\\Office\\...\\x", false},
    };
    for (size_t i = 0; i < std::size(paths); ++i)
        EXPECT_EQ(IsFullPlainPath(paths[i].first), paths[i].second) << "path " << i;
}

} // namespace
