#include "repair/ScriptHostGuard.h"

#include "sysinfo/Registry.h"
#include "sysinfo/Text.h"
#include "sysinfo/TextRules.h"

#include <string>
#include <vector>

namespace kel {

namespace {

const wchar_t kMarker[] = L".SymantecDisabled";

using Names = std::vector<std::wstring>;

bool isMarked(const std::wstring& name) {
    return name.find(kMarker) != std::wstring::npos;
}

// True when the class's open command can be read and starts a script host. The
// command is searched as stored: a best-fit look-alike is no script host.
bool isScriptClass(const std::wstring& name) {
    std::wstring command;
    if (ReadRegStringW(HKEY_CLASSES_ROOT, name + L"\\Shell\\Open\\Command", L"", command) != 0)
        return false;
    command = AsciiLower(command);
    return command.find(L"wscript.exe") != std::wstring::npos ||
           command.find(L"cscript.exe") != std::wstring::npos;
}

// Moves one class to the name given. A name that code page 932 cannot carry is
// never renamed (the registry is changed only through names that the program reads
// back exactly): it stays, and the move counts as not done.
bool renameClass(const std::wstring& name, const std::wstring& target) {
    std::string from, to;
    return !target.empty() && WideToAnsiExact(name, from) && WideToAnsiExact(target, to) &&
           RenameRegKey(HKEY_CLASSES_ROOT, from, to) == 0;
}

} // namespace

int GetScriptHostEnabled() {
    Names names;
    if (GetRegKeyNamesW(HKEY_CLASSES_ROOT, "", names) != 0)
        return 0;
    for (const std::wstring& name : names) {
        if (!isMarked(name) && isScriptClass(name))
            return 1;
    }
    return 0;
}

int SetScriptHostEnabled(int state) {
    Names names;
    if (GetRegKeyNamesW(HKEY_CLASSES_ROOT, "", names) != 0)
        return -1;
    int status = 0;
    for (const std::wstring& name : names) {
        if (isMarked(name) == (state == 0) || !isScriptClass(name))
            continue;
        std::wstring target = state == 0 ? name + kMarker : name.substr(0, name.find(kMarker));
        if (!renameClass(name, target))
            status = -1;
    }
    return status;
}

} // namespace kel
