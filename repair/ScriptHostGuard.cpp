#include "repair/ScriptHostGuard.h"

#include "sysinfo/Account.h"
#include "sysinfo/RegKey.h"
#include "sysinfo/Registry.h"
#include "sysinfo/Text.h"
#include "sysinfo/TextRules.h"

#include <string>
#include <vector>

namespace kel {

namespace {

const wchar_t kMarker[] = L".SymantecDisabled";
const char kClasses[] = "\\Software\\Classes";

// Where classes are registered: the user's own, and the machine's. HKEY_CLASSES_ROOT
// shows the two merged, a user's class over the machine's of the same name, so that
// a rename through it would mix them: each hive's classes are listed, read and
// renamed as a tree of their own. The account's own classes are the user's only
// when the program runs as the user at the desk; under SYSTEM or an
// administrator's typed credentials the switch acts on the machine's alone.
std::vector<HKEY> hives() {
    if (RunsAsDeskUser())
        return {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
    return {HKEY_LOCAL_MACHINE};
}

using Names = std::vector<std::wstring>;

bool isMarked(const std::wstring& name) {
    return name.find(kMarker) != std::wstring::npos;
}

// True when the class's open command can be read and starts a script host. The
// command is searched as stored: a best-fit look-alike is no script host.
bool isScriptClass(HKEY hive, const std::wstring& name) {
    std::wstring command;
    if (ReadRegStringW(hive, AnsiToWide(kClasses) + L"\\" + name + L"\\Shell\\Open\\Command", L"",
                       command) != 0)
        return false;
    command = AsciiLower(command);
    return command.find(L"wscript.exe") != std::wstring::npos ||
           command.find(L"cscript.exe") != std::wstring::npos;
}

// Every class name of a hive as listed, also those that code page 932 cannot carry;
// false when the hive has classes that can't be listed whole.
bool listClasses(HKEY hive, Names& names) {
    names.clear();
    RegKey classes;
    if (classes.open(hive, kClasses + 1, KEY_ENUMERATE_SUB_KEYS) == ERROR_FILE_NOT_FOUND)
        return true; // no classes of its own; a key that refuses to open is no such key
    return GetRegKeyNamesW(hive, kClasses, names) == 0;
}

// Moves one class of the hive to the name given. A name that code page 932 cannot
// carry is never renamed (the registry is changed only through names that the
// program reads back exactly): it stays, and the move counts as not done.
bool renameClass(HKEY hive, const std::wstring& name, const std::wstring& target) {
    std::string from, to;
    std::string classes = std::string(kClasses) + "\\";
    return !target.empty() && WideToAnsiExact(name, from) && WideToAnsiExact(target, to) &&
           RenameRegKey(hive, classes + from, classes + to) == 0;
}

} // namespace

int GetScriptHostEnabled() {
    for (HKEY hive : hives()) {
        Names names;
        if (!listClasses(hive, names))
            return 1; // classes that can't be listed may start scripts
        for (const std::wstring& name : names) {
            if (!isMarked(name) && isScriptClass(hive, name))
                return 1;
        }
    }
    return 0;
}

int SetScriptHostEnabled(int state) {
    const std::vector<HKEY> where = hives();
    std::vector<Names> names(where.size());
    for (size_t hive = 0; hive < where.size(); ++hive)
        if (!listClasses(where[hive], names[hive]))
            return -1;
    int status = 0;
    for (size_t hive = 0; hive < where.size(); ++hive) {
        for (const std::wstring& name : names[hive]) {
            if (isMarked(name) == (state == 0) || !isScriptClass(where[hive], name))
                continue;
            std::wstring target = state == 0 ? name + kMarker : name.substr(0, name.find(kMarker));
            if (!renameClass(where[hive], name, target))
                status = -1;
        }
    }
    return status;
}

} // namespace kel
