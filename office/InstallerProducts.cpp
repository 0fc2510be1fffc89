#include "office/InstallerProducts.h"

#include "office/OfficeInfo.h"

#include <algorithm>
#include <optional>

namespace kel {

const char kInstallerUserData[] =
    "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData";

std::string InstallPropertiesKey(const std::string& user, const std::string& packedCode) {
    return std::string(kInstallerUserData) + "\\" + user + "\\Products\\" + packedCode +
           "\\InstallProperties";
}

namespace {

const int kFirstOtherViewMajor = 12; // Office 2007
const int kLastOtherViewMajor = 16;  // Office 2016, the last one with Windows Installer packages

// The product registration of Office 2007 and later, which its suites have and
// their language, proofing and shared parts have not.
std::string registrationKey(const std::string& version, const std::string& code) {
    return OfficeVersionKey(version, "Registration\\" + code);
}

bool listed(const std::vector<ProductCandidate>& list, const std::string& code) {
    return std::any_of(list.begin(), list.end(), [&](const ProductCandidate& candidate) {
        return candidate.line.code == code;
    });
}

// The Uninstall key of one view and what it shows.
class UninstallView {
  public:
    UninstallView(RegView view, bool other) : view_(view), other_(other) {}

    bool list() { return GetRegKeyNames(HKEY_LOCAL_MACHINE, kUninstallKey, entries_, view_) == 0; }
    const StringList& entries() const { return entries_; }

    // The line of one entry, or none when it is no installed Office.
    std::optional<TProductLine> productLine(const std::string& entryName) const {
        if (!IsProductCode(entryName))
            return {};
        std::string entry = entryKey(entryName);
        std::string name, displayVersion, productId, path;
        if (read(entry, "DisplayName", name) != 0 ||
            name.find("Microsoft Office") == std::string::npos)
            return {};
        int major = -1;
        if (ReadRegInteger(HKEY_LOCAL_MACHINE, entry, "VersionMajor", major, view_) != 0 ||
            (other_ && (major < kFirstOtherViewMajor || major > kLastOtherViewMajor)))
            return {};
        std::string version = std::to_string(major) + ".0";
        if (read(InstallRootKey(version), "Path", path) != 0 || !IsOfficeFolder(path))
            return {};
        read(entry, "DisplayVersion", displayVersion);
        read(entry, "ProductID", productId);
        if (other_ && productId.empty())
            read(registrationKey(version, entryName), "ProductID", productId);
        return MakeProductLine(major, entryName, name, displayVersion, productId, path, view_);
    }

    // A hidden entry is a suite when it is registered as an Office product, or shown
    // through its setup's entry.
    Listing listingOf(const std::string& entryName, const TProductLine& line) {
        if (!hidden(entryKey(entryName)))
            return Listing::Shown;
        std::string name;
        if (RegKeyExists(HKEY_LOCAL_MACHINE, registrationKey(line.version, entryName), view_) == 0)
            return Listing::Suite;
        read(entryKey(entryName), "DisplayName", name);
        const StringList& setups = setupNames();
        return std::find(setups.begin(), setups.end(), name) != setups.end() ? Listing::Suite
                                                                             : Listing::Component;
    }

  private:
    static std::string entryKey(const std::string& entryName) {
        return UninstallEntryKey(entryName);
    }
    int read(const std::string& key, const char* name, std::string& value) const {
        return ReadRegString(HKEY_LOCAL_MACHINE, key, name, value, view_);
    }
    bool hidden(const std::string& entry) const {
        int systemComponent = 0;
        return ReadRegInteger(HKEY_LOCAL_MACHINE, entry, "SystemComponent", systemComponent,
                              view_) == 0 &&
               systemComponent == 1;
    }
    // The display names of the shown entries not named by a product code: the
    // entries that setup programs write for what they installed. Read once, when
    // first needed.
    const StringList& setupNames() {
        if (!setupNames_) {
            setupNames_.emplace();
            for (const std::string& entryName : entries_) {
                std::string name;
                if (!IsProductCode(entryName) && !hidden(entryKey(entryName)) &&
                    read(entryKey(entryName), "DisplayName", name) == 0 && !name.empty())
                    setupNames_->push_back(name);
            }
        }
        return *setupNames_;
    }

    RegView view_;
    bool other_;
    StringList entries_;
    std::optional<StringList> setupNames_;
};

void appendView(std::vector<ProductCandidate>& list, UninstallView uninstall) {
    if (!uninstall.list())
        return;
    for (const std::string& entry : uninstall.entries()) {
        std::optional<TProductLine> line = uninstall.productLine(entry);
        if (line && !listed(list, entry))
            list.push_back({*line, uninstall.listingOf(entry, *line)});
    }
}

} // namespace

void AppendInstallerProducts(std::vector<ProductCandidate>& list) {
    appendView(list, UninstallView(RegView::Program, false));
    RegView other;
    if (OtherRegView(other))
        appendView(list, UninstallView(other, true));
}

} // namespace kel
