#include "office/UserInfoList.h"

#include <gtest/gtest.h>

using namespace kel;

namespace {

TEST(UserInfoRules, TrimmingAndEditedValues) {
    // "　" is the full-width space 0x81 0x40; "見本" is 0x8C 0xA9 0x96 0x7B.
    const std::string space = "\x81\x40", sample = "\x8C\xA9\x96\x7B";
    EXPECT_EQ(TrimBlanks(" \t\r\nabc \x01"), "abc");
    EXPECT_EQ(TrimBlanks(space + "abc" + space), space + "abc" + space); // no blank
    EXPECT_EQ(TrimBlanks(std::string(" \0a\0 ", 5)), "a");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(EditedValue("  " + space + " " + space), "");
    EXPECT_EQ(EditedValue(" " + sample + space + sample + " "), sample + space + sample);
    EXPECT_EQ(EditedValue(space + sample), space + sample);
    // 0x81 0x40 inside another character is no full-width space: "\x88\x81" + "@".
    EXPECT_EQ(EditedValue("\x88\x81@"), "\x88\x81@");

    TUserInfoList list;
    list.SetValue("Owner", "a");
    list.SetValue("Company", "b");
    list.SetValue("Owner", "c");
    EXPECT_EQ(list.Lines, (std::vector<std::string>{"Owner=c", "Company=b"}));
    list.SetValue("Owner", "");
    EXPECT_EQ(list.Lines, (std::vector<std::string>{"Company=b"}));
    EXPECT_EQ(list.Value("Owner"), "");
    EXPECT_EQ(list.Text(), "Company=b\r\n");
    TUserInfoList other;
    other.SetValue("Company", "B");
    EXPECT_FALSE(list == other);
}

TEST(UserInfoRules, AnApproximateMarkStaysUntilTheValueIsChanged) {
    TUserInfoList list;
    list.SetValue("Company", "a?b");
    list.SetApproximate("Company", true);
    list.SetApproximate("Company", true);
    EXPECT_EQ(list.Approximate, (std::vector<std::string>{"Company"}));
    list.SetValue("Company", "a?b"); // an update without an edit sets the same text
    list.SetValue("Owner", "o");
    EXPECT_TRUE(list.IsApproximate("Company"));
    EXPECT_FALSE(list.IsApproximate("Owner"));
    TUserInfoList copy = list;
    EXPECT_TRUE(copy.IsApproximate("Company"));
    list.SetValue("Company", "typed");
    EXPECT_FALSE(list.IsApproximate("Company"));
    copy.SetApproximate("Owner", true);
    copy.SetValue("Company", "typed");
    EXPECT_TRUE(list == copy); // the marks take no part in the comparison
    copy.SetApproximate("Company", true);
    copy.SetValue("Company", ""); // cleared: the blank is written
    EXPECT_FALSE(copy.IsApproximate("Company"));
}

// A marked value whose shown form is blanks only: "　 　" trims to nothing as an
// edit, yet the field still holds what it was shown as, so value and mark stay.
TEST(UserInfoRules, AMarkedValueIsTakenFromItsFieldOnlyWhenTheFieldWasRetyped) {
    const std::string space = "\x81\x40", blanks = space + " " + space;
    TUserInfoList list;
    list.SetValue("Initials", blanks);
    list.SetApproximate("Initials", true);
    list.SetValue("Company", "a?b");
    list.SetApproximate("Company", true);
    EXPECT_EQ(list.Shown("Initials"), blanks);
    list.TakeFieldText("Initials", list.Shown("Initials"));
    list.TakeFieldText("Company", list.Shown("Company"));
    list.TakeFieldText("Owner", " o" + space + " ");
    EXPECT_EQ(list.Lines,
              (std::vector<std::string>{"Initials=" + blanks, "Company=a?b", "Owner=o" + space}));
    EXPECT_EQ(list.Approximate, (std::vector<std::string>{"Initials", "Company"}));

    list.TakeFieldText("Initials", ""); // emptied by the user: the blank is written
    list.TakeFieldText("Company", "a?bc");
    EXPECT_EQ(list.Lines, (std::vector<std::string>{"Company=a?bc", "Owner=o" + space}));
    EXPECT_TRUE(list.Approximate.empty());
    list.TakeFieldText("Owner", space); // unmarked: blanks only empty the field
    EXPECT_EQ(list.Value("Owner"), "");
}

// A value read as the stored blank "　" is no value; its mark stays, so that a
// best-fit "　" is not written back either.
TEST(UserInfoRules, TheStoredBlankIsDroppedAndItsMarkKept) {
    const std::string space = "\x81\x40";
    TUserInfoList list;
    list.SetValue("Company", space);
    list.SetApproximate("Company", true);
    list.SetValue("Owner", "x=" + space);
    list.SetValue("Initials", space + space);
    list.DropBlankValues();
    EXPECT_EQ(list.Lines,
              (std::vector<std::string>{"Owner=x=" + space, "Initials=" + space + space}));
    EXPECT_TRUE(list.IsApproximate("Company"));
    EXPECT_EQ(list.Shown("Company"), "");
}

// After an update, a marked name was neither edited nor written: it takes value
// and mark from the read-back, so that the comparison sees what the update did.
TEST(UserInfoRules, UnwrittenNamesTakeTheReadBack) {
    TUserInfoList after, readBack;
    after.SetValue("Company", "X?");
    after.SetApproximate("Company", true);
    after.SetValue("Initials", "AB");
    after.SetValue("Owner", "o?");
    after.SetApproximate("Owner", true);
    readBack.SetValue("Company", "A");
    readBack.SetValue("Initials", "YT");
    after.TakeUnwritten(readBack);
    EXPECT_EQ(after.Lines, (std::vector<std::string>{"Company=A", "Initials=AB"}));
    EXPECT_TRUE(after.Approximate.empty());

    readBack.SetValue("Company", "Y?");
    readBack.SetApproximate("Company", true);
    after.SetApproximate("Company", true);
    after.TakeUnwritten(readBack);
    EXPECT_EQ(after.Value("Company"), "Y?");
    EXPECT_EQ(after.Approximate, (std::vector<std::string>{"Company"}));

    // A marked name without a line takes the read-back's line at the end; the
    // comparison is by name, not by the order of the lines.
    after.SetValue("Owner", "");
    after.SetApproximate("Owner", true);
    readBack.Lines.insert(readBack.Lines.begin(), "Owner=o");
    readBack.SetValue("Initials", "AB");
    after.TakeUnwritten(readBack);
    EXPECT_EQ(after.Lines.back(), "Owner=o");
    EXPECT_TRUE(after == readBack);
    readBack.SetValue("Initials", "");
    EXPECT_FALSE(after == readBack);
    EXPECT_FALSE(readBack == after);
}

// Only the user's own profile and the default one are read; another signed-in
// user's never is.
TEST(UserInfoProfiles, OnlyTheOwnProfileAndTheDefaultOneAreRead) {
    const std::string own = "S-1-5-21-1004336348-1177238915-682003330-1000";
    const std::pair<const char*, bool> profiles[] = {
        {"S-1-5-21-1004336348-1177238915-682003330-1000", true},
        {"s-1-5-21-1004336348-1177238915-682003330-1000", true},
        {".DEFAULT", true},
        {".Default", true},
        {"S-1-5-21-1004336348-1177238915-682003330-1001", false},
        {"S-1-5-21-1004336348-1177238915-682003330-1000_Classes", false},
        {"S-1-5-18", false},
        {"", false},
    };
    for (const auto& [profile, read] : profiles)
        EXPECT_EQ(IsOwnProfile(profile, own), read) << profile;
    EXPECT_FALSE(IsOwnProfile("", "")) << "an unknown own SID matches no profile";
    EXPECT_TRUE(IsOwnProfile(".DEFAULT", ""));
}

} // namespace
