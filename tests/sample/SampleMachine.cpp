#include "tests/sample/SampleMachine.h"

#include "tests/sample/ModernMachine.h"

#include "office/InstallerProducts.h"
#include "office/OfficeInfo.h"
#include "sysinfo/Account.h"
#include "sysinfo/Association.h"
#include "sysinfo/FileSystem.h"
#include "sysinfo/Text.h"
#include "tests/support/Fixtures.h"
#include "tests/support/OfficeProgram.h"
#include "tests/support/ScratchKey.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <stdexcept>

namespace sample {

using namespace testing_support;

std::vector<std::string> InstallerUsers() {
    return {"S-1-5-18", kel::CurrentUserSid(), kSecondProfile};
}

namespace {

const char kManifest[] = "\\Software\\Wexdal Test Bench\\Sample Machine";
const char kUninstall[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
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

// Remembers the top-most key or folder that each write creates, and single files.
// Entries are kept in UTF-16, so that names without a code page 932 form are
// removed exactly.
class Recorder {
  public:
    void key(HKEY root, const std::string& path) { keyW(root, kel::AnsiToWide(path)); }
    void keyW(HKEY root, const std::wstring& path) {
        std::wstring prefix;
        for (const std::wstring& part : parts(path)) {
            prefix += L"\\" + part;
            if (!wideKeyExists(root, prefix.substr(1))) {
                add(kel::AnsiToWide(rootName(root)) + L"|" + prefix);
                return;
            }
        }
    }
    // A value laid into a key that was there before: the value alone goes.
    void value(HKEY root, const std::string& path, const std::string& name) {
        if (!keyExists(root, path))
            return key(root, path);
        add(L"VALUE" + kel::AnsiToWide(rootName(root)) + L"|" + kel::AnsiToWide(path) + L"|" +
            kel::AnsiToWide(name));
    }
    void extraClasses(int count) { add(L"EXTRA|" + std::to_wstring(count)); }
    void folder(const std::string& path) { folderW(kel::AnsiToWide(path)); }
    void folderW(const std::wstring& path) {
        std::wstring prefix = path.substr(0, 2);
        for (const std::wstring& part : parts(path.substr(3))) {
            prefix += L"\\" + part;
            if (GetFileAttributesW(prefix.c_str()) == INVALID_FILE_ATTRIBUTES) {
                add(L"FILE|" + prefix);
                return;
            }
        }
    }
    void file(const std::wstring& path) { add(L"WFILE|" + path); }
    // Every top-level key of root whose name starts with prefix, marked or not.
    void prefix(HKEY root, const std::wstring& prefix) {
        add(L"PREFIX" + kel::AnsiToWide(rootName(root)) + L"|" + prefix);
    }
    void forget() { count_ = kUnknown; }

  private:
    static constexpr size_t kUnknown = static_cast<size_t>(-1);
    static std::vector<std::wstring> parts(const std::wstring& path) {
        std::vector<std::wstring> result;
        size_t start = 0;
        while (start <= path.size()) {
            size_t end = path.find(L'\\', start);
            if (end == std::wstring::npos)
                end = path.size();
            if (end > start)
                result.push_back(path.substr(start, end - start));
            start = end + 1;
        }
        return result;
    }
    void add(const std::wstring& entry) {
        if (count_ == kUnknown)
            count_ = platformValueNames(HKEY_LOCAL_MACHINE, kManifest).size();
        putWideString(HKEY_LOCAL_MACHINE, kel::AnsiToWide(kManifest + 1), std::to_wstring(count_++),
                      entry);
    }
    size_t count_ = kUnknown;
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
    DressAsOfficeProgram(path);
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

    // The installer's own data, in the 64-bit view only, as on 64-bit Windows.
    std::string packed = kel::PackProductCode(product.code);
    for (const std::string& user : InstallerUsers()) {
        std::string properties = kel::InstallPropertiesKey(user, packed);
        LayTextInView("HKLM64", properties, "DisplayName", product.displayName);
        LayTextInView("HKLM64", properties, "RegCompany", "株式会社　見本");
        LayTextInView("HKLM64", properties, "RegOwner", "山田 太郎");
        if (options.installerIds)
            LayTextInView("HKLM64", properties, "ProductID", "73931-640-0000106-57");
    }

    std::string settings = "\\Software\\Microsoft\\Office\\" + version(product.major);
    wideText(HKEY_CURRENT_USER, settings + "\\Common\\UserInfo", "Company", "株式会社　見本");
    wideText(HKEY_CURRENT_USER, settings + "\\Common\\UserInfo", "UserName", "山田 太郎");
    wideText(HKEY_CURRENT_USER, settings + "\\Common\\UserInfo", "UserInitials", "YT");
    text(HKEY_CURRENT_USER, settings + "\\Word\\Data", "Settings", "binary settings");
    if (options.defaultProfile) {
        std::string profile = std::string("\\") + kDefaultProfile + settings;
        wideText(HKEY_USERS, profile + "\\Common\\UserInfo", "Company", kDefaultCompany);
        wideText(HKEY_USERS, profile + "\\Common\\UserInfo", "UserName", kDefaultOwner);
        wideText(HKEY_USERS, profile + "\\Common\\UserInfo", "UserInitials", kDefaultInitials);
    }
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

// ---- The hostile variant

const wchar_t kYen = L'\u00A5'; // 0x5C, a backslash, in code page 932
const wchar_t kDivisionSlash = L'\u2215';

std::wstring environmentFolder(const wchar_t* name) {
    wchar_t value[32768];
    DWORD length = GetEnvironmentVariableW(name, value, 32768);
    return length > 0 && length < 32768 ? std::wstring(value, length) : std::wstring();
}

std::wstring appDataFolder() {
    std::wstring path;
    kel::ReadRegStringW(HKEY_CURRENT_USER,
                        "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                        "AppData", path);
    return path;
}

std::wstring parentOf(const std::wstring& folder) {
    return folder.substr(0, folder.find_last_of(L'\\'));
}

std::wstring replaced(std::wstring text, wchar_t from, wchar_t to) {
    std::replace(text.begin(), text.end(), from, to);
    return text;
}

void hostileFile(const std::wstring& path, size_t size = 1) {
    recorder.file(path);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot write a hostile file");
    std::string content(size, 'x');
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
}

void hostileFolder(const std::wstring& path) {
    recorder.folderW(path);
    CreateDirectoryW(path.c_str(), nullptr);
}

// Folders beside %TEMP% and the toolbar folder, reached by the names' ANSI forms.
struct HostileFolders {
    std::wstring temp = environmentFolder(L"TEMP");
    std::wstring toolbar = appDataFolder() + L"\\Microsoft\\Excel";
    std::wstring besideTemp = parentOf(temp) + L"\\wexdal-hostile";
    std::wstring insideTemp = temp + L"\\wexdal-hostile";
};

void layHostileFiles() {
    HostileFolders at;
    if (at.temp.empty() || at.toolbar.size() < 20)
        throw std::runtime_error("no TEMP or AppData folder");
    for (const std::wstring& folder : {at.besideTemp, at.insideTemp}) {
        hostileFolder(folder);
        hostileFile(folder + L"\\victim.tmp");
    }
    std::wstring up = std::wstring(1, kYen) + L"..";
    const std::wstring tildeNames[] = {
        L"~" + up + kYen + L"wexdal-hostile" + kYen + L"victim.tmp",
        L"~" + up + up + kYen + L"wexdal-hostile" + kYen + L"victim.tmp",
        replaced(L"~" + up + up + kYen + L"wexdal-hostile" + kYen + L"victim.tmp", kYen,
                 kDivisionSlash),
        L"~\u0100\u0101.tmp", // no code page 932 form
        L"~\u00E1.tmp",       // best-fits to ~a.tmp
        L"~plain.tmp",
    };
    for (const std::wstring& name : tildeNames)
        hostileFile(at.temp + L"\\" + name);
    hostileFile(at.temp + L"\\wexdal-hostile-keep" + kYen + L".txt");

    recorder.folderW(at.toolbar);
    std::wstring microsoft = parentOf(at.toolbar);
    CreateDirectoryW(microsoft.c_str(), nullptr);
    CreateDirectoryW(at.toolbar.c_str(), nullptr);
    hostileFile(microsoft + L"\\wexdal-victim.xlb");
    hostileFile(at.toolbar + L"\\b" + up + up + kYen + L"wexdal-victim.xlb");
    hostileFile(at.toolbar + L"\\b" + replaced(up + up + kYen, kYen, kDivisionSlash) +
                L"wexdal-victim.xlb");
    hostileFile(at.toolbar + L"\\\u0100\u0101.xlb"); // no code page 932 form
    hostileFile(at.toolbar + L"\\Excel10.xlb");
    hostileFile(at.toolbar + L"\\Book1.xls");
}

void wideValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type,
               const Bytes& data) {
    recorder.keyW(root, path);
    putWideValue(root, path, name, type, data);
}

Bytes utf16(const std::wstring& text) {
    const BYTE* begin = reinterpret_cast<const BYTE*>(text.c_str());
    return Bytes(begin, begin + (text.size() + 1) * 2);
}

const Bytes& megabyteText() {
    static const Bytes text = [] {
        Bytes bytes(1 << 20, 'M');
        bytes.back() = 0;
        return bytes;
    }();
    return text;
}

void layHostileClasses() {
    // Document classes: empty, not a string, and a yen sign whose ANSI form names a
    // sub-key of another class that holds a CLSID and must not be touched.
    text(HKEY_CLASSES_ROOT, "\\.xls", "", "");
    number(HKEY_CLASSES_ROOT, "\\.doc", "", 8);
    wideValue(HKEY_CLASSES_ROOT, L".ppt", L"", REG_SZ, utf16(L"PowerPoint\u00A5Show"));
    text(HKEY_CLASSES_ROOT, "\\PowerPoint\\Show\\CLSID", "", kPowerPointClsid);
    text(HKEY_CLASSES_ROOT, "\\CLSID\\LocalServer32", "", "a key at the CLSID root");

    // Script classes the guard must pass over, and one it may rename: a yen sign, a
    // decoy that its ANSI form names, a name of 131 characters.
    const char* wscript = "wscript.exe \"%1\"";
    wideValue(HKEY_CLASSES_ROOT, L"WexdalHostile\u00A5Yen\\Shell\\Open\\Command", L"", REG_SZ,
              utf16(L"wscript.exe"));
    text(HKEY_CLASSES_ROOT, "\\WexdalHostile\\Yen\\Shell\\Open\\Command", "", wscript);
    wideValue(HKEY_CLASSES_ROOT,
              L"WexdalHostile." + std::wstring(125, L'\u8868') + L"\\Shell\\Open\\Command", L"",
              REG_SZ, utf16(L"WScript.exe \"%1\""));
    // Plain classes beside them, recorded by their common prefix: the scans read
    // every one.
    recorder.prefix(HKEY_CLASSES_ROOT, L"WexdalHostile.");
    putValue(HKEY_CLASSES_ROOT, "\\WexdalHostile.Big\\Shell\\Open\\Command", "", REG_SZ,
             megabyteText());
    putValue(HKEY_CLASSES_ROOT, "\\WexdalHostile.Number\\Shell\\Open\\Command", "", REG_DWORD,
             Bytes{1, 0, 0, 0});
    for (int i = 0; i < kHostileClasses; ++i) {
        wchar_t name[32];
        std::swprintf(name, 32, L"WexdalHostile.%05d", i);
        if (i % 1000 == 0)
            putWideString(HKEY_CLASSES_ROOT, std::wstring(name) + L"\\Shell\\Open\\Command", L"",
                          L"wscript.exe \"%1\"");
        else
            putWideString(HKEY_CLASSES_ROOT, name, L"", L"Wexdal hostile class");
    }
}

void layHostileOffice() {
    std::string company;
    for (int i = 0; i < 60; ++i)
        company += "株"; // 120 bytes, the field takes 104
    for (const Product& product : {Office2003(), OfficeXP()})
        text(HKEY_LOCAL_MACHINE, kUninstall + product.code, "RegCompany", company);

    // Uninstall entries ahead of Office's: a name of 260 bytes in code page 932, a
    // yen sign, and values of the wrong type or of 1 MB.
    std::wstring uninstall = kel::AnsiToWide(kUninstall + 1);
    wideValue(HKEY_LOCAL_MACHINE, uninstall + L"{0" + std::wstring(129, L'\u8868') + L"}",
              L"DisplayName", REG_SZ, utf16(L"Wexdal hostile long entry"));
    wideValue(HKEY_LOCAL_MACHINE, uninstall + L"{1\u00A5}", L"DisplayName", REG_SZ,
              utf16(L"Microsoft Office \u00A5"));
    // A well-formed product code, so that its values are read.
    std::string odd = kUninstall + std::string("{20000000-0000-0000-0000-00000000BAD0}");
    recorder.key(HKEY_LOCAL_MACHINE, odd);
    Bytes officeMegabyte = megabyteText();
    const std::string office = "Microsoft Office ";
    std::copy(office.begin(), office.end(), officeMegabyte.begin());
    putValue(HKEY_LOCAL_MACHINE, odd, "DisplayName", REG_SZ, officeMegabyte);
    putValue(HKEY_LOCAL_MACHINE, odd, "VersionMajor", REG_SZ, Bytes{'1', '1', 0});
    putValue(HKEY_LOCAL_MACHINE, odd, "DisplayVersion", REG_DWORD, Bytes{1, 0, 0, 0});

    // Wrong types and 1 MB values where the program reads.
    std::string settings = "\\Software\\Microsoft\\Office\\11.0\\Common\\UserInfo";
    recorder.key(HKEY_CURRENT_USER, settings);
    putValue(HKEY_CURRENT_USER, settings, "Company", REG_DWORD, Bytes{1, 0, 0, 0});
    putValue(HKEY_CURRENT_USER, settings, "UserInitials", REG_BINARY, megabyteText());
    std::string profile = std::string("\\") + kSecondProfile + "\\Software\\Microsoft\\Office";
    putValue(HKEY_USERS, profile + "\\10.0\\Common\\UserInfo", "UserName", REG_BINARY,
             megabyteText());
    putValue(HKEY_LOCAL_MACHINE, kUninstall + OfficeXP().code, "ProductID", REG_BINARY,
             megabyteText());
    putValue(HKEY_LOCAL_MACHINE, kUninstall + OfficeXP().code, "RegOwner", REG_SZ, megabyteText());
    number(HKEY_CURRENT_USER, "\\Software\\Microsoft\\Office\\10.0\\Word\\Data", "Toolbars", 7);
    const char* preload = "\\.DEFAULT\\Keyboard Layout\\Preload";
    for (const char* name : {"3", "4"})
        recorder.value(HKEY_USERS, preload, name);
    putValue(HKEY_USERS, preload, "3", REG_DWORD, Bytes{0x11, 4, 0, 0});
    putValue(HKEY_USERS, preload, "4", REG_SZ, megabyteText());

    // Keys that deny reading, under the Office keys the program lists.
    for (auto [root, key] :
         {std::pair{HKEY_LOCAL_MACHINE, "\\SOFTWARE\\Microsoft\\Office\\10.0"
                                        "\\Registration\\{Wexdal-Locked}"},
          std::pair{HKEY_CURRENT_USER, "\\Software\\Microsoft\\Office\\10.0\\Wexdal Locked"}}) {
        text(root, key, "", "locked");
        setKeySecurity(root, key, "D:P(D;;KR;;;WD)(A;;KA;;;WD)");
    }
}

void layHostile() {
    layHostileFiles();
    layHostileClasses();
    layHostileOffice();
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

std::vector<std::wstring> HostileSurvivors() {
    HostileFolders at;
    return {at.besideTemp + L"\\victim.tmp", at.insideTemp + L"\\victim.tmp",
            at.temp + L"\\wexdal-hostile-keep\u00A5.txt",
            parentOf(at.toolbar) + L"\\wexdal-victim.xlb", at.toolbar + L"\\Book1.xls"};
}

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
    if (options.hostile)
        layHostile();
    layExtraClasses(options.extraClasses);
}

void Remove() {
    RemoveModern();
    kel::StringList names = platformValueNames(HKEY_LOCAL_MACHINE, kManifest);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::stoul(a) < std::stoul(b);
    });
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        std::wstring entry;
        kel::ReadRegStringW(HKEY_LOCAL_MACHINE, kManifest, *it, entry);
        size_t bar = entry.find(L'|');
        if (bar == std::wstring::npos)
            continue;
        std::wstring kind = entry.substr(0, bar), path = entry.substr(bar + 1);
        if (kind == L"FILE")
            removeFolderTreeW(path);
        if (kind == L"EXTRA")
            removeExtraClasses(std::stoi(path));
        if (kind == L"WFILE") {
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path.c_str());
        }
        for (const Root& root : kRoots) {
            if (kind == kel::AnsiToWide(root.name) && path.size() > 1)
                removeWideTree(root.key, path.substr(1));
            if (kind == L"VALUE" + kel::AnsiToWide(root.name) && path.size() > 1)
                removeWideValue(root.key, path.substr(1, path.rfind(L'|') - 1),
                                path.substr(path.rfind(L'|') + 1));
            if (kind == L"PREFIX" + kel::AnsiToWide(root.name) && !path.empty())
                for (const std::wstring& name : wideSubKeyNames(root.key, L""))
                    if (name.compare(0, path.size(), path) == 0)
                        removeWideTree(root.key, name);
        }
    }
    removeTree(HKEY_LOCAL_MACHINE, kManifest);
    recorder.forget();
}

} // namespace sample
