// The account the program runs under, and the user signed in at its desk.
#pragma once

#include <optional>
#include <string>

namespace kel {

// The program's account's security identifier ("S-1-5-21-…"), the name of its
// profile under HKEY_USERS; empty when it can't be read.
std::string CurrentUserSid();

// The SID of the account that runs a process (its token's user); empty when the
// process can't be opened or its token read.
std::string ProcessUserSid(unsigned long processId);

// "DOMAIN\user" of the program's account; empty when it can't be read.
std::wstring AccountName();

// "DOMAIN\user" signed in to the program's session (the user at the desk); empty
// when it can't be read.
std::wstring SessionUserName();

// The program's session: the signed-in user's at whose desk it runs.
std::optional<unsigned long> CurrentSessionId();

// Whether the program runs with administrator rights unfiltered; empty when the
// system can't tell.
std::optional<bool> IsElevated();

// Whether the process has administrator rights (IsElevated; unknown counts as no):
// what decides where a change runs and whether a browser may be started. Tests put
// another answer.
extern bool (*gProcessElevated)();

// The SID of the local system account (SYSTEM), which runs startup scripts and
// Intune's scripts; never a user at a desk.
inline constexpr char kSystemSid[] = "S-1-5-18";

// The user signed in at the desk: the session's user name, for showing, and the SID
// told by the session's user token, its shell's, or the program's own unelevated one
// in the session's interactive logon (DeskUserSid), never by looking the name up;
// tests put another there.
struct TDeskUser {
    std::wstring name;
    std::string sid;
};
extern TDeskUser (*gDeskUser)();

// True when the program runs as the user at the desk: not a service account
// (SYSTEM, LocalService, NetworkService), not another account's credentials, and
// not where the desk's user can't be told (a scheduled task, a service). Only then
// are the account's own settings the user's.
bool RunsAsDeskUser();

} // namespace kel
