// The single-instance guard, with real wexdal.exe processes.
#include "tests/support/Fixtures.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::string wexdalPath() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    folder = folder.substr(0, folder.rfind('\\'));
    return folder.substr(0, folder.rfind('\\')) + "\\app\\wexdal.exe";
}

// A started program, terminated when the test is done with it.
class Process {
  public:
    explicit Process(const std::string& path) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::string commandLine = "\"" + path + "\"";
        if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &info_))
            ADD_FAILURE() << "cannot start " << path;
    }
    ~Process() {
        if (info_.hProcess) {
            if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(info_.hProcess, 1);
            WaitForSingleObject(info_.hProcess, 5000);
            CloseHandle(info_.hProcess);
            CloseHandle(info_.hThread);
        }
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool endsWithin(DWORD milliseconds) const {
        return WaitForSingleObject(info_.hProcess, milliseconds) == WAIT_OBJECT_0;
    }
    DWORD exitCode() const {
        DWORD code = 0;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }
    // Its window titled "Wexdal", waiting up to 20 s for it to appear.
    HWND window() const {
        for (int i = 0; i < 200; ++i) {
            HWND found = nullptr;
            for (HWND w = FindWindowA(nullptr, "Wexdal"); w;
                 w = FindWindowExA(nullptr, w, nullptr, "Wexdal")) {
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                if (pid == info_.dwProcessId)
                    found = w;
            }
            if (found)
                return found;
            Sleep(100);
        }
        return nullptr;
    }
    void close() const {
        PostMessageA(window(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(endsWithin(15000));
    }

  private:
    PROCESS_INFORMATION info_ = {};
};

bool eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 50; ++i) {
        if (condition())
            return true;
        Sleep(100);
    }
    return condition();
}

TEST(SingleInstance, ASecondStartRestoresTheFirstAndEnds) {
    Process first(wexdalPath());
    HWND window = first.window();
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(eventually([&] { return IsIconic(window) != FALSE; }));

    Process second(wexdalPath());
    EXPECT_TRUE(second.endsWithin(15000));
    EXPECT_EQ(second.exitCode(), 0u);
    EXPECT_TRUE(eventually([&] { return IsIconic(window) == FALSE; }));
    EXPECT_NE(GlobalFindAtomA("wexdal.exe"), 0);

    first.close();
    EXPECT_EQ(GlobalFindAtomA("WEXDAL.EXE"), 0);
}

TEST(SingleInstance, ACopyUnderAnotherNameIsItsOwnInstance) {
    testing_support::ScratchFolder folder("C:\\wexdal-tests\\instance");
    std::string copy = folder.file("wexdal-copy.exe");
    ASSERT_TRUE(CopyFileA(wexdalPath().c_str(), copy.c_str(), FALSE));
    Process original(wexdalPath());
    ASSERT_NE(original.window(), nullptr);
    {
        Process other(copy);
        EXPECT_FALSE(other.endsWithin(2000));
        EXPECT_NE(other.window(), nullptr);
        EXPECT_NE(GlobalFindAtomA("wexdal-copy.exe"), 0);
        other.close();
    }
    original.close();
}

TEST(SingleInstance, AStaleAtomIsAdoptedAndRemovedAtExit) {
    ASSERT_EQ(GlobalFindAtomA("wexdal.exe"), 0);
    GlobalAddAtomA("wexdal.exe"); // left behind by an instance that crashed
    Process process(wexdalPath());
    ASSERT_NE(process.window(), nullptr);
    process.close();
    EXPECT_EQ(GlobalFindAtomA("wexdal.exe"), 0);
}

} // namespace
