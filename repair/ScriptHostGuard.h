// Whether Windows Script Host scripts can run: every class whose open command starts
// wscript.exe or cscript.exe is set aside under its name + ".SymantecDisabled" to
// switch scripts off, and renamed back to switch them on. The user's classes
// (HKEY_CURRENT_USER\Software\Classes) and the machine's
// (HKEY_LOCAL_MACHINE\Software\Classes) are each renamed where they are; the
// account's own only when it is the user at the desk (RunsAsDeskUser).
#pragma once

namespace kel {

// 1 when an unmarked class of either hive has an open command that names a script
// host; every class counts, also one whose name code page 932 cannot carry. Classes
// that can't be listed read as 1: they may start scripts.
int GetScriptHostEnabled();
// 0 when every script class that needed it was renamed; -1 when the classes can't be
// listed or a rename was not done (its target exists, the class could not be
// deleted and was left whole, or its name is one that code page 932 cannot carry and
// the class was left as it is), so that a change is reported as done only when no
// script class remains that it should have moved.
int SetScriptHostEnabled(int state);

} // namespace kel
