#include "tests/sample/SampleMachine.h"

#include "tests/sample/ModernMachine.h"

#include "office/OfficeInfo.h"
#include "sysinfo/Association.h"
#include "sysinfo/FileSystem.h"
#include "sysinfo/Text.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScratchKey.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace sample {

using namespace testing_support;

const char* const kInstallerUsers[2] = {"S-1-5-18",
                                        "S-1-5-21-1004336348-1177238915-682003330-1000"};

namespace {

const char kManifest[] = "\\Software\\Wexdal Test Bench\\Sample Machine";
const char kUninstall[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kUserData[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\";
const char kComponentClsid[] = "{A3C3DAE5-1B2E-4F6A-9E47-57A1D2C9E101}";
const char kPowerPointClsid[] = "{64818D10-4F9B-11CF-86EA-00AA00B929E8}";

struct Root {
    HKEY key;
    const char* name;
};
const Root kRoots[] = {{HKEY_LOCAL_MACHINE, "HKLM"},
                       {HKEY_CLASSES_ROOT, "HKCR"},
                       {HKEY_CURRENT_USER, "HKCU"},
                       {HKEY_USERS, "HKU"}};

const char* rootName(HKEY root) {
    for (const Root& r : kRoots)
        if (r.key == root)
            return r.name;
    return "?";
}

// Remembers the top-most key or folder that each write creates.
class Recorder {
  public:
    void key(HKEY root, const std::string& path) {
        std::string prefix;
        for (const std::string& part : parts(path)) {
            prefix += "\\" + part;
            if (!keyExists(root, prefix)) {
                add(std::string(rootName(root)) + "|" + prefix);
                return;
            }
        }
    }
    void extraClasses(int count) { add("EXTRA|" + std::to_string(count)); }
    void folder(const std::string& path) {
        std::string prefix = path.substr(0, 2);
        for (const std::string& part : parts(path.substr(3))) {
            prefix += "\\" + part;
            if (!kel::DirectoryExists(prefix)) {
                add("FILE|" + prefix);
                return;
            }
        }
    }

  private:
    static std::vector<std::string> parts(const std::string& path) {
        std::vector<std::string> result;
        size_t start = 0;
        while (start <= path.size()) {
            size_t end = path.find('\\', start);
            if (end == std::string::npos)
                end = path.size();
            if (end > start)
                result.push_back(path.substr(start, end - start));
            start = end + 1;
        }
        return result;
    }
    void add(const std::string& entry) {
        kel::StringList names = platformValueNames(HKEY_LOCAL_MACHINE, kManifest);
        putString(HKEY_LOCAL_MACHINE, kManifest, std::to_string(names.size()), entry);
    }
};

Recorder recorder;

void text(HKEY root, const std::string& path, const std::string& name, const std::string& value) {
    recorder.key(root, path);
    putString(root, path, name, value);
}

void number(HKEY root, const std::string& path, const std::string& name, DWORD value) {
    recorder.key(root, path);
    putDword(root, path, name, value);
}

// Office keeps user information as REG_BINARY UTF-16 text with its NUL.
void wideText(HKEY root, const std::string& path, const std::string& name,
              const std::string& value) {
    recorder.key(root, path);
    std::wstring wide = kel::AnsiToWide(value);
    const BYTE* begin = reinterpret_cast<const BYTE*>(wide.c_str());
    putValue(root, path, name, REG_BINARY, Bytes(begin, begin + (wide.size() + 1) * 2));
}

void program(const std::string& fixture, const std::string& path) {
    recorder.folder(path.substr(0, path.rfind('\\')));
    installFixture(fixture, path);
}

std::string version(int major) {
    return std::to_string(major) + ".0";
}

void layProduct(const Product& product, const Options& options) {
    std::string root = InstallRoot(product.major);
    for (const char* name : {"EXCEL.EXE", "WINWORD.EXE", "POWERPNT.EXE", "OUTLOOK.EXE"})
        program(product.fixture, root + name);
    program(product.fixture,
            root + (product.major >= 11 ? "1041\\MSOFFICE.EXE" : "1041\\MSOHELP.EXE"));

    std::string entry = kUninstall + product.code;
    text(HKEY_LOCAL_MACHINE, entry, "DisplayName", product.displayName);
    if (!product.displayVersion.empty())
        text(HKEY_LOCAL_MACHINE, entry, "DisplayVersion", product.displayVersion);
    if (!product.productId.empty())
        text(HKEY_LOCAL_MACHINE, entry, "ProductID", product.productId);
    number(HKEY_LOCAL_MACHINE, entry, "VersionMajor", product.major);
    text(HKEY_LOCAL_MACHINE, entry, "RegCompany", "株式会社　見本");
    text(HKEY_LOCAL_MACHINE, entry, "RegOwner", "山田 太郎");

    std::string office = "\\SOFTWARE\\Microsoft\\Office\\" + version(product.major);
    text(HKEY_LOCAL_MACHINE, office + "\\Common\\InstallRoot", "Path", root);
    if (options.registrationIds)
        text(HKEY_LOCAL_MACHINE, office + "\\Registration\\" + product.code, "ProductID",
             product.productId.empty() ? "73931-640-0000106-57" : product.productId);
    else
        text(HKEY_LOCAL_MACHINE, office + "\\Registration\\" + product.code, "Type", "retail");

    std::string packed = kel::PackProductCode(product.code);
    for (const char* user : kInstallerUsers) {
        std::string properties =
            kUserData + std::string(user) + "\\Products\\" + packed + "\\InstallProperties";
        text(HKEY_LOCAL_MACHINE, properties, "DisplayName", product.displayName);
        text(HKEY_LOCAL_MACHINE, properties, "RegCompany", "株式会社　見本");
        text(HKEY_LOCAL_MACHINE, properties, "RegOwner", "山田 太郎");
        if (options.installerIds)
            text(HKEY_LOCAL_MACHINE, properties, "ProductID", "73931-640-0000106-57");
    }

    std::string settings = "\\Software\\Microsoft\\Office\\" + version(product.major);
    wideText(HKEY_CURRENT_USER, settings + "\\Common\\UserInfo", "Company", "株式会社　見本");
    wideText(HKEY_CURRENT_USER, settings + "\\Common\\UserInfo", "UserName", "山田 太郎");
    wideText(HKEY_CURRENT_USER, settings + "\\Common\\UserInfo", "UserInitials", "YT");
    text(HKEY_CURRENT_USER, settings + "\\Word\\Data", "Settings", "binary settings");
    if (options.secondProfile) {
        std::string profile = std::string("\\") + kSecondProfile + settings;
        wideText(HKEY_USERS, profile + "\\Common\\UserInfo", "Company", "見本商事");
        wideText(HKEY_USERS, profile + "\\Common\\UserInfo", "UserName", "佐藤 花子");
        wideText(HKEY_USERS, profile + "\\Common\\UserInfo", "UserInitials", "HS");
    }
}

void documentClass(const std::string& extension, const std::string& className,
                   const std::string& command, const std::string& icon) {
    text(HKEY_CLASSES_ROOT, "\\." + extension, "", className);
    text(HKEY_CLASSES_ROOT, "\\" + className, "", className);
    text(HKEY_CLASSES_ROOT, "\\" + className + "\\shell\\Open\\command", "", command);
    text(HKEY_CLASSES_ROOT, "\\" + className + "\\DefaultIcon", "", icon);
}

void layOfficeDocumentClasses(int primaryMajor) {
    std::string root = InstallRoot(primaryMajor);
    documentClass("xls", "Excel.Sheet.8", "\"" + root + "EXCEL.EXE\" /e", root + "EXCEL.EXE,1");
    number(HKEY_CLASSES_ROOT, "\\Excel.Sheet.8", "BrowserFlags", 8);
    documentClass("doc", "Word.Document.8", "\"" + root + "WINWORD.EXE\" /n /dde",
                  root + "WINWORD.EXE,1");
    documentClass("ppt", "PowerPoint.Show.8", "\"" + root + "POWERPNT.EXE\" /s",
                  root + "POWERPNT.EXE,1");
    text(HKEY_CLASSES_ROOT, "\\PowerPoint.Show.8\\CLSID", "", kPowerPointClsid);
    std::string server = std::string("\\CLSID\\") + kPowerPointClsid + "\\LocalServer32";
    text(HKEY_CLASSES_ROOT, server, "", root + "POWERPNT.EXE");
    text(HKEY_CLASSES_ROOT, server, "LocalServer32", "Wexdal sample descriptor");
    documentClass("eml", "Outlook.File.eml", "\"" + root + "OUTLOOK.EXE\" /eml \"%1\"",
                  root + "OUTLOOK.EXE,1");
}

void layOutlookExpress() {
    program("six", OutlookExpressPath());
    documentClass("eml", "Microsoft Internet Mail Message",
                  "\"" + OutlookExpressPath() + "\" /eml:%1", OutlookExpressPath() + ",2");
}

// The component's version when it is installed, else the newest; 0 without Office.
int primaryMajor(const Options& options) {
    int newest = 0;
    for (const Product& product : options.products) {
        if (product.major == options.componentMajor)
            return product.major;
        newest = std::max(newest, product.major);
    }
    return newest;
}

void layComponent(const Options& options) {
    if (options.componentMajor == 0)
        return;
    std::string path = InstallRoot(options.componentMajor) + "OFFCOMPAT.DLL";
    for (const Product& product : options.products)
        if (product.major == options.componentMajor)
            program(product.fixture, path);
    text(HKEY_CLASSES_ROOT, "\\OfficeCompatible.Application\\CLSID", "", kComponentClsid);
    text(HKEY_CLASSES_ROOT, std::string("\\CLSID\\") + kComponentClsid + "\\InprocServer32", "",
         path);
}

void layMachineSettings() {
    const char* preload = "\\.DEFAULT\\Keyboard Layout\\Preload";
    if (!keyExists(HKEY_USERS, preload)) {
        text(HKEY_USERS, preload, "1", "00000411");
        text(HKEY_USERS, preload, "2", "e0010411");
    }
    // Script classes beside the ones the system already has.
    const char* wscript = "\"C:\\windows\\system32\\WScript.exe\" \"%1\" %*";
    for (const char* name : {"VBEFile", "JSEFile", "WSFFile"}) {
        if (!keyExists(HKEY_CLASSES_ROOT, std::string("\\") + name))
            text(HKEY_CLASSES_ROOT, std::string("\\") + name + "\\Shell\\Open\\Command", "",
                 wscript);
    }
}

// Each extension names the file class laid after it; the file classes open a
// program that is no script host. In the registry's order the extensions come
// before the script classes, the file classes after them.
std::string extraExtension(int i) {
    char name[16];
    std::snprintf(name, sizeof name, ".w%05d", i);
    return name;
}

std::string extraClass(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "Sample.File.%05d", i);
    return name;
}

void layExtraClasses(int count) {
    if (count <= 0)
        return;
    recorder.extraClasses(count);
    for (int i = 0; i < count; ++i) {
        if (i % 2 == 0)
            putString(HKEY_CLASSES_ROOT, "\\" + extraExtension(i), "", extraClass(i + 1));
        else
            putString(HKEY_CLASSES_ROOT, "\\" + extraClass(i) + "\\Shell\\Open\\Command", "",
                      "\"C:\\Program Files\\Sample\\viewer.exe\" \"%1\"");
    }
}

void removeExtraClasses(int count) {
    for (int i = 0; i < count; ++i)
        removeTree(HKEY_CLASSES_ROOT, "\\" + (i % 2 == 0 ? extraExtension(i) : extraClass(i)));
}

} // namespace

Product Office2003() {
    return {11,
            "{90110411-6000-11D3-8CFE-0150048383C9}",
            "Microsoft Office Professional Edition 2003",
            "11.0.5614.0",
            "73931-640-0000106-57",
            "office11"};
}

Product OfficeXP() {
    return {10,
            "{90280411-6000-11D3-8CFE-0050048383C9}",
            "Microsoft Office XP Professional",
            "10.0.2627.01",
            "54185-640-1234567-17024",
            "office10"};
}

Options Standard() {
    Options options;
    options.products = {Office2003(), OfficeXP()};
    return options;
}

std::string InstallRoot(int major) {
    return kel::GetProgramFilesDir() + "\\Microsoft Office\\OFFICE" + std::to_string(major) + "\\";
}

std::string OutlookExpressPath() {
    return kel::GetProgramFilesDir() + "\\Outlook Express\\msimn.exe";
}

void Lay(const Options& options) {
    Remove();
    for (const Product& product : options.products)
        layProduct(product, options);
    layComponent(options);
    if (int primary = primaryMajor(options); primary != 0)
        layOfficeDocumentClasses(primary);
    if (options.outlookExpress)
        layOutlookExpress();
    layMachineSettings();
    layExtraClasses(options.extraClasses);
}

void Remove() {
    RemoveModern();
    kel::StringList names = platformValueNames(HKEY_LOCAL_MACHINE, kManifest);
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        std::string entry;
        kel::ReadRegString(HKEY_LOCAL_MACHINE, kManifest, *it, entry);
        size_t bar = entry.find('|');
        std::string kind = entry.substr(0, bar), path = entry.substr(bar + 1);
        if (kind == "FILE")
            removeFolderTree(path);
        if (kind == "EXTRA")
            removeExtraClasses(std::atoi(path.c_str()));
        for (const Root& root : kRoots)
            if (kind == root.name)
                removeTree(root.key, path);
    }
    removeTree(HKEY_LOCAL_MACHINE, kManifest);
}

} // namespace sample
