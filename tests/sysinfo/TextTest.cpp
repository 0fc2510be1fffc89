// Conversions between 8-bit text in a given code page and UTF-16.
#include "sysinfo/Text.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(CodePageConversion, InTheCodePageGiven) {
    EXPECT_EQ(kel::AnsiToWide("\xE3\x81\x82", CP_UTF8), L"あ");
    EXPECT_EQ(kel::WideToAnsi(L"あ\u00E9", CP_UTF8), "\xE3\x81\x82\xC3\xA9");
    EXPECT_EQ(kel::AnsiToWide("\x82\xA0\x5C", 932), L"あ\\");
    EXPECT_EQ(kel::WideToAnsi(L"あ\\", 932), "\x82\xA0\x5C");
    EXPECT_EQ(kel::AnsiToWide("", CP_UTF8), L"");
}

} // namespace
