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
};

// True when the entry runs in ownSession. A process whose session can't be told
// may be another user's, and is not ours; with no own session, nothing is.
bool InOwnSession(const ProcessEntry& entry, std::optional<unsigned long> ownSession);

// The IDs of the entries of ownSession whose executable name equals
// programName exactly; an entry whose name is not exact matches no program. Another
// user's programs are never shown running, nor ended.
ProcessIds MatchProcessIds(const std::vector<ProcessEntry>& entries, const std::string& programName,
                           std::optional<unsigned long> ownSession);

// The text after the last "\" or ":" that is a character of its own, not the trail
// byte of a code page 932 double-byte character (AfterLastPathDelimiter).
std::string ProgramNameOf(const std::string& path);

} // namespace kel
