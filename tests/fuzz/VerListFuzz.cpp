// The VerList line split and its columns, and the lines built from machine data.
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

    // Five fields of any bytes (cut at the input's NUL bytes) give six columns and
    // one line.
    std::string fields[5];
    size_t start = 0;
    for (std::string& field : fields) {
        size_t end = std::min(line.find('\0', start), line.size());
        field = line.substr(std::min(start, line.size()), end - std::min(start, line.size()));
        start = end + 1;
    }
    std::string built =
        FormatVerListLine(11, fields[0], fields[1], fields[2], fields[3], fields[4]);
    StringList builtColumns = SplitVerListLine(built);
    FUZZ_CHECK(builtColumns.size() == 6);
    FUZZ_CHECK(built.find_first_of("\r\n") == std::string::npos);
    for (int i = 0; i < 5; ++i)
        FUZZ_CHECK(builtColumns[i + 1].size() == fields[i].size());

    // A product code is exactly the braced GUID form, and such a code packs fully.
    if (IsProductCode(line)) {
        FUZZ_CHECK(line.size() == 38 && line.front() == '{' && line.back() == '}');
        FUZZ_CHECK(PackProductCode(line).size() == 32);
    }
    return 0;
}
