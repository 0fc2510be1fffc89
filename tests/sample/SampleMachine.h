// A complete, plausible Office installation laid into the test prefix's registry
// (32-bit view) and file system, and removed again. Everything it creates is
// recorded in the registry, so that removal deletes exactly that and nothing the
// prefix held before.
#pragma once

#include <string>
#include <vector>

namespace sample {

struct Product {
    int major;        // 11 for Office 2003, 10 for Office XP
    std::string code; // the Uninstall entry's name
    std::string displayName;
    std::string displayVersion; // empty: no DisplayVersion value
    std::string productId;      // empty: no ProductID value in the Uninstall entry
    std::string fixture;        // fixture variant of its programs
};

struct Options {
    std::vector<Product> products; // newest first is not required
    int componentMajor = 10;       // OfficeCompatible.Application's version; 0: none
    bool outlookExpress = false;   // .eml opens msimn.exe rather than OUTLOOK.EXE
    bool secondProfile = true;     // another signed-in user's profile under HKEY_USERS
    bool defaultProfile = false;   // Office settings in ".DEFAULT" as well
    bool registrationIds = false;  // ProductIDs under ...\Office\V\Registration\{code}
    bool installerIds = false;     // ProductIDs in the installer's user data
    bool hostile = false;          // the untrusted data of HostileFacts below
    int extraClasses = 0;          // more classes in HKCR: half extensions, half file classes
};

// Office 2003 and Office XP with product IDs in their Uninstall entries, the
// component at XP, one more loaded profile.
Options Standard();
Product Office2003();
Product OfficeXP();

const char kSecondProfile[] = "S-1-5-21-1004336348-1177238915-682003330-1001";
const char kDefaultProfile[] = ".DEFAULT";
// The settings of the default profile, where the sample lays them.
const char kDefaultCompany[] = "既定の会社";
const char kDefaultOwner[] = "既定 利用者";
const char kDefaultInitials[] = "KT";
// Windows Installer's users with the products' data: the machine, the bench's own
// account and another user (kSecondProfile) with a per-user installation.
std::vector<std::string> InstallerUsers();

// The install root of a version: ProgramFilesDir + "\Microsoft Office\OFFICE<n>\".
std::string InstallRoot(int major);
std::string OutlookExpressPath();

// The hostile variant: names with yen signs and look-alikes in %TEMP% and the
// Excel toolbar folder with files beside them that must survive; empty, non-string
// and yen-named document classes; a registered company longer than its field; key
// names over 255 bytes in code page 932; values of the wrong type and of 1 MB; keys
// that deny reading under the Office keys; kHostileClasses extra classes.
constexpr int kHostileClasses = 10000;

// The files of the hostile variant that no repair may touch.
std::vector<std::wstring> HostileSurvivors();

void Lay(const Options& options);
// Removes what Lay recorded; safe to call when nothing was laid.
void Remove();

} // namespace sample
