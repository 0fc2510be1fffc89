#include "sysinfo/RegBackup.h"

#include "tests/support/Backups.h"
#include "tests/support/ScratchKey.h"
#include "sysinfo/Account.h"
#include "sysinfo/Registry.h"
#include "sysinfo/Text.h"

#include <gtest/gtest.h>

using namespace kel;
using namespace testing_support;

namespace {

Bytes bytesOf(const std::wstring& text) {
    const auto* data = reinterpret_cast<const BYTE*>(text.c_str());
    return Bytes(data, data + (text.size() + 1) * sizeof(wchar_t));
}

// A key of every value type, names the file must escape, a sub-key that code page
// 932 can't name, then the whole key deleted: importing its backup gives every key,
// value, type and byte back.
TEST(RegBackup, ATreeOfEveryKindComesBackExactly) {
    const std::wstring key = L"Software\\WexdalTests\\Backup";
    const std::wstring sub = key + L"\\caf\u00E9 \u2603 \u00A5";
    removeWideTree(HKEY_CURRENT_USER, key);
    putWideValue(HKEY_CURRENT_USER, key, L"", REG_SZ, bytesOf(L""));
    putWideValue(HKEY_CURRENT_USER, key, L"quote\" back\\slash\nbreak\r", REG_SZ,
                 bytesOf(L"a \"b\" c:\\d"));
    putWideValue(HKEY_CURRENT_USER, key, L"no terminator", REG_SZ, {'a', 0, 'b', 0});
    putWideValue(HKEY_CURRENT_USER, key, L"two lines", REG_SZ, bytesOf(L"1\r\n2"));
    putWideValue(HKEY_CURRENT_USER, key, L"expand", REG_EXPAND_SZ, bytesOf(L"%TEMP%\\x"));
    putWideValue(HKEY_CURRENT_USER, key, L"multi", REG_MULTI_SZ,
                 bytesOf(std::wstring(L"a\0b\0", 4)));
    putWideValue(HKEY_CURRENT_USER, key, L"binary", REG_BINARY, Bytes(100, 0xA5));
    putWideValue(HKEY_CURRENT_USER, key, L"empty binary", REG_BINARY, {});
    putWideValue(HKEY_CURRENT_USER, key, L"dword", REG_DWORD, {1, 2, 3, 4});
    putWideValue(HKEY_CURRENT_USER, key, L"short dword", REG_DWORD, {1});
    putWideValue(HKEY_CURRENT_USER, key, L"qword", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8});
    putWideValue(HKEY_CURRENT_USER, key, L"none", REG_NONE, {9});
    putWideValue(HKEY_CURRENT_USER, key, L"type 0x1234", 0x1234, {7, 7});
    putWideString(HKEY_CURRENT_USER, sub, L"\u2603", L"\u00A5\u2603");
    Tree before = wideSnapshot(HKEY_CURRENT_USER, key);
    ASSERT_EQ(before.values.size(), 13u);
    ASSERT_EQ(before.keys.size(), 1u);

    NewBackups made;
    {
        RegBackup backup(L"Tree");
        BeforeRegChange(HKEY_CURRENT_USER, key, 0, TRegChange::Tree);
        removeWideTree(HKEY_CURRENT_USER, key);
    }
    std::vector<TBackupFile> files = made.files();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].place, TBackupPlace::User);
    ASSERT_FALSE(wideKeyExists(HKEY_CURRENT_USER, key));
    EXPECT_EQ(ImportRegFile(files[0].path), 0u);
    Tree after = wideSnapshot(HKEY_CURRENT_USER, key);
    if (sizeof(void*) == 4) {
        // Wine's import run from a 32-bit program ends a string stored without its
        // terminator with one (Windows' reg.exe writes the bytes as given): the
        // bench's difference, not the file's.
        Value& unended = before.values[L"no terminator"];
        unended.data.insert(unended.data.end(), {0, 0});
    }
    for (const auto& [name, value] : before.values)
        EXPECT_TRUE(after.values.count(name) && after.values[name] == value)
            << WideToAnsi(name) << ": type " << value.type << ", " << value.data.size() << " bytes";
    EXPECT_EQ(after, before);
    removeWideTree(HKEY_CURRENT_USER, L"Software\\WexdalTests");
}

// A link in a tree to back up is refused, never followed: not into the key it names,
// nor round again when it names its own tree. Nothing is written.
TEST(RegBackup, ALinkInTheTreeIsRefusedNotFollowed) {
    const std::wstring key = L"Software\\WexdalTests\\LinkTree";
    removeWideTree(HKEY_CURRENT_USER, key);
    putWideString(HKEY_CURRENT_USER, key, L"kept", L"as it was");
    makeLink(HKEY_CURRENT_USER, key + L"\\Loop",
             L"\\Registry\\User\\" + AnsiToWide(CurrentUserSid()) + L"\\" + key);
    NewBackups made;
    {
        RegBackup backup(L"Link");
        EXPECT_THROW(BeforeRegChange(HKEY_CURRENT_USER, key, 0, TRegChange::Tree), BackupError);
    }
    EXPECT_TRUE(made.files().empty());
    EXPECT_EQ(DeleteRegKey(HKEY_CURRENT_USER, "Software\\WexdalTests"), 0); // the link as the link
}

} // namespace
