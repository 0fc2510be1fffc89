#include "sysinfo/Registry.h"

#include "sysinfo/Text.h"
#include "tests/support/RegistrySeams.h"
#include "tests/support/ScratchKey.h"

#include <gtest/gtest.h>

using namespace kel;
using namespace testing_support;

namespace {

class RenameTest : public testing::Test {
  protected:
    ScratchKey scratch{HKEY_CLASSES_ROOT, "\\WexdalTest.Rename"};
    std::string oldKey = scratch.sub("LocalServer32");
    std::string newKey = scratch.sub("_KelDisabled_LocalServer32");

    // One value of every type, the same types again with no data, and a large one.
    void fillEveryType(const std::string& keyPath) {
        const char path[] = "C:\\Program Files\\x.exe";
        putValue(HKEY_CLASSES_ROOT, keyPath, "", REG_SZ, Bytes(path, path + sizeof path));
        putValue(HKEY_CLASSES_ROOT, keyPath, "Sz", REG_SZ, Bytes{'a', 0});
        putValue(HKEY_CLASSES_ROOT, keyPath, "Expand", REG_EXPAND_SZ, Bytes{'%', 'T', '%', 0});
        putValue(HKEY_CLASSES_ROOT, keyPath, "Multi", REG_MULTI_SZ, Bytes{'a', 0, 'b', 'c', 0, 0});
        putValue(HKEY_CLASSES_ROOT, keyPath, "Dword", REG_DWORD, Bytes{1, 2, 3, 4});
        putValue(HKEY_CLASSES_ROOT, keyPath, "Qword", REG_QWORD, Bytes{1, 2, 3, 4, 5, 6, 7, 8});
        putValue(HKEY_CLASSES_ROOT, keyPath, "None", REG_NONE, Bytes{9, 9, 9});
        Bytes large(100000);
        for (size_t i = 0; i < large.size(); ++i)
            large[i] = static_cast<BYTE>(i * 7);
        putValue(HKEY_CLASSES_ROOT, keyPath, "Large", REG_BINARY, large);
        putValue(HKEY_CLASSES_ROOT, keyPath, "日本語", REG_SZ, Bytes{'x', 0});
        for (DWORD type :
             {REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_DWORD, REG_QWORD, REG_NONE, REG_BINARY})
            putValue(HKEY_CLASSES_ROOT, keyPath, "Empty" + std::to_string(type), type, {});
    }

    void fillThreeLevels() {
        fillEveryType(oldKey);
        fillEveryType(oldKey + "\\Level2");
        putString(HKEY_CLASSES_ROOT, oldKey + "\\Level2\\Level3", "", "deep");
        makeKey(HKEY_CLASSES_ROOT, oldKey + "\\Level2\\Level3\\EmptyKey");
        putDword(HKEY_CLASSES_ROOT, oldKey + "\\Side", "n", 5);
    }
};

TEST_F(RenameTest, MovesAWholeTreeExactly) {
    fillThreeLevels();
    Tree before = snapshot(HKEY_CLASSES_ROOT, oldKey);
    ASSERT_EQ(before.values.size(), 16u);
    ASSERT_EQ(before.values.at(L"Empty3").data.size(), 0u) << "fixture: zero-length values exist";

    EXPECT_EQ(RenameRegKey(HKEY_CLASSES_ROOT, oldKey, newKey), 0);

    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, oldKey));
    EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, newKey), before);
    // And back again, as the local-server switch does.
    EXPECT_EQ(RenameRegKey(HKEY_CLASSES_ROOT, newKey, oldKey), 0);
    EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, oldKey), before);
}

TEST_F(RenameTest, LeavesBothKeysWhenTheTargetExists) {
    putString(HKEY_CLASSES_ROOT, oldKey, "", "old");
    putString(HKEY_CLASSES_ROOT, newKey, "", "new");
    Tree oldBefore = snapshot(HKEY_CLASSES_ROOT, oldKey);
    Tree newBefore = snapshot(HKEY_CLASSES_ROOT, newKey);
    EXPECT_EQ(RenameRegKey(HKEY_CLASSES_ROOT, oldKey, newKey), -1);
    EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, oldKey), oldBefore);
    EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, newKey), newBefore);
}

TEST_F(RenameTest, DoesNothingForAMissingSourceOrATargetInsideIt) {
    EXPECT_EQ(RenameRegKey(HKEY_CLASSES_ROOT, oldKey, newKey), -1);
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, newKey));

    putString(HKEY_CLASSES_ROOT, oldKey, "", "x");
    Tree before = snapshot(HKEY_CLASSES_ROOT, oldKey);
    EXPECT_EQ(RenameRegKey(HKEY_CLASSES_ROOT, oldKey, oldKey + "\\Inner"), -1);
    EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, oldKey), before);
}

// Another writer puts a sub-key back into the old key while it is deleted. Once, the
// deletion goes on and the key moves; every time, the old key stays whole (with the
// writer's sub-key), the copy goes, and the rename reports that it was not done.
TEST_F(RenameTest, AnOldKeyThatKeepsASubKeyStaysWholeAndTheCopyGoes) {
    static int putBacks;
    static std::wstring watched;
    watched = AnsiToWide(oldKey.substr(1));
    testing_support::gBeforeRegKeyDelete = [](HKEY parent, const std::wstring& name) {
        if (putBacks > 0 && name == watched) {
            --putBacks;
            putWideString(parent, name + L"\\PutBack", L"", L"writer");
        }
    };
    fillThreeLevels();
    Tree before = snapshot(HKEY_CLASSES_ROOT, oldKey);

    putBacks = 1;
    EXPECT_EQ(RenameRegKey(HKEY_CLASSES_ROOT, oldKey, newKey), 0);
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, oldKey));
    EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, newKey), before);
    ASSERT_EQ(RenameRegKey(HKEY_CLASSES_ROOT, newKey, oldKey), 0);

    putBacks = 1000;
    EXPECT_EQ(RenameRegKey(HKEY_CLASSES_ROOT, oldKey, newKey), -1);
    testing_support::gBeforeRegKeyDelete = nullptr;
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, newKey));
    removeTree(HKEY_CLASSES_ROOT, oldKey + "\\PutBack");
    EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, oldKey), before);
}

// A tree whose keys grant reading, writing and deletion, and nothing more (no
// creation of links): the move asks for no more than it needs.
TEST_F(RenameTest, MovesATreeThatGrantsNoMoreThanTheMoveNeeds) {
    fillThreeLevels();
    Tree before = snapshot(HKEY_CLASSES_ROOT, oldKey);
    const char* const keys[] = {"\\Level2\\Level3\\EmptyKey", "\\Level2\\Level3", "\\Level2",
                                "\\Side", ""};
    for (const char* inner : keys)
        setKeySecurity(HKEY_CLASSES_ROOT, oldKey + inner, "D:P(A;;0x3001F;;;WD)");
    EXPECT_EQ(RenameRegKey(HKEY_CLASSES_ROOT, oldKey, newKey), 0);
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, oldKey));
    EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, newKey), before);
}

TEST_F(RenameTest, AFailedCopyKeepsTheOldTreeAndLeavesNoNewKey) {
    fillThreeLevels();
    std::string locked = oldKey + "\\Level2\\Level3";
    Tree before = snapshot(HKEY_CLASSES_ROOT, oldKey);
    setKeySecurity(HKEY_CLASSES_ROOT, locked, "D:P(D;;KR;;;WD)(A;;KA;;;WD)");

    try {
        RenameRegKey(HKEY_CLASSES_ROOT, oldKey, newKey);
        ADD_FAILURE() << "no error raised";
    } catch (const RegistryError& error) {
        std::string expected = "'";
        expected += locked.substr(1);
        expected += "' の取得に失敗しました";
        EXPECT_EQ(std::string(error.what()), expected);
    }

    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, newKey));
    setKeySecurity(HKEY_CLASSES_ROOT, locked, "D:P(A;;KA;;;WD)");
    EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, oldKey), before);
}

} // namespace
