#include "repair/ScriptHostGuard.h"

#include "sysinfo/Registry.h"
#include "sysinfo/Text.h"

namespace kel {

namespace {

const char kMarker[] = ".SymantecDisabled";

bool isMarked(const std::string& name) {
    return name.find(kMarker) != std::string::npos;
}

// True when the class's open command can be read and starts a script host.
bool isScriptClass(const std::string& name) {
    std::string command;
    if (ReadRegString(HKEY_CLASSES_ROOT, "\\" + name + "\\Shell\\Open\\Command", "", command) != 0)
        return false;
    std::string lowered = AsciiLower(command);
    return lowered.find("wscript.exe") != std::string::npos ||
           lowered.find("cscript.exe") != std::string::npos;
}

} // namespace

int GetScriptHostEnabled() {
    StringList names;
    if (GetRegKeyNames(HKEY_CLASSES_ROOT, "", names) != 0)
        return 0;
    for (const std::string& name : names) {
        if (!isMarked(name) && isScriptClass(name))
            return 1;
    }
    return 0;
}

void SetScriptHostEnabled(int state) {
    StringList names;
    if (GetRegKeyNames(HKEY_CLASSES_ROOT, "", names) != 0)
        return;
    for (const std::string& name : names) {
        if (isMarked(name) == (state == 0) || !isScriptClass(name))
            continue;
        if (state == 0)
            RenameRegKey(HKEY_CLASSES_ROOT, name, name + kMarker);
        else
            RenameRegKey(HKEY_CLASSES_ROOT, name, name.substr(0, name.find(kMarker)));
    }
}

} // namespace kel
