#include "repair/OfficeSwitches.h"

#include "office/OfficeKeys.h"
#include "repair/LogonImeRule.h"
#include "sysinfo/RegKey.h"
#include "sysinfo/Registry.h"
#include "sysinfo/Text.h"

namespace kel {

namespace {

const char kPreload[] = "\\.DEFAULT\\Keyboard Layout\\Preload";
const char kSavedPreload[] = "\\.DEFAULT\\Keyboard Layout\\Preload_bak";
// The current list on its way to replace the saved one.
const char kMovingPreload[] = "\\.DEFAULT\\Keyboard Layout\\Preload_bak.new";
const char kJapaneseIme[] = "e0010411";
const char kJapaneseKeyboard[] = "00000411";

std::string clipboardKey(const std::string& version) {
    return OfficeVersionKey(version, "Common\\General");
}

struct PreloadList {
    bool exists = false;
    bool readWhole = true; // missing, or every value of it read
    PreloadValues values;
};

PreloadList readPreload(const char* key) {
    PreloadList list;
    RegKey handle;
    LONG status = handle.open(HKEY_USERS, key + 1, KEY_QUERY_VALUE);
    if (status == ERROR_FILE_NOT_FOUND)
        return list;
    list.exists = true;
    DWORD count = 0;
    StringList names;
    list.readWhole =
        status == ERROR_SUCCESS &&
        RegQueryInfoKeyW(handle.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                         nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
        GetRegValueNames(HKEY_USERS, key, names) == 0 && names.size() == count;
    for (const std::string& name : names) {
        std::string layout;
        if (ReadRegString(HKEY_USERS, key, name, layout) == 0)
            list.values.emplace_back(name, layout);
        else
            list.readWhole = false;
    }
    return list;
}

// The list read back afterwards tells what these steps made. A saved list that
// can't move back stays where it was saved.
void bringSavedBack() {
    (void)DeleteRegKey(HKEY_USERS, kPreload);
    (void)RenameRegKey(HKEY_USERS, kSavedPreload, kPreload);
    if (RegKeyExists(HKEY_USERS, kPreload) != 0)
        CreateRegKey(HKEY_USERS, kPreload);
}

// Each step keeps a copy of every list until the list is in its new place: the
// current list is moved out of the way before the saved one is deleted, and goes
// back where it was when the saved one can't be replaced.
void setCurrentAside(const PreloadFacts& facts) {
    if (RenameRegKey(HKEY_USERS, kPreload, kMovingPreload) != 0)
        return;
    bool moved = false;
    try {
        moved = !(facts.savedExists && DeleteRegKey(HKEY_USERS, kSavedPreload) != 0) &&
                RenameRegKey(HKEY_USERS, kMovingPreload, kSavedPreload) == 0;
    } catch (const RegistryError&) {
        // Put back as well as it can be; the error is what is reported.
        (void)RenameRegKey(HKEY_USERS, kMovingPreload, kPreload);
        throw;
    }
    if (!moved) {
        (void)RenameRegKey(HKEY_USERS, kMovingPreload, kPreload);
        return;
    }
    if (RegKeyExists(HKEY_USERS, kPreload) != 0) {
        CreateRegKey(HKEY_USERS, kPreload);
        // A new list without its keyboard would leave the logon with none: the saved
        // list goes back, and the state read back shows the change not made.
        try {
            if (WriteRegString(HKEY_USERS, kPreload, "1", kJapaneseKeyboard) != 0)
                bringSavedBack();
        } catch (const RegistryError&) {
            bringSavedBack(); // the error is what is reported
            throw;
        }
    }
}

// A list under the moving name was left by an interrupted hiding: it is the user's
// newest. With no current list it goes back into place first; beside a current list
// it stays, and nothing is done (the switch then reads unchanged). False then.
bool recoverInterruptedMove() {
    if (RegKeyExists(HKEY_USERS, kMovingPreload) != 0)
        return true;
    return RegKeyExists(HKEY_USERS, kPreload) != 0 &&
           RenameRegKey(HKEY_USERS, kMovingPreload, kPreload) == 0;
}

// The list read back afterwards tells whether the layout was added.
void addIme(const PreloadValues& current) {
    (void)WriteRegString(HKEY_USERS, kPreload, NextPreloadName(current), kJapaneseIme);
}

} // namespace

int GetOfficeClipboard(const TKelOfficeInfo& info) {
    int value = -1;
    ReadRegInteger(HKEY_CURRENT_USER, clipboardKey(info.PrimaryVersion()), "AcbControl", value);
    return value == 1 ? 0 : 1;
}

void SetOfficeClipboard(const TKelOfficeInfo& info, int state) {
    for (const TProductLine& line : info.VerList) {
        std::string key = clipboardKey(line.version);
        // The primary version's state read back afterwards tells what the change made;
        // the other versions follow it as far as their keys can be written.
        if (state == 1)
            (void)DeleteRegValue(HKEY_CURRENT_USER, key, "AcbControl");
        else
            (void)WriteRegInteger(HKEY_CURRENT_USER, key, "AcbControl", 1);
    }
}

int GetLogonIme() {
    StringList names;
    if (GetRegValueNames(HKEY_USERS, kPreload, names) != 0)
        return 0;
    for (const std::string& name : names) {
        std::string layout;
        if (ReadRegString(HKEY_USERS, kPreload, name, layout) == 0 &&
            AsciiLower(layout) == kJapaneseIme)
            return 1;
    }
    return 0;
}

void SetLogonIme(int state) {
    if (!recoverInterruptedMove())
        return;
    PreloadList current = readPreload(kPreload);
    PreloadFacts facts = FactsOf(current.exists, current.values,
                                 RegKeyExists(HKEY_USERS, kSavedPreload) == 0, current.readWhole);
    switch (DecideLogonIme(state, facts)) {
    case LogonImeStep::SetCurrentAside:
        setCurrentAside(facts);
        break;
    case LogonImeStep::BringSavedBack:
        bringSavedBack();
        break;
    case LogonImeStep::AddIme:
        addIme(current.values);
        break;
    case LogonImeStep::Nothing:
        break;
    }
}

} // namespace kel
