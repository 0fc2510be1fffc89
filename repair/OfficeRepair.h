// The row "Office を修復する": Office's own repair, as Windows' "Programs and
// Features" starts it, run and waited for.
#pragma once

#include "office/OfficeInfo.h"
#include "repair/OfficeRepairRule.h"

#include <functional>
#include <optional>
#include <string>

namespace kel {

class TActionHost;

// The repair of this machine's Office (OfficeRepairStart), from the machine's own
// registration: a program it names is taken only where it exists under Office's
// own folders ("Common Files\Microsoft Shared", "Microsoft Office..." of either
// Program Files folder), never one the user's registry names; Windows Installer
// from the system folder. For Windows Installer Office 2007 to 2016, the uninstall
// entry that bears the primary suite's display name.
// Nothing where the machine has no repairable Office.
std::optional<TStart> OfficeRepairStartOf(const TKelOfficeInfo& info, TRepairDepth depth);

// Starts a program and waits for it to end (the thread's messages handed on
// meanwhile): its exit code; nothing when it did not start. Tests put one there
// that records the starts.
extern std::optional<unsigned long> (*gRunAndWait)(const TStart& start);

// What a repair came to: not started (none on this machine, or it did not start),
// or its exit code (0: repaired).
struct TOfficeRepairRun {
    bool started = false;
    unsigned long exitCode = 0;
};
TOfficeRepairRun RunOfficeRepair(const TKelOfficeInfo& info, TRepairDepth depth);

// Whether a repair's exit code says it was made: 0, or Windows Installer's "made;
// restart to finish" (3010, 1641).
bool OfficeRepaired(unsigned long exitCode);

// What run answers for a repair that did not start (not one that failed).
constexpr long kRepairNotStarted = -1;

// The row in the window: asks first (warning that Office's programs close, naming
// those running for the user now), runs the quick repair through run (its exit
// code, kRepairNotStarted, or nothing when the user declined the consent prompt),
// and for Click-to-Run offers the online repair, which downloads the whole of
// Office, only after a quick one that ran and failed, and a question that says so.
// Says the outcome.
void RepairOfficeAsking(TActionHost& host, const TKelOfficeInfo& info,
                        const std::function<std::optional<long>(TRepairDepth)>& run);

} // namespace kel
