// The program name of a path, file names compared as Windows compares them, and the
// processes that run a program.
#include "office/ProcessNames.h"
#include "sysinfo/TextRules.h"
#include "tests/fuzz/FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace kel;

namespace {

bool isDelimiter(char c) {
    return c == '\\' || c == ':';
}

void checkProgramName(const std::string& path) {
    std::string name = ProgramNameOf(path);
    FUZZ_CHECK(name.size() <= path.size());
    size_t start = path.size() - name.size();
    FUZZ_CHECK(path.compare(start, name.size(), name) == 0);
    std::vector<bool> starts = fuzz::CharacterStarts(path);
    // It begins after a delimiter character, or at the start of the path...
    FUZZ_CHECK(start == 0 || (starts[start - 1] && isDelimiter(path[start - 1])));
    // ...and holds none: a delimiter byte in it is the trail byte of a character.
    for (size_t i = start; i < path.size(); ++i)
        FUZZ_CHECK(!(starts[i] && isDelimiter(path[i])));
}

// Equal names are the same file, a name is the same file in any ASCII case, and
// names of one file are as long and break into characters alike.
void checkSameFileName(const std::string& a, const std::string& b) {
    FUZZ_CHECK(SameFileName(a, a));
    FUZZ_CHECK(SameFileName(a, AsciiUpper(a)) && SameFileName(AsciiLower(a), a));
    bool same = SameFileName(a, b);
    FUZZ_CHECK(same == SameFileName(b, a));
    FUZZ_CHECK(!same ||
               (a.size() == b.size() && fuzz::CharacterStarts(a) == fuzz::CharacterStarts(b)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::string program = input.ConsumeRandomLengthString(12);
    const std::string sids[] = {"", "S-1-5-21-1", "S-1-5-21-2"};
    std::vector<ProcessEntry> entries;
    while (entries.size() < 16 && input.remaining_bytes() > 0) {
        unsigned long id = input.ConsumeIntegral<uint32_t>();
        std::string name = input.ConsumeBool() ? program : input.ConsumeRandomLengthString(12);
        if (input.ConsumeBool())
            name = input.ConsumeBool() ? AsciiLower(name) : AsciiUpper(name);
        std::optional<unsigned long> session;
        if (input.ConsumeBool())
            session = input.ConsumeIntegralInRange<unsigned long>(0, 2);
        bool exact = input.ConsumeBool();
        entries.push_back({id, name, exact, session, sids[input.ConsumeIntegralInRange(0, 2)]});
    }
    ProcessOwner own;
    if (input.ConsumeBool())
        own.session = input.ConsumeIntegralInRange<unsigned long>(0, 2);
    own.userSid = sids[input.ConsumeIntegralInRange(0, 2)];
    ProcessIds ids = MatchProcessIds(entries, program, own);
    size_t next = 0;
    bool unread = false;
    for (const ProcessEntry& entry : entries) {
        if (!entry.exactName || !SameFileName(entry.exeName, program) || !own.session ||
            entry.session != own.session)
            continue;
        unread = unread || entry.userSid.empty();
        if (own.userSid.empty() || entry.userSid != own.userSid)
            continue;
        FUZZ_CHECK(next < ids.size() && ids[next] == entry.id);
        ++next;
    }
    FUZZ_CHECK(next == ids.size());
    FUZZ_CHECK(RunsUnreadInOwnSession(entries, program, own) == unread);
    checkProgramName(program);
    for (const ProcessEntry& entry : entries) {
        checkProgramName(entry.exeName);
        checkSameFileName(entry.exeName, program);
    }
    return 0;
}
