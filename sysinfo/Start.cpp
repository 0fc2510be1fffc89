#include "sysinfo/Start.h"

#include "sysinfo/FileSystem.h"
#include "sysinfo/Handle.h"
#include "sysinfo/Text.h"
#include "sysinfo/WebPage.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

namespace kel {

namespace {

// How long a started program is given to wait for input, as WinExec gives it.
constexpr DWORD kInputIdleMilliseconds = 30000;

bool startProgram(const TStart& start, TShow show) {
    // A program is a file that is there: a missing path or a folder starts nothing,
    // and the caller goes on to its next way.
    if (!FileExists(start.target))
        return false;
    std::wstring commandLine = L"\"" + start.target + L"\"";
    if (!start.parameters.empty())
        commandLine += L" " + start.parameters;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show == TShow::MinimizedInactive ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(start.target.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &started))
        return false;
    Handle process(started.hProcess), thread(started.hThread);
    if (show == TShow::MinimizedInactive)
        WaitForInputIdle(process.get(), kInputIdleMilliseconds);
    return true;
}

bool openWithShell(const TStart& start) {
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    execute.lpVerb = L"open";
    execute.lpFile = start.target.c_str();
    execute.nShow = SW_SHOWNORMAL;
    // The shell may hand the address to a COM extension.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    bool opened = ShellExecuteExW(&execute) != FALSE;
    if (SUCCEEDED(com))
        CoUninitialize();
    return opened;
}

bool startForReal(const TStart& start, TShow show) {
    switch (start.kind) {
    case TStart::Kind::Program:
        return startProgram(start, show);
    case TStart::Kind::Open:
        return openWithShell(start);
    case TStart::Kind::Page:
        return false; // pages go through OpenUrl
    }
    return false;
}

} // namespace

bool (*gStart)(const TStart&, TShow) = startForReal;

bool StartOne(const TStart& start) {
    if (start.kind == TStart::Kind::Page)
        return OpenUrl(WideToAnsi(start.target)) == 0;
    return gStart(start, TShow::Normal);
}

} // namespace kel
