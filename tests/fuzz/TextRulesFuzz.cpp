// ReplaceAll and the ASCII case helpers over arbitrary bytes.
#include "sysinfo/TextRules.h"
#include "tests/fuzz/FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace kel;

namespace {

// A byte below 0x40 (never a trail byte) that occurs in neither text; 0x100 when
// every one does.
int absentMarker(const std::string& a, const std::string& b) {
    for (int c = 0; c < 0x40; ++c) {
        if (a.find(static_cast<char>(c)) == std::string::npos &&
            b.find(static_cast<char>(c)) == std::string::npos)
            return c;
    }
    return 0x100;
}

void checkReplaceAll(const std::string& text, std::string oldText, const std::string& newText) {
    std::string replaced = ReplaceAll(text, oldText, newText);
    if (oldText.empty()) {
        FUZZ_CHECK(replaced == text);
        return;
    }
    if (!fuzz::IsWhole(oldText))
        oldText.pop_back(); // the searched text is whole characters
    if (oldText.empty())
        return;
    int marker = absentMarker(text, oldText);
    if (marker > 0xFF)
        return;
    std::string marked = ReplaceAll(text, oldText, std::string(1, static_cast<char>(marker)));

    // Walk the marked text back into the original: every marker stands for one match.
    std::vector<bool> starts = fuzz::CharacterStarts(text);
    std::vector<bool> matched(text.size() + 1, false);
    std::string rebuilt;
    size_t matches = 0;
    for (char c : marked) {
        if (c == static_cast<char>(marker)) {
            size_t at = rebuilt.size();
            FUZZ_CHECK(starts[at]);                                     // never on a trail byte
            FUZZ_CHECK(text.compare(at, oldText.size(), oldText) == 0); // a real match
            for (size_t k = at; k < at + oldText.size(); ++k)
                matched[k] = true;
            rebuilt += oldText;
            ++matches;
        } else {
            rebuilt += c;
        }
    }
    FUZZ_CHECK(rebuilt == text); // nothing lost, nothing added
    // Left to right: no character outside a match starts a further match.
    for (size_t i = 0; i < text.size(); ++i) {
        if (starts[i] && !matched[i])
            FUZZ_CHECK(text.compare(i, oldText.size(), oldText) != 0);
    }
    std::string real = ReplaceAll(text, oldText, newText);
    FUZZ_CHECK(real.size() + matches * oldText.size() == text.size() + matches * newText.size());
}

void checkCase(const std::string& text) {
    std::string lower = AsciiLower(text), upper = AsciiUpper(text);
    FUZZ_CHECK(lower.size() == text.size() && upper.size() == text.size());
    std::vector<bool> starts = fuzz::CharacterStarts(text);
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        bool single = starts[i] && (!fuzz::IsLead(c) || i + 1 == text.size());
        if (!single) { // double-byte characters pass through whole
            FUZZ_CHECK(lower[i] == text[i] && upper[i] == text[i]);
            continue;
        }
        bool isUpper = c >= 'A' && c <= 'Z', isLower = c >= 'a' && c <= 'z';
        FUZZ_CHECK(lower[i] == (isUpper ? static_cast<char>(c + 32) : text[i]));
        FUZZ_CHECK(upper[i] == (isLower ? static_cast<char>(c - 32) : text[i]));
    }
    FUZZ_CHECK(AsciiLower(upper) == lower && AsciiUpper(lower) == upper);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::string oldText = input.ConsumeRandomLengthString(8);
    std::string newText = input.ConsumeRandomLengthString(8);
    std::string text = input.ConsumeRemainingBytesAsString();
    checkReplaceAll(text, oldText, newText);
    checkCase(text);
    return 0;
}
