// A strict reader of JSON documents (RFC 8259) for checking what the program
// writes: anything but one well-formed value in valid UTF-8 is refused.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace testing_support {

struct JsonValue {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool boolean = false;
    double number = 0;
    std::string text; // String: UTF-8
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members; // in document order

    bool has(const std::string& name) const;
    // The member's value; throws std::out_of_range when there is none.
    const JsonValue& operator[](const std::string& name) const;
};

// Throws std::runtime_error naming the offset of the first fault.
JsonValue parseJson(const std::string& document);

} // namespace testing_support
