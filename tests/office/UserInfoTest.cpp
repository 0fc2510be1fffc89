#include "office/UserInfo.h"

#include "office/InstallerProducts.h"
#include "sysinfo/Registry.h"
#include "sysinfo/TextRules.h"
#include "tests/support/RegistrySeams.h"
#include "tests/sample/SampleMachine.h"
#include "tests/support/ScratchKey.h"

#include <gtest/gtest.h>

using namespace kel;
using namespace testing_support;

namespace {

const std::string kUninstall = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The sample machine: Office 2003 and XP (XP primary), with settings for both
// versions at the current user, in the default profile and in another signed-in
// user's profile.
class UserInfoTest : public testing::Test {
  protected:
    TKelOfficeInfo info;
    std::vector<std::string> profiles;

    UserInfoTest() {
        sample::Options options = sample::Standard();
        options.defaultProfile = true;
        sample::Lay(options);
        DetectOffice(info);
        for (const std::string& user : platformSubKeyNames(HKEY_USERS, ""))
            if (keyExists(HKEY_USERS, "\\" + user + "\\Software\\Microsoft\\Office\\11.0"))
                profiles.push_back(user);
    }
    ~UserInfoTest() override { sample::Remove(); }

    // The default profile's name as the registry lists it (".DEFAULT" or ".Default").
    std::string defaultProfile() const {
        for (const std::string& profile : profiles)
            if (AsciiLower(profile) == ".default")
                return profile;
        return sample::kDefaultProfile;
    }
    static std::string settings(const std::string& profile, const char* version) {
        return "\\" + profile + "\\Software\\Microsoft\\Office\\" + version + "\\Common\\UserInfo";
    }
    static std::string wide(HKEY root, const std::string& key, const char* name) {
        std::string text;
        return ReadRegWideString(root, key, name, text) == 0 ? text : "<missing>";
    }
    static std::string text(HKEY root, const std::string& key, const char* name,
                            RegView view = RegView::Program) {
        std::string value;
        return ReadRegString(root, key, name, value, view) == 0 ? value : "<missing>";
    }
    static TUserInfoList list(std::initializer_list<std::pair<const char*, const char*>> values) {
        TUserInfoList result;
        for (const auto& [name, value] : values)
            result.SetValue(name, value);
        return result;
    }
};

TEST_F(UserInfoTest, ReadsRegistrationFirstThenTheCurrentUsersSettings) {
    ASSERT_EQ(profiles.size(), 3u) << "the current user, the default and another user's profile";
    TUserInfoList read;
    EXPECT_EQ(ReadUserInfo(info, read), 0);
    EXPECT_EQ(read.Lines, (std::vector<std::string>{"Company=株式会社　見本", "Owner=山田 太郎",
                                                    "Initials=YT"}));

    // The settings' company is not consulted while the registration has one.
    EXPECT_EQ(WriteRegWideString(HKEY_CURRENT_USER,
                                 "\\Software\\Microsoft\\Office\\10.0\\Common\\UserInfo", "Company",
                                 "別会社"),
              0);
    (void)DeleteRegValue(HKEY_LOCAL_MACHINE, kUninstall + info.GUID, "RegOwner");
    EXPECT_EQ(WriteRegWideString(HKEY_CURRENT_USER,
                                 "\\Software\\Microsoft\\Office\\10.0\\Common\\UserInfo",
                                 "UserName", "  鈴木 一郎  "),
              0);
    TUserInfoList again;
    ReadUserInfo(info, again);
    EXPECT_EQ(again.Value("Company"), "株式会社　見本");
    EXPECT_EQ(again.Value("Owner"), "鈴木 一郎"); // trimmed
}

// A name missing from the current user's keys is sought in the user's own profile
// and the default one, never in another signed-in user's; the default profile only
// gives the names the user's own places lack.
TEST_F(UserInfoTest, AMissingNameIsSoughtInTheOwnAndDefaultProfilesNeverAnotherUsers) {
    std::string current = "\\Software\\Microsoft\\Office\\10.0\\Common\\UserInfo";
    (void)DeleteRegValue(HKEY_CURRENT_USER, current, "UserInitials");
    for (const std::string& profile : profiles) {
        (void)DeleteRegValue(HKEY_USERS, settings(profile, "10.0"), "UserInitials");
        (void)DeleteRegValue(HKEY_USERS, settings(profile, "11.0"), "UserInitials");
    }
    EXPECT_EQ(WriteRegWideString(HKEY_USERS, settings(sample::kSecondProfile, "11.0"),
                                 "UserInitials", "HS"),
              0);
    TUserInfoList read;
    read.SetValue("Initials", "kept");
    ReadUserInfo(info, read);
    EXPECT_EQ(read.Value("Initials"), "kept") << "names no source yields keep what they had";
    EXPECT_EQ(read.Value("Company"), "株式会社　見本") << "the default's never replaces the own";
    EXPECT_EQ(read.Value("Owner"), "山田 太郎");

    EXPECT_EQ(
        WriteRegWideString(HKEY_USERS, settings(defaultProfile(), "11.0"), "UserInitials", "DF"),
        0);
    TUserInfoList fromDefault;
    ReadUserInfo(info, fromDefault);
    EXPECT_EQ(fromDefault.Lines, (std::vector<std::string>{"Company=株式会社　見本",
                                                           "Owner=山田 太郎", "Initials=DF"}));
}

// Every place of every version is written, but never another signed-in user's.
TEST_F(UserInfoTest, WritesEveryPlaceOfEveryVersionAndProfile) {
    putString(HKEY_CURRENT_USER, "\\Software\\Microsoft\\Office\\11.0\\Excel\\UserInfo", "UserInfo",
              "cached");
    putString(HKEY_CURRENT_USER, "\\Software\\Microsoft\\Office\\11.0\\Common\\UserInfo",
              "UserInfo", "cached");
    std::vector<std::string> entryValues =
        platformValueNames(HKEY_LOCAL_MACHINE, kUninstall + sample::Office2003().code);
    EXPECT_EQ(WriteUserInfo(
                  info, list({{"Company", "新会社"}, {"Owner", "新 使用者"}, {"Initials", "NU"}})),
              0);

    for (const sample::Product& product : {sample::Office2003(), sample::OfficeXP()}) {
        std::string entry = kUninstall + product.code;
        EXPECT_EQ(text(HKEY_LOCAL_MACHINE, entry, "RegCompany"), "新会社");
        EXPECT_EQ(text(HKEY_LOCAL_MACHINE, entry, "RegOwner"), "新 使用者");
        // The machine's and the own account's installer data; another user's
        // per-user installation keeps its name.
        for (const std::string& user : sample::InstallerUsers()) {
            std::string properties = InstallPropertiesKey(user, PackProductCode(product.code));
            bool another = user == sample::kSecondProfile;
            EXPECT_EQ(text(HKEY_LOCAL_MACHINE, properties, "RegCompany", RegView::Bits64),
                      another ? "株式会社　見本" : "新会社")
                << user;
            EXPECT_EQ(text(HKEY_LOCAL_MACHINE, properties, "RegOwner", RegView::Bits64),
                      another ? "山田 太郎" : "新 使用者");
        }
        // Initials go to the settings only: no value is added here.
        EXPECT_EQ(platformValueNames(HKEY_LOCAL_MACHINE, entry).size(), entryValues.size());
    }
    for (const std::string& profile : profiles) {
        bool another = profile == sample::kSecondProfile;
        for (const char* version : {"10.0", "11.0"}) {
            EXPECT_EQ(wide(HKEY_USERS, settings(profile, version), "Company"),
                      another ? "見本商事" : "新会社")
                << profile;
            EXPECT_EQ(wide(HKEY_USERS, settings(profile, version), "UserName"),
                      another ? "佐藤 花子" : "新 使用者");
            EXPECT_EQ(wide(HKEY_USERS, settings(profile, version), "UserInitials"),
                      another ? "HS" : "NU");
        }
    }
    EXPECT_EQ(profiles.size(), 3u) << "the own, the default and another user's profile";
    EXPECT_FALSE(valueExists(HKEY_CURRENT_USER,
                             "\\Software\\Microsoft\\Office\\11.0\\Excel\\UserInfo", "UserInfo"));
    EXPECT_FALSE(valueExists(HKEY_CURRENT_USER,
                             "\\Software\\Microsoft\\Office\\11.0\\Common\\UserInfo", "UserInfo"));
    EXPECT_FALSE(valueExists(HKEY_CURRENT_USER, "\\Software\\Microsoft\\Office\\11.0\\Word\\Data",
                             "Settings"));
}

TEST_F(UserInfoTest, BlanksAreStoredAsAFullWidthSpaceAndReadBackEmpty) {
    WriteUserInfo(info, list({{"Company", "株式会社　見本"}, {"Owner", "山田 太郎"}}));
    EXPECT_EQ(wide(HKEY_CURRENT_USER, "\\Software\\Microsoft\\Office\\10.0\\Common\\UserInfo",
                   "UserInitials"),
              "　");
    TUserInfoList read;
    read.SetValue("Initials", "old");
    ReadUserInfo(info, read);
    EXPECT_EQ(read.Lines, (std::vector<std::string>{"Company=株式会社　見本", "Owner=山田 太郎"}));
}

TEST_F(UserInfoTest, NoKeyIsEverCreated) {
    const std::string office =
        "\\" + std::string(sample::kDefaultProfile) + "\\Software\\Microsoft\\Office\\10.0";
    removeTree(HKEY_USERS, office);
    Tree another = snapshot(HKEY_USERS, "\\" + std::string(sample::kSecondProfile));
    EXPECT_EQ(WriteUserInfo(info, list({{"Company", "c"}, {"Owner", "o"}, {"Initials", "i"}})), 0);
    EXPECT_FALSE(keyExists(HKEY_USERS, office));
    EXPECT_EQ(snapshot(HKEY_USERS, "\\" + std::string(sample::kSecondProfile)), another);
}

// The keys removed just before their first write, as if gone since they were found.
std::vector<std::pair<HKEY, std::string>> gVanishing;

// A key that goes away after it was found (a profile unloaded, an entry removed)
// is not created again by its write: that write fails and the update says so.
TEST_F(UserInfoTest, AKeyGoneBeforeItsWriteIsNotCreatedAgain) {
    std::string profile = settings(defaultProfile(), "11.0");
    std::string registration = kUninstall + info.GUID;
    gVanishing = {{HKEY_USERS, profile}, {HKEY_LOCAL_MACHINE, registration}};
    testing_support::gBeforeRegWriteOpen = [](HKEY root, const std::string& keyPath) {
        for (auto it = gVanishing.begin(); it != gVanishing.end(); ++it)
            if (it->first == root && it->second == keyPath) {
                removeTree(root, keyPath);
                gVanishing.erase(it);
                return;
            }
    };
    int status = WriteUserInfo(info, list({{"Company", "c"}, {"Owner", "o"}, {"Initials", "i"}}));
    testing_support::gBeforeRegWriteOpen = nullptr;
    EXPECT_TRUE(gVanishing.empty()) << "every key was about to be written";
    EXPECT_EQ(status, -1);
    EXPECT_FALSE(keyExists(HKEY_USERS, profile));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, registration));
    EXPECT_EQ(wide(HKEY_USERS, settings(sample::kDefaultProfile, "10.0"), "Company"), "c");
}

TEST_F(UserInfoTest, APlaceThatRefusesTheWriteFailsTheUpdateAndTheOthersAreWritten) {
    std::string refusing = settings(sample::kDefaultProfile, "11.0");
    setKeySecurity(HKEY_USERS, refusing, "D:P(A;;KR;;;WD)");
    EXPECT_EQ(WriteUserInfo(info, list({{"Company", "c"}, {"Owner", "o"}, {"Initials", "i"}})), -1);
    setKeySecurity(HKEY_USERS, refusing, "D:P(A;;KA;;;WD)");
    EXPECT_EQ(wide(HKEY_USERS, refusing, "Company"), sample::kDefaultCompany);
    EXPECT_EQ(wide(HKEY_USERS, settings(sample::kDefaultProfile, "10.0"), "Company"), "c");
    EXPECT_EQ(text(HKEY_LOCAL_MACHINE, kUninstall + info.GUID, "RegCompany"), "c");

    // A company too long for the settings' buffer reaches the registrations only.
    EXPECT_EQ(
        WriteUserInfo(info, list({{"Company", std::string(300, 'c').c_str()}, {"Owner", "o"}})),
        -1);
    EXPECT_EQ(text(HKEY_LOCAL_MACHINE, kUninstall + info.GUID, "RegCompany"),
              std::string(300, 'c'));
}

// Values with characters code page 932 has no code for: an emoji (a surrogate pair)
// in the registered company, a yen sign in the second profile's user name.
TEST_F(UserInfoTest, AValueThatDoesNotConvertExactlyIsMarkedAndNeverWrittenBack) {
    const std::wstring company = L"\u898B\u672C\xD83D\xDE00\u5546\u4E8B"; // 見本😀商事
    std::wstring entry =
        std::wstring(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") +
        std::wstring(info.GUID.begin(), info.GUID.end());
    putWideString(HKEY_LOCAL_MACHINE, entry, L"RegCompany", company);
    TUserInfoList read;
    ReadUserInfo(info, read);
    EXPECT_TRUE(read.IsApproximate("Company"));
    EXPECT_FALSE(read.IsApproximate("Owner"));
    EXPECT_NE(read.Value("Company"), "");

    // Only the owner is edited: the company is left as stored everywhere.
    Tree registration = wideSnapshot(HKEY_LOCAL_MACHINE, entry);
    std::string secondCompany =
        wide(HKEY_USERS, settings(sample::kSecondProfile, "11.0"), "Company");
    TUserInfoList edited = read;
    edited.SetValue("Owner", "新 使用者");
    EXPECT_EQ(WriteUserInfo(info, edited), 0);
    EXPECT_EQ(wideSnapshot(HKEY_LOCAL_MACHINE, entry).values.at(L"RegCompany"),
              registration.values.at(L"RegCompany"));
    EXPECT_EQ(wide(HKEY_USERS, settings(sample::kSecondProfile, "11.0"), "Company"), secondCompany);
    EXPECT_EQ(text(HKEY_LOCAL_MACHINE, kUninstall + info.GUID, "RegOwner"), "新 使用者");
    TUserInfoList back = read;
    ReadUserInfo(info, back);
    EXPECT_TRUE(back == edited);

    // A company typed anew is written everywhere.
    edited.SetValue("Company", "新会社");
    EXPECT_EQ(WriteUserInfo(info, edited), 0);
    EXPECT_EQ(text(HKEY_LOCAL_MACHINE, kUninstall + info.GUID, "RegCompany"), "新会社");
    ReadUserInfo(info, back);
    EXPECT_FALSE(back.IsApproximate("Company"));

    // A best-fit look-alike is no exact value either: the yen sign shows as a backslash.
    (void)DeleteRegValue(HKEY_LOCAL_MACHINE, kUninstall + info.GUID, "RegOwner");
    putValue(HKEY_CURRENT_USER, "\\Software\\Microsoft\\Office\\10.0\\Common\\UserInfo", "UserName",
             REG_BINARY, Bytes{'a', 0, 0xA5, 0, 0, 0});
    ReadUserInfo(info, back);
    EXPECT_TRUE(back.IsApproximate("Owner"));
}

} // namespace
