#include "repair/FileMask.h"

#include <gtest/gtest.h>

using kel::MatchesMask;

namespace {

TEST(MatchesMask, LongNamesAgainstMasks) {
    EXPECT_TRUE(MatchesMask(L"Excel11.xlb", L"*.xlb"));
    EXPECT_TRUE(MatchesMask(L"EXCEL.XLB", L"*.xlb"));
    EXPECT_FALSE(MatchesMask(L"Book.xlbackup", L"*.xlb"));
    EXPECT_FALSE(MatchesMask(L"Book.xls", L"*.xlb"));
    EXPECT_TRUE(MatchesMask(L"~$Book1.xls", L"~*.*"));
    EXPECT_TRUE(MatchesMask(L"~WRL0001", L"~*.*"));
    EXPECT_FALSE(MatchesMask(L"ABCDEF~1.TMP", L"~*.*"));
    EXPECT_FALSE(MatchesMask(L"a~b.tmp", L"~*.*"));
    EXPECT_TRUE(MatchesMask(L"a.b", L"?.?"));
    EXPECT_FALSE(MatchesMask(L"", L"?"));
    EXPECT_TRUE(MatchesMask(L"", L"*"));
}

TEST(MatchesMask, WideCharactersCountWhole) {
    // "~表計算.tmp": in code page 932 the trail byte of "表" is a backslash.
    EXPECT_TRUE(MatchesMask(L"~\u8868\u8A08\u7B97.tmp", L"~*.*"));
    EXPECT_TRUE(MatchesMask(L"\u8868.x", L"?.x"));
    EXPECT_FALSE(MatchesMask(L"\u8868.x", L"??.x"));
    // Only ASCII letters are matched without case: full-width "Ｂ" is not "ｂ".
    EXPECT_FALSE(MatchesMask(L"a\uFF22", L"*\uFF42"));
    EXPECT_TRUE(MatchesMask(L"a\u30BD", L"a?"));
    // A yen sign or a division slash in a name is a character like any other.
    EXPECT_TRUE(MatchesMask(L"~a\u00A5..\u00A5b", L"~*.*"));
    EXPECT_FALSE(MatchesMask(L"a\u2215b.xlb", L"a?.xlb"));
}

TEST(MatchesMask, ANameWithANulFitsNothing) {
    EXPECT_FALSE(MatchesMask(std::wstring(L"~a\0b.tmp", 8), L"~*.*"));
    EXPECT_FALSE(MatchesMask(std::wstring(L"\0", 1), L"*"));
}

} // namespace
