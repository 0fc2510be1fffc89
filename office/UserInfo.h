// The registered company, user name and initials, in every place Office keeps them.
#pragma once

#include "office/OfficeInfo.h"
#include "office/UserInfoList.h"

#include <string>
#include <vector>

namespace kel {

// Reads the values in their order of preference into list (names no source yields
// keep what they had): the primary product's registration, the current user's
// settings of the primary version, then the settings of every installed version in
// the user's own profile, and in ".DEFAULT" for the names nothing before it gave
// (never another signed-in user's), until all three are found. A value that code
// page 932 does not carry exactly is marked approximate in list. Always returns 0.
int ReadUserInfo(const TKelOfficeInfo& info, TUserInfoList& list);

// Writes the values into every existing place of every installed version: the
// registrations (company, owner) in the Uninstall entry and in Windows Installer's
// data of the machine and of the program's own account (never another user's), and
// the settings (company, owner, initials) of the user's own profile and of
// ".DEFAULT", never of another signed-in user's, and removes the cached "UserInfo"
// and "Settings" values there. Keys are opened, never created, and a value marked
// approximate in list is not written. 0 when every write succeeded; -1 when a place that exists
// refused one.
// Which places and names an update writes: the user's own profile (the account's
// settings), the machine's places (the registrations and the default profile, which
// need administrator rights), and of the names "Company", "Owner", "Initials" those
// listed (empty: all three).
struct TUserInfoWrite {
    bool user = true;
    bool machine = true;
    std::vector<std::string> names;
};
int WriteUserInfo(const TKelOfficeInfo& info, const TUserInfoList& list,
                  const TUserInfoWrite& what = {});

// Of the names of what (all three when it lists none): those whose value some place
// that WriteUserInfo(info, list, what) would write does not hold exactly (blanks at
// either end aside), and those that no such place exists for. Reads only.
struct TUserInfoComparison {
    std::vector<std::string> differing;
    std::vector<std::string> unplaced;
};
TUserInfoComparison CompareUserInfo(const TKelOfficeInfo& info, const TUserInfoList& list,
                                    const TUserInfoWrite& what);

// True when a place of the machine (a registration, the default profile's
// settings) holds an installed version's user information.
bool HasMachineUserInfo(const TKelOfficeInfo& info);

} // namespace kel
