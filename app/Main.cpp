// Program entry: one instance per desktop, keyed by the executable's file name.
// The report and usage commands run without the window, without the guard and with
// the rights they were started with. Built as a console program (WEXDAL_CONSOLE),
// the same entry runs commands only: without one it prints the usage.
#include "app/Change.h"
#include "app/Command.h"
#include "app/StartState.h"
#include "app/MainWindow.h"

#include "sysinfo/Account.h"
#include "sysinfo/SystemLibrary.h"
#include "sysinfo/Handle.h"
#include "sysinfo/Text.h"
#include "sysinfo/TextRules.h"

#include <windows.h>

#include <cstdlib>
#include <exception>

#if defined(__GLIBCXX__)
// The C++ library's default terminate handler prints the exception's demangled type
// to a standard error that a window program does not have, and brings the name
// demangler (a twelfth of the file) with it. This one ends the program as it would.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx
#endif

static_assert(app::kShowNormal == SW_SHOWNORMAL && app::kShowMinimized == SW_SHOWMINIMIZED &&
              app::kMinimize == SW_MINIMIZE && app::kShowMinNoActive == SW_SHOWMINNOACTIVE &&
              app::kForceMinimize == SW_FORCEMINIMIZE);

namespace {

#if !defined(WEXDAL_CONSOLE)
std::string executableFileName() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return kel::AfterLastPathDelimiter(path);
}

// True when window belongs to a program of this program's file name: a window of
// another program titled "Wexdal" never keeps Wexdal from starting.
bool runByThisProgram(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    kel::Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    wchar_t path[MAX_PATH] = {}, own[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (!process.valid() || !QueryFullProcessImageNameW(process.get(), 0, path, &length) ||
        GetModuleFileNameW(nullptr, own, MAX_PATH) == 0)
        return false;
    auto fileName = [](const wchar_t* full) {
        std::wstring text = full;
        return kel::AsciiLower(text.substr(text.find_last_of(L"\\/:") + 1));
    };
    return fileName(path) == fileName(own);
}

// Brings a running instance's window back; false when there is none. The restore
// message passes from a start without rights to a window run as administrator.
bool activateRunningInstance() {
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, app::kWindowClass,
                                                        app::kProductTitle)) != nullptr;) {
        if (!runByThisProgram(window))
            continue;
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        AllowSetForegroundWindow(id);
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(window, RegisterWindowMessageA(app::kRestoreMessageName), 0, 0,
                            SMTO_ABORTIFHUNG, 5000, &answer);
        return true;
    }
    return false;
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
        return 0; // an open window, elevated or not, is shown again
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
#endif

// A command ends with its reason on standard error; the window shows the error as
// its event handlers do.
int failed(bool window, const char* reason) noexcept {
    if (!window)
        return app::CommandFailed(reason);
    MessageBoxA(nullptr, reason, "Wexdal", MB_OK | MB_ICONERROR);
    return app::kExitNotDone;
}

} // namespace

// No exception leaves the entry: every command line ends with a defined exit code.
// Until the command line is read, a failure is a command's (no window to wait on).
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, [[maybe_unused]] int showCommand) {
    kel::LoadLibrariesFromSystemFolderOnly();
    bool window = false;
    try {
        std::vector<std::wstring> args = app::CommandLineArguments();
        app::TInvocation invocation = app::ParseArguments(args);
#if defined(WEXDAL_CONSOLE)
        // No window to open: nothing asks for the usage, anything else without a
        // command is a command line not understood.
        if (invocation.mode == app::TRunMode::Window)
            invocation.mode = args.empty() ? app::TRunMode::Usage : app::TRunMode::BadArguments;
        return app::RunCommand(invocation, app::TProgram::Console);
#else
        if (invocation.mode != app::TRunMode::Window)
            return app::RunCommand(invocation, app::TProgram::Window);
        window = true;
        return runWindow(showCommand);
#endif
    } catch (const std::exception& error) {
        return failed(window, error.what());
    } catch (...) {
        return failed(window, "Unknown error");
    }
}
