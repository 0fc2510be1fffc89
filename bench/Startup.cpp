#include "bench/Startup.h"

#include <windows.h>
#include <psapi.h>

#include <cstring>

namespace bench {

namespace {

struct ListSearch {
    HWND list = nullptr;
};

BOOL CALLBACK findListBox(HWND child, LPARAM context) {
    char name[32] = {};
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, "ListBox") != 0)
        return TRUE;
    reinterpret_cast<ListSearch*>(context)->list = child;
    return FALSE;
}

// The process's visible top-level window with that title, or null.
HWND visibleWindowOf(DWORD processId, const char* title) {
    for (HWND window = FindWindowExA(nullptr, nullptr, nullptr, title); window != nullptr;
         window = FindWindowExA(nullptr, window, nullptr, title)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

bool holdsItems(HWND window, int items) {
    ListSearch search;
    EnumChildWindows(window, findListBox, reinterpret_cast<LPARAM>(&search));
    DWORD_PTR count = 0;
    return search.list != nullptr &&
           SendMessageTimeoutA(search.list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, 1000, &count) != 0 &&
           static_cast<int>(count) == items;
}

BOOL CALLBACK countWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

double now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) / double(frequency.QuadPart);
}

} // namespace

StartupRun StartOnce(const Program& program) {
    StartupRun run;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string command = "\"" + program.path + "\" " + program.arguments;
    double start = now();
    if (!CreateProcessA(program.path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return run;
    HWND window = nullptr;
    while (now() - start < 30) {
        window = visibleWindowOf(process.dwProcessId, program.title);
        if (window != nullptr && run.shownSeconds == 0)
            run.shownSeconds = now() - start;
        if (window != nullptr && holdsItems(window, program.items)) {
            run.seconds = now() - start;
            run.ready = true;
            EnumChildWindows(window, countWindow, reinterpret_cast<LPARAM>(&run.windows));
            break;
        }
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0)
            break;
    }
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters))
        run.peakBytes = double(counters.PeakWorkingSetSize);
    if (window != nullptr)
        PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 10000);
        run.ready = false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return run;
}

std::vector<StartupRows> StartInterleaved(const std::vector<Program>& programs, int rounds) {
    std::vector<StartupRows> rows(programs.size());
    for (int round = 0; round < rounds; ++round) {
        for (size_t k = 0; k < programs.size(); ++k) {
            size_t i = round % 2 == 0 ? k : programs.size() - 1 - k;
            StartupRun run = StartOnce(programs[i]);
            if (!run.ready) {
                ++rows[i].failures;
                continue;
            }
            rows[i].shownSeconds.push_back(run.shownSeconds);
            rows[i].seconds.push_back(run.seconds);
            rows[i].peakBytes.push_back(run.peakBytes);
        }
    }
    return rows;
}

} // namespace bench
