// Key and value names and key-naming values that code page 932 cannot carry
// unchanged: listings pass them over and never stop early; nothing is renamed or
// deleted through a name that reads as another.
#include "sysinfo/Registry.h"
#include "sysinfo/Text.h"

#include "tests/support/ScratchKey.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kel;
using namespace testing_support;

namespace {

class UntrustedNamesTest : public testing::Test {
  protected:
    ScratchKey scratch{HKEY_CURRENT_USER, "\\Software\\Wexdal Tests\\Untrusted"};
    std::wstring wide = L"Software\\Wexdal Tests\\Untrusted\\";
    const std::string& key() const { return scratch.path(); }
};

// "{0" and 129 Japanese characters: 131 characters, 260 bytes in code page 932.
std::wstring longJapaneseName() {
    return L"{0" + std::wstring(129, L'\u8868');
}

TEST_F(UntrustedNamesTest, KeyListingsGoOnPastLongNamesAndSkipChangedOnes) {
    putWideString(HKEY_CURRENT_USER, wide + longJapaneseName(), L"", L"x");
    putWideString(HKEY_CURRENT_USER, wide + L"{1\u00A5yen}", L"", L"x");
    putWideString(HKEY_CURRENT_USER, wide + L"{2\u0100}", L"", L"x");
    makeKey(HKEY_CURRENT_USER, scratch.sub("{9011-Office}"));
    StringList names;
    ASSERT_EQ(GetRegKeyNames(HKEY_CURRENT_USER, key(), names), 0);
    std::string longName;
    ASSERT_TRUE(WideToAnsiExact(longJapaneseName(), longName));
    EXPECT_EQ(longName.size(), 260u);
    EXPECT_EQ(names, (StringList{longName, "{9011-Office}"}));
    // The long name addresses its own key.
    EXPECT_EQ(RegKeyExists(HKEY_CURRENT_USER, key() + "\\" + longName), 0);
}

TEST_F(UntrustedNamesTest, ValueListingsGoOnPastLongNamesAndSkipChangedOnes) {
    std::wstring path = wide.substr(0, wide.size() - 1);
    putWideString(HKEY_CURRENT_USER, path, std::wstring(300, L'\u8868'), L"x");
    putWideString(HKEY_CURRENT_USER, path, L"a\u00A5b", L"x");
    putString(HKEY_CURRENT_USER, key(), "z", "x");
    StringList names;
    ASSERT_EQ(GetRegValueNames(HKEY_CURRENT_USER, key(), names), 0);
    std::string longName;
    ASSERT_TRUE(WideToAnsiExact(std::wstring(300, L'\u8868'), longName));
    EXPECT_EQ(names.size(), 2u);
    EXPECT_NE(std::find(names.begin(), names.end(), longName), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "z"), names.end());
}

TEST_F(UntrustedNamesTest, KeyNameValuesMustBeExactNonEmptyStringsWithoutBackslash) {
    std::wstring path = wide.substr(0, wide.size() - 1);
    putString(HKEY_CURRENT_USER, key(), "good", "Excel.Sheet.8");
    putValue(HKEY_CURRENT_USER, key(), "expand", REG_EXPAND_SZ, Bytes{'C', 'l', 0});
    putString(HKEY_CURRENT_USER, key(), "empty", "");
    putDword(HKEY_CURRENT_USER, key(), "number", 8);
    putString(HKEY_CURRENT_USER, key(), "path", "Excel\\Sheet");
    putWideString(HKEY_CURRENT_USER, path, L"yen", L"Excel\u00A5Sheet");
    putWideString(HKEY_CURRENT_USER, path, L"nocode", L"Excel\u0100");

    std::string name = "untouched";
    EXPECT_EQ(ReadRegKeyName(HKEY_CURRENT_USER, key(), "good", name), 0);
    EXPECT_EQ(name, "Excel.Sheet.8");
    EXPECT_EQ(ReadRegKeyName(HKEY_CURRENT_USER, key(), "expand", name), 0);
    EXPECT_EQ(name, "Cl");
    for (const char* bad : {"empty", "number", "path", "yen", "nocode", "missing"}) {
        name = "untouched";
        EXPECT_EQ(ReadRegKeyName(HKEY_CURRENT_USER, key(), bad, name), -1) << bad;
        EXPECT_EQ(name, "") << bad;
    }
    EXPECT_EQ(ReadRegKeyName(HKEY_CURRENT_USER, scratch.sub("Missing"), "good", name), -1);
}

// A path whose bytes do not survive the way to UTF-16 and back names some other
// key than its text: it is neither renamed nor deleted.
TEST_F(UntrustedNamesTest, RenameAndDeleteActOnlyOnExactPaths) {
    std::string inexact = key() + "\\Bad\x83"; // a lead byte without its trail byte
    std::wstring reached = AnsiToWide(inexact.substr(1));
    putWideString(HKEY_CURRENT_USER, reached, L"", L"keep");
    Tree before = wideSnapshot(HKEY_CURRENT_USER, reached);

    EXPECT_EQ(RenameRegKey(HKEY_CURRENT_USER, inexact, key() + "\\Moved"), -1);
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, scratch.sub("Moved")));
    EXPECT_EQ(DeleteRegKey(HKEY_CURRENT_USER, inexact), -1);
    EXPECT_EQ(wideSnapshot(HKEY_CURRENT_USER, reached), before);

    // An exact Japanese path is renamed as before.
    makeKey(HKEY_CURRENT_USER, scratch.sub("表計算"));
    EXPECT_EQ(RenameRegKey(HKEY_CURRENT_USER, scratch.sub("表計算"), scratch.sub("予定表")), 0);
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, scratch.sub("予定表")));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, scratch.sub("表計算")));
}

TEST(WideToAnsiExact, TakesOnlyNamesThatCarryThroughUnchanged) {
    std::string ansi = "untouched";
    EXPECT_TRUE(WideToAnsiExact(L"Excel.Sheet.8", ansi));
    EXPECT_EQ(ansi, "Excel.Sheet.8");
    EXPECT_TRUE(WideToAnsiExact(L"\u8868\u8A08\u7B97", ansi)); // 表計算
    EXPECT_EQ(ansi, "\x95\x5C\x8C\x76\x8E\x5A");
    EXPECT_TRUE(WideToAnsiExact(L"", ansi));
    EXPECT_EQ(ansi, "");

    // The yen sign best-fits to a backslash, a-acute to "a"; U+0100 has no form.
    const std::wstring changed[] = {L"a\u00A5..\u00A5b", L"\u00E1.xls", L"x\u0100",
                                    std::wstring(L"a\0b", 3), L"\u2215..\u2215x"};
    for (const std::wstring& name : changed) {
        ansi = "untouched";
        EXPECT_FALSE(WideToAnsiExact(name, ansi)) << WideToAnsi(name);
        EXPECT_EQ(ansi, "untouched");
    }
    // The best-fit conversion really does change these names.
    EXPECT_EQ(WideToAnsi(L"a\u00A5b"), "a\\b");
}

} // namespace
