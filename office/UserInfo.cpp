#include "office/UserInfo.h"

#include "office/InstallerProducts.h"
#include "office/OfficeKeys.h"
#include "sysinfo/Account.h"
#include "sysinfo/RegBackup.h"
#include "sysinfo/Registry.h"
#include "sysinfo/Text.h"
#include "sysinfo/TextRules.h"

#include <algorithm>
#include <iterator>

namespace kel {

namespace {

// Office 2007 and later keep the user's settings for all versions in one key, as
// REG_SZ values named as in the per-version key.
const char kCommonUserInfo[] = "\\Common\\UserInfo";
const double kFirstCommonVersion = 12.0;

using Field = TUserInfoField;
const TUserInfoField& kCompany = kCompanyField;
const TUserInfoField& kOwner = kOwnerField;
const TUserInfoField& kInitials = kInitialsField;

// Sets names from successful reads and remembers which were found. A stored text
// that code page 932 does not carry exactly is shown in its best-fit form and
// marked, so that an update leaves it alone.
class Gatherer {
  public:
    explicit Gatherer(TUserInfoList& list) : list_(list) {}

    void read(int status, const Field& field, const std::wstring& stored) {
        if (status != 0)
            return;
        std::string value;
        bool exact = WideToAnsiExact(stored, value);
        if (!exact)
            value = WideToAnsi(stored);
        list_.SetValue(field.name, TrimBlanks(value));
        list_.SetApproximate(field.name, !exact);
        found_[index(field)] = true;
    }
    bool found(const Field& field) const { return found_[index(field)]; }
    bool all() const { return found_[0] && found_[1] && found_[2]; }

  private:
    static int index(const Field& field) { return static_cast<int>(&field - kUserInfoFields); }
    TUserInfoList& list_;
    bool found_[std::size(kUserInfoFields)] = {};
};

void readString(Gatherer& gatherer, HKEY root, const std::string& key, const Field& field,
                RegView view = RegView::Program) {
    std::wstring value;
    int status = ReadRegStringW(root, key, field.registrationValue, value, view);
    gatherer.read(status, field, value);
}

// The view that holds a product's Uninstall entry: the program's own, else the
// other one (64-bit Office for the 32-bit program). False when neither has it.
bool registrationView(const std::string& entry, RegView& view) {
    view = RegView::Program;
    if (RegKeyExists(HKEY_LOCAL_MACHINE, entry) == 0)
        return true;
    return OtherRegView(view) && RegKeyExists(HKEY_LOCAL_MACHINE, entry, view) == 0;
}

void readWide(Gatherer& gatherer, HKEY root, const std::string& key, const Field& field) {
    std::wstring value;
    int status = ReadRegWideStringW(root, key, field.settingsValue, value);
    gatherer.read(status, field, value);
}

void readCommon(Gatherer& gatherer, HKEY root, const std::string& key, const Field& field) {
    std::wstring value;
    int status = ReadRegStringW(root, key, field.settingsValue, value);
    gatherer.read(status, field, value);
}

// True for the versions that keep the user's settings in the common key.
bool usesCommonSettings(const std::string& version) {
    double number = 0;
    return ParseVersion(version, number) && number >= kFirstCommonVersion;
}

std::string profileOffice(const std::string& user) {
    return "\\" + user + kOfficeKey;
}

// The Office key of a profile under HKEY_USERS that is this user's.
struct ProfileOffice {
    std::string key;
    bool own; // the user's own profile; else ".DEFAULT"
};

// The user's Office keys under HKEY_USERS (IsOwnProfile), the own before the default
// one. Another signed-in user's are never read nor written.
std::vector<ProfileOffice> ownProfileOfficeKeys() {
    StringList users;
    std::vector<ProfileOffice> keys;
    if (GetRegKeyNames(HKEY_USERS, "", users) != 0)
        return keys;
    const std::string ownSid = CurrentUserSid();
    for (const std::string& user : users) {
        if (!IsOwnProfile(user, ownSid) || RegKeyExists(HKEY_USERS, profileOffice(user)) != 0)
            continue;
        bool own = AsciiLower(user) == AsciiLower(ownSid);
        keys.insert(own ? keys.begin() : keys.end(), {profileOffice(user), own});
    }
    return keys;
}

// The own profile's values replace earlier ones; ".DEFAULT" only gives the names
// that nothing before it gave, so that it never overrides the user's own.
void readProfiles(const TKelOfficeInfo& info, Gatherer& gatherer) {
    for (const ProfileOffice& office : ownProfileOfficeKeys()) {
        auto wanted = [&](const Field& field) { return office.own || !gatherer.found(field); };
        for (const TProductLine& line : info.VerList) {
            std::string key = office.key + "\\" + line.version + "\\Common\\UserInfo";
            for (const Field& field : kUserInfoFields)
                if (wanted(field))
                    readWide(gatherer, HKEY_USERS, key, field);
            if (usesCommonSettings(line.version))
                for (const Field& field : kUserInfoFields)
                    if (wanted(field))
                        readCommon(gatherer, HKEY_USERS, office.key + kCommonUserInfo, field);
            if (gatherer.all())
                return;
        }
    }
}

// The values an update writes, one per field, and what it does at each place: writes
// the value, or compares it with what the place holds. A field whose value is shown
// changed (and was not edited) is left alone everywhere. A write into a place that
// exists and fails makes the whole update fail; a compared place that does not hold
// the value (or can't be read) makes its field differ.
class Writer {
  public:
    Writer(const TUserInfoList& list, const std::vector<std::string>& names, bool compare)
        : compare_(compare) {
        for (size_t i = 0; i < std::size(kUserInfoFields); ++i) {
            values_[i] = TrimBlanks(list.Value(kUserInfoFields[i].name));
            if (values_[i].empty())
                values_[i] = kBlankValue;
            bool named = names.empty() || std::find(names.begin(), names.end(),
                                                    kUserInfoFields[i].name) != names.end();
            skip_[i] = list.IsApproximate(kUserInfoFields[i].name) || !named;
        }
    }

    bool comparing() const { return compare_; }
    void registration(const std::string& key, RegView view) {
        for (int i = 0; i < 2; ++i)
            if (!skip_[i])
                visit(
                    i,
                    [&](std::wstring& stored) {
                        return ReadRegStringW(HKEY_LOCAL_MACHINE, key,
                                              kUserInfoFields[i].registrationValue, stored, view);
                    },
                    [&] {
                        return UpdateRegString(HKEY_LOCAL_MACHINE, key,
                                               kUserInfoFields[i].registrationValue, values_[i],
                                               view);
                    });
    }
    void settings(const std::string& key) {
        for (size_t i = 0; i < std::size(kUserInfoFields); ++i)
            if (!skip_[i])
                visit(
                    i,
                    [&](std::wstring& stored) {
                        return ReadRegWideStringW(HKEY_USERS, key, kUserInfoFields[i].settingsValue,
                                                  stored);
                    },
                    [&] {
                        return UpdateRegWideString(HKEY_USERS, key,
                                                   kUserInfoFields[i].settingsValue, values_[i]);
                    });
    }
    void common(const std::string& key) {
        for (size_t i = 0; i < std::size(kUserInfoFields); ++i)
            if (!skip_[i])
                visit(
                    i,
                    [&](std::wstring& stored) {
                        return ReadRegStringW(HKEY_USERS, key, kUserInfoFields[i].settingsValue,
                                              stored);
                    },
                    [&] {
                        return UpdateRegString(HKEY_USERS, key, kUserInfoFields[i].settingsValue,
                                               values_[i]);
                    });
    }
    int status() const { return status_; }
    // The named fields that some place does not hold as given, and those that have
    // no place at all.
    TUserInfoComparison comparison() const {
        TUserInfoComparison found;
        for (size_t i = 0; i < std::size(kUserInfoFields); ++i)
            if (!skip_[i] && !seen_[i])
                found.unplaced.push_back(kUserInfoFields[i].name);
            else if (!skip_[i] && differs_[i])
                found.differing.push_back(kUserInfoFields[i].name);
        return found;
    }

  private:
    template <class Read, class Write> void visit(int i, Read read, Write write) {
        seen_[i] = true;
        if (!compare_) {
            if (write() != 0)
                status_ = -1;
            return;
        }
        std::wstring stored;
        std::string text;
        if (read(stored) != 0 || !WideToAnsiExact(stored, text) ||
            TrimBlanks(text) != TrimBlanks(values_[i]))
            differs_[i] = true;
    }
    bool compare_;
    std::string values_[std::size(kUserInfoFields)];
    bool skip_[std::size(kUserInfoFields)] = {};
    bool seen_[std::size(kUserInfoFields)] = {};
    bool differs_[std::size(kUserInfoFields)] = {};
    int status_ = 0;
};

// The Windows Installer users whose data of a product an update writes: the
// machine's (per-machine installations) and the program's own account's. Another
// user's per-user installation keeps its own name.
// The account's own only when the update writes the account's settings: an
// administrator's credentials typed for the machine's places never lend it theirs.
std::vector<std::string> ownInstallerUsers(bool withOwn = true) {
    std::vector<std::string> users = {kSystemSid}; // per-machine installations
    std::string own = CurrentUserSid();
    if (withOwn && !own.empty() && AsciiLower(own) != AsciiLower(users.front()))
        users.push_back(own);
    return users;
}

// The product's registration places; a line without a product code (Click-to-Run)
// has none, and nothing is written at the parent keys.
void writeRegistrations(Writer& writer, const std::string& code, bool withOwn) {
    if (code.empty())
        return;
    std::string packed = PackProductCode(code);
    for (const std::string& user : ownInstallerUsers(withOwn)) {
        std::string key = InstallPropertiesKey(user, packed);
        if (RegKeyExists(HKEY_LOCAL_MACHINE, key, kInstallerView) == 0)
            writer.registration(key, kInstallerView);
    }
    RegView view;
    if (registrationView(UninstallEntryKey(code), view))
        writer.registration(UninstallEntryKey(code), view);
}

void writeProfileSettings(Writer& writer, const std::string& office, const std::string& version) {
    std::string versionKey = office + "\\" + version;
    std::string userInfo = versionKey + "\\Common\\UserInfo";
    if (RegKeyExists(HKEY_USERS, userInfo) == 0) {
        writer.settings(userInfo);
        if (!writer.comparing())
            (void)DeleteRegValue(HKEY_USERS, userInfo, "UserInfo");
    }
    std::string common = office + kCommonUserInfo;
    if (usesCommonSettings(version) && RegKeyExists(HKEY_USERS, common) == 0)
        writer.common(common);
    if (writer.comparing())
        return; // the caches an update removes are no values to compare
    // Removing a cache is best effort: its status changes nothing of what was written.
    if (RegKeyExists(HKEY_USERS, versionKey + "\\Word\\Data") == 0)
        (void)DeleteRegValue(HKEY_USERS, versionKey + "\\Word\\Data", "Settings");
    StringList applications;
    if (GetRegKeyNames(HKEY_USERS, versionKey, applications) != 0)
        return;
    for (const std::string& application : applications)
        (void)DeleteRegValue(HKEY_USERS, versionKey + "\\" + application + "\\UserInfo",
                             "UserInfo");
}

} // namespace

int ReadUserInfo(const TKelOfficeInfo& info, TUserInfoList& list) {
    Gatherer gatherer(list);
    std::string registration = UninstallEntryKey(info.GUID);
    RegView view;
    if (!info.GUID.empty() && registrationView(registration, view)) { // none for Click-to-Run
        readString(gatherer, HKEY_LOCAL_MACHINE, registration, kCompany, view);
        readString(gatherer, HKEY_LOCAL_MACHINE, registration, kOwner, view);
    }

    std::string settings = OfficeVersionKey(info.PrimaryVersion(), "Common\\UserInfo");
    if (!gatherer.found(kCompany))
        readWide(gatherer, HKEY_CURRENT_USER, settings, kCompany);
    if (!gatherer.found(kOwner))
        readWide(gatherer, HKEY_CURRENT_USER, settings, kOwner);
    readWide(gatherer, HKEY_CURRENT_USER, settings, kInitials);
    if (usesCommonSettings(info.PrimaryVersion())) {
        std::string common = std::string(kOfficeKey) + kCommonUserInfo;
        if (!gatherer.found(kCompany))
            readCommon(gatherer, HKEY_CURRENT_USER, common, kCompany);
        if (!gatherer.found(kOwner))
            readCommon(gatherer, HKEY_CURRENT_USER, common, kOwner);
        readCommon(gatherer, HKEY_CURRENT_USER, common, kInitials);
    }

    if (!gatherer.all())
        readProfiles(info, gatherer);

    list.DropBlankValues();
    return 0;
}

namespace {

// Every place of every installed version that an update of what writes.
void visitPlaces(const TKelOfficeInfo& info, Writer& writer, const TUserInfoWrite& what) {
    for (const TProductLine& line : info.VerList) {
        if (what.machine)
            writeRegistrations(writer, line.code, what.user);
        for (const ProfileOffice& office : ownProfileOfficeKeys())
            if (office.own ? what.user : what.machine)
                writeProfileSettings(writer, office.key, line.version);
    }
}

} // namespace

int WriteUserInfo(const TKelOfficeInfo& info, const TUserInfoList& list,
                  const TUserInfoWrite& what) {
    RegBackup backup(L"UserInfo");
    Writer writer(list, what.names, false);
    visitPlaces(info, writer, what);
    return writer.status();
}

TUserInfoComparison CompareUserInfo(const TKelOfficeInfo& info, const TUserInfoList& list,
                                    const TUserInfoWrite& what) {
    Writer writer(list, what.names, true);
    visitPlaces(info, writer, what);
    return writer.comparison();
}

bool HasMachineUserInfo(const TKelOfficeInfo& info) {
    for (const TProductLine& line : info.VerList) {
        if (line.code.empty())
            continue;
        RegView view;
        if (registrationView(UninstallEntryKey(line.code), view))
            return true;
        for (const std::string& user : ownInstallerUsers())
            if (RegKeyExists(HKEY_LOCAL_MACHINE,
                             InstallPropertiesKey(user, PackProductCode(line.code)),
                             kInstallerView) == 0)
                return true;
    }
    for (const ProfileOffice& office : ownProfileOfficeKeys())
        if (!office.own)
            for (const TProductLine& line : info.VerList)
                if (RegKeyExists(HKEY_USERS, office.key + "\\" + line.version) == 0)
                    return true;
    return false;
}

} // namespace kel
