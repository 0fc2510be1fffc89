#include "repair/FileMask.h"

#include <gtest/gtest.h>

using kel::MatchesMask;

namespace {

TEST(MatchesMask, LongNamesAgainstMasks) {
    EXPECT_TRUE(MatchesMask("Excel11.xlb", "*.xlb"));
    EXPECT_TRUE(MatchesMask("EXCEL.XLB", "*.xlb"));
    EXPECT_FALSE(MatchesMask("Book.xlbackup", "*.xlb"));
    EXPECT_FALSE(MatchesMask("Book.xls", "*.xlb"));
    EXPECT_TRUE(MatchesMask("~$Book1.xls", "~*.*"));
    EXPECT_TRUE(MatchesMask("~WRL0001", "~*.*"));
    EXPECT_FALSE(MatchesMask("ABCDEF~1.TMP", "~*.*"));
    EXPECT_FALSE(MatchesMask("a~b.tmp", "~*.*"));
    EXPECT_TRUE(MatchesMask("a.b", "?.?"));
    EXPECT_FALSE(MatchesMask("", "?"));
    EXPECT_TRUE(MatchesMask("", "*"));
}

TEST(MatchesMask, DoubleByteCharactersCountWhole) {
    // "~表計算.tmp": the trail byte of "表" (0x95 0x5C) is a backslash.
    EXPECT_TRUE(MatchesMask("~\x95\x5C\x8C\x76\x8E\x5A.tmp", "~*.*"));
    // "表.x" has one character before its dot.
    EXPECT_TRUE(MatchesMask("\x95\x5C.x", "?.x"));
    EXPECT_FALSE(MatchesMask("\x95\x5C.x", "??.x"));
    // The trail byte "b" of 0x83 0x62 is no letter: "*b" does not fit, nor does "*B".
    EXPECT_FALSE(MatchesMask("a\x83"
                             "b",
                             "*b"));
    EXPECT_FALSE(MatchesMask("a\x83"
                             "b",
                             "*B"));
    EXPECT_TRUE(MatchesMask("a\x83"
                            "b",
                            "a?"));
    // A lone lead byte at the end is a character of its own.
    EXPECT_TRUE(MatchesMask("ab\x83", "ab?"));
}

} // namespace
