// The inventory and the user information on today's Office: Microsoft 365 Apps by
// Click-to-Run (64-bit) and Office 2016 by Windows Installer (32-bit).
#include "office/InstallerProducts.h"
#include "office/ClickToRunRules.h"
#include "office/OfficeInfo.h"
#include "office/ProcessSurvey.h"
#include "office/UserInfo.h"
#include "sysinfo/FileSystem.h"
#include "sysinfo/RegKey.h"
#include "sysinfo/Registry.h"
#include "tests/sample/ModernMachine.h"
#include "tests/sample/SampleMachine.h"
#include "tests/support/Fixtures.h"
#include "tests/support/Processes.h"
#include "tests/support/ScratchKey.h"
#include "tests/support/RowView.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

using namespace kel;
using namespace testing_support;

namespace {

const std::string kUninstall = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kConfiguration = "\\SOFTWARE\\Microsoft\\Office\\ClickToRun\\Configuration";
const std::string kCommon = "\\Software\\Microsoft\\Office\\Common\\UserInfo";

TProductLine m365Line() {
    return MakeProductLine(16, "", sample::kM365DisplayName, sample::kM365Version, "",
                           sample::M365Folder(), RegView::Bits64);
}

// Writes or deletes a value of the Click-to-Run configuration (64-bit view).
void setConfiguration(const char* name, const char* value) {
    RegKey key;
    ASSERT_EQ(
        key.open(HKEY_LOCAL_MACHINE, kConfiguration.substr(1), KEY_ALL_ACCESS | KEY_WOW64_64KEY),
        ERROR_SUCCESS);
    if (value == nullptr)
        RegDeleteValueA(key.get(), name);
    else
        RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>(std::strlen(value) + 1));
}

class ModernOfficeTest : public testing::Test {
  protected:
    ~ModernOfficeTest() override { sample::Remove(); }

    static std::string text(HKEY root, const std::string& key, const char* name) {
        std::string value;
        return ReadRegString(root, key, name, value) == 0 ? value : "<missing>";
    }
};

TEST_F(ModernOfficeTest, ClickToRunGivesOneLineWithItsProgramFolder) {
    sample::LayM365();
    ProductLines lines;
    EXPECT_EQ(ListOfficeProducts(lines), 0);
    EXPECT_EQ(lines, ProductLines{m365Line()});
    EXPECT_TRUE(FileExists(sample::M365Folder() + "EXCEL.EXE"));

    TKelOfficeInfo info;
    ASSERT_EQ(DetectOffice(info), 0);
    EXPECT_EQ(info.Product.ProductName, sample::kM365DisplayName);
    EXPECT_EQ(info.Product.ProductVersion, sample::kM365Version);
    EXPECT_EQ(info.Product.MajorVersion, "16.0");
    EXPECT_EQ(info.InstallPath, sample::M365Folder());
    EXPECT_EQ(info.GUID, "");
    EXPECT_EQ(info.SID, "");
    EXPECT_EQ(info.ProductID, kUnknownProductId);
    EXPECT_NE(info.Dump().find("VerList[↓]\r\n" + m365Line().Text() + "\r\nXlsInfo[↓]"),
              std::string::npos);

    // A registration left behind by a removed Windows Installer Office lends the
    // Click-to-Run product no product ID.
    sample::LayTextInView(sizeof(void*) == 8 ? "HKLM64" : "HKLM32",
                          "\\SOFTWARE\\Microsoft\\Office\\16.0\\Registration\\" +
                              std::string(sample::kOffice2016Code),
                          "ProductID", sample::kOffice2016ProductId);
    ASSERT_EQ(DetectOffice(info), 0);
    EXPECT_EQ(info.ProductID, kUnknownProductId);
}

TEST_F(ModernOfficeTest, ClickToRunNeedsItsEntryItsFolderAndASuite) {
    sample::LayM365();
    ProductLines lines;

    // Another culture's entry serves when the installation's culture has none.
    setConfiguration("ClientCulture", "en-us");
    EXPECT_EQ(ListOfficeProducts(lines), 0);
    EXPECT_EQ(lines.size(), 1u);

    // Without VersionToReport the entry's version gives the major version.
    setConfiguration("VersionToReport", nullptr);
    ListOfficeProducts(lines);
    EXPECT_EQ(lines, ProductLines{m365Line()});

    // A product that holds none of the programs gives no line, even with an entry.
    setConfiguration("ProductReleaseIds", "VisioProRetail");
    EXPECT_EQ(ListOfficeProducts(lines), -1);

    // A suite without its Uninstall entry gives no line.
    setConfiguration("ProductReleaseIds", "ProPlus2021Volume");
    EXPECT_EQ(ListOfficeProducts(lines), -1);

    // A program folder without Excel, Outlook and Word gives no line.
    setConfiguration("ProductReleaseIds", " O365ProPlusRetail ,VisioProRetail");
    EXPECT_EQ(ListOfficeProducts(lines), 0);
    setConfiguration("InstallationPath", "C:\\wexdal-tests\\nowhere");
    EXPECT_EQ(ListOfficeProducts(lines), -1);
}

TEST_F(ModernOfficeTest, Office2016ByWindowsInstallerIsFoundWithItsProductId) {
    sample::LayOffice2016();
    ProductLines lines;
    EXPECT_EQ(ListOfficeProducts(lines), 0);
    ASSERT_EQ(lines.size(), 1u) << "the setup's visible entry is not named by a code";
    EXPECT_EQ(lines[0].version, "16.0");
    EXPECT_EQ(lines[0].code, sample::kOffice2016Code);
    EXPECT_EQ(lines[0].installRoot, sample::Office2016Folder());

    TKelOfficeInfo info;
    ASSERT_EQ(DetectOffice(info), 0);
    EXPECT_EQ(info.Product.ProductName, sample::kOffice2016DisplayName);
    EXPECT_EQ(info.Product.ProductVersion, sample::kOffice2016Version);
    EXPECT_EQ(info.InstallPath, sample::Office2016Folder());
    EXPECT_EQ(info.GUID, sample::kOffice2016Code);
    EXPECT_EQ(info.SID, PackProductCode(sample::kOffice2016Code));
    EXPECT_EQ(info.ProductID, sample::kOffice2016ProductId);

    // Without the registration's ID, the installer's own data (64-bit view) has it.
    const std::string registration =
        std::string("\\SOFTWARE\\Microsoft\\Office\\16.0\\Registration\\") +
        sample::kOffice2016Code;
    RegKey key;
    ASSERT_EQ(
        key.open(HKEY_LOCAL_MACHINE, registration.substr(1), KEY_ALL_ACCESS | KEY_WOW64_32KEY),
        ERROR_SUCCESS);
    RegDeleteValueA(key.get(), "ProductID");
    key.close();
    EXPECT_EQ(WriteRegString(HKEY_LOCAL_MACHINE, InstallPropertiesKey("S-1-5-18", info.SID),
                             "ProductID", "INSTALLER-ID", RegView::Bits64),
              0);
    ASSERT_EQ(DetectOffice(info), 0);
    EXPECT_EQ(info.ProductID, "INSTALLER-ID");
}

// The suite is the primary product of every install kind: hidden language,
// proofing and shared parts give no line beside it, a single application of the
// same installation follows it.
TEST_F(ModernOfficeTest, EveryInstallKindHasItsSuiteAsThePrimaryProduct) {
    const std::map<std::string, StringList> otherNames = {
        {"--ltsc2021", {"Microsoft Access LTSC 2021 - ja-jp"}},
    };
    for (const sample::ModernMachine& machine : sample::kModernMachines) {
        SCOPED_TRACE(machine.option);
        machine.lay();
        TKelOfficeInfo info;
        ASSERT_EQ(DetectOffice(info), 0);
        EXPECT_EQ(info.Product.ProductName, machine.displayName);
        EXPECT_EQ(info.Product.ProductVersion, machine.version);
        EXPECT_EQ(info.ProductID, *machine.productId ? machine.productId : kUnknownProductId);
        EXPECT_EQ(info.InstallPath, machine.folder());
        StringList names;
        for (const TProductLine& line : info.VerList)
            names.push_back(line.name);
        StringList expected = {machine.displayName};
        if (otherNames.count(machine.option))
            for (const std::string& name : otherNames.at(machine.option))
                expected.push_back(name);
        EXPECT_EQ(names, expected);
        sample::Remove();
    }
}

// A hidden suite is known by its registration, or else by its setup's shown entry
// of the same name; with neither, every entry of its version gives a line as before.
TEST_F(ModernOfficeTest, AHiddenSuiteIsKnownByItsRegistrationOrItsSetupsEntry) {
    sample::LayOffice2010();
    const std::string setup = kUninstall + "Office14.PERSONAL";
    const std::string registration =
        std::string("SOFTWARE\\Microsoft\\Office\\14.0\\Registration\\") + sample::kOffice2010Code;
    auto names = [] {
        ProductLines lines;
        StringList result;
        ListOfficeProducts(lines);
        for (const TProductLine& line : lines)
            result.push_back(line.name);
        return result;
    };
    const StringList suite = {sample::kOffice2010DisplayName};

    EXPECT_EQ(WriteRegString(HKEY_LOCAL_MACHINE, setup, "DisplayName", "Office", RegView::Bits32),
              0);
    EXPECT_EQ(names(), suite) << "the registration alone";
    ASSERT_EQ(RegDeleteKeyExA(HKEY_LOCAL_MACHINE, registration.c_str(), KEY_WOW64_32KEY, 0),
              ERROR_SUCCESS);
    StringList all = names();
    EXPECT_EQ(all.size(), 9u);
    EXPECT_EQ(all.front(), "Microsoft Office Excel MUI (Japanese) 2010");
    EXPECT_EQ(WriteRegString(HKEY_LOCAL_MACHINE, setup, "DisplayName",
                             sample::kOffice2010DisplayName, RegView::Bits32),
              0);
    EXPECT_EQ(names(), suite) << "the setup's entry alone";
}

TEST_F(ModernOfficeTest, UserInformationComesFromTheCommonKey) {
    sample::LayM365();
    TKelOfficeInfo info;
    ASSERT_EQ(DetectOffice(info), 0);
    TUserInfoList read;
    EXPECT_EQ(ReadUserInfo(info, read), 0);
    EXPECT_EQ(read.Lines, (std::vector<std::string>{"Company=株式会社　見本", "Owner=山田 太郎",
                                                    "Initials=YT"}));

    // Without the current user's key, the default profile's serves, never another
    // signed-in user's.
    removeTree(HKEY_CURRENT_USER, kCommon);
    TUserInfoList fromProfiles;
    ReadUserInfo(info, fromProfiles);
    EXPECT_EQ(fromProfiles.Lines,
              (std::vector<std::string>{std::string("Company=") + sample::kDefaultCompany,
                                        std::string("Owner=") + sample::kDefaultOwner,
                                        std::string("Initials=") + sample::kDefaultInitials}));
}

TEST_F(ModernOfficeTest, WritingReachesTheOwnAndDefaultCommonKeysAndNothingElse) {
    sample::LayM365();
    TKelOfficeInfo info;
    ASSERT_EQ(DetectOffice(info), 0);
    const std::string defaults = std::string("\\") + sample::kDefaultProfile + kCommon;
    const std::string another = std::string("\\") + sample::kSecondProfile;
    Tree uninstallBefore = snapshot(HKEY_LOCAL_MACHINE, kUninstall);
    Tree anotherBefore = snapshot(HKEY_USERS, another);

    TUserInfoList edited;
    edited.SetValue("Company", "新しい会社");
    edited.SetValue("Owner", "鈴木 一郎");
    EXPECT_EQ(WriteUserInfo(info, edited), 0);
    EXPECT_EQ(text(HKEY_CURRENT_USER, kCommon, "Company"), "新しい会社");
    EXPECT_EQ(text(HKEY_CURRENT_USER, kCommon, "UserName"), "鈴木 一郎");
    EXPECT_EQ(text(HKEY_CURRENT_USER, kCommon, "UserInitials"), "　");
    EXPECT_EQ(text(HKEY_USERS, defaults, "UserName"), "鈴木 一郎");
    EXPECT_EQ(snapshot(HKEY_USERS, another), anotherBefore) << "another signed-in user's";
    TUserInfoList back;
    ReadUserInfo(info, back);
    EXPECT_EQ(back, edited);

    // No product code: nothing is written at the Uninstall key or its entries.
    EXPECT_EQ(snapshot(HKEY_LOCAL_MACHINE, kUninstall), uninstallBefore);
    EXPECT_FALSE(valueExists(HKEY_LOCAL_MACHINE, kUninstall, "RegCompany"));

    // A profile without the common key gets none.
    removeTree(HKEY_USERS, defaults);
    WriteUserInfo(info, edited);
    EXPECT_FALSE(keyExists(HKEY_USERS, defaults));
}

// The product registration is read and written in the view that holds it (the
// 32-bit view, whichever bitness the program has).
TEST_F(ModernOfficeTest, Office2016UserInformationIsReadAndWrittenBack) {
    sample::LayOffice2016();
    TKelOfficeInfo info;
    ASSERT_EQ(DetectOffice(info), 0);
    const std::string entry = kUninstall + sample::kOffice2016Code;
    auto registered = [&](const char* name) {
        std::string value;
        return ReadRegString(HKEY_LOCAL_MACHINE, entry, name, value, RegView::Bits32) == 0
                   ? value
                   : "<missing>";
    };
    RegKey key;
    ASSERT_EQ(key.open(HKEY_LOCAL_MACHINE, entry.substr(1), KEY_ALL_ACCESS | KEY_WOW64_32KEY),
              ERROR_SUCCESS);
    const char company[] = "登録の会社";
    RegSetValueExA(key.get(), "RegCompany", 0, REG_SZ, reinterpret_cast<const BYTE*>(company),
                   sizeof company);
    key.close();

    TUserInfoList read;
    ReadUserInfo(info, read);
    EXPECT_EQ(read.Lines,
              (std::vector<std::string>{"Company=登録の会社", "Owner=山田 太郎", "Initials=YT"}));
    TUserInfoList edited = read;
    edited.SetValue("Company", "新しい会社");
    edited.SetValue("Initials", "SI");
    WriteUserInfo(info, edited);
    EXPECT_EQ(registered("RegCompany"), "新しい会社");
    EXPECT_EQ(registered("RegOwner"), "山田 太郎");
    std::string installed;
    ReadRegString(HKEY_LOCAL_MACHINE, InstallPropertiesKey("S-1-5-18", info.SID), "RegCompany",
                  installed, RegView::Bits64);
    EXPECT_EQ(installed, "新しい会社") << "the installer's own data, in the 64-bit view";
    EXPECT_EQ(text(HKEY_CURRENT_USER, kCommon, "Company"), "新しい会社");
    EXPECT_EQ(text(HKEY_CURRENT_USER, kCommon, "UserInitials"), "SI");
    TUserInfoList back;
    ReadUserInfo(info, back);
    EXPECT_EQ(back, edited);
}

// 64-bit Office runs 64-bit programs; the survey and the termination reach them.
TEST(ModernOfficeProcesses, SixtyFourBitProgramsAreSurveyedAndTerminated) {
    if (!FileExists(fixturePath("m365x64")))
        GTEST_SKIP() << "no 64-bit fixture: the 64-bit MinGW-w64 compiler is missing";
    ScratchFolder folder("C:\\wexdal-tests\\survey64");
    installFixture("m365x64", folder.file("EXCEL.EXE"));
    testing_support::RowView form;
    TKelExtInfo excel;
    excel.FileName = folder.file("EXCEL.EXE");
    excel.ViewName = "Excel";
    ChildProcess running(excel.FileName);
    ProcessIds ids;
    ASSERT_TRUE(eventually([&] {
        RefreshRunningState(form, excel, ids, "XlsProcess");
        return !ids.empty();
    }));
    EXPECT_EQ(ids, ProcessIds{running.id()});
    EXPECT_TRUE(form.rows["XlsProcess"].running);
    TerminateProcesses(ids, "EXCEL.EXE");
    EXPECT_TRUE(running.endsWithin(5000));
    RefreshRunningState(form, excel, ids, "XlsProcess");
    EXPECT_TRUE(ids.empty());
}

} // namespace
