#include "office/OfficeKeys.h"

namespace kel {

std::string UninstallEntryKey(const std::string& entryName) {
    return std::string(kUninstallKey) + "\\" + entryName;
}

std::string OfficeKey(const std::string& below) {
    return std::string(kOfficeKey) + "\\" + below;
}

std::string OfficeVersionKey(const std::string& version, const std::string& below) {
    return OfficeKey(version + "\\" + below);
}

std::string InstallRootKey(const std::string& version) {
    return OfficeVersionKey(version, "Common\\InstallRoot");
}

} // namespace kel
