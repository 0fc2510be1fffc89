// Whether Excel, Word and PowerPoint are running, and their termination.
#pragma once

#include "office/ProcessNames.h"
#include "sysinfo/Association.h"
#include "sysinfo/Registry.h"

#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

namespace kel {

// The process snapshot functions of kernel32, bound by name at the first use.
struct ToolhelpBinding {
    HMODULE module = nullptr;
    decltype(&CreateToolhelp32Snapshot) createSnapshot = nullptr;
    decltype(&Process32FirstW) processFirst = nullptr;
    decltype(&Process32NextW) processNext = nullptr;
    bool available() const { return module != nullptr && createSnapshot != nullptr; }
};
const ToolhelpBinding& Toolhelp();

// Every running process, in snapshot order; empty when no snapshot can be taken.
// Names are read in UTF-16 and converted exactly where code page 932 allows.
std::vector<ProcessEntry> TakeProcessSnapshot();

// The snapshot, with the session and the user of each process named programName;
// the others' are not asked for, since each asking opens the process.
std::vector<ProcessEntry> ProcessesOf(const std::string& programName);

// The program's own session and account, whose processes alone it shows and ends.
ProcessOwner OwnProcesses();

// "Excel は 稼動中 です。" or "Excel は 非稼動 です。".
std::string RunningStateCaption(const std::string& viewName, bool running);

// The IDs of the own processes (OwnProcesses) running info's program; true when
// it runs in the own session, also under a user that can't be read (a program
// started "as administrator" from the user's desk), which the program never ends.
bool SurveyProcesses(const TKelExtInfo& info, ProcessIds& ids);

// Where the window shows whether an application runs: its row of that name.
class TRunningStateView {
  public:
    // Shows caption on row ("XlsProcess") and lets its stop button be pressed only
    // while the application runs as processes the program may end (endable).
    virtual void ShowRunningState(const std::string& row, const std::string& caption,
                                  bool endable) = 0;

  protected:
    ~TRunningStateView() = default;
};

// Surveys the processes running info's program into ids, then shows the state on
// the view's row; true when it runs (SurveyProcesses).
bool RefreshRunningState(TRunningStateView& view, const TKelExtInfo& info, ProcessIds& ids,
                         const std::string& row);

// Terminates each listed process that is still active and still runs programName
// as one of the own processes (an ID may have been reused by another program since
// the survey); others are passed over silently. Waits a bounded time for the ended
// processes to be gone: true when every one it ended is gone (or none needed
// ending), false when one could not be ended or is still there.
bool TerminateProcesses(const ProcessIds& ids, const std::string& programName);

} // namespace kel
