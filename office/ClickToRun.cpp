#include "office/ClickToRun.h"

#include "office/ClickToRunRules.h"
#include "office/OfficeInfo.h"
#include "sysinfo/Text.h"

namespace kel {

namespace {

const char kConfiguration[] = "\\SOFTWARE\\Microsoft\\Office\\ClickToRun\\Configuration";
const char kUninstall[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// Click-to-Run keeps its configuration and its Uninstall entries in the 64-bit view,
// whatever the bitness of the Office it installed.
const RegView kView = RegView::Bits64;

struct Configuration {
    std::string releaseIds;
    std::string versionToReport;
    std::string installationPath;
    std::string culture;
};

bool readConfiguration(Configuration& configuration) {
    const HKEY root = HKEY_LOCAL_MACHINE;
    if (ReadRegString(root, kConfiguration, "ProductReleaseIds", configuration.releaseIds, kView) !=
        0)
        return false;
    ReadRegString(root, kConfiguration, "VersionToReport", configuration.versionToReport, kView);
    ReadRegString(root, kConfiguration, "InstallationPath", configuration.installationPath, kView);
    ReadRegString(root, kConfiguration, "ClientCulture", configuration.culture, kView);
    return true;
}

// The release ID's Uninstall entry: the one of the installation's culture, else the
// first listed; empty when there is none.
std::string entryOf(const std::string& id, const StringList& entries, const std::string& culture) {
    std::string first;
    for (const std::string& entry : entries) {
        if (!IsReleaseEntryName(id, entry))
            continue;
        if (!culture.empty() && AsciiLower(EntryCulture(entry)) == AsciiLower(culture))
            return entry;
        if (first.empty())
            first = entry;
    }
    return first;
}

std::string productLine(const Configuration& configuration, const std::string& entryName) {
    std::string entry = std::string(kUninstall) + "\\" + entryName;
    std::string name, displayVersion, location;
    if (ReadRegString(HKEY_LOCAL_MACHINE, entry, "DisplayName", name, kView) != 0 || name.empty())
        return {};
    ReadRegString(HKEY_LOCAL_MACHINE, entry, "DisplayVersion", displayVersion, kView);
    ReadRegString(HKEY_LOCAL_MACHINE, entry, "InstallLocation", location, kView);
    if (displayVersion.empty())
        displayVersion = configuration.versionToReport;
    int major = VersionMajorNumber(configuration.versionToReport);
    if (major < 0)
        major = VersionMajorNumber(displayVersion);
    std::string base =
        configuration.installationPath.empty() ? location : configuration.installationPath;
    if (major < 0 || base.empty())
        return {};
    std::string folder = ClickToRunProgramFolder(base, major);
    if (!IsOfficeFolder(folder))
        return {};
    return FormatVerListLine(major, "", name, displayVersion, "", folder);
}

} // namespace

void AppendClickToRunProducts(StringList& list) {
    Configuration configuration;
    if (!readConfiguration(configuration))
        return;
    StringList entries;
    if (GetRegKeyNames(HKEY_LOCAL_MACHINE, kUninstall, entries, kView) != 0)
        return;
    for (const std::string& id : SplitReleaseIds(configuration.releaseIds)) {
        if (!IsSuiteReleaseId(id))
            continue;
        std::string entry = entryOf(id, entries, configuration.culture);
        if (entry.empty())
            continue;
        std::string line = productLine(configuration, entry);
        if (!line.empty())
            list.push_back(line);
    }
}

} // namespace kel
