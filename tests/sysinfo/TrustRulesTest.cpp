#include "sysinfo/TrustRules.h"

#include <gtest/gtest.h>

using namespace kel;

namespace {

const std::string kSystem = "S-1-5-18", kAdmins = "S-1-5-32-544", kUsers = "S-1-5-32-545",
                  kUser = "S-1-5-21-1004336348-1177238915-682003330-1001";
const std::string kInstaller = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
constexpr uint32_t kFull = 0x1F01FF, kReadExecute = 0x1200A9;

TEST(TrustRules, AdminOnlyWhenNoOtherAccountCouldHaveWrittenIt) {
    // The program's own backup folder: full control for SYSTEM and Administrators,
    // read and execute for Users.
    const std::vector<TAccessEntry> backup = {{true, kSystem, kFull, false},
                                              {true, kAdmins, kFull, false},
                                              {true, kUsers, kReadExecute, false}};
    auto plus = [&](std::vector<TAccessEntry> more) {
        more.insert(more.begin(), backup.begin(), backup.end());
        return more;
    };
    const struct {
        const char* what;
        TSecurityFacts facts;
        TTrust trust;
    } cases[] = {
        {"backup folder", {kAdmins, true, backup, false}, TTrust::Trusted},
        {"owned by a user", {kUser, true, backup, false}, TTrust::OwnerNotTrusted},
        {"a user's folder under ProgramData",
         {kUser, true, plus({{true, "S-1-3-0", 0x10000000, true}, {true, kUsers, 0x6, false}}),
          false},
         TTrust::OwnerNotTrusted},
        {"Users add files",
         {kAdmins, true, plus({{true, kUsers, 0x6, false}}), false},
         TTrust::WritableByOthers},
        {"Users write what it will hold",
         {kAdmins, true, plus({{true, kUsers, kFull, true}}), false},
         TTrust::WritableByOthers},
        {"the maker owns what it makes",
         {kAdmins, true, plus({{true, "S-1-3-0", kFull, true}}), false},
         TTrust::Trusted},
        {"Everyone changes its access list",
         {kAdmins, true, plus({{true, "S-1-1-0", 0x40000, false}}), false},
         TTrust::WritableByOthers},
        {"Authenticated Users write",
         {kAdmins, true, plus({{true, "S-1-5-11", 0x40000000, false}}), false},
         TTrust::WritableByOthers},
        {"Everyone denied",
         {kAdmins, true, plus({{false, "S-1-1-0", kFull, false}}), false},
         TTrust::Trusted},
        {"owned by TrustedInstaller",
         {kInstaller, true, plus({{true, kInstaller, kFull, false}}), false},
         TTrust::Trusted},
        {"SIDs in lower case",
         {"s-1-5-32-544", true, {{true, "s-1-5-18", kFull, false}}, false},
         TTrust::Trusted},
        {"a SID that only begins as Administrators'",
         {"S-1-5-32-5440", true, backup, false},
         TTrust::OwnerNotTrusted},
        {"no access list", {kAdmins, false, {}, false}, TTrust::NoAccessList},
        {"no access list, a user's", {kUser, false, {}, false}, TTrust::OwnerNotTrusted},
        {"reparse point", {kAdmins, true, backup, true}, TTrust::ReparsePoint},
        {"reparse point, a user's, no access list", {kUser, false, {}, true}, TTrust::ReparsePoint},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JudgeAdminOnly(c.facts), c.trust) << c.what;

    // The asking process trusts what its own account made and may write, and no
    // other account's.
    const TSecurityFacts own{
        kUser, true, {{true, kSystem, kFull, false}, {true, kUser, kFull, false}}, false};
    EXPECT_EQ(JudgeAdminOnly(own, kUser), TTrust::Trusted);
    EXPECT_EQ(JudgeAdminOnly(own, "S-1-5-21-1-2-3-1002"), TTrust::OwnerNotTrusted);
    EXPECT_EQ(JudgeAdminOnly({kAdmins, true, own.entries, false}, kSystem),
              TTrust::WritableByOthers);
}

TEST(TrustRules, EveryRightThatWritesOrTakesOverAndNoOther) {
    // FILE_WRITE_DATA, FILE_APPEND_DATA, FILE_WRITE_EA, FILE_DELETE_CHILD,
    // FILE_WRITE_ATTRIBUTES, DELETE, WRITE_DAC, WRITE_OWNER, MAXIMUM_ALLOWED,
    // GENERIC_ALL, GENERIC_WRITE. Above the program's folder only those that replace
    // what a folder holds or take it over count: FILE_DELETE_CHILD, DELETE,
    // WRITE_DAC, WRITE_OWNER, MAXIMUM_ALLOWED, GENERIC_ALL.
    const uint32_t writing = 0x520D0156, takeover = 0x120D0040;
    for (int bit = 0; bit < 32; ++bit) {
        const uint32_t right = uint32_t{1} << bit;
        TSecurityFacts facts{kAdmins, true, {{true, kUsers, right, false}}, false};
        EXPECT_EQ(JudgeAdminOnly(facts),
                  (right & writing) != 0 ? TTrust::WritableByOthers : TTrust::Trusted)
            << std::hex << right;
        EXPECT_EQ(JudgeAncestor(facts),
                  (right & takeover) != 0 ? TTrust::WritableByOthers : TTrust::Trusted)
            << std::hex << right;
        facts.entries.front().inheritOnly = true; // judged where it applies
        EXPECT_EQ(JudgeAncestor(facts), TTrust::Trusted) << std::hex << right;
    }
    // A drive's root: users make folders there, and own none of it.
    EXPECT_EQ(JudgeAncestor({kSystem, true, {{true, "S-1-5-11", 0x4, false}}, false}),
              TTrust::Trusted);
    EXPECT_EQ(JudgeAncestor({kUser, true, {}, false}), TTrust::OwnerNotTrusted);
    EXPECT_EQ(JudgeAncestor({kAdmins, true, {}, true}), TTrust::ReparsePoint);
    EXPECT_EQ(JudgeAncestor({kAdmins, false, {}, false}), TTrust::NoAccessList);
}

// A program's path is taken apart into its root, its folders and its file, or
// refused when any step could lead elsewhere than it reads.
TEST(TrustRules, AProgramPathIsTakenApartStepByStep) {
    const struct {
        const wchar_t* path;
        std::optional<TProgramPath> split;
    } cases[] = {
        {L"C:\\Program Files\\Wexdal\\wexdal.exe",
         TProgramPath{L"C:\\", {L"Program Files", L"Wexdal"}, L"wexdal.exe"}},
        {L"c:\\wexdal.exe", TProgramPath{L"c:\\", {}, L"wexdal.exe"}},
        {L"\\\\srv\\tools\\wexdal.exe", TProgramPath{L"\\\\srv\\tools\\", {}, L"wexdal.exe"}},
        {L"\\\\?\\C:\\W\\wexdal.exe", TProgramPath{L"\\\\?\\C:\\", {L"W"}, L"wexdal.exe"}},
        {L"\\\\?\\UNC\\srv\\tools\\x\\wexdal.exe",
         TProgramPath{L"\\\\?\\UNC\\srv\\tools\\", {L"x"}, L"wexdal.exe"}},
        {L"wexdal.exe", std::nullopt},
        {L"C:wexdal.exe", std::nullopt},
        {L"C:\\", std::nullopt},
        {L"C:\\a\\..\\wexdal.exe", std::nullopt},
        {L"C:\\a\\.\\wexdal.exe", std::nullopt},
        {L"C:\\a\\\\wexdal.exe", std::nullopt},
        {L"C:\\a/b\\wexdal.exe", std::nullopt},
        {L"C:\\a\\wexdal.exe:stream", std::nullopt},
        {L"\\\\srv\\wexdal.exe", std::nullopt},
        {L"C:\\Program Files.\\wexdal.exe", std::nullopt},
        {L"C:\\W \\wexdal.exe", std::nullopt},
        {L"\\\\.\\C:\\wexdal.exe", std::nullopt},
        {L"\\\\?\\\\srv\\s\\wexdal.exe", std::nullopt},
    };
    for (const auto& c : cases) {
        std::optional<TProgramPath> split = SplitProgramPath(c.path);
        ASSERT_EQ(split.has_value(), c.split.has_value()) << testing::PrintToString(c.path);
        if (!split)
            continue;
        EXPECT_EQ(split->root, c.split->root);
        EXPECT_EQ(split->folders, c.split->folders);
        EXPECT_EQ(split->file, c.split->file);
    }
}

} // namespace
