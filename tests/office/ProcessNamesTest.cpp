#include "office/ProcessNames.h"

#include <gtest/gtest.h>

using namespace kel;

namespace {

TEST(ProcessNames, IdsOfTheExactNameOfTheOwnSessionAndUserInSnapshotOrder) {
    const std::string me = "S-1-5-21-7-1000", other = "S-1-5-21-7-1001";
    const ProcessOwner own{1, me};
    std::vector<ProcessEntry> entries = {{10, "EXCEL.EXE", true, 1, me},
                                         {11, "excel.exe", true, 1, me},
                                         {12, "C:\\Office\\EXCEL.EXE", true, 1, me},
                                         {13, "EXCEL.EXE", true, 1, me}};
    EXPECT_EQ(MatchProcessIds(entries, "EXCEL.EXE", own), (ProcessIds{10, 13}));
    EXPECT_EQ(MatchProcessIds(entries, "", own), ProcessIds{});
    EXPECT_EQ(MatchProcessIds({{4294967295ul, "", true, 0, me}}, "", {0, me}),
              ProcessIds{4294967295ul});
    // A name shown in its best-fit form is never taken for the program it looks like.
    entries.push_back({14, "EXCEL.EXE", false, 1, me});
    EXPECT_EQ(MatchProcessIds(entries, "EXCEL.EXE", own), (ProcessIds{10, 13}));

    // Another signed-in user's Excel, one whose session can't be told, and one that
    // another account runs in this session (started with its credentials) or whose
    // user can't be read are not ours; without an own session or SID nothing is.
    entries.push_back({15, "EXCEL.EXE", true, 2, other});
    entries.push_back({16, "EXCEL.EXE", true, std::nullopt, me});
    entries.push_back({17, "EXCEL.EXE", true, 1, other});
    entries.push_back({18, "EXCEL.EXE", true, 1, ""});
    EXPECT_EQ(MatchProcessIds(entries, "EXCEL.EXE", own), (ProcessIds{10, 13}));
    EXPECT_EQ(MatchProcessIds(entries, "EXCEL.EXE", {2, other}), ProcessIds{15});
    EXPECT_EQ(MatchProcessIds(entries, "EXCEL.EXE", {1, other}), ProcessIds{17});
    EXPECT_EQ(MatchProcessIds(entries, "EXCEL.EXE", {std::nullopt, me}), ProcessIds{});
    EXPECT_EQ(MatchProcessIds(entries, "EXCEL.EXE", {1, ""}), ProcessIds{});
}

TEST(ProcessNames, ProgramNameAfterTheLastDelimiter) {
    EXPECT_EQ(ProgramNameOf("C:\\Office\\EXCEL.EXE"), "EXCEL.EXE");
    EXPECT_EQ(ProgramNameOf("C:EXCEL.EXE"), "EXCEL.EXE");
    EXPECT_EQ(ProgramNameOf("EXCEL.EXE"), "EXCEL.EXE");
    EXPECT_EQ(ProgramNameOf("C:\\Office\\"), "");
    EXPECT_EQ(ProgramNameOf(""), "");
    // "C:\表.exe": the trail byte of "表" (0x95 0x5C) is no delimiter.
    EXPECT_EQ(ProgramNameOf("C:\\\x95\x5C.exe"), "\x95\x5C.exe");
    EXPECT_EQ(ProgramNameOf("C:\\\x95\x5C\\x.exe"), "x.exe");
}

} // namespace
