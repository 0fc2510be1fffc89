#include "office/ProcessNames.h"

#include "sysinfo/TextRules.h"

namespace kel {

StringList MatchProcessIds(const std::vector<ProcessEntry>& entries,
                           const std::string& programName) {
    StringList ids;
    for (const ProcessEntry& entry : entries) {
        if (entry.exactName && entry.exeName == programName)
            ids.push_back(std::to_string(entry.id));
    }
    return ids;
}

std::string ProgramNameOf(const std::string& path) {
    return AfterLastPathDelimiter(path);
}

} // namespace kel
