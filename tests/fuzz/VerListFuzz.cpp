// The VerList line split and its columns, and the product-code form.
#include "office/VerList.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>

using namespace kel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string line(reinterpret_cast<const char*>(data), size);
    StringList columns = SplitVerListLine(line);
    FUZZ_CHECK(columns.size() ==
               static_cast<size_t>(std::count(line.begin(), line.end(), '\t')) + 1);
    std::string joined;
    for (size_t i = 0; i < columns.size(); ++i) {
        FUZZ_CHECK(columns[i].find('\t') == std::string::npos);
        joined += (i ? "\t" : "") + columns[i];
    }
    FUZZ_CHECK(joined == line); // every column keeps its place, empty or not
    for (int column = kColVersion; column <= kColPath + 2; ++column) {
        std::string expected =
            column < static_cast<int>(columns.size()) ? columns[column] : std::string();
        FUZZ_CHECK(VerListColumnOf(line, column) == expected);
    }
    FUZZ_CHECK(VerListColumnOf(line, -1).empty());

    // A product code is exactly the braced GUID form, and such a code packs fully.
    if (IsProductCode(line)) {
        FUZZ_CHECK(line.size() == 38 && line.front() == '{' && line.back() == '}');
        FUZZ_CHECK(PackProductCode(line).size() == 32);
    }
    return 0;
}
