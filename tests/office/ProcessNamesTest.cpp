#include "office/ProcessNames.h"

#include <gtest/gtest.h>

using namespace kel;

namespace {

TEST(ProcessNames, IdsOfTheExactNameInSnapshotOrder) {
    std::vector<ProcessEntry> entries = {
        {10, "EXCEL.EXE"}, {11, "excel.exe"}, {12, "C:\\Office\\EXCEL.EXE"}, {13, "EXCEL.EXE"}};
    EXPECT_EQ(MatchProcessIds(entries, "EXCEL.EXE"), (StringList{"10", "13"}));
    EXPECT_EQ(MatchProcessIds(entries, ""), StringList{});
    EXPECT_EQ(MatchProcessIds({{4294967295ul, ""}}, ""), StringList{"4294967295"});
    // A name shown in its best-fit form is never taken for the program it looks like.
    entries.push_back({14, "EXCEL.EXE", false});
    EXPECT_EQ(MatchProcessIds(entries, "EXCEL.EXE"), (StringList{"10", "13"}));
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
