// A machine-wide change of a window that runs as the user: the program's own
// command, started with administrator rights through the consent prompt ("runas"),
// while the window waits.
#pragma once

#include "sysinfo/Handle.h"
#include "sysinfo/RegBackup.h"

#include <string>
#include <vector>

namespace app {

struct TElevatedStart {
    kel::Handle process;   // the command's process; invalid when it was not started
    bool declined = false; // the user declined the consent prompt: nothing to report
};

// Starts "wexdal.exe parameters" elevated, owned by window; tests start the command
// without the prompt.
extern TElevatedStart (*gStartElevated)(HWND window, const std::wstring& parameters);

// Waits for process to end while the thread's messages are dispatched, so that
// the window paints and its timers run (its input is the caller's to lock). The
// exit code, or -1 when it can't be read.
long WaitPumping(HANDLE process);

// The message of an elevated command that stopped for want of a backup: refused
// (kExitNoBackup), or stopped after its first steps (kExitStoppedPartWay), naming
// the machine's backups that it made (those not among before). The command's own
// reason went to its standard error.
std::string NoBackupMessage(long exitCode, const std::vector<kel::TBackupFile>& before);

} // namespace app
