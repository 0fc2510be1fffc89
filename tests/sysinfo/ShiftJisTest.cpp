#include "sysinfo/ShiftJis.h"

#include <gtest/gtest.h>

using namespace kel;

namespace {

TEST(ShiftJis, LeadBytesOfCodePage932) {
    EXPECT_FALSE(IsSjisLeadByte(0x80));
    EXPECT_TRUE(IsSjisLeadByte(0x81));
    EXPECT_TRUE(IsSjisLeadByte(0x9F));
    EXPECT_FALSE(IsSjisLeadByte(0xA0));
    EXPECT_FALSE(IsSjisLeadByte(0xB1)); // a half-width katakana is one byte
    EXPECT_FALSE(IsSjisLeadByte(0xDF));
    EXPECT_TRUE(IsSjisLeadByte(0xE0));
    EXPECT_TRUE(IsSjisLeadByte(0xFC));
    EXPECT_FALSE(IsSjisLeadByte(0xFD));
    EXPECT_FALSE(IsSjisLeadByte('A'));
}

TEST(CutToBytes, NeverEndsInHalfACharacter) {
    // "山田太郎花子" is 12 bytes; 9 keep four characters.
    const std::string name = "\x8E\x52\x93\x63\x91\xBE\x98\x59\x89\xD4\x8E\x71";
    EXPECT_EQ(CutToBytes(name, 9), name.substr(0, 8));
    EXPECT_EQ(CutToBytes(name, 8), name.substr(0, 8));
    EXPECT_EQ(CutToBytes(name, 1), "");
    EXPECT_EQ(CutToBytes(name, 0), "");
    EXPECT_EQ(CutToBytes(name, 12), name);
    EXPECT_EQ(CutToBytes(name, 100), name);
    EXPECT_EQ(CutToBytes("ABCDEFGHIJK", 9), "ABCDEFGHI");
    EXPECT_EQ(CutToBytes("AB\xB1\xB2", 3), "AB\xB1");
    // A lone lead byte at the end counts as two bytes.
    EXPECT_EQ(CutToBytes("AB\x83", 3), "AB");
    EXPECT_EQ(CutToBytes("AB\x83", 4), "AB\x83");
}

} // namespace
