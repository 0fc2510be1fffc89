#include "office/ProcessNames.h"

#include "sysinfo/TextRules.h"

namespace kel {

StringList MatchProcessIds(const std::vector<ProcessEntry>& entries,
                           const std::string& programName) {
    StringList ids;
    for (const ProcessEntry& entry : entries) {
        if (entry.exeName == programName)
            ids.push_back(std::to_string(entry.id));
    }
    return ids;
}

std::string ProgramNameOf(const std::string& path) {
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsSjisLeadByte(static_cast<unsigned char>(path[i])))
            ++i;
        else if (path[i] == '\\' || path[i] == ':')
            start = i + 1;
    }
    return path.substr(start);
}

} // namespace kel
