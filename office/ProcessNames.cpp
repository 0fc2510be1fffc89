#include "office/ProcessNames.h"

#include "sysinfo/TextRules.h"

namespace kel {

bool IsOwnProcess(const ProcessEntry& entry, const ProcessOwner& own) {
    return own.session && entry.session && *entry.session == *own.session && !own.userSid.empty() &&
           entry.userSid == own.userSid;
}

namespace {

bool runsProgram(const ProcessEntry& entry, const std::string& programName) {
    return entry.exactName && SameFileName(entry.exeName, programName);
}

} // namespace

ProcessIds MatchProcessIds(const std::vector<ProcessEntry>& entries, const std::string& programName,
                           const ProcessOwner& own) {
    ProcessIds ids;
    for (const ProcessEntry& entry : entries) {
        if (runsProgram(entry, programName) && IsOwnProcess(entry, own))
            ids.push_back(entry.id);
    }
    return ids;
}

bool RunsUnreadInOwnSession(const std::vector<ProcessEntry>& entries,
                            const std::string& programName, const ProcessOwner& own) {
    for (const ProcessEntry& entry : entries) {
        if (runsProgram(entry, programName) && own.session && entry.session == own.session &&
            entry.userSid.empty())
            return true;
    }
    return false;
}

std::string ProgramNameOf(const std::string& path) {
    return AfterLastPathDelimiter(path);
}

} // namespace kel
