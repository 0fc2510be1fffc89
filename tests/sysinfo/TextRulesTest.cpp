#include "sysinfo/TextRules.h"

#include <gtest/gtest.h>

#include <climits>

using kel::ReplaceAll;

namespace {

TEST(ReplaceAll, ReplacesLeftToRightWithoutOverlap) {
    EXPECT_EQ(ReplaceAll("11.0\tOffice\t{GUID}", "\t", "\r\n"), "11.0\r\nOffice\r\n{GUID}");
    EXPECT_EQ(ReplaceAll("aaaa", "aa", "b"), "bb");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "a"), "aa");
    EXPECT_EQ(ReplaceAll("abc", "ABC", "x"), "abc");
    EXPECT_EQ(ReplaceAll("Company=", "=", "=\x81\x40"), "Company=\x81\x40");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAll("", "a", "x"), "");
}

TEST(ReplaceAll, NeverMatchesOnATrailByte) {
    // "ア" is 0x83 0x41: its trail byte is "A", which must not match.
    EXPECT_EQ(ReplaceAll("\x83\x41"
                         "A",
                         "A", "B"),
              "\x83\x41"
              "B");
    // "A@" straddles "ア" + "@" only across a character boundary: 0x83 0x41 0x40.
    EXPECT_EQ(ReplaceAll("\x83\x41@", "\x41\x40", "x"), "\x83\x41@");
    // A full-width space (0x81 0x40) is found as a whole character: "株式会社　日本".
    EXPECT_EQ(
        ReplaceAll("\x8A\x94\x8E\xAE\x89\xEF\x8E\xD0\x81\x40\x93\xFA\x96\x7B", "\x81\x40", " "),
        "\x8A\x94\x8E\xAE\x89\xEF\x8E\xD0 \x93\xFA\x96\x7B");
    // A lead byte whose trail byte is a backslash: "表" is 0x95 0x5C.
    EXPECT_EQ(ReplaceAll("\x95\x5C\\", "\\", "/"), "\x95\x5C/");
    // A lead byte at the very end is copied, not read past.
    EXPECT_EQ(ReplaceAll(std::string("a\x83"), "a", "b"), std::string("b\x83"));
}

TEST(ZeroPadded, WritesAsPrintfsZeroPaddedFormats) {
    using kel::TDigits;
    const struct {
        long long value;
        size_t width;
        TDigits digits;
        const char* text;
    } cases[] = {
        {0, 2, TDigits::Decimal, "00"},
        {7, 4, TDigits::Decimal, "0007"},
        {12345, 4, TDigits::Decimal, "12345"},
        {-5, 4, TDigits::Decimal, "-005"},
        {-5, 0, TDigits::Decimal, "-5"},
        {0x4B0, 4, TDigits::Hex, "04B0"},
        {0xFFFF, 4, TDigits::Hex, "FFFF"},
        {0x1F, 0, TDigits::Hex, "1F"},
        {LLONG_MIN, 0, TDigits::Decimal, "-9223372036854775808"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(kel::ZeroPadded(c.value, c.width, c.digits), c.text) << c.value;
}

TEST(AnsiCase, MapsAsciiLettersOnly) {
    EXPECT_EQ(kel::AsciiLower("EXCEL.EXE"), "excel.exe");
    EXPECT_EQ(kel::AsciiUpper("xls"), "XLS");
    // "ア" (0x83 0x41) keeps its trail byte "A"; "ｱ" (0xB1) is a single byte.
    EXPECT_EQ(kel::AsciiLower("\x83\x41"
                              "B"),
              "\x83\x41"
              "b");
    EXPECT_EQ(kel::AsciiUpper("\x83\x61\xB1"
                              "a"),
              "\x83\x61\xB1"
              "A");
    EXPECT_EQ(kel::AsciiUpper(std::string("a\x83")), std::string("A\x83"));
}

TEST(AfterLastPathDelimiter, CutsAfterTheLastBackslashOrColonOnly) {
    using kel::AfterLastPathDelimiter;
    EXPECT_EQ(AfterLastPathDelimiter("C:\\Office\\EXCEL.EXE"), "EXCEL.EXE");
    EXPECT_EQ(AfterLastPathDelimiter("C:EXCEL.EXE"), "EXCEL.EXE");
    EXPECT_EQ(AfterLastPathDelimiter("EXCEL.EXE"), "EXCEL.EXE");
    EXPECT_EQ(AfterLastPathDelimiter("C:\\Office\\"), "");
    EXPECT_EQ(AfterLastPathDelimiter(""), "");
}

TEST(AfterLastPathDelimiter, NeverCutsInsideADoubleByteCharacter) {
    using kel::AfterLastPathDelimiter;
    // "ソ" is 0x83 0x5C and "表" is 0x95 0x5C: their trail byte is a backslash.
    // "C:\ツール\ソフト.exe"
    EXPECT_EQ(AfterLastPathDelimiter("C:\\\x83\x63\x81\x5B\x83\x8B\\\x83\x5C\x83\x74\x83\x67.exe"),
              "\x83\x5C\x83\x74\x83\x67.exe");
    // "C:\表計算\表.exe"
    EXPECT_EQ(AfterLastPathDelimiter("C:\\\x95\x5C\x8C\x76\x8E\x5A\\\x95\x5C.exe"), "\x95\x5C.exe");
    // "D:予定表"
    EXPECT_EQ(AfterLastPathDelimiter("D:\x97\x5C\x92\xE8\x95\x5C"), "\x97\x5C\x92\xE8\x95\x5C");
    // A lead byte at the very end is kept, not read past.
    EXPECT_EQ(AfterLastPathDelimiter(std::string("C:\\a\x83")), std::string("a\x83"));
}

TEST(TextRules, AnotherAccountIsAnotherSidThanTheDesksUser) {
    using kel::IsAnotherAccount;
    EXPECT_FALSE(IsAnotherAccount("S-1-5-21-9-1001", "S-1-5-21-9-1001"));
    EXPECT_FALSE(IsAnotherAccount("S-1-5-21-9-1001", "s-1-5-21-9-1001"));
    EXPECT_TRUE(IsAnotherAccount("S-1-5-21-9-1001", "S-1-5-21-9-500"));
    EXPECT_TRUE(IsAnotherAccount("S-1-5-21-9-1001", "S-1-5-21-8-1001")) << "another domain";
    EXPECT_FALSE(IsAnotherAccount("", "S-1-5-21-9-500")) << "an unknown desk user";
    EXPECT_FALSE(IsAnotherAccount("S-1-5-21-9-1001", ""));
}

// The desk's user is told by SIDs alone, the first source that knows it;
// a service account is never the user at a desk, nor one that can't be told.
TEST(TextRules, TheDesksUserIsToldByTokensNeverByAServiceAccount) {
    const std::string user = "S-1-5-21-9-1001", admin = "S-1-5-21-9-500";
    struct Case {
        std::vector<std::string> told; // the session's token, the shell, the interactive logon
        std::string desk;
    };
    const Case desks[] = {
        {{user, "", admin}, user},
        {{"", user, admin}, user},
        {{"", "", user}, user},
        {{"S-1-5-18", "", user}, user},
        {{"", "", "s-1-5-20"}, ""},
        {{"", "", ""}, ""},
        {{}, ""},
    };
    for (const Case& c : desks)
        EXPECT_EQ(kel::DeskUserSid(c.told), c.desk) << testing::PrintToString(c.told);
    EXPECT_TRUE(kel::IsDeskUser(user, user));
    EXPECT_TRUE(kel::IsDeskUser("s-1-5-21-9-1001", user));
    EXPECT_FALSE(kel::IsDeskUser(admin, user)) << "another account's credentials";
    EXPECT_FALSE(kel::IsDeskUser("S-1-5-18", "S-1-5-18")) << "SYSTEM";
    EXPECT_FALSE(kel::IsDeskUser("S-1-5-19", user));
    EXPECT_FALSE(kel::IsDeskUser(user, "")) << "a desk that can't be told";
    EXPECT_FALSE(kel::IsDeskUser("", user));
}

} // namespace
