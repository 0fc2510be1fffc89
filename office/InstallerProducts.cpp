#include "office/InstallerProducts.h"

#include "office/ClickToRunRules.h"
#include "office/OfficeInfo.h"

namespace kel {

const char kInstallerUserData[] =
    "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData";

std::string InstallPropertiesKey(const std::string& user, const std::string& packedCode) {
    return std::string(kInstallerUserData) + "\\" + user + "\\Products\\" + packedCode +
           "\\InstallProperties";
}

namespace {

const char kUninstall[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const int kFirstMajor = 12; // Office 2007
const int kLastMajor = 16;  // Office 2016, the last one with Windows Installer packages

bool listed(const StringList& list, const std::string& code) {
    for (const std::string& line : list)
        if (VerListColumnOf(line, kColCode) == code)
            return true;
    return false;
}

// The line of one Uninstall entry of view, or empty when it is no installed Office.
std::string productLine(const std::string& entryName, RegView view) {
    if (!IsProductCode(entryName))
        return {};
    std::string entry = std::string(kUninstall) + "\\" + entryName;
    std::string name, displayVersion, productId, path;
    if (ReadRegString(HKEY_LOCAL_MACHINE, entry, "DisplayName", name, view) != 0 ||
        name.find("Microsoft Office") == std::string::npos)
        return {};
    int major = -1;
    if (ReadRegInteger(HKEY_LOCAL_MACHINE, entry, "VersionMajor", major, view) != 0 ||
        major < kFirstMajor || major > kLastMajor)
        return {};
    std::string office = "\\SOFTWARE\\Microsoft\\Office\\" + std::to_string(major) + ".0";
    if (ReadRegString(HKEY_LOCAL_MACHINE, office + "\\Common\\InstallRoot", "Path", path, view) !=
            0 ||
        !IsOfficeFolder(path))
        return {};
    ReadRegString(HKEY_LOCAL_MACHINE, entry, "DisplayVersion", displayVersion, view);
    ReadRegString(HKEY_LOCAL_MACHINE, entry, "ProductID", productId, view);
    if (productId.empty())
        ReadRegString(HKEY_LOCAL_MACHINE, office + "\\Registration\\" + entryName, "ProductID",
                      productId, view);
    return FormatVerListLine(major, entryName, name, displayVersion, productId, path);
}

} // namespace

void AppendOtherViewInstallerProducts(StringList& list) {
    RegView view;
    StringList entries;
    if (!OtherRegView(view) || GetRegKeyNames(HKEY_LOCAL_MACHINE, kUninstall, entries, view) != 0)
        return;
    for (const std::string& entry : entries) {
        std::string line = productLine(entry, view);
        if (!line.empty() && !listed(list, entry))
            list.push_back(line);
    }
}

} // namespace kel
