#include "repair/OfficeSwitches.h"

#include "repair/LogonImeRule.h"
#include "sysinfo/Registry.h"

namespace kel {

namespace {

const char kPreload[] = "\\.DEFAULT\\Keyboard Layout\\Preload";
const char kSavedPreload[] = "\\.DEFAULT\\Keyboard Layout\\Preload_bak";

std::string clipboardKey(const std::string& version) {
    return "\\SOFTWARE\\Microsoft\\Office\\" + version + "\\Common\\General";
}

PreloadLists readPreloadLists() {
    PreloadLists lists;
    lists.listExists = RegKeyExists(HKEY_USERS, kPreload) == 0;
    lists.keptExists = RegKeyExists(HKEY_USERS, kSavedPreload) == 0;
    StringList names;
    if (GetRegValueNames(HKEY_USERS, kPreload, names) != 0)
        return lists;
    for (const std::string& name : names) {
        PreloadValue value;
        value.name = name;
        value.isText = ReadRegString(HKEY_USERS, kPreload, name, value.layout) == 0;
        lists.list.push_back(value);
    }
    return lists;
}

void hideIme() {
    if (RegKeyExists(HKEY_USERS, kPreload) == 0)
        RenameRegKey(HKEY_USERS, kPreload, kSavedPreload);
    if (RegKeyExists(HKEY_USERS, kPreload) != 0) {
        CreateRegKey(HKEY_USERS, kPreload);
        WriteRegString(HKEY_USERS, kPreload, "1", kJapaneseKeyboard);
    }
}

void showIme() {
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
    return LogonImeState(readPreloadLists());
}

void SetLogonIme(int state) {
    switch (DecideLogonIme(state, readPreloadLists())) {
    case LogonImeStep::kHide:
        hideIme();
        break;
    case LogonImeStep::kShow:
        showIme();
        break;
    case LogonImeStep::kNone:
        break;
    }
}

} // namespace kel
