#include "repair/LogonImeRule.h"

#include <gtest/gtest.h>

using namespace kel;

namespace {

PreloadFacts facts(bool currentExists, const PreloadValues& current, bool savedExists) {
    return FactsOf(currentExists, current, savedExists, true);
}

TEST(LogonImeRule, OwnlessListsHoldNothingOfTheUsers) {
    EXPECT_TRUE(IsOwnlessList({}));
    EXPECT_TRUE(IsOwnlessList({{"1", "00000411"}}));
    EXPECT_FALSE(IsOwnlessList({{"2", "00000411"}}));
    EXPECT_FALSE(IsOwnlessList({{"1", "00000409"}}));
    EXPECT_FALSE(IsOwnlessList({{"1", "00000411"}, {"2", "00000411"}}));
    EXPECT_FALSE(IsOwnlessList({{"1", ""}}));
    EXPECT_TRUE(facts(false, {}, true).currentIsOwnless);
    EXPECT_FALSE(facts(true, {{"1", "00000409"}}, true).currentIsOwnless);
}

TEST(LogonImeRule, NothingChangesWhenTheStateReadsAsAsked) {
    EXPECT_EQ(DecideLogonIme(0, facts(true, {{"1", "00000411"}}, true)), LogonImeStep::Nothing);
    EXPECT_EQ(DecideLogonIme(0, facts(false, {}, false)), LogonImeStep::Nothing);
    EXPECT_EQ(DecideLogonIme(1, facts(true, {{"2", "E0010411"}}, true)), LogonImeStep::Nothing);
}

TEST(LogonImeRule, HidingSetsTheCurrentListAsideAlsoOverALeftOver) {
    PreloadValues shown = {{"1", "00000411"}, {"2", "e0010411"}};
    EXPECT_EQ(DecideLogonIme(0, facts(true, shown, false)), LogonImeStep::SetCurrentAside);
    EXPECT_EQ(DecideLogonIme(0, facts(true, shown, true)), LogonImeStep::SetCurrentAside);
}

TEST(LogonImeRule, ShowingBringsBackOnlyOverAListThatHoldsNothingOfTheUsers) {
    EXPECT_EQ(DecideLogonIme(1, facts(true, {{"1", "00000411"}}, true)),
              LogonImeStep::BringSavedBack);
    EXPECT_EQ(DecideLogonIme(1, facts(false, {}, true)), LogonImeStep::BringSavedBack);
    EXPECT_EQ(DecideLogonIme(1, facts(true, {}, true)), LogonImeStep::BringSavedBack);
    EXPECT_EQ(DecideLogonIme(1, facts(true, {{"1", "00000409"}}, true)), LogonImeStep::AddIme);
    EXPECT_EQ(DecideLogonIme(1, facts(true, {{"1", "00000411"}}, false)), LogonImeStep::AddIme);
    EXPECT_EQ(DecideLogonIme(1, facts(false, {}, false)), LogonImeStep::AddIme);

    // A list read only in part (a value or the key that could not be read) may hold
    // the user's layouts: it is never dropped for the saved one.
    for (const PreloadValues& seen : {PreloadValues{}, PreloadValues{{"1", "00000411"}}})
        EXPECT_EQ(DecideLogonIme(1, FactsOf(true, seen, true, false)), LogonImeStep::AddIme);
}

TEST(LogonImeRule, AnAddedLayoutGoesAfterTheHighestNumber) {
    EXPECT_EQ(NextPreloadName({}), "1");
    EXPECT_EQ(NextPreloadName({{"1", "00000411"}}), "2");
    EXPECT_EQ(NextPreloadName({{"2", "x"}, {"7", "y"}, {"3", "z"}}), "8");
    EXPECT_EQ(NextPreloadName({{"x", "a"}, {"", "b"}, {"99999999999", "c"}, {"-1", "d"}}), "1");
}

} // namespace
