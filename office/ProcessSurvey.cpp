#include "office/ProcessSurvey.h"

#include "sysinfo/Account.h"
#include "sysinfo/Handle.h"
#include "sysinfo/Text.h"
#include "sysinfo/TextRules.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace kel {

namespace {

// How long the termination waits for the processes it ended to be gone.
constexpr DWORD kTerminationWaitMs = 5000;

// Every entry point the binding looks up; only three are used (the snapshot and
// the UTF-16 process walk).
const char* const kToolhelpNames[] = {"CreateToolhelp32Snapshot",
                                      "Heap32ListFirst",
                                      "Heap32ListNext",
                                      "Heap32First",
                                      "Heap32Next",
                                      "Toolhelp32ReadProcessMemory",
                                      "Process32First",
                                      "Process32Next",
                                      "Process32FirstW",
                                      "Process32NextW",
                                      "Thread32First",
                                      "Thread32Next",
                                      "Module32First",
                                      "Module32Next",
                                      "Module32FirstW",
                                      "Module32NextW"};

ToolhelpBinding bind() {
    ToolhelpBinding binding;
    binding.module = GetModuleHandleA("kernel32.dll");
    if (binding.module == nullptr)
        return binding;
    FARPROC entries[std::size(kToolhelpNames)];
    for (size_t i = 0; i < std::size(kToolhelpNames); ++i)
        entries[i] = GetProcAddress(binding.module, kToolhelpNames[i]);
    binding.createSnapshot =
        reinterpret_cast<decltype(binding.createSnapshot)>(reinterpret_cast<void*>(entries[0]));
    binding.processFirst =
        reinterpret_cast<decltype(binding.processFirst)>(reinterpret_cast<void*>(entries[8]));
    binding.processNext =
        reinterpret_cast<decltype(binding.processNext)>(reinterpret_cast<void*>(entries[9]));
    return binding;
}

bool firstEntry(HANDLE snapshot, PROCESSENTRY32W& entry) {
    const ToolhelpBinding& binding = Toolhelp();
    return binding.available() && binding.processFirst && binding.processFirst(snapshot, &entry);
}

bool nextEntry(HANDLE snapshot, PROCESSENTRY32W& entry) {
    const ToolhelpBinding& binding = Toolhelp();
    return binding.available() && binding.processNext && binding.processNext(snapshot, &entry);
}

// A name that code page 932 does not carry exactly keeps its best-fit form for
// showing and is marked, so that it is never taken for another program's name.
ProcessEntry processEntry(const PROCESSENTRY32W& entry) {
    std::wstring name(entry.szExeFile, wcsnlen(entry.szExeFile, MAX_PATH));
    ProcessEntry result{entry.th32ProcessID, {}, true, std::nullopt, {}};
    if (!WideToAnsiExact(name, result.exeName)) {
        result.exeName = WideToAnsi(name);
        result.exactName = false;
    }
    return result;
}

bool stillActive(unsigned long id) {
    Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    DWORD exitCode = 0;
    return process.valid() && GetExitCodeProcess(process.get(), &exitCode) &&
           exitCode == STILL_ACTIVE;
}

} // namespace

std::vector<ProcessEntry> ProcessesOf(const std::string& programName) {
    std::vector<ProcessEntry> entries = TakeProcessSnapshot();
    for (ProcessEntry& entry : entries) {
        DWORD session = 0;
        if (!SameFileName(entry.exeName, programName))
            continue;
        entry.userSid = ProcessUserSid(entry.id);
        // A process whose user can't be read counts as running only while it runs: one
        // that has ended but is still listed (its handles open) is no one's.
        if (ProcessIdToSessionId(entry.id, &session) &&
            (!entry.userSid.empty() || stillActive(entry.id)))
            entry.session = session;
    }
    return entries;
}

ProcessOwner OwnProcesses() {
    // Neither changes while the program runs; the timer asks twice a second.
    static const ProcessOwner own{CurrentSessionId(), CurrentUserSid()};
    return own;
}

const ToolhelpBinding& Toolhelp() {
    static const ToolhelpBinding binding = bind();
    return binding;
}

std::vector<ProcessEntry> TakeProcessSnapshot() {
    std::vector<ProcessEntry> entries;
    const ToolhelpBinding& binding = Toolhelp();
    if (!binding.available())
        return entries;
    Handle snapshot(binding.createSnapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid())
        return entries;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (bool more = firstEntry(snapshot.get(), entry); more;
         more = nextEntry(snapshot.get(), entry))
        entries.push_back(processEntry(entry));
    return entries;
}

std::string RunningStateCaption(const std::string& viewName, bool running) {
    return viewName + " は " + (running ? "稼動中" : "非稼動") + " です。";
}

bool SurveyProcesses(const TKelExtInfo& info, ProcessIds& ids) {
    std::string program = ProgramNameOf(info.FileName);
    std::vector<ProcessEntry> entries = ProcessesOf(program);
    ids = MatchProcessIds(entries, program, OwnProcesses());
    return !ids.empty() || RunsUnreadInOwnSession(entries, program, OwnProcesses());
}

bool RefreshRunningState(TRunningStateView& view, const TKelExtInfo& info, ProcessIds& ids,
                         const std::string& row) {
    bool running = SurveyProcesses(info, ids);
    view.ShowRunningState(row, RunningStateCaption(info.ViewName, running), !ids.empty());
    return running;
}

bool TerminateProcesses(const ProcessIds& ids, const std::string& programName) {
    // While a handle is open its ID can't be reused, so one snapshot taken with
    // every handle open tells which program each of them still runs.
    std::vector<std::pair<unsigned long, Handle>> active;
    for (unsigned long id : ids) {
        Handle process(OpenProcess(
            PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, id));
        DWORD exitCode = 0;
        if (process.valid() && GetExitCodeProcess(process.get(), &exitCode) &&
            exitCode == STILL_ACTIVE)
            active.emplace_back(id, std::move(process));
    }
    if (active.empty())
        return true;
    ProcessIds stillMatching =
        MatchProcessIds(ProcessesOf(programName), programName, OwnProcesses());
    bool ended = true;
    std::vector<HANDLE> ending;
    for (const auto& [id, process] : active) {
        if (std::find(stillMatching.begin(), stillMatching.end(), id) == stillMatching.end())
            continue;
        if (TerminateProcess(process.get(), 0))
            ending.push_back(process.get());
        else
            ended = false;
    }
    // Termination is asynchronous: a process has ended when its handle is signalled.
    const DWORD deadline = GetTickCount() + kTerminationWaitMs;
    for (HANDLE process : ending) {
        DWORD now = GetTickCount();
        DWORD left = static_cast<LONG>(deadline - now) > 0 ? deadline - now : 0;
        if (WaitForSingleObject(process, left) != WAIT_OBJECT_0)
            ended = false;
    }
    return ended;
}

} // namespace kel
