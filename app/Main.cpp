// Program entry: one instance per desktop, keyed by the executable's file name.
// The report and usage commands run without the window, without the guard and with
// the rights they were started with.
#include "app/Command.h"
#include "app/StartState.h"
#include "app/MainWindow.h"

#include "sysinfo/Account.h"
#include "sysinfo/SystemLibrary.h"
#include "sysinfo/Handle.h"
#include "sysinfo/Text.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <exception>

static_assert(app::kShowNormal == SW_SHOWNORMAL && app::kShowMinimized == SW_SHOWMINIMIZED &&
              app::kMinimize == SW_MINIMIZE && app::kShowMinNoActive == SW_SHOWMINNOACTIVE &&
              app::kForceMinimize == SW_FORCEMINIMIZE);

namespace {

std::string executableFileName() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return kel::AfterLastPathDelimiter(path);
}

// Restores a running instance's window; false when there is none.
bool activateRunningInstance() {
    HWND window = FindWindowA(nullptr, app::kProductTitle);
    if (window == nullptr)
        return false;
    SendMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    SetForegroundWindow(window);
    return true;
}

// An administrator whose rights User Account Control filters gets the window with
// the rights of the consent prompt: the program starts itself again through
// "runas" and ends. Declined or failed, the window opens with the rights it has,
// as a standard user's does. The report and the usage never come here.
bool relaunchedElevated(int showCommand) {
    if (!kel::HasFilteredAdminToken())
        return false;
    wchar_t path[MAX_PATH] = {};
    if (GetModuleFileNameW(nullptr, path, MAX_PATH) == 0)
        return false;
    // The shell may hand the start to a COM extension, and this thread ends at once.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOASYNC;
    execute.lpVerb = L"runas";
    execute.lpFile = path;
    execute.nShow = showCommand;
    bool started = ShellExecuteExW(&execute) != FALSE;
    if (SUCCEEDED(com))
        CoUninitialize();
    return started;
}

void runMessageLoop(ui::TForm& mainForm) {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (mainForm.IsDialogKey(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The atom that marks the window's instance, deleted when the window has ended.
struct GlobalAtomTraits {
    using Type = ATOM;
    static constexpr ATOM None() { return 0; }
    static bool IsValid(ATOM atom) { return atom != 0; }
    static void Close(ATOM atom) { GlobalDeleteAtom(atom); }
};
using GlobalAtom = kel::ScopedHandle<GlobalAtomTraits>;

int runWindow(int showCommand) {
    std::string name = executableFileName();
    ATOM atom = GlobalFindAtomA(name.c_str());
    if (atom != 0 && activateRunningInstance())
        return 0; // an open window, elevated or not, is shown without a new prompt
    if (relaunchedElevated(showCommand))
        return 0;
    if (atom == 0) {
        atom = GlobalAddAtomA(name.c_str());
        if (atom == 0) {
            MessageBoxA(nullptr, "起動できません", "エラー", MB_OK | MB_ICONERROR);
            return 0;
        }
    }
    GlobalAtom instance(atom);
    app::MainWindow form;
    int show = app::StartShowCommand(showCommand);
    ShowWindow(form.Handle(), show);
    if (!app::IsMinimising(show))
        SetForegroundWindow(form.Handle());
    runMessageLoop(form);
    return 0;
}

// A command ends with its reason on standard error; the window shows the error as
// its event handlers do.
int failed(bool window, const char* reason) noexcept {
    if (!window)
        return app::CommandFailed(reason);
    MessageBoxA(nullptr, reason, "Wexdal", MB_OK | MB_ICONERROR);
    return 1;
}

} // namespace

// No exception leaves the entry: every command line ends with a defined exit code.
// Until the command line is read, a failure is a command's (no window to wait on).
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    kel::LoadLibrariesFromSystemFolderOnly();
    bool window = false;
    try {
        app::TInvocation invocation = app::ParseArguments(app::CommandLineArguments());
        if (invocation.mode != app::TRunMode::Window)
            return app::RunCommand(invocation);
        window = true;
        return runWindow(showCommand);
    } catch (const std::exception& error) {
        return failed(window, error.what());
    } catch (...) {
        return failed(window, "Unknown error");
    }
}
