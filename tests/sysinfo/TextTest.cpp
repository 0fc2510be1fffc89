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
    ASSERT_EQ(std::string("ソ"), "\x83\x5C");
    ASSERT_EQ(std::string("表"), "\x95\x5C");
    EXPECT_EQ(AfterLastPathDelimiter("C:\\ツール\\ソフト.exe"), "ソフト.exe");
    EXPECT_EQ(AfterLastPathDelimiter("C:\\表計算\\表.exe"), "表.exe");
    EXPECT_EQ(AfterLastPathDelimiter("D:予定表"), "予定表");
    // A lead byte at the very end is kept, not read past.
    EXPECT_EQ(AfterLastPathDelimiter(std::string("C:\\a\x83")), std::string("a\x83"));
}

TEST(WideToAnsiExact, TakesOnlyNamesThatCarryThroughUnchanged) {
    std::string ansi = "untouched";
    EXPECT_TRUE(kel::WideToAnsiExact(L"Excel.Sheet.8", ansi));
    EXPECT_EQ(ansi, "Excel.Sheet.8");
    EXPECT_TRUE(kel::WideToAnsiExact(L"\u8868\u8A08\u7B97", ansi)); // 表計算
    EXPECT_EQ(ansi, "表計算");
    EXPECT_TRUE(kel::WideToAnsiExact(L"", ansi));
    EXPECT_EQ(ansi, "");

    // The yen sign best-fits to a backslash, a-acute to "a"; U+0100 has no form.
    const std::wstring changed[] = {L"a\u00A5..\u00A5b", L"\u00E1.xls", L"x\u0100",
                                    std::wstring(L"a\0b", 3), L"\u2215..\u2215x"};
    for (const std::wstring& name : changed) {
        ansi = "untouched";
        EXPECT_FALSE(kel::WideToAnsiExact(name, ansi)) << kel::WideToAnsi(name);
        EXPECT_EQ(ansi, "untouched");
    }
    // The best-fit conversion really does change these names.
    EXPECT_EQ(kel::WideToAnsi(L"a\u00A5b"), "a\\b");
}

} // namespace
