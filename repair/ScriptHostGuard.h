// Whether Windows Script Host scripts can run: every class of HKEY_CLASSES_ROOT
// whose open command starts wscript.exe or cscript.exe is set aside under its name
// + ".SymantecDisabled" to switch scripts off, and renamed back to switch them on.
#pragma once

namespace kel {

// 1 when an unmarked class's open command names a script host.
int GetScriptHostEnabled();
// 0 when every script class that needed it was renamed; -1 when the classes can't be
// listed or a rename was not done (its target exists, or the class could not be
// deleted and was left whole), so that switching on is done only when no marked
// script class remains.
int SetScriptHostEnabled(int state);

} // namespace kel
