// The user-information rules: trimming, the value an edit field stands for, and
// the list of name=value lines.
#include "office/UserInfoList.h"
#include "tests/fuzz/FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <map>

using namespace kel;

namespace {

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

void checkTrim(const std::string& text) {
    std::string trimmed = TrimBlanks(text);
    size_t at = text.find(trimmed);
    FUZZ_CHECK(at != std::string::npos);
    if (trimmed.empty()) {
        for (char c : text)
            FUZZ_CHECK(isBlank(c));
        return;
    }
    FUZZ_CHECK(!isBlank(trimmed.front()) && !isBlank(trimmed.back()));
    for (size_t i = 0; i < text.size(); ++i) { // only blanks were cut, at both ends
        bool inside = i >= at && i < at + trimmed.size();
        if (!inside)
            FUZZ_CHECK(isBlank(text[i]));
    }
    FUZZ_CHECK(TrimBlanks(trimmed) == trimmed);
}

// Nothing but blanks and whole full-width spaces (0x81 0x40).
bool onlySpaces(const std::string& text) {
    std::vector<bool> starts = fuzz::CharacterStarts(text);
    for (size_t i = 0; i < text.size(); ++i) {
        if (!starts[i])
            continue;
        bool wideSpace = text.compare(i, 2, "\x81\x40") == 0;
        if (!wideSpace && !isBlank(text[i]))
            return false;
        if (!wideSpace && fuzz::IsLead(static_cast<unsigned char>(text[i])))
            return false;
    }
    return true;
}

void checkEditedValue(const std::string& text) {
    std::string value = EditedValue(text);
    FUZZ_CHECK(value.empty() || value == TrimBlanks(text));
    FUZZ_CHECK(value.empty() == onlySpaces(TrimBlanks(text)));
}

void checkList(FuzzedDataProvider& input) {
    static const char* const kNames[] = {"Company", "Owner", "Initials", "Own", "C"};
    TUserInfoList list;
    std::map<std::string, std::string> expected;
    std::vector<std::string> order;
    while (input.remaining_bytes() > 0) {
        std::string name = kNames[input.ConsumeIntegralInRange<size_t>(0, 4)];
        std::string value = input.ConsumeRandomLengthString(6);
        list.SetValue(name, value);
        if (value.empty()) {
            expected.erase(name);
            order.erase(std::remove(order.begin(), order.end(), name), order.end());
        } else {
            if (!expected.count(name))
                order.push_back(name);
            expected[name] = value;
        }
        std::string text;
        for (const std::string& kept : order)
            text += kept + "=" + expected[kept] + "\r\n";
        for (const char* known : kNames)
            FUZZ_CHECK(list.Value(known) == (expected.count(known) ? expected[known] : ""));
        FUZZ_CHECK(list.Lines.size() == order.size());
        FUZZ_CHECK(list.Text() == text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::string text = input.ConsumeRandomLengthString(64);
    checkTrim(text);
    checkEditedValue(text);
    checkList(input);
    return 0;
}
