#include "repair/LogonImeRule.h"

#include <gtest/gtest.h>

using namespace kel;

namespace {

PreloadLists lists(std::vector<PreloadValue> list, bool kept) {
    PreloadLists result;
    result.listExists = true;
    result.list = std::move(list);
    result.keptExists = kept;
    return result;
}

TEST(LogonImeRule, TheImeInAnyLetterCaseShowsIt) {
    EXPECT_EQ(LogonImeState(lists({{"1", true, "00000411"}, {"2", true, "E0010411"}}, false)), 1);
    EXPECT_EQ(LogonImeState(lists({{"1", true, "00000411"}}, false)), 0);
    EXPECT_EQ(LogonImeState(lists({{"1", false, "e0010411"}}, false)), 0); // not a string
    EXPECT_EQ(LogonImeState(PreloadLists()), 0);
}

TEST(LogonImeRule, OnlyTheWrittenPlaceholderIsTheKeyboard) {
    EXPECT_TRUE(HoldsOnlyTheKeyboard(lists({{"1", true, "00000411"}}, true)));
    EXPECT_FALSE(HoldsOnlyTheKeyboard(lists({{"2", true, "00000411"}}, true)));
    EXPECT_FALSE(HoldsOnlyTheKeyboard(lists({{"1", true, "00000409"}}, true)));
    EXPECT_FALSE(
        HoldsOnlyTheKeyboard(lists({{"1", true, "00000411"}, {"2", true, "00000409"}}, true)));
    EXPECT_FALSE(HoldsOnlyTheKeyboard(lists({{"1", false, ""}}, true)));
    EXPECT_FALSE(HoldsOnlyTheKeyboard(PreloadLists()));
}

TEST(LogonImeRule, NoStepThrowsAListAway) {
    PreloadLists shown = lists({{"1", true, "e0010411"}, {"2", true, "00000409"}}, false);
    PreloadLists hidden = lists({{"1", true, "00000411"}}, true);
    EXPECT_EQ(DecideLogonIme(0, shown), LogonImeStep::kHide);
    EXPECT_EQ(DecideLogonIme(1, shown), LogonImeStep::kNone);
    EXPECT_EQ(DecideLogonIme(1, hidden), LogonImeStep::kShow);
    EXPECT_EQ(DecideLogonIme(0, hidden), LogonImeStep::kNone);

    // A kept list from before stops hiding; a list that is no placeholder stops showing.
    shown.keptExists = true;
    EXPECT_EQ(DecideLogonIme(0, shown), LogonImeStep::kNone);
    PreloadLists other = lists({{"1", true, "00000409"}}, true);
    EXPECT_EQ(DecideLogonIme(1, other), LogonImeStep::kNone);
    // Nothing kept: nothing to show.
    hidden.keptExists = false;
    EXPECT_EQ(DecideLogonIme(1, hidden), LogonImeStep::kNone);
    // No list at all: hiding writes the keyboard; a kept list alone is brought back.
    PreloadLists none;
    EXPECT_EQ(DecideLogonIme(0, none), LogonImeStep::kNone); // already hidden
    none.keptExists = true;
    EXPECT_EQ(DecideLogonIme(1, none), LogonImeStep::kShow);
}

} // namespace
