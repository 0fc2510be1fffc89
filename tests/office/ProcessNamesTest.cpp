#include "office/ProcessNames.h"

#include <gtest/gtest.h>

using namespace kel;

namespace {

TEST(ProcessNames, IdsOfTheExactNameOfTheOwnSessionInSnapshotOrder) {
    std::vector<ProcessEntry> entries = {{10, "EXCEL.EXE", true, 1},
                                         {11, "excel.exe", true, 1},
                                         {12, "C:\\Office\\EXCEL.EXE", true, 1},
                                         {13, "EXCEL.EXE", true, 1}};
    EXPECT_EQ(MatchProcessIds(entries, "EXCEL.EXE", 1), (ProcessIds{10, 13}));
    EXPECT_EQ(MatchProcessIds(entries, "", 1), ProcessIds{});
    EXPECT_EQ(MatchProcessIds({{4294967295ul, "", true, 0}}, "", 0), ProcessIds{4294967295ul});
    // A name shown in its best-fit form is never taken for the program it looks like.
    entries.push_back({14, "EXCEL.EXE", false, 1});
    EXPECT_EQ(MatchProcessIds(entries, "EXCEL.EXE", 1), (ProcessIds{10, 13}));

    // Another signed-in user's Excel, and one whose session can't be told, are not
    // ours; without an own session nothing is.
    entries.push_back({15, "EXCEL.EXE", true, 2});
    entries.push_back({16, "EXCEL.EXE", true, std::nullopt});
    EXPECT_EQ(MatchProcessIds(entries, "EXCEL.EXE", 1), (ProcessIds{10, 13}));
    EXPECT_EQ(MatchProcessIds(entries, "EXCEL.EXE", 2), ProcessIds{15});
    EXPECT_EQ(MatchProcessIds(entries, "EXCEL.EXE", std::nullopt), ProcessIds{});
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
