#include "sysinfo/Text.h"

#include <gtest/gtest.h>

using kel::ReplaceAll;

namespace {

TEST(ReplaceAll, ReplacesLeftToRightWithoutOverlap) {
    EXPECT_EQ(ReplaceAll("11.0\tOffice\t{GUID}", "\t", "\r\n"), "11.0\r\nOffice\r\n{GUID}");
    EXPECT_EQ(ReplaceAll("aaaa", "aa", "b"), "bb");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "a"), "aa");
    EXPECT_EQ(ReplaceAll("abc", "ABC", "x"), "abc");
    EXPECT_EQ(ReplaceAll("Company=", "=", "=　"), "Company=　");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAll("", "a", "x"), "");
}

TEST(ReplaceAll, NeverMatchesOnATrailByte) {
    // "ア" is 0x83 0x41: its trail byte is "A", which must not match.
    EXPECT_EQ(ReplaceAll("アA", "A", "B"), "アB");
    // "\x81\x40" straddles "ア" + "@" only across a character boundary: 0x83 0x41 0x40.
    EXPECT_EQ(ReplaceAll("ア@", "\x41\x40", "x"), "ア@");
    // A full-width space (0x81 0x40) is found as a whole character.
    EXPECT_EQ(ReplaceAll("株式会社　日本", "　", " "), "株式会社 日本");
    // A lead byte at the very end is copied, not read past.
    EXPECT_EQ(ReplaceAll(std::string("a\x83"), "a", "b"), std::string("b\x83"));
}

TEST(AnsiCase, MapsAsciiLettersOnly) {
    EXPECT_EQ(kel::AsciiLower("EXCEL.EXE"), "excel.exe");
    EXPECT_EQ(kel::AsciiUpper("xls"), "XLS");
    // "ア" (0x83 0x41) keeps its trail byte "A".
    EXPECT_EQ(kel::AsciiLower("アB"), "アb");
}

} // namespace
