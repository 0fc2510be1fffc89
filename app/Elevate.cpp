#include "app/Elevate.h"

#include "app/Change.h"
#include "sysinfo/Account.h"
#include "sysinfo/RegBackup.h"
#include "sysinfo/Text.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

namespace app {

namespace {

TElevatedStart startThroughConsent(HWND window, const std::wstring& parameters) {
    TElevatedStart start;
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return start;
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    execute.hwnd = window;
    execute.lpVerb = L"runas";
    execute.lpFile = path;
    execute.lpParameters = parameters.c_str();
    execute.nShow = SW_HIDE;
    // The shell may hand the start to a COM extension.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    if (ShellExecuteExW(&execute))
        start.process.reset(execute.hProcess);
    else
        start.declined = GetLastError() == ERROR_CANCELLED;
    if (SUCCEEDED(com))
        CoUninitialize();
    return start;
}

} // namespace

TElevatedStart (*gStartElevated)(HWND, const std::wstring&) = startThroughConsent;

long WaitPumping(HANDLE process) {
    for (;;) {
        DWORD woken = MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT);
        if (woken != WAIT_OBJECT_0 + 1)
            break;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam)); // for the main loop
                return -1;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    DWORD exitCode = 0;
    return GetExitCodeProcess(process, &exitCode) ? static_cast<long>(exitCode) : -1;
}

std::string NoBackupMessage(long exitCode, const std::vector<kel::TBackupFile>& before) {
    std::string folder = kel::WideToAnsi(kel::gBackupFolder(kel::TBackupPlace::Machine));
    if (exitCode != kExitStoppedPartWay)
        return std::string(kel::kNothingChangedWithoutBackup) + "\r\n控えのフォルダ: " + folder;
    std::string text = kel::kStoppedWithoutBackup;
    for (const kel::TBackupFile& file : kel::BackupsSince(before))
        if (file.place == kel::TBackupPlace::Machine)
            text += "\r\n" + kel::WideToAnsi(file.path);
    return text + "\r\n控えのフォルダ: " + folder;
}

} // namespace app
