#include "sysinfo/WebPage.h"

#include "app/MainWindow.h"

#include "sysinfo/Account.h"
#include "sysinfo/Registry.h"
#include "sysinfo/Text.h"
#include "tests/support/Dialogs.h"
#include "tests/support/Environment.h"
#include "tests/support/Fixtures.h"
#include "tests/support/Processes.h"
#include "tests/support/StartRecorder.h"

#include <gtest/gtest.h>

using namespace kel;
using namespace testing_support;

namespace {

const char kCurrentVersion[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

const TWindowsVersion kWindows10v1909{10, 0, 18363}, kWindows10v22H2{10, 0, 19045},
    kWindows11{10, 0, 22631};

// Lets programs start for real (Internet Explorer played by the fixture) and records
// every start; the default browser "starts" without starting anything.
bool programsRun(const TStart& start, TShow show) {
    return start.kind == TStart::Kind::Program ? StartRecorder::real(start, show) : true;
}

// Internet Explorer played by the fixture program under a ProgramFilesDir with a
// blank in it, and a decoy C:\Program.exe that an unquoted launch would start; on a
// Windows 10 where Internet Explorer still browses, unless a test says otherwise.
class WebPageTest : public testing::Test {
  protected:
    ScratchFolder programFiles{"C:\\Program Files\\Wexdal Test IE"};
    ScratchFolder logs{"C:\\wexdal-tests\\dde"};
    std::string log = logs.file("log.txt");
    std::string explorer = programFiles.file("Internet Explorer\\IEXPLORE.EXE");
    std::string savedProgramFiles;
    EnvironmentOverride logVariable{"WEXDAL_FIXTURE_LOG", log.c_str()};
    StartRecorder recorder{programsRun};
    WindowsVersionOverride windows{kWindows10v1909};

    // The bench's process has administrator rights; the window's user has none.
    decltype(gProcessElevated) keptElevated = gProcessElevated;

    WebPageTest() {
        gProcessElevated = [] { return false; };
        ReadRegString(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesDir", savedProgramFiles);
        setProgramFiles("C:\\Program Files\\Wexdal Test IE");
        installFixture("office11", explorer);
        installFixture("office11", "C:\\Program.exe");
    }
    ~WebPageTest() override {
        gProcessElevated = keptElevated;
        closeFixtures();
        EXPECT_EQ(WriteRegString(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesDir",
                                 savedProgramFiles),
                  0);
        DeleteFileA("C:\\Program.exe");
    }
    void setProgramFiles(const std::string& folder) {
        EXPECT_EQ(WriteRegString(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesDir", folder),
                  0);
    }
    static void closeFixtures() {
        while (HWND window = FindWindowA("WexdalFixtureApp", nullptr)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
            TerminateProcess(process, 0);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
    }
    bool logged(const std::string& line) {
        return eventually([&] { return readFile(log).find(line + "\r\n") != std::string::npos; });
    }
    int count(const std::string& line) {
        std::string text = readFile(log);
        int found = 0;
        for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
            ++found;
        return found;
    }
};

TEST_F(WebPageTest, StartsInternetExplorerWhenNoServerAnswers) {
    EXPECT_EQ(InternetExplorerPath(), explorer);
    EXPECT_EQ(OpenUrl("http://example.com/page"), 0);
    EXPECT_TRUE(logged("started IEXPLORE.EXE"));
    EXPECT_TRUE(logged("execute \"http://example.com/page\",,-1,,,,,"));
    EXPECT_EQ(count("started Program.exe"), 0); // the quoted path starts only IE
    EXPECT_EQ(recorder.starts(),
              (std::vector<TStart>{{TStart::Kind::Program, AnsiToWide(explorer), L""}}));
}

TEST_F(WebPageTest, UsesTheRunningServerWithoutStartingAnything) {
    ChildProcess running(explorer);
    ASSERT_TRUE(logged("started IEXPLORE.EXE"));
    EXPECT_EQ(OpenUrl("http://example.com/?q=\"a b\""), 0);
    EXPECT_TRUE(logged("execute \"http://example.com/?q=\"a b\"\",,-1,,,,,"));
    EXPECT_EQ(count("started"), 1);
    EXPECT_TRUE(recorder.starts().empty());
}

// Windows 11 has no Internet Explorer; on Windows 10 from 20H2 its IEXPLORE.EXE only
// hands over to Edge without the address: never started, the default browser opens
// the page.
TEST_F(WebPageTest, WhereInternetExplorerNoLongerBrowsesTheDefaultBrowserOpensThePage) {
    for (TWindowsVersion version : {kWindows11, kWindows10v22H2}) {
        WindowsVersionOverride windows{version};
        StartRecorder browser;
        EXPECT_EQ(OpenUrl("http://example.com/a"), 0);
        EXPECT_EQ(browser.starts(),
                  (std::vector<TStart>{{TStart::Kind::Open, L"http://example.com/a", L""}}));
        StartRecorder failing([](const TStart&, TShow) { return false; });
        EXPECT_EQ(OpenUrl("http://example.com/a"), -1);
    }
    // Any other address would start what its handler names: refused.
    {
        WindowsVersionOverride windows{kWindows11};
        StartRecorder browser;
        EXPECT_EQ(OpenUrl("file:///C:/Windows/notepad.exe"), -1);
        EXPECT_TRUE(browser.starts().empty());
    }
    Sleep(300);
    EXPECT_EQ(readFile(log), "");
}

// An Internet Explorer that started but does not answer gets no address; the
// default browser does.
TEST_F(WebPageTest, AStartedExplorerThatDoesNotAnswerLeavesThePageToTheDefaultBrowser) {
    {
        StartRecorder notAnswering; // "starts" IE without starting it: nothing answers
        EXPECT_EQ(OpenUrl("http://example.com/b"), 0);
        EXPECT_EQ(notAnswering.starts(),
                  (std::vector<TStart>{{TStart::Kind::Program, AnsiToWide(explorer), L""},
                                       {TStart::Kind::Open, L"http://example.com/b", L""}}));
    }
    // The fixture's recorder records again once the inner one ends.
    const TStart open{TStart::Kind::Open, L"http://example.com/c", L""};
    EXPECT_TRUE(gStart(open, TShow::Normal));
    EXPECT_EQ(recorder.starts(), std::vector<TStart>{open});
}

// With administrator rights no browser is started (it would browse as
// administrator); one that runs still takes the address.
TEST_F(WebPageTest, AnElevatedProcessStartsNoBrowser) {
    gProcessElevated = [] { return true; };
    EXPECT_EQ(OpenUrl("http://example.com/"), -1);
    {
        WindowsVersionOverride windows{kWindows11};
        EXPECT_EQ(OpenUrl("http://example.com/"), -1);
    }
    EXPECT_EQ(gWindowsVersion().build, kWindows10v1909.build); // the fixture's again
    Sleep(300);
    EXPECT_EQ(readFile(log), "");
    EXPECT_TRUE(recorder.starts().empty());
    ChildProcess running(explorer);
    ASSERT_TRUE(logged("started IEXPLORE.EXE"));
    EXPECT_EQ(OpenUrl("http://example.com/a"), 0);
    EXPECT_TRUE(logged("execute \"http://example.com/a\",,-1,,,,,"));
}

// No server and no Internet Explorer: the default browser takes the page; -1 when it
// does not start either.
TEST_F(WebPageTest, NoServerAndNoProgramLeaveThePageToTheDefaultBrowser) {
    setProgramFiles("C:\\wexdal-tests\\nowhere");
    EXPECT_EQ(OpenUrl("http://example.com/"), 0);
    EXPECT_EQ(recorder.starts().back(), (TStart{TStart::Kind::Open, L"http://example.com/", L""}));
    StartRecorder failing([](const TStart& start, TShow show) {
        return start.kind == TStart::Kind::Program && StartRecorder::real(start, show);
    });
    EXPECT_EQ(OpenUrl("http://example.com/"), -1);
    EXPECT_EQ(failing.starts().size(), 2u);
    Sleep(300);
    EXPECT_EQ(readFile(log), "");
}

TEST_F(WebPageTest, AnExistingProgramOf256CharactersOrMoreIsNotStarted) {
    ScratchFolder longFolders("C:\\wexdal-tests\\long");
    // ProgramFilesDir folders that make launch paths of 256 and 255 characters.
    std::string of256 = longFolders.file(std::string(204, 'x'));
    std::string of255 = longFolders.file(std::string(203, 'y'));
    for (const std::string& folder : {of256, of255})
        installFixture("office11", folder + "\\Internet Explorer\\IEXPLORE.EXE");
    // Ends the programs started from the long folders before they are removed,
    // also when a check below ends the test early.
    struct Closer {
        ~Closer() { closeFixtures(); }
    } closer;

    setProgramFiles(of256);
    ASSERT_EQ(InternetExplorerPath().size(), 256u);
    EXPECT_EQ(OpenUrl("http://example.com/"), 0); // the default browser's
    EXPECT_EQ(recorder.starts(),
              (std::vector<TStart>{{TStart::Kind::Open, L"http://example.com/", L""}}));
    Sleep(300);
    EXPECT_EQ(readFile(log), "");

    setProgramFiles(of255);
    ASSERT_EQ(InternetExplorerPath().size(), 255u);
    EXPECT_EQ(OpenUrl("http://example.com/"), 0);
    EXPECT_TRUE(logged("started IEXPLORE.EXE"));
}

TEST_F(WebPageTest, TheMakerSiteIsOpenedOnlyOnYes) {
    ChildProcess running(explorer);
    ASSERT_TRUE(logged("started IEXPLORE.EXE"));
    {
        DialogAnswer answer(press("いいえ(&N)"));
        app::OpenMakerSite();
        EXPECT_EQ(answer.seen().message, "ソフト工房「Tarnholm」へアクセスしますか？");
        EXPECT_EQ(answer.seen().title, "確認");
    }
    Sleep(300);
    EXPECT_EQ(count("connect"), 0);
    EXPECT_EQ(count("execute"), 0);
    {
        DialogAnswer answer(press("はい(&Y)"));
        app::OpenMakerSite();
    }
    EXPECT_TRUE(logged("execute " + OpenUrlCommand(kMakerSiteUrl)));
}

TEST(OpenUrlCommand, QuotesTheUrlAndAddsTheNineCharacters) {
    EXPECT_EQ(OpenUrlCommand("http://a/"), "\"http://a/\",,-1,,,,,");
    EXPECT_EQ(OpenUrlCommand(""), "\"\",,-1,,,,,");
}

} // namespace
