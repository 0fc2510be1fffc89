// The information report's text read back into its facts, and their comparison
// with the JSON report's.
#pragma once

#include "tests/support/Json.h"

#include <map>
#include <string>
#include <vector>

namespace testing_support {

struct MemoFacts {
    std::map<std::string, std::string> fields; // "Product.FileVersion" -> value (code page 932)
    std::vector<std::string> verList;
    std::vector<std::string> userInfo; // name=value
};

// Reads the framed blocks; throws std::runtime_error when a frame does not close,
// a line does not end with CR LF or the user-information line is missing.
MemoFacts readMemo(const std::string& text);

// Every fact of the memo that the JSON document holds differently (or lacks), as
// readable lines; empty when they agree. A CR or LF of a JSON value is a space in
// the memo.
std::vector<std::string> compareFacts(const MemoFacts& memo, const JsonValue& json);

// The text with the numbers of its IconHandle lines removed: icon handles are the
// reporting process's own.
std::string withoutIconHandles(const std::string& text);

// Code page 932 text as UTF-8.
std::string utf8FromCp932(const std::string& text);

} // namespace testing_support
