#include "repair/LogonImeRule.h"

#include "sysinfo/TextRules.h"

namespace kel {

const char kJapaneseIme[] = "e0010411";
const char kJapaneseKeyboard[] = "00000411";

int LogonImeState(const PreloadLists& lists) {
    for (const PreloadValue& value : lists.list) {
        if (value.isText && AsciiLower(value.layout) == kJapaneseIme)
            return 1;
    }
    return 0;
}

bool HoldsOnlyTheKeyboard(const PreloadLists& lists) {
    return lists.listExists && lists.list.size() == 1 && lists.list[0].name == "1" &&
           lists.list[0].isText && AsciiLower(lists.list[0].layout) == kJapaneseKeyboard;
}

LogonImeStep DecideLogonIme(int requested, const PreloadLists& lists) {
    if (LogonImeState(lists) == requested)
        return LogonImeStep::kNone;
    if (requested == 0)
        return lists.keptExists ? LogonImeStep::kNone : LogonImeStep::kHide;
    if (!lists.keptExists || (lists.listExists && !HoldsOnlyTheKeyboard(lists)))
        return LogonImeStep::kNone;
    return LogonImeStep::kShow;
}

} // namespace kel
