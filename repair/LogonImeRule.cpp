#include "repair/LogonImeRule.h"

#include "sysinfo/TextRules.h"

#include <algorithm>

namespace kel {

bool IsOwnlessList(const PreloadValues& values) {
    return values.empty() || (values.size() == 1 && values[0].first == "1" &&
                              AsciiLower(values[0].second) == "00000411");
}

PreloadFacts FactsOf(bool currentExists, const PreloadValues& current, bool savedExists,
                     bool currentReadWhole) {
    PreloadFacts facts;
    facts.currentExists = currentExists;
    facts.savedExists = savedExists;
    facts.currentIsOwnless = currentReadWhole && (!currentExists || IsOwnlessList(current));
    for (const auto& value : current)
        facts.currentHasIme = facts.currentHasIme || AsciiLower(value.second) == "e0010411";
    return facts;
}

LogonImeStep DecideLogonIme(int state, const PreloadFacts& facts) {
    if ((state == 1) == facts.currentHasIme)
        return LogonImeStep::Nothing;
    if (state == 0)
        return LogonImeStep::SetCurrentAside;
    if (facts.savedExists && facts.currentIsOwnless)
        return LogonImeStep::BringSavedBack;
    return LogonImeStep::AddIme;
}

std::string NextPreloadName(const PreloadValues& values) {
    unsigned long highest = 0;
    for (const auto& value : values) {
        const std::string& name = value.first;
        if (name.empty() || name.size() > 9 ||
            name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        highest = std::max(highest, std::stoul(name));
    }
    return std::to_string(highest + 1);
}

} // namespace kel
