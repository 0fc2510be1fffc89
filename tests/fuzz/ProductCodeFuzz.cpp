// Packing of product codes: the packed form of a braced code unpacks to it again.
#include "office/VerList.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>

using namespace kel;

namespace {

const size_t kGroups[] = {8, 4, 4, 4, 12};

// The braced code of a packed one: the first three groups reversed, the rest of it
// in swapped pairs.
std::string unpack(const std::string& packed) {
    std::string code = "{";
    size_t at = 0;
    for (int group = 0; group < 5; ++group) {
        std::string part = packed.substr(at, kGroups[group]);
        at += kGroups[group];
        if (group < 3)
            std::reverse(part.begin(), part.end());
        else
            for (size_t i = 0; i + 1 < part.size(); i += 2)
                std::swap(part[i], part[i + 1]);
        code += part + (group < 4 ? "-" : "}");
    }
    return code;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string raw(reinterpret_cast<const char*>(data), size);
    std::string packed = PackProductCode(raw);
    FUZZ_CHECK(packed.size() <= 32);
    FUZZ_CHECK(packed == PackProductCode(raw.substr(0, 38))); // only 38 characters count
    if (raw.size() >= 38) {
        FUZZ_CHECK(packed.size() == 32);
        FUZZ_CHECK(PackProductCode(raw + "tail") == packed);
    }
    for (char c : packed)
        FUZZ_CHECK(raw.find(c) != std::string::npos);

    // Any 32 characters placed in the braced form round-trip.
    std::string digits = raw.substr(0, 32);
    digits.resize(32, '0');
    std::string code = unpack(digits);
    FUZZ_CHECK(code.size() == 38);
    FUZZ_CHECK(PackProductCode(code) == digits);
    FUZZ_CHECK(unpack(PackProductCode(code)) == code);
    // A shorter code packs to a prefix of the whole code's packing, or to nothing.
    for (size_t length = 0; length < 38; length += 7) {
        std::string part = PackProductCode(code.substr(0, length));
        FUZZ_CHECK(digits.compare(0, part.size(), part) == 0);
    }
    return 0;
}
