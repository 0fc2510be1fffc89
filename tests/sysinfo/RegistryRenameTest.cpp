#include "sysinfo/Registry.h"

#include "sysinfo/RegKey.h"
#include "sysinfo/Text.h"
#include "tests/support/RegistrySeams.h"
#include "tests/support/ScratchKey.h"

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

using namespace kel;
using namespace testing_support;

namespace {

class RenameTest : public testing::Test {
  protected:
    ScratchKey scratch{HKEY_CLASSES_ROOT, "\\WexdalTest.Rename"};
    std::string oldKey = scratch.sub("LocalServer32");
    std::string newKey = scratch.sub("_KelDisabled_LocalServer32");
    // A sibling, as a class has beside its local server. Its name sorts between the
    // two names in Wine's order, which keeps Wine's RegRenameKey from the case it
    // gets wrong (see RenameWay).
    std::string neighbour = scratch.sub("InprocHandler32");

    RenameTest() { putString(HKEY_CLASSES_ROOT, neighbour, "", "stays"); }

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

// The moves that hold both where the platform renames (RegRenameKey) and where the
// key is copied, as on a system without it.
class RenameEitherWay : public RenameTest, public testing::WithParamInterface<RenameWay> {
  protected:
    RenameWayFor way{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(, RenameEitherWay, testing::Values(RenameWay::Platform, RenameWay::Copy),
                         [](const testing::TestParamInfo<RenameWay>& way) {
                             return way.param == RenameWay::Platform ? "Platform" : "Copy";
                         });

class RenameByCopy : public RenameTest {
    RenameWayFor copying{RenameWay::Copy};
};

class RenameByPlatform : public RenameTest {
    RenameWayFor platform{RenameWay::Platform};
};

TEST_P(RenameEitherWay, MovesAWholeTreeExactly) {
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
    EXPECT_EQ(platformSubKeyNames(HKEY_CLASSES_ROOT, scratch.path()),
              (std::vector<std::string>{"InprocHandler32", "LocalServer32"}));
}

TEST_P(RenameEitherWay, LeavesBothKeysWhenTheTargetExists) {
    putString(HKEY_CLASSES_ROOT, oldKey, "", "old");
    putString(HKEY_CLASSES_ROOT, newKey, "", "new");
    Tree oldBefore = snapshot(HKEY_CLASSES_ROOT, oldKey);
    Tree newBefore = snapshot(HKEY_CLASSES_ROOT, newKey);
    EXPECT_EQ(RenameRegKey(HKEY_CLASSES_ROOT, oldKey, newKey), -1);
    EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, oldKey), oldBefore);
    EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, newKey), newBefore);
}

TEST_P(RenameEitherWay, DoesNothingForAMissingSourceOrATargetInsideIt) {
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
TEST_F(RenameByCopy, AnOldKeyThatKeepsASubKeyStaysWholeAndTheCopyGoes) {
    static int putBacks;
    static std::wstring watched;
    watched = AnsiToWide(oldKey.substr(1));
    gBeforeRegKeyDelete = [](HKEY parent, const std::wstring& name) {
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
    gBeforeRegKeyDelete = nullptr;
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, newKey));
    removeTree(HKEY_CLASSES_ROOT, oldKey + "\\PutBack");
    EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, oldKey), before);
}

// Another writer makes the new key between the check that it is missing and the
// move: the key is theirs, left as they made it, and nothing moves.
TEST_P(RenameEitherWay, ANewKeyMadeMeanwhileIsLeftToItsWriter) {
    static std::string made;
    made = newKey;
    gBeforeRegWriteOpen = [](HKEY root, const std::string& keyPath) {
        if (keyPath == made)
            putString(root, keyPath, "Writer", "theirs");
    };
    fillThreeLevels();
    Tree before = snapshot(HKEY_CLASSES_ROOT, oldKey);
    EXPECT_EQ(RenameRegKey(HKEY_CLASSES_ROOT, oldKey, newKey), -1);
    gBeforeRegWriteOpen = nullptr;
    EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, oldKey), before);
    Tree theirs = snapshot(HKEY_CLASSES_ROOT, newKey);
    EXPECT_TRUE(theirs.keys.empty());
    ASSERT_EQ(theirs.values.size(), 1u);
    EXPECT_EQ(theirs.values.begin()->first, L"Writer");
}

// Every key of the tree keeps its own access rules.
TEST_P(RenameEitherWay, EachKeyKeepsItsAccessRules) {
    fillThreeLevels();
    setKeySecurity(HKEY_CLASSES_ROOT, oldKey, "D:P(A;;KA;;;WD)(A;;KR;;;BU)");
    setKeySecurity(HKEY_CLASSES_ROOT, oldKey + "\\Level2\\Level3", "D:P(A;;KA;;;WD)(A;;KR;;;BG)");
    const char* const keys[] = {"", "\\Level2", "\\Level2\\Level3", "\\Side"};
    std::vector<std::string> before;
    for (const char* inner : keys)
        before.push_back(keySecurity(HKEY_CLASSES_ROOT, oldKey + inner));
    ASSERT_NE(before[0], before[1]) << "fixture: the rules differ from key to key";

    EXPECT_EQ(RenameRegKey(HKEY_CLASSES_ROOT, oldKey, newKey), 0);
    for (size_t i = 0; i < std::size(keys); ++i)
        EXPECT_EQ(keySecurity(HKEY_CLASSES_ROOT, newKey + keys[i]), before[i]) << keys[i];
}

// A link in the tree moves as the link: the key it names is neither copied nor
// deleted, by the move nor by deleting the moved tree.
TEST_P(RenameEitherWay, ALinkMovesAsTheLinkAndWhatItNamesStays) {
    ScratchKey named{HKEY_USERS, "\\.DEFAULT\\Software\\Wexdal Tests\\Named"};
    putString(HKEY_USERS, named.sub("Inside"), "", "theirs");
    Tree namedBefore = snapshot(HKEY_USERS, named.path());
    const std::wstring target = L"\\Registry\\User\\.DEFAULT\\Software\\Wexdal Tests\\Named";
    putString(HKEY_CLASSES_ROOT, oldKey, "", "server");
    makeLink(HKEY_CLASSES_ROOT, AnsiToWide(oldKey.substr(1)) + L"\\Link", target);
    ASSERT_TRUE(keyExists(HKEY_CLASSES_ROOT, oldKey + "\\Link\\Inside")) << "fixture: a link";

    EXPECT_EQ(RenameRegKey(HKEY_CLASSES_ROOT, oldKey, newKey), 0);
    EXPECT_EQ(snapshot(HKEY_USERS, named.path()), namedBefore);
    EXPECT_EQ(linkTarget(HKEY_CLASSES_ROOT, AnsiToWide(newKey.substr(1)) + L"\\Link"), target);
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, oldKey));

    EXPECT_EQ(DeleteRegKey(HKEY_CLASSES_ROOT, newKey), 0);
    EXPECT_EQ(snapshot(HKEY_USERS, named.path()), namedBefore);
}

// The platform renames in one step and keeps the key whole: a volatile key stays
// volatile (it takes no lasting sub-key), which no copy keeps.
TEST_F(RenameByPlatform, KeepsAVolatileKeyVolatile) {
    std::wstring oldWide = AnsiToWide(oldKey.substr(1)), newWide = AnsiToWide(newKey.substr(1));
    RegKey key;
    ASSERT_EQ(key.createW(HKEY_CLASSES_ROOT, oldWide, KEY_ALL_ACCESS, REG_OPTION_VOLATILE),
              ERROR_SUCCESS);
    key.close();
    putString(HKEY_CLASSES_ROOT, oldKey, "", "server");

    EXPECT_EQ(RenameRegKey(HKEY_CLASSES_ROOT, oldKey, newKey), 0);
    EXPECT_EQ(key.createW(HKEY_CLASSES_ROOT, newWide + L"\\Lasting", KEY_ALL_ACCESS),
              ERROR_CHILD_MUST_BE_VOLATILE);
}

// A tree whose keys grant reading, writing and deletion, and nothing more (no
// creation of links): the move asks for no more than it needs.
TEST_P(RenameEitherWay, MovesATreeThatGrantsNoMoreThanTheMoveNeeds) {
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

TEST_F(RenameByCopy, AFailedCopyKeepsTheOldTreeAndLeavesNoNewKey) {
    fillThreeLevels();
    std::string locked = oldKey + "\\Level2\\Level3";
    Tree before = snapshot(HKEY_CLASSES_ROOT, oldKey);
    setKeySecurity(HKEY_CLASSES_ROOT, locked, "D:P(D;;KR;;;WD)(A;;KA;;;WD)");

    try {
        (void)RenameRegKey(HKEY_CLASSES_ROOT, oldKey, newKey);
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
