// Whether Windows Script Host scripts can run: every class of HKEY_CLASSES_ROOT
// whose open command starts wscript.exe or cscript.exe is set aside under its name
// + ".SymantecDisabled" to switch scripts off, and renamed back to switch them on.
#pragma once

namespace kel {

// 1 when an unmarked class's open command names a script host.
int GetScriptHostEnabled();
void SetScriptHostEnabled(int state);

} // namespace kel
