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

// A line of this version whose code tells it apart.
TProductLine at(const char* version, const char* code) {
    TProductLine line;
    line.version = version;
    line.code = code;
    return line;
}

ProductLines lines(std::initializer_list<std::pair<const char*, const char*>> versions) {
    ProductLines result;
    for (const auto& [version, code] : versions)
        result.push_back(at(version, code));
    return result;
}

TEST(VerListLines, ATabOrLineBreakInsideAColumnBecomesASpace) {
    TProductLine line = MakeProductLine(11, "{C}", "Microsoft\tOffice\r\n2003", "11.0\t6361", "\t",
                                        "C:\\Office\n", RegView::Bits32);
    EXPECT_EQ(line.Text(), "11.0\t{C}\tMicrosoft Office  2003\t11.0 6361\t \tC:\\Office ");
    EXPECT_EQ(line.productId, " ");
    EXPECT_EQ(line.installRoot, "C:\\Office ");
    EXPECT_EQ(line.view, RegView::Bits32);
    // Shift-JIS text passes unchanged: no trail byte is a tab or a line break.
    EXPECT_EQ(MakeProductLine(10, "", "表計算", "", "", "").name, "表計算");
    EXPECT_EQ(MakeProductLine(10, "", "", "", "", "").Text(), "10.0\t\t\t\t\t");
}

TEST(Versions, CompareAsDecimalNumbers) {
    ProductLines list = lines({{"9.0", "a"}, {"11.0", "b"}, {"11", "c"}, {"x", "d"}});
    EXPECT_EQ(CompareVersionLines(list, 1, 0), -1);
    EXPECT_EQ(CompareVersionLines(list, 0, 1), 1);
    EXPECT_EQ(CompareVersionLines(list, 1, 2), 0);
    EXPECT_TRUE(SameVersion("11.0", "11"));
    EXPECT_FALSE(SameVersion("", ""));
    EXPECT_FALSE(SameVersion("1O.0", "10.0"));
    // "inf" and "nan" are no versions: they compare as 0 and would break the order.
    EXPECT_FALSE(SameVersion("inf", "inf"));
    double version = 7;
    EXPECT_FALSE(ParseVersion("nan", version));
    EXPECT_FALSE(ParseVersion("1e3", version));
    EXPECT_EQ(version, 7);
    ProductLines odd = lines({{"nan", "a"}, {"9.0", "b"}, {"inf", "c"}, {"0", "d"}});
    EXPECT_EQ(CompareVersionLines(odd, 0, 1), 1);
    EXPECT_EQ(CompareVersionLines(odd, 2, 1), 1);
    EXPECT_EQ(CompareVersionLines(odd, 0, 3), 0);
}

TEST(VerListLines, SortNewestFirstAndFindAVersion) {
    ProductLines list =
        lines({{"9.0", "a"}, {"x", "b"}, {"11.0", "c"}, {"10.0", "d"}, {"11", "e"}, {"", "f"}});
    SortNewestFirst(list);
    EXPECT_EQ(
        list,
        lines({{"11.0", "c"}, {"11", "e"}, {"10.0", "d"}, {"9.0", "a"}, {"x", "b"}, {"", "f"}}));
    EXPECT_EQ(FindVersionLine(list, "11"), 0);
    EXPECT_EQ(FindVersionLine(list, "9"), 3);
    EXPECT_EQ(FindVersionLine(list, "x"), -1);
    EXPECT_EQ(FindVersionLine(list, ""), -1);
}

TEST(VerListLines, TheSuiteLeadsItsVersionAndHiddenComponentsGoWhereAProductIsShown) {
    auto line = [](int major, const char* name) {
        return MakeProductLine(major, "", name, "", "", "");
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
              (ProductLines{line(16, "Microsoft 365"), line(16, "OneNote"),
                            line(14, "Personal 2010"), line(14, "File Validation Add-In"),
                            line(12, "Proof"), line(12, "Shared MUI")}));
    EXPECT_TRUE(ChooseProductLines({}).empty());
}

} // namespace
