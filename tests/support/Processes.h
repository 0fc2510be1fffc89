// Programs started by the tests, terminated when the test is done with them.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

class ChildProcess {
  public:
    // show: the show command handed to the program (STARTUPINFO), -1 for none.
    explicit ChildProcess(const std::string& path, const std::string& arguments = "",
                          int show = -1);
    // A program whose path code page 932 cannot carry (no arguments, no show command).
    explicit ChildProcess(const std::wstring& path);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    DWORD id() const { return info_.dwProcessId; }
    bool running() const { return !endsWithin(0); }
    bool endsWithin(DWORD milliseconds) const;
    DWORD exitCode() const;
    // Its top-level window with this title, waiting up to 20 s for it.
    HWND window(const char* title) const;
    // Its window's close box, then waits for the end.
    bool close(const char* title) const;

  private:
    void start(const std::wstring& path, std::wstring commandLine, int show);
    PROCESS_INFORMATION info_ = {};
};

// Runs a program with arguments and no console of its own, its standard output and
// error going to output (none when nullptr; an inheritable handle otherwise), and
// waits up to 60 s: the exit code, or kNotEnded (the program is then ended).
const DWORD kNotEnded = 0xFFFFFFFF;
// Starts a program with arguments (as the command line takes them) without a
// console; its process handle, for the caller to close, or nullptr.
HANDLE startDetached(const std::string& path, const std::wstring& arguments);
DWORD runToEnd(const std::string& path, const std::string& arguments, HANDLE output = nullptr);

// Waits up to 5 s for condition to hold.
bool eventually(bool (*condition)(void*), void* context);
template <typename F> bool eventually(F condition) {
    return eventually([](void* f) { return (*static_cast<F*>(f))(); }, &condition);
}

} // namespace testing_support
