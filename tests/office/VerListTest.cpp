#include "office/VerList.h"

#include <gtest/gtest.h>

using namespace kel;

namespace {

TEST(PackProductCode, ReversesAndSwapsTheGroups) {
    EXPECT_EQ(PackProductCode("{12345678-9ABC-DEF0-1234-56789ABCDEF0}"),
              "87654321CBA90FED21436587A9CBED0F");
    EXPECT_EQ(PackProductCode("{12345678-9ABC-DEF0-1234-56789ABCDEF0}trailing"),
              "87654321CBA90FED21436587A9CBED0F");
    EXPECT_EQ(PackProductCode(""), "");
    EXPECT_EQ(PackProductCode("{1234"), ""); // position 8 is missing: nothing
    EXPECT_EQ(PackProductCode("{12345678-9A"), "87654321");
}

TEST(ProductCodes, OnlyTheBracedGuidFormIsAProductCode) {
    EXPECT_TRUE(IsProductCode("{12345678-9ABC-DEF0-1234-56789ABCDEF0}"));
    EXPECT_TRUE(IsProductCode("{90110411-6000-11d3-8cfe-0150048383c9}"));
    for (const char* name :
         {"", "{", "{}", "{2-Wexdal-Hostile}", "{Wexdal-Locked}",
          "12345678-9ABC-DEF0-1234-56789ABCDEF0", "{12345678-9ABC-DEF0-1234-56789ABCDEF0",
          "{12345678-9ABC-DEF0-1234-56789ABCDEF0}x", "{12345678-9ABC-DEF0-1234-56789ABCDEFG}",
          "{12345678-9ABC-DEF0-1234_56789ABCDEF0}", "{123456789-ABC-DEF0-1234-56789ABCDEF0}",
          "{12345678-9ABC-DEF0-1234-56789ABCDEF0]"})
        EXPECT_FALSE(IsProductCode(name)) << name;
}

TEST(VerListLines, ATabOrLineBreakInsideAColumnBecomesASpace) {
    std::string line = FormatVerListLine(11, "{C}", "Microsoft\tOffice\r\n2003", "11.0\t6361", "\t",
                                         "C:\\Office\n");
    EXPECT_EQ(line, "11.0\t{C}\tMicrosoft Office  2003\t11.0 6361\t \tC:\\Office ");
    StringList columns = SplitVerListLine(line);
    ASSERT_EQ(columns.size(), 6u);
    EXPECT_EQ(columns[kColProductId], " ");
    EXPECT_EQ(columns[kColPath], "C:\\Office ");
    // Shift-JIS text passes unchanged: no trail byte is a tab or a line break.
    EXPECT_EQ(VerListColumnOf(FormatVerListLine(10, "", "表計算", "", "", ""), kColName), "表計算");
}

TEST(Versions, CompareAsDecimalNumbers) {
    StringList lines = {"9.0\ta", "11.0\tb", "11\tc", "x\td"};
    EXPECT_EQ(CompareVersionLines(lines, 1, 0), -1);
    EXPECT_EQ(CompareVersionLines(lines, 0, 1), 1);
    EXPECT_EQ(CompareVersionLines(lines, 1, 2), 0);
    EXPECT_TRUE(SameVersion("11.0", "11"));
    EXPECT_FALSE(SameVersion("", ""));
    EXPECT_FALSE(SameVersion("1O.0", "10.0"));
    // "inf" and "nan" are no versions: they compare as 0 and would break the order.
    EXPECT_FALSE(SameVersion("inf", "inf"));
    double version = 7;
    EXPECT_FALSE(ParseVersion("nan", version));
    EXPECT_FALSE(ParseVersion("1e3", version));
    EXPECT_EQ(version, 7);
    StringList odd = {"nan\ta", "9.0\tb", "inf\tc", "0\td"};
    EXPECT_EQ(CompareVersionLines(odd, 0, 1), 1);
    EXPECT_EQ(CompareVersionLines(odd, 2, 1), 1);
    EXPECT_EQ(CompareVersionLines(odd, 0, 3), 0);
}

TEST(VerListLines, ColumnsKeepTheirPlaceAndSortNewestFirst) {
    EXPECT_EQ(SplitVerListLine("a\t\t\t"), (StringList{"a", "", "", ""}));
    EXPECT_EQ(SplitVerListLine(""), StringList{""});
    EXPECT_EQ(VerListColumnOf("11.0\t{X}\tOffice", kColName), "Office");
    EXPECT_EQ(VerListColumnOf("11.0\t{X}", kColPath), "");
    EXPECT_EQ(VerListColumnOf("11.0\t{X}", -1), "");

    StringList lines = {"9.0\ta", "x\tb", "11.0\tc", "10.0\td", "11\te", "\tf"};
    SortNewestFirst(lines);
    EXPECT_EQ(lines, (StringList{"11.0\tc", "11\te", "10.0\td", "9.0\ta", "x\tb", "\tf"}));
    EXPECT_EQ(FindVersionLine(lines, "11"), 0);
    EXPECT_EQ(FindVersionLine(lines, "9"), 3);
    EXPECT_EQ(FindVersionLine(lines, "x"), -1);
    EXPECT_EQ(FindVersionLine(lines, ""), -1);
}

TEST(VerListLines, TheSuiteLeadsItsVersionAndHiddenComponentsGoWhereAProductIsShown) {
    auto line = [](int major, const char* name) {
        return FormatVerListLine(major, "", name, "", "", "");
    };
    std::vector<ProductCandidate> candidates = {
        {line(14, "Excel MUI"), Listing::Component},
        {line(14, "File Validation Add-In"), Listing::Shown},
        {line(14, "Personal 2010"), Listing::Suite},
        {line(12, "Proof"), Listing::Component}, // the only product of its version
        {line(12, "Shared MUI"), Listing::Component},
        {line(16, "OneNote"), Listing::Shown},
        {line(16, "Microsoft 365"), Listing::Suite},
    };
    EXPECT_EQ(ChooseProductLines(candidates),
              (StringList{line(16, "Microsoft 365"), line(16, "OneNote"), line(14, "Personal 2010"),
                          line(14, "File Validation Add-In"), line(12, "Proof"),
                          line(12, "Shared MUI")}));
    EXPECT_TRUE(ChooseProductLines({}).empty());
}

} // namespace
