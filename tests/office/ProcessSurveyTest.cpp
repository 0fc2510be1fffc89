#include "office/ProcessSurvey.h"
#include "sysinfo/Account.h"

#include "sysinfo/Text.h"
#include "sysinfo/TextRules.h"
#include "tests/support/Fixtures.h"
#include "tests/support/Processes.h"
#include "tests/support/RowView.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kel;
using namespace testing_support;

namespace {

// The IDs of a raw snapshot, in its order, that belong to the given processes.
ProcessIds snapshotOrder(const std::vector<DWORD>& ids) {
    ProcessIds order;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        for (DWORD id : ids)
            if (entry.th32ProcessID == id)
                order.push_back(id);
    CloseHandle(snapshot);
    return order;
}

class ProcessSurveyTest : public testing::Test {
  protected:
    ScratchFolder folder{"C:\\wexdal-tests\\survey"};
    testing_support::RowView form;
    TKelExtInfo excel;

    ProcessSurveyTest() {
        installFixture("office11", folder.file("EXCEL.EXE"));
        installFixture("office11", folder.file("WINWORD.EXE"));
        excel.FileName = folder.file("EXCEL.EXE");
        excel.ViewName = "Excel";
    }
};

TEST_F(ProcessSurveyTest, FindsEveryRunningProcessOfTheProgramInSnapshotOrder) {
    ProcessIds ids{4242};
    RefreshRunningState(form, excel, ids, "XlsProcess");
    EXPECT_TRUE(ids.empty());
    EXPECT_EQ(form.rows["XlsProcess"].caption, "Excel は 非稼動 です。");
    EXPECT_FALSE(form.rows["XlsProcess"].running);

    ChildProcess first(folder.file("EXCEL.EXE"));
    ChildProcess word(folder.file("WINWORD.EXE"));
    ChildProcess second(folder.file("EXCEL.EXE"));
    RefreshRunningState(form, excel, ids, "XlsProcess");
    EXPECT_EQ(ids, snapshotOrder({first.id(), second.id()}));
    EXPECT_EQ(ids.size(), 2u);
    EXPECT_EQ(form.rows["XlsProcess"].caption, "Excel は 稼動中 です。");
    EXPECT_TRUE(form.rows["XlsProcess"].running);

    // Names compare as Windows compares file names: a registration in other letter
    // case names the same running program.
    TKelExtInfo lower = excel;
    lower.FileName = folder.file("excel.exe");
    RefreshRunningState(form, lower, ids, "XlsProcess");
    EXPECT_EQ(ids, snapshotOrder({first.id(), second.id()}));
    EXPECT_EQ(form.rows["XlsProcess"].caption, "Excel は 稼動中 です。");

    RefreshRunningState(form, excel, ids, "XlsProcess");
    TerminateProcesses(ids, "EXCEL.EXE");
    EXPECT_TRUE(first.endsWithin(5000));
    EXPECT_TRUE(second.endsWithin(5000));
    EXPECT_TRUE(word.running());
    RefreshRunningState(form, excel, ids, "XlsProcess");
    EXPECT_TRUE(ids.empty());
    EXPECT_FALSE(form.rows["XlsProcess"].running);

    // IDs of processes that ended meanwhile, and the idle process's, end nothing.
    ChildProcess third(folder.file("EXCEL.EXE"));
    TerminateProcesses({first.id(), 0}, "EXCEL.EXE");
    EXPECT_FALSE(third.endsWithin(500));
    EXPECT_TRUE(word.running());
}

TEST_F(ProcessSurveyTest, AnIdNowRunningAnotherProgramIsNotTerminated) {
    ChildProcess word(folder.file("WINWORD.EXE"));
    // The survey listed this ID for Excel; since then it belongs to Word.
    TerminateProcesses({word.id()}, "EXCEL.EXE");
    EXPECT_FALSE(word.endsWithin(500));
    TerminateProcesses({word.id()}, "WINWORD.EXE");
    EXPECT_TRUE(word.endsWithin(5000));
}

// A program named with a yen sign, which code page 932 shows as a look-alike: it is
// listed with its shown name marked, and neither matched nor terminated by that name.
TEST_F(ProcessSurveyTest, ANameThatDoesNotConvertExactlyMatchesNoProgram) {
    const std::wstring name = L"EXCEL\u00A5.EXE";
    std::wstring path = AnsiToWide(folder.path()) + name;
    ASSERT_TRUE(CopyFileW(AnsiToWide(fixturePath("office11")).c_str(), path.c_str(), FALSE));
    ChildProcess process(path);
    std::string shown = WideToAnsi(name);
    int listed = 0;
    for (const ProcessEntry& entry : ProcessesOf(shown))
        if (entry.id == process.id()) {
            ++listed;
            EXPECT_FALSE(entry.exactName);
            EXPECT_EQ(entry.exeName, shown);
            EXPECT_TRUE(entry.session.has_value());
            EXPECT_EQ(entry.session, CurrentSessionId()) << "started by this desk's user";
            EXPECT_EQ(entry.userSid, CurrentUserSid()) << "its token's user";
        }
    EXPECT_EQ(listed, 1);
    ProcessIds ids = MatchProcessIds(ProcessesOf(shown), shown, OwnProcesses());
    EXPECT_EQ(std::count(ids.begin(), ids.end(), process.id()), 0);
    TerminateProcesses({process.id()}, shown);
    EXPECT_FALSE(process.endsWithin(500));
}

TEST(ProcessSurvey, CaptionAndBinding) {
    EXPECT_EQ(RunningStateCaption("Word", true), "Word は 稼動中 です。");
    EXPECT_TRUE(Toolhelp().available());
}

} // namespace

namespace {

// The user at the desk is told by the session's tokens, not by a name looked up: on
// the bench, the account that runs the tests, whatever the session calls it.
TEST(DeskUser, IsToldByTheSessionsTokenNotItsName) {
    TDeskUser desk = gDeskUser();
    EXPECT_EQ(AsciiLower(desk.sid), AsciiLower(CurrentUserSid()));
    EXPECT_TRUE(RunsAsDeskUser());
}

} // namespace
