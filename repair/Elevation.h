// Where a change runs and who may make it: the window runs as the user and hands a
// machine-wide change to one elevated command of its own command line; a command
// makes a change only where it lands in the right place. No platform calls.
#pragma once

namespace kel {

// Whose settings a row changes: the account's own (its profile, its files), the
// machine's (HKEY_LOCAL_MACHINE, the default profile, the machine's classes: they
// need administrator rights), or none that are kept (a page opened, a program
// ended).
enum class TScope { None, User, Machine };

// The window's choice: its own process, or the program's command started elevated
// ("runas"), for a machine-wide change while the window is not elevated.
enum class TRunPlace { InProcess, ElevatedCommand };
TRunPlace RunPlaceOf(TScope scope, bool elevated);

// Whether a command may make a change of scope here. A per-user change is refused
// in an account that is not the user at the desk (SYSTEM in a startup script or an
// Intune script, a help desk's credentials), whose own profile it would change; a
// machine-wide one without administrator rights.
enum class TPermit { Allowed, NotTheDeskUser, NeedsAdministrator };
TPermit CommandPermit(TScope scope, bool elevated, bool deskUser);

} // namespace kel
