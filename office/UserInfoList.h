// The user-information list: name=value lines for "Company", "Owner" and
// "Initials", at most one line per name, in the order they were added.
#pragma once

#include <string>
#include <vector>

namespace kel {

class TUserInfoList {
  public:
    std::vector<std::string> Lines;

    // The value of name; empty when the name has no line.
    std::string Value(const std::string& name) const;
    // An empty value removes the name's line; otherwise the line is replaced in
    // place or appended.
    void SetValue(const std::string& name, const std::string& value);
    // The lines, each ended by CR LF.
    std::string Text() const;
    bool operator==(const TUserInfoList& other) const { return Lines == other.Lines; }
};

// The lists of the running program, owned by the main window: as last read from the
// registry, and as edited on the Office page.
extern TUserInfoList* gsInfoBefore;
extern TUserInfoList* gsInfoAfter;

} // namespace kel
