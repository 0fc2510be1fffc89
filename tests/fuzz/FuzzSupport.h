// What the fuzz targets share: a property check that stops the run with the
// property's text, and the character starts of code page 932 text.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "property failed: %s (%s, line %d)\n", #condition, __FILE__,      \
                         __LINE__);                                                                \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace fuzz {

// A UTF-16 text of up to maxLength code units: half of them picked from the
// characters that matter to the rule, the others any unit at all.
template <size_t N>
std::wstring ConsumeWide(FuzzedDataProvider& input, size_t maxLength,
                         const wchar_t (&alphabet)[N]) {
    std::wstring text;
    size_t length = input.ConsumeIntegralInRange<size_t>(0, maxLength);
    for (size_t i = 0; i < length && input.remaining_bytes() > 0; ++i) {
        uint16_t unit = input.ConsumeIntegral<uint16_t>();
        size_t pick = unit % (2 * N);
        text.push_back(pick < N ? alphabet[pick] : static_cast<wchar_t>(unit));
    }
    return text;
}

inline bool IsLead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// starts[i] is true when byte i begins a character, reading from the first byte; a
// lead byte takes the next byte along, whatever it is. starts[size] is true.
inline std::vector<bool> CharacterStarts(const std::string& text) {
    std::vector<bool> starts(text.size() + 1, false);
    for (size_t i = 0; i < text.size(); i += IsLead(static_cast<unsigned char>(text[i])) ? 2 : 1)
        starts[i] = true;
    starts[text.size()] = true;
    return starts;
}

// False when text ends in a lead byte without its trail byte.
inline bool IsWhole(const std::string& text) {
    size_t i = 0;
    while (i < text.size())
        i += IsLead(static_cast<unsigned char>(text[i])) ? 2 : 1;
    return i == text.size();
}

} // namespace fuzz
