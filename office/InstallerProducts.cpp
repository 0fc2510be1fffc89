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

// The Uninstall key of one view and what it shows. Its entries are read through the
// key held open: a path opened from the root for each of hundreds of entries costs
// more than the reads themselves.
class UninstallView {
  public:
    UninstallView(RegView view, bool other) : view_(view), other_(other) {}

    bool list() {
        return OpenRegKeyToRead(HKEY_LOCAL_MACHINE, kUninstallKey, view_, key_) &&
               GetRegKeyNames(key_.get(), "", entries_, view_) == 0;
    }
    const StringList& entries() const { return entries_; }

    // The line of one entry, or none when it is no installed Office.
    std::optional<TProductLine> productLine(const std::string& entryName) const {
        if (!IsProductCode(entryName))
            return {};
        std::string name, displayVersion, productId, path;
        if (readEntry(entryName, "DisplayName", name) != 0 ||
            name.find("Microsoft Office") == std::string::npos)
            return {};
        int major = -1;
        if (ReadRegInteger(key_.get(), entryName, "VersionMajor", major, view_) != 0 ||
            (other_ && (major < kFirstOtherViewMajor || major > kLastOtherViewMajor)))
            return {};
        std::string version = std::to_string(major) + ".0";
        if (readMachine(InstallRootKey(version), "Path", path) != 0 || !IsOfficeFolder(path))
            return {};
        readEntry(entryName, "DisplayVersion", displayVersion);
        readEntry(entryName, "ProductID", productId);
        if (other_ && productId.empty())
            readMachine(registrationKey(version, entryName), "ProductID", productId);
        return MakeProductLine(major, entryName, name, displayVersion, productId, path, view_);
    }

    // A hidden entry is a suite when it is registered as an Office product, or shown
    // through its setup's entry.
    Listing listingOf(const std::string& entryName, const TProductLine& line) {
        if (!hidden(entryName))
            return Listing::Shown;
        std::string name;
        if (RegKeyExists(HKEY_LOCAL_MACHINE, registrationKey(line.version, entryName), view_) == 0)
            return Listing::Suite;
        readEntry(entryName, "DisplayName", name);
        const StringList& setups = setupNames();
        return std::find(setups.begin(), setups.end(), name) != setups.end() ? Listing::Suite
                                                                             : Listing::Component;
    }

  private:
    int readEntry(const std::string& entryName, const char* name, std::string& value) const {
        return ReadRegString(key_.get(), entryName, name, value, view_);
    }
    int readMachine(const std::string& key, const char* name, std::string& value) const {
        return ReadRegString(HKEY_LOCAL_MACHINE, key, name, value, view_);
    }
    bool hidden(const std::string& entryName) const {
        int systemComponent = 0;
        return ReadRegInteger(key_.get(), entryName, "SystemComponent", systemComponent, view_) ==
                   0 &&
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
                if (!IsProductCode(entryName) && !hidden(entryName) &&
                    readEntry(entryName, "DisplayName", name) == 0 && !name.empty())
                    setupNames_->push_back(name);
            }
        }
        return *setupNames_;
    }

    RegView view_;
    bool other_;
    RegKey key_;
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
