// The rules that tie a running process to a program by its executable's name.
#pragma once

#include "sysinfo/StringList.h"

#include <string>
#include <vector>

namespace kel {

struct ProcessEntry {
    unsigned long id; // the process ID (a DWORD)
    std::string exeName;
    // False when code page 932 does not carry the name exactly (a yen sign, a
    // character without a code): exeName is then its best-fit form, for showing only.
    bool exactName = true;
};

// The IDs ("%d") of the entries whose executable name equals programName exactly;
// an entry whose name is not exact matches no program.
StringList MatchProcessIds(const std::vector<ProcessEntry>& entries,
                           const std::string& programName);

// The text after the last "\" or ":" that is a character of its own, not the trail
// byte of a code page 932 double-byte character (AfterLastPathDelimiter).
std::string ProgramNameOf(const std::string& path);

} // namespace kel
