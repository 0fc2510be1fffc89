#include "office/ProcessNames.h"

#include <gtest/gtest.h>

using namespace kel;

namespace {

TEST(ProcessNames, IdsOfTheProgramInTheOwnSessionAndUserInSnapshotOrder) {
    const std::string me = "S-1-5-21-7-1000", other = "S-1-5-21-7-1001";
    const ProcessOwner own{1, me};
    std::vector<ProcessEntry> entries = {{10, "EXCEL.EXE", true, 1, me},
                                         {11, "excel.exe", true, 1, me},
                                         {12, "C:\\Office\\EXCEL.EXE", true, 1, me},
                                         {13, "EXCEL.EXE", true, 1, me}};
    EXPECT_EQ(MatchProcessIds(entries, "EXCEL.EXE", own), (ProcessIds{10, 11, 13}));
    EXPECT_EQ(MatchProcessIds(entries, "", own), ProcessIds{});
    EXPECT_EQ(MatchProcessIds({{4294967295ul, "", true, 0, me}}, "", {0, me}),
              ProcessIds{4294967295ul});
    // A name shown in its best-fit form is never taken for the program it looks like.
    entries.push_back({14, "EXCEL.EXE", false, 1, me});
    EXPECT_EQ(MatchProcessIds(entries, "EXCEL.EXE", own), (ProcessIds{10, 11, 13}));

    // Another signed-in user's Excel, one whose session can't be told, and one that
    // another account runs in this session (started with its credentials) or whose
    // user can't be read are not ours; without an own session or SID nothing is.
    entries.push_back({15, "EXCEL.EXE", true, 2, other});
    entries.push_back({16, "EXCEL.EXE", true, std::nullopt, me});
    entries.push_back({17, "EXCEL.EXE", true, 1, other});
    entries.push_back({18, "EXCEL.EXE", true, 1, ""});
    EXPECT_EQ(MatchProcessIds(entries, "EXCEL.EXE", own), (ProcessIds{10, 11, 13}));
    EXPECT_EQ(MatchProcessIds(entries, "EXCEL.EXE", {2, other}), ProcessIds{15});
    EXPECT_EQ(MatchProcessIds(entries, "EXCEL.EXE", {1, other}), ProcessIds{17});
    EXPECT_EQ(MatchProcessIds(entries, "EXCEL.EXE", {std::nullopt, me}), ProcessIds{});
    EXPECT_EQ(MatchProcessIds(entries, "EXCEL.EXE", {1, ""}), ProcessIds{});
}

TEST(ProcessNames, NamesComparedAsFileNamesOwnedOrRunningUnreadInTheOwnSession) {
    const std::string me = "S-1-5-21-7-1000", other = "S-1-5-21-7-1001";
    const ProcessOwner own{1, me};
    const struct {
        ProcessEntry entry;
        std::string program;
        bool matched, unread;
    } cases[] = {
        {{1, "excel.exe", true, 1, me}, "EXCEL.EXE", true, false},
        {{1, "Excel.Exe", true, 1, me}, "EXCEL.EXE", true, false},
        {{1, "EXCEL.EXE", true, 1, me}, "excel.ex", false, false},
        // "ｅｘｃｅｌ.exe" and "ＥＸＣＥＬ.EXE"; "ｅ" is no "E".
        {{1, "\x82\x85\x82\x98\x82\x83\x82\x85\x82\x8C.exe", true, 1, me},
         "\x82\x64\x82\x77\x82\x62\x82\x64\x82\x6B.EXE",
         true,
         false},
        {{1, "\x82\x85", true, 1, me}, "E", false, false},
        // "ａ", "ｚ"; "α", "ω"; "а", "н", "о", "я" against their capitals.
        {{1, "\x82\x81\x82\x9A", true, 1, me}, "\x82\x60\x82\x79", true, false},
        {{1, "\x83\xBF\x83\xD6", true, 1, me}, "\x83\x9F\x83\xB6", true, false},
        {{1, "\x84\x70\x84\x7E\x84\x80\x84\x91", true, 1, me},
         "\x84\x40\x84\x4E\x84\x4F\x84\x60",
         true,
         false},
        // "ヂ" (0x83 0x61) is not "ア" (0x83 0x41): a trail byte is never folded.
        {{1, "\x83\x61.exe", true, 1, me}, "\x83\x41.exe", false, false},
        // A name shown in its best-fit form matches nothing.
        {{1, "EXCEL.EXE", false, 1, me}, "EXCEL.EXE", false, false},
        {{1, "EXCEL.EXE", false, 1, ""}, "EXCEL.EXE", false, false},
        // Running in the own session under a user that can't be read (started as
        // administrator): shown, never ended; not so in another session or account.
        {{1, "excel.exe", true, 1, ""}, "EXCEL.EXE", false, true},
        {{1, "WORD.EXE", true, 1, ""}, "EXCEL.EXE", false, false},
        {{1, "EXCEL.EXE", true, 2, ""}, "EXCEL.EXE", false, false},
        {{1, "EXCEL.EXE", true, std::nullopt, ""}, "EXCEL.EXE", false, false},
        {{1, "EXCEL.EXE", true, 1, other}, "EXCEL.EXE", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchProcessIds({c.entry}, c.program, own) == ProcessIds{1}, c.matched)
            << c.entry.exeName << " " << c.program;
        EXPECT_EQ(RunsUnreadInOwnSession({c.entry}, c.program, own), c.unread)
            << c.entry.exeName << " " << c.program;
    }
    // Without an own session, no session is the own one.
    EXPECT_FALSE(
        RunsUnreadInOwnSession({{1, "EXCEL.EXE", true, std::nullopt, ""}}, "EXCEL.EXE", {{}, me}));
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
