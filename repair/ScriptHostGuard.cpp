#include "repair/ScriptHostGuard.h"

#include "sysinfo/Registry.h"
#include "sysinfo/TextRules.h"

namespace kel {

namespace {

const char kMarker[] = ".SymantecDisabled";

bool isMarked(const std::string& name) {
    return name.find(kMarker) != std::string::npos;
}

// True when the class's open command can be read and starts a script host. The
// command is searched as stored: a best-fit look-alike is no script host.
bool isScriptClass(const std::string& name) {
    std::wstring command;
    if (ReadRegStringW(HKEY_CLASSES_ROOT, "\\" + name + "\\Shell\\Open\\Command", "", command) != 0)
        return false;
    command = AsciiLower(command);
    return command.find(L"wscript.exe") != std::wstring::npos ||
           command.find(L"cscript.exe") != std::wstring::npos;
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

int SetScriptHostEnabled(int state) {
    StringList names;
    if (GetRegKeyNames(HKEY_CLASSES_ROOT, "", names) != 0)
        return -1;
    int status = 0;
    for (const std::string& name : names) {
        if (isMarked(name) == (state == 0) || !isScriptClass(name))
            continue;
        std::string target = state == 0 ? name + kMarker : name.substr(0, name.find(kMarker));
        if (RenameRegKey(HKEY_CLASSES_ROOT, name, target) != 0)
            status = -1;
    }
    return status;
}

} // namespace kel
