#include "office/ClickToRun.h"

#include "office/ClickToRunRules.h"
#include "office/OfficeInfo.h"
#include "sysinfo/Registry.h"
#include "sysinfo/Text.h"

#include <optional>

namespace kel {

namespace {

// Click-to-Run keeps its configuration and its Uninstall entries in the 64-bit view,
// whatever the bitness of the Office it installed.
const RegView kView = RegView::Bits64;

// Where one kind of Click-to-Run installation keeps its configuration.
struct Layout {
    // Below Office's key: the key of "ProductReleaseIds", "VersionToReport" and
    // "ClientCulture", and the key that names the installation folder.
    const char* configuration;
    const char* folderKey;
    const char* folderValue;
    int major; // the installation's major version; 0: read from its version
    // Where its client is when the configuration names no "ClientFolder": beside
    // the installation (Office 2013), or nowhere else.
    bool clientInInstallation;
};
const Layout kLayouts[] = {
    {"ClickToRun\\Configuration", "ClickToRun\\Configuration", "InstallationPath", 0, false},
    {"15.0\\ClickToRun\\Configuration", "15.0\\ClickToRun", "InstallPath", 15, true},
};

struct Configuration {
    std::string releaseIds;
    std::string versionToReport;
    std::string installationPath;
    std::string culture;
    int major = 0;
};

bool readConfiguration(const Layout& layout, Configuration& configuration) {
    const HKEY root = HKEY_LOCAL_MACHINE;
    const std::string key = OfficeKey(layout.configuration);
    if (ReadRegString(root, key, "ProductReleaseIds", configuration.releaseIds, kView) != 0)
        return false;
    ReadRegString(root, key, "VersionToReport", configuration.versionToReport, kView);
    ReadRegString(root, key, "ClientCulture", configuration.culture, kView);
    ReadRegString(root, OfficeKey(layout.folderKey), layout.folderValue,
                  configuration.installationPath, kView);
    configuration.major = layout.major;
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

std::optional<TProductLine> productLine(const Configuration& configuration,
                                        const std::string& entryName) {
    std::string entry = UninstallEntryKey(entryName);
    std::string name, displayVersion, location;
    if (ReadRegString(HKEY_LOCAL_MACHINE, entry, "DisplayName", name, kView) != 0 || name.empty())
        return {};
    ReadRegString(HKEY_LOCAL_MACHINE, entry, "DisplayVersion", displayVersion, kView);
    ReadRegString(HKEY_LOCAL_MACHINE, entry, "InstallLocation", location, kView);
    if (displayVersion.empty())
        displayVersion = configuration.versionToReport;
    int major = configuration.major;
    if (major == 0)
        major = VersionMajorNumber(configuration.versionToReport);
    if (major < 0)
        major = VersionMajorNumber(displayVersion);
    std::string base =
        configuration.installationPath.empty() ? location : configuration.installationPath;
    if (major < 0 || base.empty())
        return {};
    std::string folder = ClickToRunProgramFolder(base, major);
    if (!IsOfficeFolder(folder))
        return {};
    return MakeProductLine(major, "", name, displayVersion, "", folder, kView);
}

void appendInstallation(std::vector<ProductCandidate>& list, const Configuration& configuration,
                        const StringList& entries) {
    for (const std::string& id : SplitReleaseIds(configuration.releaseIds)) {
        ReleaseKind kind = ReleaseKindOf(id);
        if (kind == ReleaseKind::Other)
            continue;
        std::string entry = entryOf(id, entries, configuration.culture);
        std::optional<TProductLine> line;
        if (!entry.empty())
            line = productLine(configuration, entry);
        if (line)
            list.push_back({*line, kind == ReleaseKind::Suite ? Listing::Suite : Listing::Shown});
    }
}

} // namespace

void AppendClickToRunProducts(std::vector<ProductCandidate>& list) {
    StringList entries;
    bool listedEntries = false;
    for (const Layout& layout : kLayouts) {
        Configuration configuration;
        if (!readConfiguration(layout, configuration))
            continue;
        if (!listedEntries &&
            GetRegKeyNames(HKEY_LOCAL_MACHINE, kUninstallKey, entries, kView) != 0)
            return;
        listedEntries = true;
        appendInstallation(list, configuration, entries);
    }
}

namespace {

// The client programs that a layout's configuration names; none without one.
std::vector<std::wstring> clientsOf(const Layout& layout) {
    const std::string key = OfficeKey(layout.configuration);
    if (RegKeyExists(HKEY_LOCAL_MACHINE, key, kView) != 0)
        return {};
    std::wstring clientFolder, installation;
    ReadRegStringW(HKEY_LOCAL_MACHINE, key, "ClientFolder", clientFolder, kView);
    ReadRegStringW(HKEY_LOCAL_MACHINE, OfficeKey(layout.folderKey), layout.folderValue,
                   installation, kView);
    return ClickToRunClientPrograms(clientFolder, installation, layout.clientInInstallation);
}

// The culture of a configuration's first release that has an Uninstall entry.
std::string releaseCulture(const Configuration& configuration) {
    StringList entries;
    if (GetRegKeyNames(HKEY_LOCAL_MACHINE, kUninstallKey, entries, kView) != 0)
        return {};
    for (const std::string& id : SplitReleaseIds(configuration.releaseIds))
        if (std::string entry = entryOf(id, entries, ""); !entry.empty())
            return EntryCulture(entry);
    return {};
}

} // namespace

std::vector<std::wstring> ClickToRunClients() {
    std::vector<std::wstring> clients;
    for (const Layout& layout : kLayouts)
        for (std::wstring& program : clientsOf(layout))
            clients.push_back(std::move(program));
    return clients;
}

std::vector<TClickToRunSetup> ClickToRunSetups() {
    std::vector<TClickToRunSetup> setups;
    for (const Layout& layout : kLayouts) {
        Configuration configuration;
        if (!readConfiguration(layout, configuration))
            continue;
        std::wstring platform;
        ReadRegStringW(HKEY_LOCAL_MACHINE, OfficeKey(layout.configuration), "Platform", platform,
                       kView);
        std::string culture =
            configuration.culture.empty() ? releaseCulture(configuration) : configuration.culture;
        for (const std::wstring& client : clientsOf(layout)) {
            std::wstring folder = client.substr(0, client.find_last_of(L'\\') + 1);
            setups.push_back({folder + L"OfficeClickToRun.exe", platform, AnsiToWide(culture)});
        }
    }
    return setups;
}

} // namespace kel
