// The rules that tie a running process to a program by its executable's name.
#pragma once

#include "sysinfo/StringList.h"

#include <optional>
#include <string>
#include <vector>

namespace kel {

// Process IDs (DWORDs), in snapshot order.
using ProcessIds = std::vector<unsigned long>;

struct ProcessEntry {
    unsigned long id; // the process ID (a DWORD)
    std::string exeName;
    // False when code page 932 does not carry the name exactly (a yen sign, a
    // character without a code): exeName is then its best-fit form, for showing only.
    bool exactName = true;
    // The session that runs it (each signed-in user has one); empty when it can't be
    // told.
    std::optional<unsigned long> session;
    // The user of its access token (a SID, "S-1-5-21-..."); empty when it can't be read.
    std::string userSid;
};

// Whose processes the program shows and ends: those of its own session that run
// under its own account, compared by SID. A process whose session or user can't be
// told may be another user's, and is not ours; with no own session or SID, nothing
// is.
struct ProcessOwner {
    std::optional<unsigned long> session;
    std::string userSid;
};
bool IsOwnProcess(const ProcessEntry& entry, const ProcessOwner& own);

// The IDs of the own entries (IsOwnProcess) whose executable name is programName as
// Windows compares file names (SameFileName: "excel.exe" is "EXCEL.EXE"); an entry
// whose name is not exact matches no program. Another user's programs are never shown
// running, nor ended.
ProcessIds MatchProcessIds(const std::vector<ProcessEntry>& entries, const std::string& programName,
                           const ProcessOwner& own);

// True when the own session runs programName (named as MatchProcessIds names it) in
// a process whose user can't be read, such as one started as administrator from the
// user's window: it runs in front of the user, so it is shown as running, but it may
// be another account's, so it is never ended.
bool RunsUnreadInOwnSession(const std::vector<ProcessEntry>& entries,
                            const std::string& programName, const ProcessOwner& own);

// The text after the last "\" or ":" that is a character of its own, not the trail
// byte of a code page 932 double-byte character (AfterLastPathDelimiter).
std::string ProgramNameOf(const std::string& path);

} // namespace kel
