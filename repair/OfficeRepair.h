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
// registration: a program it names is taken only where it exists under the
// machine's Program Files or system folder, never one the user's registry names.
// Nothing where the machine has no repairable Office.
std::optional<TStart> OfficeRepairStartOf(const TKelOfficeInfo& info, TRepairDepth depth);

// Starts a program and waits for it to end: its exit code; nothing when it did not
// start. Tests put one there that records the starts.
extern std::optional<unsigned long> (*gRunAndWait)(const TStart& start);

// What a repair came to: not started (none on this machine, or it did not start),
// or its exit code (0: repaired).
struct TOfficeRepairRun {
    bool started = false;
    unsigned long exitCode = 0;
};
TOfficeRepairRun RunOfficeRepair(const TKelOfficeInfo& info, TRepairDepth depth);

// The row in the window: asks first (naming the Office programs running for the
// user, which the repair closes), runs the quick repair through run (the exit
// code, or nothing when the user declined the consent prompt), and for
// Click-to-Run offers the online repair, which downloads the whole of Office, only
// after a quick one that failed and a question that says so. Says the outcome.
void RepairOfficeAsking(TActionHost& host, const TKelOfficeInfo& info,
                        const std::function<std::optional<long>(TRepairDepth)>& run);

} // namespace kel
