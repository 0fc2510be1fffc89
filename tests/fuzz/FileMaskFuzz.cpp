// File masks and the long-name rule: a mask fits a name exactly when the name's
// characters (double-byte ones whole, ASCII letters in either case) fit it.
#include "repair/FileMask.h"
#include "tests/fuzz/FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

using kel::MatchesMask;

namespace {

// The characters of text, ASCII letters lowered.
std::vector<std::string> characters(const std::string& text) {
    std::vector<std::string> result;
    std::vector<bool> starts = fuzz::CharacterStarts(text);
    for (size_t i = 0; i < text.size();) {
        size_t next = i + 1;
        while (next < text.size() && !starts[next])
            ++next;
        std::string c = text.substr(i, next - i);
        if (c.size() == 1 && c[0] >= 'A' && c[0] <= 'Z')
            c[0] = static_cast<char>(c[0] + 32);
        result.push_back(c);
        i = next;
    }
    return result;
}

// fits[i][j]: name characters from i on fit mask characters from j on.
bool fitsByTable(const std::vector<std::string>& name, const std::vector<std::string>& mask) {
    size_t n = name.size(), m = mask.size();
    std::vector<std::vector<char>> fits(n + 1, std::vector<char>(m + 1, 0));
    fits[n][m] = 1;
    for (size_t j = m; j-- > 0;) {
        bool dotStar = j + 2 == m && mask[j] == "." && mask[j + 1] == "*";
        fits[n][j] = dotStar || (mask[j] == "*" && fits[n][j + 1]);
    }
    for (size_t i = n; i-- > 0;) {
        for (size_t j = m; j-- > 0;) {
            if (mask[j] == "*")
                fits[i][j] = fits[i][j + 1] || fits[i + 1][j];
            else
                fits[i][j] = (mask[j] == "?" || mask[j] == name[i]) && fits[i + 1][j + 1];
        }
    }
    return fits[0][0];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::string mask = input.ConsumeRandomLengthString(12);
    std::string name = input.ConsumeRandomLengthString(64);
    // A NUL ends a name; more than three "*" make the matcher's search too long.
    mask = mask.substr(0, mask.find('\0'));
    name = name.substr(0, name.find('\0'));
    if (std::count(mask.begin(), mask.end(), '*') > 3)
        return 0;

    bool fits = MatchesMask(name, mask);
    FUZZ_CHECK(fits == fitsByTable(characters(name), characters(mask)));
    // The program's masks, by their meaning.
    std::vector<std::string> chars = characters(name);
    bool xlb = chars.size() >= 4 && chars[chars.size() - 4] == "." &&
               chars[chars.size() - 3] == "x" && chars[chars.size() - 2] == "l" &&
               chars.back() == "b";
    FUZZ_CHECK(MatchesMask(name, "*.xlb") == xlb);
    // "*.*" fits names with and without a dot.
    FUZZ_CHECK(MatchesMask(name, "~*.*") == (!chars.empty() && chars[0] == "~"));
    return 0;
}
