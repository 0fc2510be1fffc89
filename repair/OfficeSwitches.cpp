#include "repair/OfficeSwitches.h"

#include "sysinfo/Registry.h"
#include "sysinfo/Text.h"

namespace kel {

namespace {

const char kPreload[] = "\\.DEFAULT\\Keyboard Layout\\Preload";
const char kSavedPreload[] = "\\.DEFAULT\\Keyboard Layout\\Preload_bak";
const char kJapaneseIme[] = "e0010411";
const char kJapaneseKeyboard[] = "00000411";

std::string clipboardKey(const std::string& version) {
    return "\\SOFTWARE\\Microsoft\\Office\\" + version + "\\Common\\General";
}

// True when the preload list is exactly the one value that hiding the IME writes.
bool holdsOnlyTheKeyboard() {
    StringList names;
    if (GetRegValueNames(HKEY_USERS, kPreload, names) != 0)
        return false;
    std::string layout;
    return names == StringList{"1"} && ReadRegString(HKEY_USERS, kPreload, "1", layout) == 0 &&
           AsciiLower(layout) == kJapaneseKeyboard;
}

void hideIme() {
    if (RegKeyExists(HKEY_USERS, kSavedPreload) == 0)
        return; // an earlier kept list would be lost
    if (RegKeyExists(HKEY_USERS, kPreload) == 0)
        RenameRegKey(HKEY_USERS, kPreload, kSavedPreload);
    if (RegKeyExists(HKEY_USERS, kPreload) != 0) {
        CreateRegKey(HKEY_USERS, kPreload);
        WriteRegString(HKEY_USERS, kPreload, "1", kJapaneseKeyboard);
    }
}

void showIme() {
    if (RegKeyExists(HKEY_USERS, kSavedPreload) != 0)
        return; // nothing to bring back
    if (RegKeyExists(HKEY_USERS, kPreload) == 0 && !holdsOnlyTheKeyboard())
        return; // the current list is not the placeholder: it would be lost
    DeleteRegKey(HKEY_USERS, kPreload);
    RenameRegKey(HKEY_USERS, kSavedPreload, kPreload);
    if (RegKeyExists(HKEY_USERS, kPreload) != 0)
        CreateRegKey(HKEY_USERS, kPreload);
}

} // namespace

int GetOfficeClipboard(const TKelOfficeInfo& info) {
    int value = -1;
    ReadRegInteger(HKEY_CURRENT_USER, clipboardKey(info.Product.MajorVersion), "AcbControl", value);
    return value == 1 ? 0 : 1;
}

void SetOfficeClipboard(const TKelOfficeInfo& info, int state) {
    for (const std::string& line : info.VerList) {
        std::string key = clipboardKey(VerListColumnOf(line, kColVersion));
        if (state == 1)
            DeleteRegValue(HKEY_CURRENT_USER, key, "AcbControl");
        else
            WriteRegInteger(HKEY_CURRENT_USER, key, "AcbControl", 1);
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
    if (GetLogonIme() == state)
        return;
    if (state == 0)
        hideIme();
    else
        showIme();
}

} // namespace kel
