// wexdal.exe /report and /report:json: the real program, run as an administrator's
// script would run it, on the sample machine.
#include "sysinfo/Handle.h"
#include "sysinfo/Text.h"
#include "tests/sample/SampleMachine.h"
#include "tests/support/Fixtures.h"
#include "tests/support/Processes.h"
#include "tests/support/ReportFacts.h"
#include "tests/support/ScratchKey.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>

using namespace testing_support;

namespace {

DWORD runWexdal(const std::string& arguments, HANDLE output = nullptr) {
    return runToEnd(wexdalPath(), arguments, output);
}

// An inheritable file that the program's standard output can go to.
class OutputFile {
  public:
    explicit OutputFile(std::string path) : path_(std::move(path)) {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        handle_ = CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~OutputFile() { CloseHandle(handle_); }
    HANDLE handle() const { return handle_; }
    std::string content() const { return readFile(path_); }

  private:
    std::string path_;
    HANDLE handle_;
};

// Every file and folder below folder with its size, time of last write and
// attributes; the folder skip (with its final backslash) is left out.
void listFiles(const std::wstring& folder, const std::wstring& skip,
               std::map<std::wstring, std::wstring>& listing) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring path = folder + name;
        if (path + L"\\" == skip)
            continue;
        listing[path] = std::to_wstring(found.nFileSizeLow) + L" " +
                        std::to_wstring(found.ftLastWriteTime.dwLowDateTime) + L" " +
                        std::to_wstring(found.dwFileAttributes);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            listFiles(path + L"\\", skip, listing);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// The entries that differ between two listings, one a line.
std::string changedFiles(const std::map<std::wstring, std::wstring>& before,
                         const std::map<std::wstring, std::wstring>& after) {
    std::string changes;
    for (const auto& [path, entry] : before) {
        auto found = after.find(path);
        if (found == after.end() || found->second != entry)
            changes += kel::WideToAnsi(path) + "\n";
    }
    for (const auto& [path, entry] : after)
        if (!before.count(path))
            changes += "new " + kel::WideToAnsi(path) + "\n";
    return changes;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class ReportCommand : public testing::Test {
  protected:
    ReportCommand() { sample::Lay(sample::Standard()); }
    ~ReportCommand() override { sample::Remove(); }

    std::map<std::wstring, std::wstring> folderListing() const {
        std::map<std::wstring, std::wstring> listing;
        listFiles(kel::AnsiToWide(folder.path()), L"", listing);
        return listing;
    }

    ScratchFolder folder{"C:\\wexdal-tests\\report"};
};

TEST_F(ReportCommand, TextAndJsonFilesHoldTheMemosFacts) {
    ASSERT_EQ(runWexdal("/report \"" + folder.file("pc 1.txt") + "\""), 0u);
    ASSERT_EQ(runWexdal("/REPORT:JSON " + folder.file("pc1.json")), 0u);
    std::string text = readFile(folder.file("pc 1.txt"));
    EXPECT_EQ(text.rfind("↓-- TKelOfficeInfo --↓\r\nProduct[↓]\r\n", 0), 0u);
    EXPECT_TRUE(text.ends_with("↓-- gsInfoBefore --↓\r\nCompany=株式会社　見本\r\n"
                               "Owner=山田 太郎\r\nInitials=YT\r\n"));
    MemoFacts memo = readMemo(text);
    EXPECT_EQ(memo.fields["ProductID"], sample::OfficeXP().productId);
    EXPECT_EQ(memo.verList.size(), 2u);
    JsonValue json = parseJson(readFile(folder.file("pc1.json")));
    EXPECT_EQ(compareFacts(memo, json), std::vector<std::string>{});
    EXPECT_EQ(json["Switches"].members.size(), 7u);
    EXPECT_EQ(json["Switches"]["XlsBrowser"].number, 0);
    EXPECT_EQ(folderListing().size(), 2u); // no temporary file left beside them
}

TEST_F(ReportCommand, ChangesNothingOnTheMachine) {
    std::wstring skip = kel::AnsiToWide(folder.path());
    auto machine = [&] {
        std::map<std::wstring, std::wstring> files;
        listFiles(L"C:\\", skip, files);
        return std::make_tuple(snapshot(HKEY_LOCAL_MACHINE, "\\SOFTWARE"), snapshot(HKEY_USERS, ""),
                               files);
    };
    auto before = machine();
    ASSERT_GT(std::get<2>(before).size(), 100u);
    ASSERT_EQ(runWexdal("/report " + folder.file("r.txt")), 0u);
    ASSERT_EQ(runWexdal("/report:json " + folder.file("r.json")), 0u);
    auto after = machine();
    EXPECT_TRUE(std::get<0>(after) == std::get<0>(before)) << "HKLM\\SOFTWARE changed";
    EXPECT_TRUE(std::get<1>(after) == std::get<1>(before)) << "HKEY_USERS changed";
    EXPECT_EQ(changedFiles(std::get<2>(before), std::get<2>(after)), "");
}

TEST_F(ReportCommand, RunsBesideAnOpenWexdalWithoutItsAtom) {
    ChildProcess window(wexdalPath());
    ASSERT_NE(window.window("Wexdal"), nullptr);
    ASSERT_EQ(runWexdal("/report " + folder.file("r.txt")), 0u);
    EXPECT_TRUE(fileExists(folder.file("r.txt")));
    EXPECT_NE(GlobalFindAtomA("wexdal.exe"), 0);
    EXPECT_TRUE(window.close("Wexdal"));
    ASSERT_EQ(GlobalFindAtomA("wexdal.exe"), 0);

    // A stale atom is neither adopted nor removed.
    ATOM stale = GlobalAddAtomA("wexdal.exe");
    ASSERT_EQ(runWexdal("/report:json " + folder.file("r.json")), 0u);
    EXPECT_EQ(GlobalFindAtomA("wexdal.exe"), stale);
    GlobalDeleteAtom(stale);
}

TEST_F(ReportCommand, AFileThatCannotBeWrittenGivesTwoAndLeavesWhatWasThere) {
    std::string readOnly = folder.file("kept.txt");
    writeFile(readOnly, "kept");
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    makeFolders(folder.file("a folder"));
    // A file that another program holds open cannot be replaced: the temporary file
    // written beside it is removed again.
    std::string held = folder.file("held.txt");
    writeFile(held, "held");
    kel::Handle holder(
        CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    auto before = folderListing();
    OutputFile reason(folder.path() + "..\\reason.txt");
    for (const std::string& target :
         {folder.file("missing\\r.txt"), readOnly, folder.file("a folder"), held}) {
        EXPECT_EQ(runWexdal("/report \"" + target + "\"", reason.handle()), 2u) << target;
        EXPECT_EQ(runWexdal("/report:json \"" + target + "\"", reason.handle()), 2u) << target;
        EXPECT_TRUE(folderListing() == before) << target;
    }
    holder.reset();
    EXPECT_EQ(readFile(readOnly), "kept");
    EXPECT_EQ(readFile(held), "held");
    EXPECT_FALSE(fileExists(folder.file("missing")));
    std::string message = reason.content();
    EXPECT_NE(message.find("書き込めませんでした: " + folder.file("missing\\r.txt")),
              std::string::npos)
        << message;
    EXPECT_NE(
        message.find("書き込めませんでした: " + folder.file("a folder") + "\r\nフォルダです。"),
        std::string::npos)
        << message;
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA((folder.path() + "..\\reason.txt").c_str());
}

TEST_F(ReportCommand, DashWritesToTheStartersOutput) {
    ASSERT_EQ(runWexdal("/report " + folder.file("r.txt")), 0u);
    {
        OutputFile output(folder.file("dash.txt"));
        ASSERT_EQ(runWexdal("/report -", output.handle()), 0u);
        EXPECT_EQ(withoutIconHandles(output.content()),
                  withoutIconHandles(readFile(folder.file("r.txt"))));
    }
    OutputFile json(folder.file("dash.json"));
    ASSERT_EQ(runWexdal("/report:json -", json.handle()), 0u);
    EXPECT_EQ(compareFacts(readMemo(readFile(folder.file("r.txt"))), parseJson(json.content())),
              std::vector<std::string>{});
}

// Every switch of the report through the commands a help desk's script runs: /check
// tells what is without changing it, /set changes it, reads it back and prints the
// state before and after, and the JSON output is the report's "Switches" with them.
TEST_F(ReportCommand, EverySwitchIsCheckedAndSetByItsName) {
    ASSERT_EQ(runWexdal("/report:json " + folder.file("r.json")), 0u);
    JsonValue report = parseJson(readFile(folder.file("r.json")));
    ASSERT_EQ(report["Switches"].members.size(), 7u);
    int line = 0;
    auto run = [&](const std::string& arguments, std::string& printed) {
        OutputFile output(folder.file("out" + std::to_string(++line) + ".txt"));
        DWORD code = runWexdal(arguments, output.handle());
        printed = output.content();
        return code;
    };
    std::string printed;
    for (const auto& [name, value] : report["Switches"].members) {
        SCOPED_TRACE(name);
        ASSERT_EQ(value.kind, JsonValue::Number);
        std::string is = std::to_string(static_cast<int>(value.number));
        std::string other = is == "0" ? "1" : "0";
        EXPECT_EQ(run("/check " + name + "=" + is, printed), 0u);
        EXPECT_EQ(printed, name + " " + is + " ok\r\n");
        EXPECT_EQ(run("/check " + name + "=" + other, printed), 1u);
        EXPECT_EQ(printed, name + " " + is + " differs\r\n");
        EXPECT_EQ(run("/set " + name + "=" + other + " /json", printed), 0u);
        JsonValue set = parseJson(printed);
        EXPECT_EQ(set["Before"][name].number, value.number);
        EXPECT_EQ(set["Switches"][name].number, 1 - value.number);
        EXPECT_EQ(set["ExitCode"].number, 0);
        EXPECT_EQ(run("/set " + name + "=" + is, printed), 0u);
        EXPECT_EQ(printed, name + " " + other + " " + is + " ok\r\n");
    }
    EXPECT_EQ(run("/set NoSuchRow=1", printed), 87u);
    EXPECT_EQ(run("/repair MsoClip", printed), 87u) << "a switch is no repair";
}

// Started with neither a console nor a redirected output (from a shortcut), the
// report to "-" gives 2 and a refused command line 87, each without a window; only
// the usage asked for is shown, in a message box.
TEST_F(ReportCommand, WithoutAConsoleOnlyTheUsageAskedForShowsABox) {
    // The test program's console would be the parent's: without it there is none.
    FreeConsole();
    EXPECT_EQ(runWexdal("/report -"), 2u);
    EXPECT_EQ(runWexdal("/report:json -"), 2u);
    EXPECT_EQ(runWexdal("/x"), 87u);

    DWORD code = kNotEnded;
    std::thread usage([&] { code = runWexdal("/?"); });
    HWND box = nullptr;
    for (int i = 0; i < 200 && box == nullptr; ++i, Sleep(100))
        box = FindWindowA(nullptr, "Wexdal の使い方");
    char text[4096] = {};
    if (box != nullptr) {
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text); // the message box's text
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    usage.join();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(std::string(text).rfind("使い方:", 0), 0u) << text;
    EXPECT_EQ(code, 0u);
}

// Started from a console without redirection, the program writes into that console.
TEST_F(ReportCommand, DashWritesIntoTheParentsConsole) {
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    EXPECT_EQ(runWexdal("/report -"), 0u);
    HANDLE screen =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    ASSERT_TRUE(GetConsoleScreenBufferInfo(screen, &info));
    std::wstring shown(static_cast<size_t>(info.dwSize.X) * info.dwSize.Y, L' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(screen, shown.data(), static_cast<DWORD>(shown.size()), {0, 0},
                                &read);
    CloseHandle(screen);
    FreeConsole();
    EXPECT_NE(shown.find(L"↓-- TKelOfficeInfo --↓"), std::wstring::npos);
    EXPECT_NE(shown.find(L"Company=株式会社　見本"), std::wstring::npos);
}

// The usage goes to the console or the file given, never to a window that would
// wait; a command line not understood prints the reason and the usage and ends
// with 87, writing nothing and opening no window.
TEST_F(ReportCommand, UsageIsPrintedAndBadArgumentsEndWith87) {
    std::string path = folder.file("usage.txt");
    {
        OutputFile output(path);
        EXPECT_EQ(runWexdal("/?", output.handle()), 0u);
    }
    std::string usage = readFile(path);
    EXPECT_NE(usage.find("使い方:"), std::string::npos);
    EXPECT_NE(usage.find("87  引数が正しくありません。"), std::string::npos);
    EXPECT_EQ(GlobalFindAtomA("wexdal.exe"), 0);

    for (const char* arguments :
         {"/report", "-report:json a b", "/x", "/? more", "a.xls /x", "\"\" /report:json x.json"}) {
        std::string refused = folder.file("refused.txt");
        {
            OutputFile output(refused);
            EXPECT_EQ(runWexdal(arguments, output.handle()), 87u) << arguments;
        }
        EXPECT_EQ(readFile(refused).rfind("引数が正しくありません。", 0), 0u) << arguments;
        EXPECT_NE(readFile(refused).find("使い方:"), std::string::npos) << arguments;
    }
    EXPECT_FALSE(fileExists("a")) << "no report written";
    EXPECT_FALSE(fileExists("x.json")) << "no report written";
}

// The manifest asks for no elevation, so that a logon script's report shows no
// consent prompt; the window asks for it itself. It keeps the system locale's own
// code page where the system's is UTF-8.
TEST(ProgramManifest, AsksForTheInvokersRightsAndTheLegacyCodePage) {
    HMODULE program = LoadLibraryExW(kel::AnsiToWide(wexdalPath()).c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(program, nullptr);
    HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr);
    const char* data = static_cast<const char*>(LockResource(LoadResource(program, found)));
    std::string manifest(data, SizeofResource(program, found));
    FreeLibrary(program);
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"),
              std::string::npos);
    EXPECT_EQ(manifest.find("highestAvailable"), std::string::npos);
    EXPECT_NE(manifest.find("<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/"
                            "WindowsSettings\">Legacy</activeCodePage>"),
              std::string::npos);
    size_t settings = manifest.find("<windowsSettings>"),
           codePage = manifest.find("<activeCodePage"), end = manifest.find("</windowsSettings>");
    EXPECT_TRUE(settings < codePage && codePage < end) << manifest;
}

} // namespace
