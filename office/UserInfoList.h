// The user-information list: name=value lines for "Company", "Owner" and
// "Initials", at most one line per name, in the order they were added.
#pragma once

#include <string>
#include <vector>

namespace kel {

// The user information's names, as the list, the command line and the window use
// them, with their value names in a product's registration and in the Office
// settings (the initials live in the settings only), and the most bytes of code
// page 932 the window's field takes.
struct TUserInfoField {
    const char* name;
    const char* registrationValue; // nullptr: none
    const char* settingsValue;
    int maxBytes;
};
inline constexpr TUserInfoField kUserInfoFields[] = {
    {"Company", "RegCompany", "Company", 104},
    {"Owner", "RegOwner", "UserName", 52},
    {"Initials", nullptr, "UserInitials", 9},
};
inline constexpr const TUserInfoField& kCompanyField = kUserInfoFields[0];
inline constexpr const TUserInfoField& kOwnerField = kUserInfoFields[1];
inline constexpr const TUserInfoField& kInitialsField = kUserInfoFields[2];

class TUserInfoList {
  public:
    std::vector<std::string> Lines;
    // Names whose value is shown changed: the stored text has characters that code
    // page 932 does not carry exactly, so the value must not be written back.
    std::vector<std::string> Approximate;

    // The value of name; empty when the name has no line.
    std::string Value(const std::string& name) const;
    // An empty value removes the name's line; otherwise the line is replaced in
    // place or appended. A value other than the one held clears the name's mark.
    void SetValue(const std::string& name, const std::string& value);
    void SetApproximate(const std::string& name, bool approximate);
    bool IsApproximate(const std::string& name) const;
    // The text an edit field shows for name: the value without leading and
    // trailing blanks.
    std::string Shown(const std::string& name) const;
    // Takes an edit field's text for name through EditedValue. A marked value
    // keeps its value and mark while the field still holds the text it is shown
    // as: only a real edit of the field replaces it.
    void TakeFieldText(const std::string& name, const std::string& fieldText);
    // After an update, the names still marked (neither edited nor written) take
    // value and mark from the list read back: the update did not touch them.
    void TakeUnwritten(const TUserInfoList& readBack);
    // Removes the lines whose value is the stored blank (kBlankValue): such a
    // value reads as empty. A name's mark stays.
    void DropBlankValues();
    // The lines, each ended by CR LF.
    std::string Text() const;
    // The same value for every name, in whatever order the lines stand (the
    // marks take no part).
    bool operator==(const TUserInfoList& other) const;
};

// An empty value is stored as one full-width space (0x81 0x40 in code page 932).
extern const char kBlankValue[];

// Removes leading and trailing characters 0x00 to 0x20 (not the full-width space).
std::string TrimBlanks(const std::string& text);

// The value an edit field's text stands for: trimmed; empty when nothing but
// full-width spaces and blanks remain; inner full-width spaces kept.
std::string EditedValue(const std::string& fieldText);

// True for the profiles under HKEY_USERS whose settings are this user's to read:
// the user's own (ownSid, compared without regard to ASCII case) and ".DEFAULT".
// Another signed-in user's profile is never read as this user's.
bool IsOwnProfile(const std::string& profile, const std::string& ownSid);

} // namespace kel
