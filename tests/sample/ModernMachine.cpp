#include "tests/sample/ModernMachine.h"

#include "office/InstallerProducts.h"
#include "office/OfficeInfo.h"
#include "sysinfo/FileSystem.h"
#include "sysinfo/RegKey.h"
#include "sysinfo/Registry.h"
#include "tests/sample/SampleMachine.h"
#include "tests/support/Fixtures.h"
#include "tests/support/OfficeProgram.h"
#include "tests/support/ScratchKey.h"

#include <windows.h>

#include <stdexcept>

namespace sample {

using namespace testing_support;

const char kM365EntryName[] = "O365ProPlusRetail - ja-jp";
const char kM365DisplayName[] = "Microsoft 365 Apps for enterprise - ja-jp";
const char kM365Version[] = "16.0.17029.20108";
const char kOffice2016Code[] = "{90160000-0011-0000-0000-0000000FF1CE}";
const char kOffice2016DisplayName[] = "Microsoft Office Professional Plus 2016";
const char kOffice2016Version[] = "16.0.4266.1001";
const char kOffice2016ProductId[] = "00339-10000-00000-AA472";
const char kOffice2010Code[] = "{90140000-0033-0000-0000-0000000FF1CE}";
const char kOffice2010DisplayName[] = "Microsoft Office Personal 2010";
const char kOffice2010Version[] = "14.0.4763.1000";
const char kOffice2010ProductId[] = "02260-018-0000106-48170";
const char kOffice2013DisplayName[] = "Microsoft Office Home and Business 2013 - ja-jp";
const char kOffice2013Version[] = "15.0.4569.1506";
const char kLtsc2021DisplayName[] = "Microsoft Office LTSC Standard 2021 - ja-jp";
const char kLtsc2021Version[] = "16.0.14332.20615";

namespace {

const char kManifest[] = "\\Software\\Wexdal Test Bench\\Modern Sample Machine";
const char kUninstall[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kPowerPointClsid[] = "{64818D10-4F9B-11CF-86EA-00AA00B929E8}";
const char kCompany[] = "株式会社　見本";
const char kOwner[] = "山田 太郎";

// A root in one view, named explicitly so that the machine is the same whichever
// bitness the test programs are built for. HKEY_CURRENT_USER\Software and
// HKEY_USERS are the same in both views.
struct Place {
    const char* name;
    HKEY root;
    REGSAM view;
};
const Place kPlaces[] = {{"HKLM64", HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY},
                         {"HKLM32", HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY},
                         {"HKCR64", HKEY_CLASSES_ROOT, KEY_WOW64_64KEY},
                         {"HKCR32", HKEY_CLASSES_ROOT, KEY_WOW64_32KEY},
                         {"HKCU", HKEY_CURRENT_USER, 0},
                         {"HKU", HKEY_USERS, 0}};

const Place& place(const char* name) {
    for (const Place& p : kPlaces)
        if (std::string(p.name) == name)
            return p;
    throw std::logic_error(name);
}

std::string bare(const std::string& path) {
    return !path.empty() && path[0] == '\\' ? path.substr(1) : path;
}

bool exists(const Place& p, const std::string& path) {
    kel::RegKey key;
    return key.open(p.root, bare(path), KEY_READ | p.view) == ERROR_SUCCESS;
}

void record(const std::string& entry) {
    kel::StringList names = platformValueNames(HKEY_LOCAL_MACHINE, kManifest);
    putString(HKEY_LOCAL_MACHINE, kManifest, std::to_string(names.size()), entry);
}

// Records the top-most key that a write to path creates.
void recordKey(const Place& p, const std::string& path) {
    std::string prefix;
    size_t start = 1;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        prefix = path.substr(0, end);
        if (!exists(p, prefix)) {
            record(std::string(p.name) + "|" + prefix);
            return;
        }
        start = end + 1;
    }
}

void put(const char* where, const std::string& path, const std::string& name, DWORD type,
         const void* data, DWORD size) {
    const Place& p = place(where);
    recordKey(p, path);
    kel::RegKey key;
    if (key.create(p.root, bare(path), KEY_ALL_ACCESS | p.view) != ERROR_SUCCESS ||
        RegSetValueExA(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size) !=
            ERROR_SUCCESS)
        throw std::runtime_error("cannot write " + path);
}

void text(const char* where, const std::string& path, const std::string& name,
          const std::string& value) {
    put(where, path, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void number(const char* where, const std::string& path, const std::string& name, DWORD value) {
    put(where, path, name, REG_DWORD, &value, sizeof value);
}

void removeTree(const Place& p, const std::string& path) {
    kel::RegKey key;
    if (key.open(p.root, bare(path), KEY_ALL_ACCESS | p.view) != ERROR_SUCCESS)
        return;
    RegDeleteTreeA(key.get(), nullptr);
    key.close();
    RegDeleteKeyExA(p.root, bare(path).c_str(), p.view, 0);
}

void program(const std::string& variant, const std::string& path) {
    std::string folder = path.substr(0, path.rfind('\\'));
    std::string prefix = folder.substr(0, 2);
    size_t start = 3;
    while (start <= folder.size()) {
        size_t end = folder.find('\\', start);
        if (end == std::string::npos)
            end = folder.size();
        prefix = folder.substr(0, end);
        if (!kel::DirectoryExists(prefix)) {
            record("FILE|" + prefix);
            break;
        }
        start = end + 1;
    }
    installFixture(variant, path);
    DressAsOfficeProgram(path);
}

// File-type classes live in HKLM\SOFTWARE\Classes, which Windows 7 and later share
// between the views (only CLSID and a few other keys below it are redirected). Wine
// keeps the 32-bit view's classes apart under Wow6432Node, so the bench writes
// them into both views to give the program what it sees on Windows.
void sharedClass(const std::string& path, const std::string& name, const std::string& value) {
    text("HKCR64", path, name, value);
    text("HKCR32", path, name, value);
}

void documentClass(const std::string& extension, const std::string& className,
                   const std::string& command, const std::string& icon) {
    sharedClass("\\." + extension, "", className);
    sharedClass("\\" + className, "", className);
    sharedClass("\\" + className + "\\shell\\Open\\command", "", command);
    sharedClass("\\" + className + "\\DefaultIcon", "", icon);
}

// The PowerPoint show's class and its local server: CLSID is redirected, so the
// server is registered in the view of the Office that installed it.
void powerPointServer(const char* where, const std::string& folder) {
    sharedClass("\\PowerPoint.Show.8\\CLSID", "", kPowerPointClsid);
    text(where, std::string("\\CLSID\\") + kPowerPointClsid + "\\LocalServer32", "",
         folder + "POWERPNT.EXE");
}

void layDocumentClasses(const std::string& folder, const std::string& iconFolder) {
    documentClass("xls", "Excel.Sheet.8", "\"" + folder + "EXCEL.EXE\" /dde",
                  iconFolder + "xlicons.exe,1");
    documentClass("doc", "Word.Document.8", "\"" + folder + "WINWORD.EXE\" /n /dde",
                  iconFolder + "wordicon.exe,1");
    documentClass("ppt", "PowerPoint.Show.8", "\"" + folder + "POWERPNT.EXE\" \"%1\"",
                  iconFolder + "pptico.exe,1");
    documentClass("eml", "Outlook.File.eml.15", "\"" + folder + "OUTLOOK.EXE\" /eml \"%1\"",
                  iconFolder + "outicon.exe,1");
    for (const char* where : {"HKCR64", "HKCR32"})
        for (const char* cls : {"\\Excel.Sheet.8", "\\Word.Document.8"})
            number(where, cls, "BrowserFlags", 8);
}

void layPrograms(const std::string& variant, const std::string& folder,
                 const std::string& iconFolder) {
    for (const char* name : {"EXCEL.EXE", "WINWORD.EXE", "POWERPNT.EXE", "OUTLOOK.EXE"})
        program(variant, folder + name);
    for (const char* name : {"xlicons.exe", "wordicon.exe", "pptico.exe", "outicon.exe"})
        program(variant, iconFolder + name);
}

// Office 2007 and later keep the user information of the current user and of every
// profile in one key for all versions, as REG_SZ values: here the current user's,
// the default profile's and another signed-in user's.
void layUserInformation() {
    const std::string common = "\\Software\\Microsoft\\Office\\Common\\UserInfo";
    text("HKCU", common, "Company", kCompany);
    text("HKCU", common, "UserName", kOwner);
    text("HKCU", common, "UserInitials", "YT");
    const std::string defaults = std::string("\\") + kDefaultProfile + common;
    text("HKU", defaults, "Company", kDefaultCompany);
    text("HKU", defaults, "UserName", kDefaultOwner);
    text("HKU", defaults, "UserInitials", kDefaultInitials);
    const std::string profile = std::string("\\") + kSecondProfile + common;
    text("HKU", profile, "Company", "見本商事");
    text("HKU", profile, "UserName", "佐藤 花子");
    text("HKU", profile, "UserInitials", "HS");
}

// The machine without Office: keyboard layouts and script classes, and nothing of
// the sample's Office.
void layBareMachine() {
    Options options;
    options.componentMajor = 0;
    Lay(options);
}

// A folder named in HKLM "SOFTWARE\Microsoft\Windows\CurrentVersion" of the 64-bit
// view; never empty, so that nothing is laid relative to the current drive.
std::string programFolder(const char* valueName) {
    std::string folder;
    kel::ReadRegString(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                       valueName, folder, kel::RegView::Bits64);
    if (folder.empty())
        throw std::runtime_error(std::string("no ") + valueName);
    return folder;
}

bool has64BitFixture() {
    return kel::FileExists(fixturePath("m365x64"));
}

} // namespace

// 64-bit Windows names both program folders in the 64-bit view; a prefix made by
// 64-bit Wine alone has no 32-bit view of that key at all.
std::string ProgramFiles64() {
    return programFolder("ProgramFilesDir");
}

std::string ProgramFiles32() {
    return programFolder("ProgramFilesDir (x86)");
}

std::string M365Folder() {
    return ProgramFiles64() + "\\Microsoft Office\\root\\Office16\\";
}

std::string Office2016Folder() {
    return ProgramFiles32() + "\\Microsoft Office\\Office16\\";
}

std::string Office2010Folder() {
    return ProgramFiles32() + "\\Microsoft Office\\Office14\\";
}

namespace {

// One release of a Click-to-Run installation and its Uninstall entry.
struct Release {
    std::string id;          // "O365ProPlusRetail"
    std::string displayName; // its entry's, with " - ja-jp"
};

// A Click-to-Run installation as its installer lays it: the configuration and the
// Uninstall entries in the 64-bit view, the programs under
// "<installation>\root\Office<major>\", the classes in the view of the programs'
// bitness, with "Root" spelt as the installer spells it in their commands.
struct ClickToRunInstallation {
    std::string configuration; // the key with ProductReleaseIds
    std::string folderKey;     // the key that names the installation folder
    std::string folderValue;
    std::string installation; // the folder
    int major;
    std::string version;
    std::string platform;          // "x86" or "x64"
    std::vector<Release> releases; // in ProductReleaseIds order
    std::string fixture;
    std::string iconCode; // the product code whose installer folder holds the icons
    bool reportsVersion;  // VersionToReport in the configuration (Office 2016 and later)
};

// Where Office 2016 and later keep the Click-to-Run service and client.
std::string sharedClickToRun() {
    return ProgramFiles64() + "\\Common Files\\Microsoft Shared\\ClickToRun";
}

std::string programFolderOf(const ClickToRunInstallation& c) {
    return c.installation + "\\root\\Office" + std::to_string(c.major) + "\\";
}

// Office 2016 and later tag a release with its major version in the uninstall
// command ("O365ProPlusRetail.16_ja-jp_x-none"); Office 2013 does not.
std::string productVersionTag(int major) {
    return major == 15 ? "" : "." + std::to_string(major);
}

void layClickToRun(const ClickToRunInstallation& c) {
    layBareMachine();
    const std::string folder = programFolderOf(c);
    const std::string icons =
        c.installation + "\\root\\vfs\\Windows\\Installer\\" + c.iconCode + "\\";
    layPrograms(c.fixture, folder, icons);

    std::string ids;
    for (const Release& release : c.releases)
        ids += (ids.empty() ? "" : ",") + release.id;
    text("HKLM64", c.configuration, "ProductReleaseIds", ids);
    text("HKLM64", c.configuration, "Platform", c.platform);
    text("HKLM64", c.folderKey, c.folderValue, c.installation);
    if (c.reportsVersion) {
        text("HKLM64", c.configuration, "VersionToReport", c.version);
        text("HKLM64", c.configuration, "ClientVersionToReport", c.version);
        text("HKLM64", c.configuration, "ClientCulture", "ja-jp");
        text("HKLM64", c.configuration, "ClientFolder", sharedClickToRun());
    }

    const std::string service =
        (c.major == 15 ? c.installation + "\\ClientX64" : sharedClickToRun()) +
        "\\OfficeClickToRun.exe";
    program(c.fixture, service); // what Office's repair runs
    for (const Release& release : c.releases) {
        const std::string entry = kUninstall + release.id + " - ja-jp";
        text("HKLM64", entry, "DisplayName", release.displayName);
        text("HKLM64", entry, "DisplayVersion", c.version);
        text("HKLM64", entry, "InstallLocation", c.installation);
        text("HKLM64", entry, "Publisher", "Microsoft Corporation");
        text("HKLM64", entry, "DisplayIcon", service);
        text("HKLM64", entry, "UninstallString",
             "\"" + service +
                 "\" scenario=install scenariosubtype=ARP sourcetype=None "
                 "productstoremove=" +
                 release.id + productVersionTag(c.major) + "_ja-jp_x-none culture=ja-jp");
        number("HKLM64", entry, "SystemComponent", 0);
    }

    // The installer writes "Root" in the commands; the folder itself is "root".
    const std::string commandFolder =
        c.installation + "\\Root\\Office" + std::to_string(c.major) + "\\";
    layDocumentClasses(commandFolder, icons);
    powerPointServer(c.platform == "x64" ? "HKCR64" : "HKCR32", folder);
    layUserInformation();
}

ClickToRunInstallation m365() {
    return {"\\SOFTWARE\\Microsoft\\Office\\ClickToRun\\Configuration",
            "\\SOFTWARE\\Microsoft\\Office\\ClickToRun\\Configuration",
            "InstallationPath",
            ProgramFiles64() + "\\Microsoft Office",
            16,
            kM365Version,
            "x64",
            {{"O365ProPlusRetail", kM365DisplayName}},
            has64BitFixture() ? "m365x64" : "m365",
            "{90160000-000F-0000-1000-0000000FF1CE}",
            true};
}

ClickToRunInstallation office2013() {
    return {"\\SOFTWARE\\Microsoft\\Office\\15.0\\ClickToRun\\Configuration",
            "\\SOFTWARE\\Microsoft\\Office\\15.0\\ClickToRun",
            "InstallPath",
            ProgramFiles64() + "\\Microsoft Office 15",
            15,
            kOffice2013Version,
            "x86",
            {{"HomeBusinessRetail", kOffice2013DisplayName}},
            "office15",
            "{90150000-000F-0000-0000-0000000FF1CE}",
            false};
}

// Access, which the suite lacks, installed beside it as a product of its own, and
// listed first.
ClickToRunInstallation ltsc2021() {
    return {"\\SOFTWARE\\Microsoft\\Office\\ClickToRun\\Configuration",
            "\\SOFTWARE\\Microsoft\\Office\\ClickToRun\\Configuration",
            "InstallationPath",
            ProgramFiles32() + "\\Microsoft Office",
            16,
            kLtsc2021Version,
            "x86",
            {{"Access2021Volume", "Microsoft Access LTSC 2021 - ja-jp"},
             {"Standard2021Volume", kLtsc2021DisplayName}},
            "ltsc2021",
            "{90160000-000F-0000-0000-0000000FF1CE}",
            true};
}

} // namespace

std::string Office2013Folder() {
    return programFolderOf(office2013());
}

std::string Ltsc2021Folder() {
    return programFolderOf(ltsc2021());
}

// With what a removed 32-bit Office 2016 left behind: its install root, in the
// 32-bit view, names a folder that is gone.
void LayM365() {
    layClickToRun(m365());
    text("HKLM32", "\\SOFTWARE\\Microsoft\\Office\\16.0\\Common\\InstallRoot", "Path",
         Office2016Folder());
}

void LayOffice2013ClickToRun() {
    layClickToRun(office2013());
}

void LayLtsc2021() {
    layClickToRun(ltsc2021());
}

namespace {

// A Windows Installer suite of Office 2007 to 2016 as its setup lays it, 32-bit on
// 64-bit Windows: the package entries of the suite and of its parts, all hidden
// (SystemComponent), in the 32-bit view; the setup's own shown entry with the
// suite's name; the install root and the registration in the 32-bit view; the
// installer's own data in the 64-bit view.
struct InstallerSuite {
    int major;
    const char* code;
    const char* displayName;
    const char* version;
    const char* productId;
    const char* sku; // the setup's name for it: "PROPLUS"
    const char* fixture;
    std::string folder;
    std::vector<std::pair<const char*, const char*>> parts; // code and name, suite's among them
};

void layInstallerSuite(const InstallerSuite& suite) {
    layBareMachine();
    const std::string icons = "C:\\windows\\Installer\\" + std::string(suite.code) + "\\";
    layPrograms(suite.fixture, suite.folder, icons);

    const std::string version = std::to_string(suite.major);
    for (const auto& [code, name] : suite.parts) {
        const std::string entry = kUninstall + std::string(code);
        text("HKLM32", entry, "DisplayName", name);
        text("HKLM32", entry, "DisplayVersion", suite.version);
        number("HKLM32", entry, "VersionMajor", suite.major);
        number("HKLM32", entry, "VersionMinor", 0);
        number("HKLM32", entry, "SystemComponent", 1);
        text("HKLM32", entry, "InstallLocation", ProgramFiles32() + "\\Microsoft Office\\");
        text("HKLM32", entry, "RegCompany", kCompany);
        text("HKLM32", entry, "RegOwner", kOwner);
    }
    const std::string visible = kUninstall + ("Office" + version + ".") + suite.sku;
    text("HKLM32", visible, "DisplayName", suite.displayName);
    text("HKLM32", visible, "DisplayVersion", suite.version);
    const std::string setup = ProgramFiles32() + "\\Common Files\\Microsoft Shared\\OFFICE" +
                              version + "\\Office Setup Controller\\setup.exe";
    program(suite.fixture, setup); // the setup controller, which repairs the suite
    text("HKLM32", visible, "UninstallString",
         "\"" + setup + "\" /uninstall " + suite.sku + " /dll OSETUP.DLL");

    const std::string office = "\\SOFTWARE\\Microsoft\\Office\\" + version + ".0";
    text("HKLM32", office + "\\Common\\InstallRoot", "Path", suite.folder);
    const std::string registration = office + "\\Registration\\" + suite.code;
    text("HKLM32", registration, "ProductID", suite.productId);
    text("HKLM32", registration, "ProductName", suite.displayName);
    const std::string properties =
        kel::InstallPropertiesKey("S-1-5-18", kel::PackProductCode(suite.code));
    text("HKLM64", properties, "DisplayName", suite.displayName);
    text("HKLM64", properties, "RegCompany", kCompany);
    text("HKLM64", properties, "RegOwner", kOwner);

    layDocumentClasses(suite.folder, icons);
    powerPointServer("HKCR32", suite.folder);
    layUserInformation();
}

} // namespace

void LayOffice2016() {
    layInstallerSuite({16,
                       kOffice2016Code,
                       kOffice2016DisplayName,
                       kOffice2016Version,
                       kOffice2016ProductId,
                       "PROPLUS",
                       "office16",
                       Office2016Folder(),
                       {{kOffice2016Code, kOffice2016DisplayName}}});
}

// Office Personal 2010 with its language, proofing and shared parts; the suite's
// entry sorts among them.
void LayOffice2010() {
    layInstallerSuite(
        {14,
         kOffice2010Code,
         kOffice2010DisplayName,
         kOffice2010Version,
         kOffice2010ProductId,
         "PERSONAL",
         "office14",
         Office2010Folder(),
         {
             {"{90140000-0016-0411-0000-0000000FF1CE}",
              "Microsoft Office Excel MUI (Japanese) 2010"},
             {"{90140000-001A-0411-0000-0000000FF1CE}",
              "Microsoft Office Outlook MUI (Japanese) 2010"},
             {"{90140000-001B-0411-0000-0000000FF1CE}",
              "Microsoft Office Word MUI (Japanese) 2010"},
             {"{90140000-001F-0409-0000-0000000FF1CE}", "Microsoft Office Proof (English) 2010"},
             {"{90140000-001F-0411-0000-0000000FF1CE}", "Microsoft Office Proof (Japanese) 2010"},
             {"{90140000-002C-0411-0000-0000000FF1CE}",
              "Microsoft Office Proofing (Japanese) 2010"},
             {kOffice2010Code, kOffice2010DisplayName},
             {"{90140000-006E-0411-0000-0000000FF1CE}",
              "Microsoft Office Shared MUI (Japanese) 2010"},
             {"{90140000-0115-0409-0000-0000000FF1CE}",
              "Microsoft Office Shared Setup Metadata MUI (English) 2010"},
         }});
}

const ModernMachine kModernMachines[5] = {
    {"--m365", LayM365, kM365DisplayName, kM365Version, "", M365Folder},
    {"--ltsc2021", LayLtsc2021, kLtsc2021DisplayName, kLtsc2021Version, "", Ltsc2021Folder},
    {"--office2016", LayOffice2016, kOffice2016DisplayName, kOffice2016Version,
     kOffice2016ProductId, Office2016Folder},
    {"--office2013c2r", LayOffice2013ClickToRun, kOffice2013DisplayName, kOffice2013Version, "",
     Office2013Folder},
    {"--office2010", LayOffice2010, kOffice2010DisplayName, kOffice2010Version,
     kOffice2010ProductId, Office2010Folder},
};

void LayTextInView(const char* view, const std::string& path, const std::string& name,
                   const std::string& value) {
    text(view, path, name, value);
}

void RemoveModern() {
    kel::StringList names = platformValueNames(HKEY_LOCAL_MACHINE, kManifest);
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        std::string entry;
        kel::ReadRegString(HKEY_LOCAL_MACHINE, kManifest, *it, entry);
        size_t bar = entry.find('|');
        std::string kind = entry.substr(0, bar), path = entry.substr(bar + 1);
        if (kind == "FILE")
            removeFolderTree(path);
        for (const Place& p : kPlaces)
            if (kind == p.name)
                removeTree(p, path);
    }
    testing_support::removeTree(HKEY_LOCAL_MACHINE, kManifest);
}

} // namespace sample
