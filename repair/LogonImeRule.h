// Whether the logon screen offers the Japanese IME, and what a change of that state
// may do without throwing a list of keyboard layouts away.
#pragma once

#include <string>
#include <vector>

namespace kel {

// One value of the default user's preload list: its name and, when it reads as a
// string, its data (a keyboard layout such as "e0010411").
struct PreloadValue {
    std::string name;
    bool isText = false;
    std::string layout;
};

// The preload list "Preload" and the kept list "Preload_bak" as they are now.
struct PreloadLists {
    bool listExists = false;
    std::vector<PreloadValue> list;
    bool keptExists = false;
};

extern const char kJapaneseIme[];      // "e0010411"
extern const char kJapaneseKeyboard[]; // "00000411"

// 1 when the list holds the Japanese IME in any letter case, else 0.
int LogonImeState(const PreloadLists& lists);

// True when the list is exactly the one value "1" = "00000411" that hiding writes.
bool HoldsOnlyTheKeyboard(const PreloadLists& lists);

enum class LogonImeStep {
    kNone, // the state already reads as asked, or a change would lose a list
    kHide, // keep the list as "Preload_bak" and leave only the Japanese keyboard
    kShow, // drop the placeholder list and bring the kept list back
};
// Hiding needs no kept list to be there yet; showing needs a kept list, and a
// preload list that is missing or is the placeholder hiding wrote.
LogonImeStep DecideLogonIme(int requested, const PreloadLists& lists);

} // namespace kel
