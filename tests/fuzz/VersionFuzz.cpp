// Version parsing and comparison, the newest-first sort and the major version.
#include "office/VerList.h"
#include "sysinfo/ProductVersion.h"
#include "sysinfo/StringList.h"
#include "tests/fuzz/FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>

using namespace kel;

namespace {

// Digits, optionally a dot and more digits, at most seven on each side: such a
// version compares exactly like the decimal number it writes.
bool isPlainDecimal(const std::string& s) {
    size_t dot = s.find('.');
    std::string whole = s.substr(0, dot);
    std::string fraction = dot == std::string::npos ? "" : s.substr(dot + 1);
    auto digits = [](const std::string& part) {
        return part.size() <= 7 &&
               std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    return !whole.empty() && digits(whole) && digits(fraction);
}

// -1, 0 or 1 as a is smaller than, equal to or greater than b, digit by digit.
int compareDecimals(const std::string& a, const std::string& b) {
    auto split = [](const std::string& s) {
        size_t dot = s.find('.');
        std::string whole = s.substr(0, dot);
        std::string fraction = dot == std::string::npos ? "" : s.substr(dot + 1);
        whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
        fraction.resize(8, '0');
        return std::make_pair(whole, fraction);
    };
    auto [wa, fa] = split(a);
    auto [wb, fb] = split(b);
    if (wa.size() != wb.size())
        return wa.size() < wb.size() ? -1 : 1;
    int c = wa != wb ? (wa < wb ? -1 : 1) : (fa < fb ? -1 : fa > fb ? 1 : 0);
    return c;
}

double valueOf(const std::string& version) {
    double value = 0;
    return ParseVersion(version, value) ? value : 0;
}

void checkMajorVersion(const std::string& version) {
    std::string major = MajorVersionOf(version);
    size_t dots = std::count(version.begin(), version.end(), '.');
    if (dots < 2) {
        FUZZ_CHECK(major.empty());
        return;
    }
    FUZZ_CHECK(version.compare(0, major.size(), major) == 0 && version[major.size()] == '.');
    FUZZ_CHECK(std::count(major.begin(), major.end(), '.') == 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    StringList versions;
    while (versions.size() < 8 && input.remaining_bytes() > 0)
        versions.push_back(input.ConsumeRandomLengthString(12));
    ProductLines lines;
    for (size_t i = 0; i < versions.size(); ++i) {
        TProductLine line;
        line.version = versions[i];
        line.code = std::to_string(i);
        lines.push_back(line);
        double value = 0;
        if (ParseVersion(versions[i], value))
            FUZZ_CHECK(std::isfinite(value) && !versions[i].empty());
        FUZZ_CHECK(SameVersion(versions[i], versions[i]) == ParseVersion(versions[i], value));
        checkMajorVersion(versions[i]);
    }
    int n = static_cast<int>(lines.size());
    for (int i = 0; i < n; ++i) {
        FUZZ_CHECK(CompareVersionLines(lines, i, i) == 0);
        for (int j = 0; j < n; ++j) {
            int c = CompareVersionLines(lines, i, j);
            FUZZ_CHECK(c == -CompareVersionLines(lines, j, i));
            FUZZ_CHECK(SameVersion(versions[i], versions[j]) ==
                       SameVersion(versions[j], versions[i]));
            if (SameVersion(versions[i], versions[j]))
                FUZZ_CHECK(c == 0);
            if (isPlainDecimal(versions[i]) && isPlainDecimal(versions[j]))
                FUZZ_CHECK(c == -compareDecimals(versions[i], versions[j])); // -1: i is newer
            for (int k = 0; k < n; ++k) {
                if (c <= 0 && CompareVersionLines(lines, j, k) <= 0)
                    FUZZ_CHECK(CompareVersionLines(lines, i, k) <= 0);
            }
        }
    }

    ProductLines sorted = lines;
    SortNewestFirst(sorted);
    auto codes = [](const ProductLines& list) {
        StringList result;
        for (const TProductLine& line : list)
            result.push_back(line.code);
        std::sort(result.begin(), result.end());
        return result;
    };
    FUZZ_CHECK(codes(sorted) == codes(lines)); // the same lines
    for (int i = 0; i + 1 < n; ++i) {
        std::string first = sorted[i].version;
        std::string second = sorted[i + 1].version;
        FUZZ_CHECK(valueOf(first) >= valueOf(second));
        if (valueOf(first) == valueOf(second)) // equal versions keep their order
            FUZZ_CHECK(std::stoi(sorted[i].code) < std::stoi(sorted[i + 1].code));
    }
    for (const std::string& version : versions) {
        int found = FindVersionLine(sorted, version);
        for (int i = 0; i < (found < 0 ? n : found); ++i)
            FUZZ_CHECK(!SameVersion(sorted[i].version, version));
        if (found >= 0)
            FUZZ_CHECK(SameVersion(sorted[found].version, version));
    }
    return 0;
}
