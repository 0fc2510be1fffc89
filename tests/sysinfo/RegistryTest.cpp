#include "sysinfo/Registry.h"

#include "sysinfo/NameList.h"
#include "sysinfo/RegKey.h"
#include "tests/support/ScratchKey.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kel;
using namespace testing_support;

namespace {

class RegistryTest : public testing::Test {
  protected:
    ScratchKey scratch{HKEY_CURRENT_USER, "\\Software\\Wexdal Tests\\Registry"};
    const std::string& key() const { return scratch.path(); }
    std::string missing() const { return scratch.sub("Missing"); }
};

Bytes utf16(const std::wstring& text) {
    const BYTE* begin = reinterpret_cast<const BYTE*>(text.c_str());
    return Bytes(begin, begin + (text.size() + 1) * sizeof(wchar_t));
}

Bytes storedBytes(const std::string& keyPath, const std::string& name) {
    Tree tree = snapshot(HKEY_CURRENT_USER, keyPath);
    auto it = tree.values.find(std::wstring(name.begin(), name.end()));
    return it == tree.values.end() ? Bytes{} : it->second.data;
}

TEST_F(RegistryTest, ReadIntegerPresetsAndAbsorbsOtherTypes) {
    putDword(HKEY_CURRENT_USER, key(), "Number", 42);
    putString(HKEY_CURRENT_USER, key(), "Text", "42");
    putValue(HKEY_CURRENT_USER, key(), "Long", REG_DWORD, Bytes(8, 1));
    int value = 7;

    EXPECT_EQ(ReadRegInteger(HKEY_CURRENT_USER, key(), "Number", value), 0);
    EXPECT_EQ(value, 42);

    value = 7;
    EXPECT_EQ(ReadRegInteger(HKEY_CURRENT_USER, key(), "Text", value), 0);
    EXPECT_EQ(value, -1);

    value = 7;
    EXPECT_EQ(ReadRegInteger(HKEY_CURRENT_USER, key(), "Long", value), 0);
    EXPECT_EQ(value, -1);

    value = 7;
    EXPECT_EQ(ReadRegInteger(HKEY_CURRENT_USER, key(), "Absent", value), -1);
    EXPECT_EQ(value, -1);

    value = 7;
    EXPECT_EQ(ReadRegInteger(HKEY_CURRENT_USER, missing(), "Number", value), -1);
    EXPECT_EQ(value, -1);
}

TEST_F(RegistryTest, WriteIntegerCreatesTheKeyAndVerifies) {
    std::string deep = scratch.sub("A\\B");
    EXPECT_EQ(WriteRegInteger(HKEY_CURRENT_USER, deep, "Flags", -8), 0);
    EXPECT_EQ(storedBytes(deep, "Flags"), (Bytes{0xF8, 0xFF, 0xFF, 0xFF}));

    // Overwrites a value of another type.
    putString(HKEY_CURRENT_USER, key(), "Flags", "text");
    EXPECT_EQ(WriteRegInteger(HKEY_CURRENT_USER, key(), "Flags", 8), 0);
    int value = 0;
    ReadRegInteger(HKEY_CURRENT_USER, key(), "Flags", value);
    EXPECT_EQ(value, 8);
}

TEST_F(RegistryTest, ReadStringHandlesDefaultValuesTypesAndMissingNul) {
    std::string text = "preset";
    // A key without a default value.
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key(), "", text), -1);
    EXPECT_EQ(text, "");

    putString(HKEY_CURRENT_USER, key(), "", "");
    text = "preset";
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key(), "", text), 0);
    EXPECT_EQ(text, "");

    putString(HKEY_CURRENT_USER, key(), "", "Excel.Sheet.8");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key(), "", text), 0);
    EXPECT_EQ(text, "Excel.Sheet.8");

    // Expandable strings come back unexpanded.
    const char expandable[] = "%SystemRoot%\\x.exe";
    putValue(HKEY_CURRENT_USER, key(), "Path", REG_EXPAND_SZ,
             Bytes(expandable, expandable + sizeof expandable));
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key(), "Path", text), 0);
    EXPECT_EQ(text, expandable);

    // Cut at the first NUL.
    putValue(HKEY_CURRENT_USER, key(), "Two", REG_SZ, Bytes{'a', 'b', 0, 'c', 0});
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key(), "Two", text), 0);
    EXPECT_EQ(text, "ab");

    // Stored without its terminating NUL: read up to the end of the data only.
    putValue(HKEY_CURRENT_USER, key(), "Bare", REG_SZ, Bytes{'x', 'y', 'z'});
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key(), "Bare", text), 0);
    EXPECT_EQ(text, "xyz");

    putDword(HKEY_CURRENT_USER, key(), "Number", 1);
    text = "preset";
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key(), "Number", text), 0);
    EXPECT_EQ(text, "");

    text = "preset";
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, missing(), "", text), -1);
    EXPECT_EQ(text, "");
}

TEST_F(RegistryTest, WriteStringRoundTripsJapaneseTextByteForByte) {
    const std::string company = "株式会社　ケルファイン";
    EXPECT_EQ(WriteRegString(HKEY_CURRENT_USER, key(), "Company", company), 0);
    std::string text;
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key(), "Company", text), 0);
    EXPECT_EQ(text, company);

    EXPECT_EQ(WriteRegString(HKEY_CURRENT_USER, key(), "", ""), 0);
    EXPECT_EQ(storedBytes(key(), ""), utf16(L""));
}

TEST_F(RegistryTest, WritersReportAKeyTheyCannotOpenAsFailure) {
    putString(HKEY_CURRENT_USER, key(), "Company", "old");
    // Readable values that can't be set: the writers get -1, not an error.
    setKeySecurity(HKEY_CURRENT_USER, key(), "D:P(A;;KR;;;WD)");
    EXPECT_EQ(WriteRegString(HKEY_CURRENT_USER, key(), "Company", "new"), -1);
    EXPECT_EQ(WriteRegInteger(HKEY_CURRENT_USER, key(), "Flags", 8), -1);
    EXPECT_EQ(WriteRegWideString(HKEY_CURRENT_USER, key(), "Owner", "x"), -1);
    EXPECT_EQ(DeleteRegValue(HKEY_CURRENT_USER, key(), "Company"), -1);
    std::string text;
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key(), "Company", text), 0);
    EXPECT_EQ(text, "old");
    setKeySecurity(HKEY_CURRENT_USER, key(), "D:P(A;;KA;;;WD)");
}

// A key that grants querying and setting values, and nothing more: every writer
// works in it, asking for no more than that.
TEST_F(RegistryTest, WritersNeedNoMoreThanToQueryAndSetValues) {
    putString(HKEY_CURRENT_USER, key(), "Toolbars", "x");
    setKeySecurity(HKEY_CURRENT_USER, key(), "D:P(A;;0x0003;;;WD)");
    EXPECT_EQ(WriteRegString(HKEY_CURRENT_USER, key(), "Company", "株式会社"), 0);
    EXPECT_EQ(UpdateRegString(HKEY_CURRENT_USER, key(), "Company", "有限会社"), 0);
    EXPECT_EQ(WriteRegInteger(HKEY_CURRENT_USER, key(), "AcbControl", 1), 0);
    EXPECT_EQ(WriteRegWideString(HKEY_CURRENT_USER, key(), "Owner", "山田"), 0);
    EXPECT_EQ(UpdateRegWideString(HKEY_CURRENT_USER, key(), "Owner", "田中"), 0);
    EXPECT_EQ(DeleteRegValue(HKEY_CURRENT_USER, key(), "Toolbars"), 0);
    EXPECT_EQ(CreateRegKey(HKEY_CURRENT_USER, key()), 0);
    setKeySecurity(HKEY_CURRENT_USER, key(), "D:P(A;;KA;;;WD)");
    std::string text;
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key(), "Company", text), 0);
    EXPECT_EQ(text, "有限会社");
    EXPECT_EQ(ReadRegWideString(HKEY_CURRENT_USER, key(), "Owner", text), 0);
    EXPECT_EQ(text, "田中");
    EXPECT_FALSE(valueExists(HKEY_CURRENT_USER, key(), "Toolbars"));
}

TEST_F(RegistryTest, UpdatersWriteIntoExistingKeysOnly) {
    EXPECT_EQ(UpdateRegString(HKEY_CURRENT_USER, missing(), "Company", "x"), -1);
    EXPECT_EQ(UpdateRegWideString(HKEY_CURRENT_USER, missing(), "Company", "x"), -1);
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, missing()));

    EXPECT_EQ(UpdateRegString(HKEY_CURRENT_USER, key(), "Company", "株式会社"), 0);
    EXPECT_EQ(UpdateRegWideString(HKEY_CURRENT_USER, key(), "Owner", "山田"), 0);
    std::string text;
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key(), "Company", text), 0);
    EXPECT_EQ(text, "株式会社");
    EXPECT_EQ(ReadRegWideString(HKEY_CURRENT_USER, key(), "Owner", text), 0);
    EXPECT_EQ(text, "山田");
    std::wstring wide;
    EXPECT_EQ(ReadRegWideStringW(HKEY_CURRENT_USER, key(), "Owner", wide), 0);
    EXPECT_EQ(wide, L"\u5C71\u7530");

    setKeySecurity(HKEY_CURRENT_USER, key(), "D:P(A;;KR;;;WD)");
    EXPECT_EQ(UpdateRegString(HKEY_CURRENT_USER, key(), "Company", "new"), -1);
    EXPECT_EQ(UpdateRegWideString(HKEY_CURRENT_USER, key(), "Owner", "new"), -1);
    setKeySecurity(HKEY_CURRENT_USER, key(), "D:P(A;;KA;;;WD)");
}

TEST_F(RegistryTest, ReadOnlyOpenFallsBackToQueryingValuesAlone) {
    putString(HKEY_CURRENT_USER, key(), "Company", "Kelfine");
    makeKey(HKEY_CURRENT_USER, scratch.sub("Child"));
    setKeySecurity(HKEY_CURRENT_USER, key(), "D:P(A;;0x0001;;;WD)"); // KEY_QUERY_VALUE only
    std::string text;
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key(), "Company", text), 0);
    EXPECT_EQ(text, "Kelfine");
    EXPECT_EQ(RegKeyExists(HKEY_CURRENT_USER, key()), 0);
    setKeySecurity(HKEY_CURRENT_USER, key(), "D:P(A;;KA;;;WD)");
}

TEST_F(RegistryTest, WideStringLayoutAndLimits) {
    EXPECT_EQ(WriteRegWideString(HKEY_CURRENT_USER, key(), "abc", "abc"), 0);
    EXPECT_EQ(storedBytes(key(), "abc"), (Bytes{'a', 0, 'b', 0, 'c', 0, 0, 0}));

    // The length is counted in ANSI bytes: two double-byte characters give 10 bytes.
    EXPECT_EQ(WriteRegWideString(HKEY_CURRENT_USER, key(), "Owner", "山田"), 0);
    Bytes expected = utf16(L"\u5C71\u7530");
    expected.resize(10, 0);
    EXPECT_EQ(storedBytes(key(), "Owner"), expected);
    std::string text;
    EXPECT_EQ(ReadRegWideString(HKEY_CURRENT_USER, key(), "Owner", text), 0);
    EXPECT_EQ(text, "山田");

    // 259 bytes still fit; 260 are refused and nothing is written.
    EXPECT_EQ(WriteRegWideString(HKEY_CURRENT_USER, key(), "Fits", std::string(259, 'x')), 0);
    EXPECT_EQ(storedBytes(key(), "Fits").size(), 520u);
    EXPECT_EQ(WriteRegWideString(HKEY_CURRENT_USER, key(), "TooLong", std::string(260, 'x')), -1);
    EXPECT_FALSE(valueExists(HKEY_CURRENT_USER, key(), "TooLong"));
}

TEST_F(RegistryTest, ReadWideStringAcceptsAndRefusesTypesAndSizes) {
    std::string text = "preset";
    putValue(HKEY_CURRENT_USER, key(), "Empty", REG_BINARY, {});
    EXPECT_EQ(ReadRegWideString(HKEY_CURRENT_USER, key(), "Empty", text), 0);
    EXPECT_EQ(text, "");

    putValue(HKEY_CURRENT_USER, key(), "None", REG_NONE, utf16(L"abc"));
    EXPECT_EQ(ReadRegWideString(HKEY_CURRENT_USER, key(), "None", text), 0);
    EXPECT_EQ(text, "abc");

    putString(HKEY_CURRENT_USER, key(), "Sz", "abc");
    EXPECT_EQ(ReadRegWideString(HKEY_CURRENT_USER, key(), "Sz", text), 0);
    EXPECT_EQ(text, "");

    // 520 bytes without a NUL code unit: cut after 260 code units, no overrun.
    Bytes full;
    for (int i = 0; i < 260; ++i)
        full.insert(full.end(), {'w', 0});
    putValue(HKEY_CURRENT_USER, key(), "Full", REG_BINARY, full);
    EXPECT_EQ(ReadRegWideString(HKEY_CURRENT_USER, key(), "Full", text), 0);
    EXPECT_EQ(text, std::string(260, 'w'));

    full.insert(full.end(), {'w', 0, 0, 0});
    putValue(HKEY_CURRENT_USER, key(), "Larger", REG_BINARY, full);
    EXPECT_EQ(ReadRegWideString(HKEY_CURRENT_USER, key(), "Larger", text), 0);
    EXPECT_EQ(text, "");

    EXPECT_EQ(ReadRegWideString(HKEY_CURRENT_USER, key(), "Absent", text), -1);
    EXPECT_EQ(ReadRegWideString(HKEY_CURRENT_USER, missing(), "None", text), -1);
}

TEST_F(RegistryTest, KeysAreCreatedTestedAndDeletedWithTheirTree) {
    std::string deep = scratch.sub("One\\Two\\Three");
    EXPECT_EQ(RegKeyExists(HKEY_CURRENT_USER, deep), -1);
    EXPECT_EQ(CreateRegKey(HKEY_CURRENT_USER, deep), 0);
    EXPECT_EQ(CreateRegKey(HKEY_CURRENT_USER, deep), 0);
    EXPECT_EQ(RegKeyExists(HKEY_CURRENT_USER, deep), 0);
    // Without the leading backslash the path means the same key.
    EXPECT_EQ(RegKeyExists(HKEY_CURRENT_USER, deep.substr(1)), 0);

    putString(HKEY_CURRENT_USER, scratch.sub("One\\Two\\Side"), "v", "x");
    EXPECT_EQ(DeleteRegKey(HKEY_CURRENT_USER, scratch.sub("One")), 0);
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, scratch.sub("One")));
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, key()));

    EXPECT_EQ(DeleteRegKey(HKEY_CURRENT_USER, scratch.sub("One")), -1);

    // An empty path names the root itself: refused, the root keeps everything.
    putString(HKEY_CURRENT_USER, scratch.sub("Child"), "v", "x");
    Tree before = snapshot(HKEY_CURRENT_USER, key());
    RegKey root;
    ASSERT_EQ(root.open(HKEY_CURRENT_USER, key().substr(1), KEY_ALL_ACCESS), ERROR_SUCCESS);
    EXPECT_EQ(DeleteRegKey(root.get(), ""), -1);
    EXPECT_EQ(DeleteRegKey(root.get(), "\\"), -1);
    root.close();
    EXPECT_EQ(snapshot(HKEY_CURRENT_USER, key()), before);
}

TEST_F(RegistryTest, DeleteValueReportsOnlyARealDeletion) {
    putString(HKEY_CURRENT_USER, key(), "Toolbars", "x");
    putString(HKEY_CURRENT_USER, key(), "Neighbour", "y");
    EXPECT_EQ(DeleteRegValue(HKEY_CURRENT_USER, key(), "Toolbars"), 0);
    EXPECT_FALSE(valueExists(HKEY_CURRENT_USER, key(), "Toolbars"));
    EXPECT_TRUE(valueExists(HKEY_CURRENT_USER, key(), "Neighbour"));
    EXPECT_EQ(DeleteRegValue(HKEY_CURRENT_USER, key(), "Toolbars"), -1);
    EXPECT_EQ(DeleteRegValue(HKEY_CURRENT_USER, missing(), "Toolbars"), -1);
}

TEST_F(RegistryTest, NameListsKeepRegistryOrderAndAreEmptiedFirst) {
    for (const char* name : {"Zeta", "Alpha", "日本語", "Mid"})
        makeKey(HKEY_CURRENT_USER, scratch.sub(name));
    for (const char* name : {"z", "a", "m"})
        putString(HKEY_CURRENT_USER, key(), name, "");

    StringList keys{"stale"};
    EXPECT_EQ(GetRegKeyNames(HKEY_CURRENT_USER, key(), keys), 0);
    StringList expectedKeys = platformSubKeyNames(HKEY_CURRENT_USER, key());
    EXPECT_EQ(keys, expectedKeys);
    EXPECT_EQ(keys.size(), 4u);

    StringList values{"stale"};
    EXPECT_EQ(GetRegValueNames(HKEY_CURRENT_USER, key(), values), 0);
    EXPECT_EQ(values, platformValueNames(HKEY_CURRENT_USER, key()));
    EXPECT_EQ(values.size(), 3u);

    EXPECT_EQ(GetRegKeyNames(HKEY_CURRENT_USER, missing(), keys), -1);
    EXPECT_TRUE(keys.empty());
    EXPECT_EQ(GetRegValueNames(HKEY_CURRENT_USER, missing(), values), -1);
    EXPECT_TRUE(values.empty());
}

// An enumeration as the platform's: a name that does not fit with its terminating
// NUL gives ERROR_MORE_DATA; calls[i] is the buffer length offered on call i.
struct FakeEnumeration {
    std::vector<std::wstring> names;
    std::vector<DWORD> calls;
    LONG operator()(DWORD index, wchar_t* buffer, DWORD* length) {
        calls.push_back(*length);
        if (index >= names.size())
            return ERROR_NO_MORE_ITEMS;
        const std::wstring& name = names[index];
        if (*length <= name.size())
            return ERROR_MORE_DATA;
        std::copy(name.begin(), name.end(), buffer);
        buffer[name.size()] = L'\0';
        *length = static_cast<DWORD>(name.size());
        return ERROR_SUCCESS;
    }
};

TEST(NameListing, ANameLongerThanReportedIsListedWholeAfterTheBufferGrows) {
    // The counts said the longest name had 3 characters; two came longer since.
    FakeEnumeration enumeration{{L"abc", std::wstring(300, L'x'), std::wstring(2000, L'y'), L"z"},
                                {}};
    StringList names;
    EXPECT_EQ(detail::listNames(names, 4, 3,
                                [&](DWORD index, wchar_t* buffer, DWORD* length) {
                                    return enumeration(index, buffer, length);
                                }),
              0);
    EXPECT_EQ(names, (StringList{"abc", std::string(300, 'x'), std::string(2000, 'y'), "z"}));
    // Each too long name is asked for again at its own index, never passed over.
    ASSERT_GE(enumeration.calls.size(), 7u);
    EXPECT_LT(enumeration.calls[1], 301u);
    EXPECT_GT(enumeration.calls.back(), 2000u);

    // A name no buffer of the listing can hold fails the listing, and lists nothing.
    FakeEnumeration huge{{L"abc", std::wstring(70000, L'h')}, {}};
    EXPECT_EQ(detail::listNames(names, 2, 3,
                                [&](DWORD index, wchar_t* buffer, DWORD* length) {
                                    return huge(index, buffer, length);
                                }),
              -1);
    EXPECT_TRUE(names.empty());
}

TEST_F(RegistryTest, EmptyPathListsTheRootsOwnKeys) {
    makeKey(HKEY_CLASSES_ROOT, "\\.wexdaltest");
    StringList names;
    EXPECT_EQ(GetRegKeyNames(HKEY_CLASSES_ROOT, "", names), 0);
    removeTree(HKEY_CLASSES_ROOT, "\\.wexdaltest");
    EXPECT_NE(std::find(names.begin(), names.end(), ".wexdaltest"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "CLSID"), names.end());
}

TEST_F(RegistryTest, ErrorsNameTheKeyOrValue) {
    // The registry refuses key names of more than 255 characters.
    std::string badKey = key() + "\\" + std::string(300, 'k');
    try {
        CreateRegKey(HKEY_CURRENT_USER, badKey);
        ADD_FAILURE() << "no error raised";
    } catch (const RegistryError& error) {
        EXPECT_EQ(std::string(error.what()), "キー " + badKey + " の作成に失敗しました");
        EXPECT_NE(error.Status(), ERROR_SUCCESS); // the system's reason goes with it
    }

    // ...and value names of more than 16383 characters.
    std::string badName(20000, 'v');
    try {
        (void)WriteRegString(HKEY_CURRENT_USER, key(), badName, "x");
        ADD_FAILURE() << "no error raised";
    } catch (const RegistryError& error) {
        EXPECT_EQ(std::string(error.what()), "'" + badName + "' の設定に失敗しました");
        EXPECT_NE(error.Status(), ERROR_SUCCESS);
    }
    EXPECT_THROW((void)WriteRegInteger(HKEY_CURRENT_USER, key(), badName, 1), RegistryError);
    EXPECT_THROW((void)WriteRegWideString(HKEY_CURRENT_USER, key(), badName, "x"), RegistryError);
}

} // namespace
