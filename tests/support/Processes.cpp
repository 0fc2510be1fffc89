#include "tests/support/Processes.h"

#include "sysinfo/Text.h"

#include <stdexcept>

namespace testing_support {

ChildProcess::ChildProcess(const std::string& path, const std::string& arguments, int show) {
    start(kel::AnsiToWide(path),
          kel::AnsiToWide("\"" + path + "\"" + (arguments.empty() ? "" : " " + arguments)), show);
}

ChildProcess::ChildProcess(const std::wstring& path) {
    start(path, L"\"" + path + L"\"", -1);
}

void ChildProcess::start(const std::wstring& path, std::wstring commandLine, int show) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (show >= 0) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(show);
    }
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info_))
        throw std::runtime_error("cannot start " + kel::WideToAnsi(path));
    WaitForInputIdle(info_.hProcess, 10000);
}

ChildProcess::~ChildProcess() {
    if (running())
        TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
}

bool ChildProcess::endsWithin(DWORD milliseconds) const {
    return WaitForSingleObject(info_.hProcess, milliseconds) == WAIT_OBJECT_0;
}

DWORD ChildProcess::exitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

HWND ChildProcess::window(const char* title) const {
    for (int attempt = 0; attempt < 200; ++attempt) {
        for (HWND w = FindWindowA(nullptr, title); w;
             w = FindWindowExA(nullptr, w, nullptr, title)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == info_.dwProcessId)
                return w;
        }
        Sleep(100);
    }
    return nullptr;
}

bool ChildProcess::close(const char* title) const {
    PostMessageA(window(title), WM_CLOSE, 0, 0);
    return endsWithin(15000);
}

HANDLE startDetached(const std::string& path, const std::wstring& arguments) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + kel::AnsiToWide(path) + L"\" " + arguments;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                        nullptr, nullptr, &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

DWORD runToEnd(const std::string& path, const std::string& arguments, HANDLE output) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    std::wstring commandLine = kel::AnsiToWide("\"" + path + "\" " + arguments);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, output != nullptr,
                        DETACHED_PROCESS, nullptr, nullptr, &startup, &process))
        return kNotEnded;
    DWORD code = kNotEnded;
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return code;
}

bool eventually(bool (*condition)(void*), void* context) {
    for (int i = 0; i < 50; ++i) {
        if (condition(context))
            return true;
        Sleep(100);
    }
    return condition(context);
}

} // namespace testing_support
