#include "office/OfficeInfo.h"

#include "office/Applications.h"

#include "office/ClickToRun.h"
#include "office/InstallerProducts.h"
#include "sysinfo/FileSystem.h"
#include "sysinfo/Text.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdio>

namespace kel {

const char kUnknownProductId[] = "不明";

namespace {

// The registered OfficeCompatible.Application component's file, or empty.
std::string registeredComponentPath() {
    std::string classId, path;
    if (ReadRegString(HKEY_CLASSES_ROOT, "\\OfficeCompatible.Application\\CLSID", "", classId) == 0)
        ReadRegString(HKEY_CLASSES_ROOT, "\\CLSID\\" + classId + "\\InprocServer32", "", path);
    return path;
}

// The primary product: the component's version first, else the newest.
void moveComponentVersionFirst(TKelOfficeInfo& info) {
    if (info.VerList.size() <= 1)
        return;
    int line = FindVersionLine(info.VerList, info.Product.MajorVersion);
    if (line > 0)
        std::rotate(info.VerList.begin(), info.VerList.begin() + line,
                    info.VerList.begin() + line + 1);
}

void readRegistrationProductId(TKelOfficeInfo& info) {
    std::string registration = OfficeVersionKey(info.PrimaryVersion(), "Registration");
    if (RegKeyExists(HKEY_LOCAL_MACHINE, registration + "\\ProductID") == 0)
        ReadRegString(HKEY_LOCAL_MACHINE, registration + "\\ProductID", "", info.ProductID);
    if (!info.ProductID.empty())
        return;
    StringList products;
    GetRegKeyNames(HKEY_LOCAL_MACHINE, registration, products);
    for (const std::string& product : products) {
        std::string id;
        if (ReadRegString(HKEY_LOCAL_MACHINE, registration + "\\" + product, "ProductID", id) ==
                0 &&
            !id.empty()) {
            info.ProductID = id;
            return;
        }
    }
}

// Takes "ProductID" of an existing InstallProperties key; id is left alone when
// there is none.
bool readInstallPropertiesId(const std::string& key, std::string& id) {
    std::string found;
    if (RegKeyExists(HKEY_LOCAL_MACHINE, key, kInstallerView) != 0 ||
        ReadRegString(HKEY_LOCAL_MACHINE, key, "ProductID", found, kInstallerView) != 0)
        return false;
    id = found;
    return true;
}

// The installer's per-user data: the primary product's own ID under some user key
// ends the search; another listed product's ID is taken meanwhile.
void readInstallerProductId(TKelOfficeInfo& info) {
    StringList users;
    if (GetRegKeyNames(HKEY_LOCAL_MACHINE, kInstallerUserData, users, kInstallerView) != 0)
        return;
    for (const std::string& user : users) {
        if (readInstallPropertiesId(InstallPropertiesKey(user, info.SID), info.ProductID))
            return;
        if (!info.ProductID.empty())
            continue;
        for (const TProductLine& line : info.VerList) {
            std::string packed = PackProductCode(line.code);
            if (readInstallPropertiesId(InstallPropertiesKey(user, packed), info.ProductID))
                break;
        }
    }
}

// The sources after the product's line: the registration of its version, its
// Uninstall entry, the installer's per-user data.
void readOtherProductIdSources(TKelOfficeInfo& info) {
    readRegistrationProductId(info);
    if (info.ProductID.empty() && !info.GUID.empty()) // no entry name: not the Uninstall key
        ReadRegString(HKEY_LOCAL_MACHINE, UninstallEntryKey(info.GUID), "ProductID",
                      info.ProductID);
    if (info.ProductID.empty())
        readInstallerProductId(info);
}

} // namespace

void TKelOfficeInfo::Clear() {
    Product.Clear();
    InstallPath.clear();
    SID.clear();
    GUID.clear();
    ProductID.clear();
    VerList.clear();
    for (TKelExtInfo& record : Records)
        record.Clear();
    for (ProcessIds& ids : Running)
        ids.clear();
}

std::string TKelOfficeInfo::Dump() const {
    std::string text = "↓-- TKelOfficeInfo --↓\r\nProduct[↓]\r\n" + Product.Dump();
    text += "InstallPath[" + OnOneLine(InstallPath) + "]\r\nSID[" + OnOneLine(SID) + "]\r\nGUID[" +
            OnOneLine(GUID) + "]\r\nProductID[" + OnOneLine(ProductID) + "]\r\nVerList[↓]\r\n";
    for (const TProductLine& line : VerList)
        text += OnOneLine(line.Text()) + "\r\n";
    for (const TDocumentType& type : kDocumentTypes)
        text += RecordName(type) + "[↓]\r\n" + Record(type.application).Dump();
    text += "↑-- TKelOfficeInfo --↑\r\n";
    return text;
}

int ListOfficeProducts(ProductLines& list) {
    std::vector<ProductCandidate> candidates;
    AppendInstallerProducts(candidates);
    AppendClickToRunProducts(candidates);
    list = ChooseProductLines(candidates);
    return list.empty() ? -1 : 0;
}

bool IsOfficeFolder(const std::string& path) {
    if (path.empty())
        return false;
    std::string folder = ReplaceAll(path + "\\", "\\\\", "\\");
    if (!DirectoryExists(folder))
        return false;
    for (const char* program : {"EXCEL.EXE", "OUTLOOK.EXE", "WINWORD.EXE"}) {
        if (FileExists(folder + program))
            return true;
    }
    return false;
}

const std::string& TKelOfficeInfo::PrimaryVersion() const {
    static const std::string none;
    return VerList.empty() ? none : VerList.front().version;
}

int DetectOffice(TKelOfficeInfo& info) {
    info.Clear();
    std::string component = registeredComponentPath();
    if (ListOfficeProducts(info.VerList) != 0)
        return -1;
    if (ReadProductInfo(component, info.Product) == 0)
        moveComponentVersionFirst(info);

    const TProductLine& primary = info.VerList.front();
    if (info.Product.ProductName.empty()) {
        info.Product.ProductName = primary.name;
        info.Product.ProductVersion = primary.displayVersion;
        info.Product.MajorVersion = primary.version;
    }
    info.InstallPath = primary.installRoot;
    info.ProductID = primary.productId;

    if (info.InstallPath.empty())
        ReadRegString(HKEY_LOCAL_MACHINE, InstallRootKey(info.PrimaryVersion()), "Path",
                      info.InstallPath);
    int line = FindVersionLine(info.VerList, info.Product.MajorVersion);
    if (line >= 0) {
        info.GUID = info.VerList[line].code;
        info.SID = PackProductCode(info.GUID);
    }
    // A Click-to-Run product keeps no product ID; the other sources belong to
    // Windows Installer products and would lend it one of theirs.
    if (info.ProductID.empty() && !primary.IsClickToRun())
        readOtherProductIdSources(info);
    if (info.ProductID.empty())
        info.ProductID = kUnknownProductId;
    return 0;
}

int GetOfficeIcon(const TKelOfficeInfo& info, HICON& icon) {
    for (const char* program : {"1041\\MSOFFICE.EXE", "1041\\MSOHELP.EXE"}) {
        std::string path = info.InstallPath + program;
        if (FileExists(path)) {
            icon = ExtractIconA(GetModuleHandleA(nullptr), path.c_str(), 0);
            return 0;
        }
    }
    icon = LoadIconA(nullptr, IDI_INFORMATION);
    return 0;
}

} // namespace kel
