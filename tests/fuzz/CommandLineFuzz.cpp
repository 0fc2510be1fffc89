// Command-line reduction and the expansion of the first variable.
#include "sysinfo/CommandLineRules.h"
#include "tests/fuzz/FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

using namespace kel;

namespace {

struct RecordingLookup {
    std::string value;
    std::vector<std::string> asked;
    EnvironmentLookup function() {
        return [this](const std::string& name) {
            asked.push_back(name);
            return value;
        };
    }
};

void checkExpansion(const std::string& s, const std::string& value) {
    RecordingLookup lookup{value, {}};
    std::string expanded = ExpandFirstVariable(s, lookup.function());
    size_t open = s.find('%');
    size_t close = open == std::string::npos ? open : s.find('%', open + 1);
    if (close == std::string::npos) {
        FUZZ_CHECK(expanded == s && lookup.asked.empty());
        return;
    }
    FUZZ_CHECK(lookup.asked.size() == 1);
    FUZZ_CHECK(lookup.asked[0] == s.substr(open + 1, close - open - 1));
    FUZZ_CHECK(expanded == value + s.substr(close + 1));
}

void checkReduction(const std::string& s, const std::string& value) {
    RecordingLookup lookup{value, {}};
    std::string reduced = ReduceCommandLine(s, lookup.function());
    FUZZ_CHECK(lookup.asked.size() <= 1);
    std::string path = reduced;
    if (!lookup.asked.empty()) {
        FUZZ_CHECK(reduced.compare(0, value.size(), value) == 0);
        path = reduced.substr(value.size());
    }
    // What is left of the command line is one piece of it, without quotes, icon
    // index or switches.
    FUZZ_CHECK(s.find(path) != std::string::npos);
    FUZZ_CHECK(path.find_first_of("'\",") == std::string::npos);
    if (lookup.asked.empty()) {
        size_t dot = path.find('.');
        FUZZ_CHECK(path.find(' ', dot == std::string::npos ? 0 : dot) == std::string::npos);
        // A reduced path reduces to itself.
        RecordingLookup again{value, {}};
        FUZZ_CHECK(ReduceCommandLine(reduced, again.function()) == reduced);
        FUZZ_CHECK(again.asked.empty());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::string value = input.ConsumeRandomLengthString(16);
    value.erase(std::remove(value.begin(), value.end(), '%'), value.end());
    std::string s = input.ConsumeRemainingBytesAsString();
    checkExpansion(s, value);
    checkReduction(s, value);
    return 0;
}
