// File masks and the long-name rule: a mask fits a name exactly when the name's
// UTF-16 characters (ASCII letters in either case) fit it; a name holding a NUL fits
// nothing.
#include "repair/FileMask.h"
#include "tests/fuzz/FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <iterator>

using kel::MatchesMask;

namespace {

// A few characters that matter to masks and names, and a wide range beside them.
const wchar_t kAlphabet[] = {
    L'*',      L'?',      L'.',
    L'~',      L'a',      L'A',
    L'x',      L'l',      L'b',
    L'B',      L'\\',     L'\0',
    L'\u00A5', L'\u2215', L'\u8868',
    L'\u30BD', L'\uFF42', static_cast<wchar_t>(0xD83D)}; // a lone surrogate

std::wstring consumeWide(FuzzedDataProvider& input, size_t maxLength) {
    return fuzz::ConsumeWide(input, maxLength, kAlphabet);
}

wchar_t lowered(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c;
}

// fits[i][j]: name characters from i on fit mask characters from j on.
bool fitsByTable(const std::wstring& name, const std::wstring& mask) {
    size_t n = name.size(), m = mask.size();
    std::vector<std::vector<char>> fits(n + 1, std::vector<char>(m + 1, 0));
    fits[n][m] = 1;
    for (size_t j = m; j-- > 0;) {
        bool dotStar = j + 2 == m && mask[j] == L'.' && mask[j + 1] == L'*';
        fits[n][j] = dotStar || (mask[j] == L'*' && fits[n][j + 1]);
    }
    for (size_t i = n; i-- > 0;) {
        for (size_t j = m; j-- > 0;) {
            if (mask[j] == L'*')
                fits[i][j] = fits[i][j + 1] || fits[i + 1][j];
            else
                fits[i][j] =
                    (mask[j] == L'?' || lowered(mask[j]) == lowered(name[i])) && fits[i + 1][j + 1];
        }
    }
    return fits[0][0];
}

bool endsWithXlb(const std::wstring& name) {
    if (name.size() < 4)
        return false;
    std::wstring tail = name.substr(name.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(), lowered);
    return tail == L".xlb";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::wstring mask = consumeWide(input, 12);
    std::wstring name = consumeWide(input, 64);
    // The program's masks hold no NUL; more than three "*" make the search too long.
    mask = mask.substr(0, mask.find(L'\0'));
    if (std::count(mask.begin(), mask.end(), L'*') > 3)
        return 0;

    bool hasNul = name.find(L'\0') != std::wstring::npos;
    bool fits = MatchesMask(name, mask);
    FUZZ_CHECK(fits == (!hasNul && fitsByTable(name, mask)));
    // The program's masks, by their meaning.
    FUZZ_CHECK(MatchesMask(name, L"*.xlb") == (!hasNul && endsWithXlb(name)));
    // "*.*" fits names with and without a dot.
    FUZZ_CHECK(MatchesMask(name, L"~*.*") == (!hasNul && !name.empty() && name[0] == L'~'));
    return 0;
}
