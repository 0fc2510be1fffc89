// The edit fields' byte cut: never more than the limit, never half a double-byte
// character, and as long as the limit allows.
#include "tests/fuzz/FuzzSupport.h"
#include "sysinfo/ShiftJis.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace kel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    size_t limit = input.ConsumeIntegralInRange<size_t>(0, 300);
    std::string text = input.ConsumeRemainingBytesAsString();
    std::string cut = CutToBytes(text, limit);
    std::vector<bool> starts = fuzz::CharacterStarts(text);
    FUZZ_CHECK(text.compare(0, cut.size(), cut) == 0);
    FUZZ_CHECK(cut.size() <= limit);
    FUZZ_CHECK(starts[cut.size()]); // the next character starts where the cut ends
    if (cut.size() == text.size()) {
        // The whole text fits; a lone lead byte at its end counts two and fits too.
        if (!fuzz::IsWhole(cut))
            FUZZ_CHECK(cut.size() + 1 <= limit);
        return 0;
    }
    FUZZ_CHECK(fuzz::IsWhole(cut));
    // The next character would not fit (a lead byte counts two, even alone at the end).
    size_t width = fuzz::IsLead(static_cast<unsigned char>(text[cut.size()])) ? 2 : 1;
    FUZZ_CHECK(cut.size() + width > limit);
    return 0;
}
