// The product lines built from machine data, their text, and the product codes.
#include "office/VerList.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>

using namespace kel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);

    // Five fields of any bytes (cut at the input's NUL bytes) give one line of six
    // columns: each field keeps its length and its place.
    std::string fields[5];
    size_t start = 0;
    for (std::string& field : fields) {
        size_t end = std::min(input.find('\0', start), input.size());
        field = input.substr(std::min(start, input.size()), end - std::min(start, input.size()));
        start = end + 1;
    }
    TProductLine line = MakeProductLine(11, fields[0], fields[1], fields[2], fields[3], fields[4]);
    std::string text = line.Text();
    FUZZ_CHECK(std::count(text.begin(), text.end(), '\t') == 5);
    FUZZ_CHECK(text.find_first_of("\r\n") == std::string::npos);
    size_t at = text.find('\t') + 1;
    for (int i = 0; i < 5; ++i) {
        size_t end = std::min(text.find('\t', at), text.size());
        FUZZ_CHECK(end - at == fields[i].size());
        at = end + 1;
    }
    FUZZ_CHECK(text.compare(0, 5, "11.0\t") == 0);

    // A product code is exactly the braced GUID form, and such a code packs fully.
    if (IsProductCode(input)) {
        FUZZ_CHECK(input.size() == 38 && input.front() == '{' && input.back() == '}');
        FUZZ_CHECK(PackProductCode(input).size() == 32);
    }
    return 0;
}
