#include "office/ProcessNames.h"

#include "sysinfo/TextRules.h"

namespace kel {

bool InOwnSession(const ProcessEntry& entry, std::optional<unsigned long> ownSession) {
    return ownSession && entry.session && *entry.session == *ownSession;
}

ProcessIds MatchProcessIds(const std::vector<ProcessEntry>& entries, const std::string& programName,
                           std::optional<unsigned long> ownSession) {
    ProcessIds ids;
    for (const ProcessEntry& entry : entries) {
        if (entry.exactName && entry.exeName == programName && InOwnSession(entry, ownSession))
            ids.push_back(entry.id);
    }
    return ids;
}

std::string ProgramNameOf(const std::string& path) {
    return AfterLastPathDelimiter(path);
}

} // namespace kel
