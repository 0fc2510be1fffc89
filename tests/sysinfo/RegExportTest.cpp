#include "sysinfo/RegExport.h"

#include <gtest/gtest.h>

using kel::TRegSection;
using kel::TRegValue;

namespace {

std::vector<uint8_t> utf16(const std::wstring& text) {
    std::vector<uint8_t> bytes;
    for (wchar_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8 & 0xFF));
    }
    return bytes;
}

// Every value type as the editor writes it; a string that is not one whole string
// (no terminator, a NUL inside, a line break) is kept as bytes.
TEST(RegFileText, WritesEveryTypeAsTheEditorReadsItBack) {
    struct Case {
        TRegValue value;
        const wchar_t* line;
    } cases[] = {
        {{L"", true, 1, utf16(std::wstring(L"C:\\a \"b\"", 8) + L'\0')},
         L"@=\"C:\\\\a \\\"b\\\"\""},
        {{L"Empty", true, 1, utf16(std::wstring(1, L'\0'))}, L"\"Empty\"=\"\""},
        {{L"NoEnd", true, 1, utf16(L"ab")}, L"\"NoEnd\"=hex(1):61,00,62,00"},
        {{L"Break", true, 1, utf16(std::wstring(L"a\nb") + L'\0')},
         L"\"Break\"=hex(1):61,00,0a,00,62,00,00,00"},
        {{L"Zero", true, 1, {}}, L"\"Zero\"=hex(1):"},
        {{L"Odd", true, 1, {0x61, 0, 0}}, L"\"Odd\"=hex(1):61,00,00"},
        {{L"Exp", true, 2, utf16(std::wstring(L"%A%") + L'\0')},
         L"\"Exp\"=hex(2):25,00,41,00,25,00,00,00"},
        {{L"Bin", true, 3, {0x00, 0xff}}, L"\"Bin\"=hex:00,ff"},
        {{L"Dw", true, 4, {0x78, 0x56, 0x34, 0x12}}, L"\"Dw\"=dword:12345678"},
        {{L"ShortDw", true, 4, {1}}, L"\"ShortDw\"=hex(4):01"},
        {{L"Multi", true, 7, utf16(std::wstring(L"a\0\0", 3))},
         L"\"Multi\"=hex(7):61,00,00,00,00,00"},
        {{L"Q", true, 11, {1, 0, 0, 0, 0, 0, 0, 0}}, L"\"Q\"=hex(b):01,00,00,00,00,00,00,00"},
        {{L"None", true, 0, {}}, L"\"None\"=hex(0):"},
        {{L"Big", true, 0x12345, {7}}, L"\"Big\"=hex(12345):07"},
        {{L"a\"b\\c\nd\re", false, 0, {}}, L"\"a\\\"b\\\\c\\nd\\re\"=-"},
        {{L"", false, 0, {}}, L"@=-"},
    };
    for (const Case& c : cases) {
        std::optional<std::wstring> text =
            kel::RegFileText({}, {{L"HKEY_CURRENT_USER\\K", false, {c.value}}});
        ASSERT_TRUE(text.has_value());
        EXPECT_EQ(*text, std::wstring(L"Windows Registry Editor Version 5.00\r\n\r\n"
                                      L"[HKEY_CURRENT_USER\\K]\r\n") +
                             c.line + L"\r\n\r\n");
    }
}

TEST(RegFileText, WrapsLongDataDeletesKeysAndRefusesUnnameableOnes) {
    std::optional<std::wstring> text = kel::RegFileText(
        {L"one", L"two"},
        {{L"HKEY_USERS\\.DEFAULT\\Gone", true, {{L"ignored", true, 3, {1}}}},
         {L"HKEY_LOCAL_MACHINE\\S", false, {{L"B", true, 3, std::vector<uint8_t>(30, 0xab)}}}});
    ASSERT_TRUE(text.has_value());
    std::wstring line1 = L"\"B\"=hex:", line2 = L"  ";
    for (int i = 0; i < 23; ++i)
        line1 += L"ab,";
    for (int i = 23; i < 30; ++i)
        line2 += i < 29 ? L"ab," : L"ab";
    EXPECT_EQ(*text, L"Windows Registry Editor Version 5.00\r\n\r\n; one\r\n; two\r\n\r\n"
                     L"[-HKEY_USERS\\.DEFAULT\\Gone]\r\n\r\n[HKEY_LOCAL_MACHINE\\S]\r\n" +
                         line1 + L"\\\r\n" + line2 + L"\r\n\r\n");
    EXPECT_LE(line1.size() + 1, 80u);

    for (const std::wstring& path :
         {std::wstring(L"HKEY_CURRENT_USER\\a\nb"), std::wstring(L"HKEY_CURRENT_USER\\a\0b", 20),
          std::wstring(L"HKCU\\x"), std::wstring(L"HKEY_CURRENT_USER\\a]b"),
          std::wstring(L"HKEY_CURRENT_USERX\\y"), std::wstring()})
        EXPECT_FALSE(kel::RegFileText({}, {{path, true, {}}}).has_value());
    EXPECT_FALSE(kel::RegFileText({L"a\r\nb"}, {}).has_value());
}

// What RegFileText writes reads back whole, with or without the byte order mark;
// what it does not write, or an import could read another way, is refused.
TEST(ParseRegFile, ReadsBackWhatRegFileTextWritesAndNothingElse) {
    const std::wstring nul(1, L'\0');
    std::vector<TRegSection> sections = {
        {L"HKEY_CURRENT_USER\\Software\\W",
         false,
         {{L"", true, 1, utf16(L"C:\\a \"b\"" + nul)},
          {L"Empty", true, 1, utf16(nul)},
          {L"Dw", true, 4, {0x78, 0x56, 0x34, 0x12}},
          {L"Bin", true, 3, {0x00, 0xff}},
          {L"Multi", true, 7, utf16(L"a" + nul + L"b" + nul + nul)},
          {L"Exp", true, 2, utf16(L"%A%" + nul)},
          {L"q\"\\\n\r=", true, 1, utf16(L"x\\\"y" + nul)},
          {L"Gone", false, 0, {}},
          {L"Long", true, 11, std::vector<uint8_t>(200, 0xab)},
          {L"None", true, 0, {}}}},
        {L"HKEY_LOCAL_MACHINE\\S", true, {}},
        {L"HKEY_USERS\\.DEFAULT\\E", false, {{L"@", false, 0, {}}}},
    };
    std::optional<std::wstring> text = kel::RegFileText({L"one", L"[two]"}, sections);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(kel::ParseRegFile(*text), sections);
    EXPECT_EQ(kel::ParseRegFile(L"\uFEFF" + *text), sections);

    const std::wstring head = L"Windows Registry Editor Version 5.00\r\n",
                       key = L"[HKEY_CURRENT_USER\\K]\r\n";
    EXPECT_EQ(kel::ParseRegFile(head + L"[HKEY_USERS\\K]\n\"a\"=hex(4):0A,\\\n  Ff\n"),
              (std::vector<TRegSection>{{L"HKEY_USERS\\K", false, {{L"a", true, 4, {10, 255}}}}}));
    const std::wstring tails[] = {key + L"\"a\"=dword:123\r\n",       key + L"\"a\"=hex:0,1\r\n",
                                  key + L"\"a\"=hex:00,\r\n",         key + L"\"a\"=hex:00,\\\r\n",
                                  key + L"\"a\"=hex:00,\\\r\n" + key, key + L"\"a\"=hex(02):00\r\n",
                                  key + L"\"a\"=\"x\\ny\"\r\n",       key + L"\"a\"=\"x\r\n",
                                  key + L"\"a\" = \"x\"\r\n",         key + L"\"\"=\"x\"\r\n",
                                  key + L"\"a\"=str:x\r\n",           key + L"  \"a\"=-\r\n",
                                  key + L"\"a\"=\"x\" ;\r\n",         L"\"a\"=-\r\n",
                                  L"[-HKEY_USERS\\B]\r\n\"a\"=-\r\n", L"x\r" + key};
    for (const std::wstring& tail : tails)
        EXPECT_FALSE(kel::ParseRegFile(head + tail).has_value()) << tail;
    EXPECT_FALSE(kel::ParseRegFile(key).has_value());
}

TEST(RegeditPath, NamesEachRootAsTheEditorDoes) {
    const std::wstring own = L"\\REGISTRY\\USER\\S-1-5-21-1",
                       system = L"\\REGISTRY\\USER\\S-1-5-18",
                       fallback = L"\\REGISTRY\\USER\\.default";
    struct Case {
        std::wstring path, ownUser;
        std::optional<std::wstring> named;
    } cases[] = {
        {L"\\REGISTRY\\MACHINE\\SOFTWARE\\WOW6432Node\\X", own,
         L"HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\X"},
        {L"\\Registry\\Machine", own, L"HKEY_LOCAL_MACHINE"},
        {own + L"\\Software", own, L"HKEY_CURRENT_USER\\Software"},
        {own + L"_Classes\\VBSFile", own, L"HKEY_CURRENT_USER\\Software\\Classes\\VBSFile"},
        {own + L"2\\X", own, L"HKEY_USERS\\S-1-5-21-12\\X"},
        {L"\\REGISTRY\\USER\\.DEFAULT", own, L"HKEY_USERS\\.DEFAULT"},
        {system + L"\\Software", system, L"HKEY_USERS\\S-1-5-18\\Software"},
        {system + L"_Classes\\X", system, L"HKEY_USERS\\S-1-5-18_Classes\\X"},
        {fallback + L"\\Software", fallback, L"HKEY_USERS\\.default\\Software"},
        {fallback + L"_Classes", fallback, L"HKEY_USERS\\.default_Classes"},
        {L"\\REGISTRY\\MACHINEX", own, std::nullopt},
        {L"", own, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kel::RegeditPath(c.path, c.ownUser), c.named) << c.path;

    EXPECT_TRUE(
        kel::NamesOnlyTheUsersKeys(L"Windows Registry Editor Version 5.00\r\n\r\n"
                                   L"[HKEY_CURRENT_USER\\A]\r\n[-hkey_current_user\\B]\r\n"));
    EXPECT_FALSE(kel::NamesOnlyTheUsersKeys(L"[HKEY_CURRENT_USER\\A]\r\n[-HKEY_USERS\\B]\r\n"));
    EXPECT_FALSE(kel::NamesOnlyTheUsersKeys(L"[HKEY_CURRENT_USERS]\r\n"));
    // Lines end as an import ends them; what it could read as a section another way,
    // or under a short root's name, makes the keys unknown.
    const std::wstring machine = L"[HKEY_LOCAL_MACHINE\\X]\r\n";
    using Keys = std::optional<std::vector<std::wstring>>;
    struct Read {
        std::wstring text;
        Keys keys;
    } reads[] = {
        {L"\uFEFFWindows Registry Editor Version 5.00\r\n; c\r\n[-HKEY_USERS\\A]\r\n"
         L"\"[x]\"=\"\"\r\n  00,\\\r\n" +
             machine,
         Keys({L"HKEY_USERS\\A", L"HKEY_LOCAL_MACHINE\\X"})},
        {L"[HKEY_USERS\\A]\n\n[HKEY_USERS\\B]", Keys({L"HKEY_USERS\\A", L"HKEY_USERS\\B"})},
        {L"x\r" + machine, std::nullopt},
        {L"[HKEY_USERS\\A]\r", std::nullopt},
        {std::wstring(1, L'\0') + machine, std::nullopt},
        {L"\x0B" + machine, std::nullopt},
        {L"\u3000" + machine, std::nullopt},
        {L"x\r\n\uFEFF" + machine, std::nullopt},
        {L" [HKEY_USERS\\A]\r\n", std::nullopt},
        {L"[HKEY_USERS\\A] ;\r\n", std::nullopt},
        {L"[HKCU\\A]\r\n", std::nullopt},
        {L"[HKEY_CURRENT_CONFIG]\r\n", std::nullopt},
    };
    for (const Read& c : reads)
        EXPECT_EQ(kel::SectionKeys(c.text), c.keys) << c.text;
}

TEST(BackupFileName, NamesByTimeAndRowAndKeepsTheNewest) {
    kel::TBackupTime time{2026, 12, 9, 10, 15, 30};
    EXPECT_EQ(kel::BackupFileName(time, L"EmlWsh"), L"20261209-101530_EmlWsh.reg");
    EXPECT_EQ(kel::BackupFileName(time, L"EmlWsh", 2), L"20261209-101530-2_EmlWsh.reg");
    std::optional<kel::TBackupName> name = kel::ParseBackupFileName(L"20261209-101530-2_Emb_X.REG");
    ASSERT_TRUE(name.has_value());
    EXPECT_EQ(name->time, L"2026-12-09 10:15:30");
    EXPECT_EQ(name->row, L"Emb_X");
    for (const wchar_t* other : {L"20261209-101530_.reg", L"20261209-10153_X.reg",
                                 L"20261209-101530-_X.reg", L"notes.reg", L"20261209-101530_X.txt"})
        EXPECT_FALSE(kel::ParseBackupFileName(other).has_value()) << other;

    std::vector<std::wstring> names = {L"20261209-101530-2_B.reg", L"keep.reg",
                                       L"20261209-101530_A.reg", L"20250101-000000_Old.reg"};
    EXPECT_EQ(kel::BackupsBeyond(names, 1),
              (std::vector<std::wstring>{L"20250101-000000_Old.reg", L"20261209-101530_A.reg"}));
    EXPECT_TRUE(kel::BackupsBeyond(names, 3).empty());
}

} // namespace
