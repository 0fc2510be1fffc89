// Whether Excel, Word and PowerPoint are running, and their termination.
#pragma once

#include "office/ProcessNames.h"
#include "sysinfo/Association.h"
#include "sysinfo/Registry.h"

#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

namespace ui {
class TForm;
}

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

// The snapshot, with the session of each process named programName; the others'
// are not asked for, since each asking opens the process.
std::vector<ProcessEntry> ProcessesOf(const std::string& programName);

// "Excel は 稼動中 です。" or "Excel は 非稼動 です。".
std::string RunningStateCaption(const std::string& viewName, bool running);

// The IDs of the processes of the own session running info's program; true when
// there is one.
bool SurveyProcesses(const TKelExtInfo& info, StringList& ids);

// Surveys the processes running info's program into ids, then sets the caption of
// the label "LL_" + row and enables the button "BB_" + row while any runs. The
// controls are looked up by name on form; a missing one is passed over.
void RefreshRunningState(ui::TForm& form, const TKelExtInfo& info, StringList& ids,
                         const std::string& row);

// Terminates each listed process that is still active and still runs programName
// in the own session (an ID may have been reused by another program since the
// survey); others are passed over silently.
void TerminateProcesses(const StringList& ids, const std::string& programName);

} // namespace kel
