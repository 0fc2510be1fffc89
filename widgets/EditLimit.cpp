#include "widgets/EditLimit.h"

#include <algorithm>
#include <vector>

namespace ui {

namespace {

// Byte offsets where characters start, with the end of the text.
std::vector<bool> boundaries(const std::string& text) {
    std::vector<bool> starts(text.size() + 1, false);
    size_t i = 0;
    while (i < text.size()) {
        starts[i] = true;
        i = kel::NextCharacter(text, i);
    }
    starts[text.size()] = true;
    return starts;
}

// Length of the common start of a and b, ending on a character boundary of both.
size_t commonPrefix(const std::string& a, const std::string& b) {
    size_t i = 0, boundary = 0;
    std::vector<bool> startsA = boundaries(a), startsB = boundaries(b);
    while (i < a.size() && i < b.size() && a[i] == b[i]) {
        ++i;
        if (startsA[i] && startsB[i])
            boundary = i;
    }
    return boundary;
}

// Length of the common end of a and b after prefix, starting on a character
// boundary of both.
size_t commonSuffix(const std::string& a, const std::string& b, size_t prefix) {
    size_t most = std::min(a.size(), b.size()) - prefix, length = 0;
    while (length < most && a[a.size() - 1 - length] == b[b.size() - 1 - length])
        ++length;
    std::vector<bool> startsA = boundaries(a), startsB = boundaries(b);
    while (length > 0 && !(startsA[a.size() - length] && startsB[b.size() - length]))
        --length;
    return length;
}

} // namespace

LimitedEdit LimitTypedText(const std::string& before, const std::string& after, size_t limitBytes) {
    if (after.size() <= limitBytes)
        return {after, after.size()};
    size_t prefix = commonPrefix(before, after);
    size_t suffix = commonSuffix(before, after, prefix);
    size_t kept = prefix + suffix;
    size_t room = limitBytes > kept ? limitBytes - kept : 0;
    std::string inserted =
        kel::CutToBytes(after.substr(prefix, after.size() - suffix - prefix), room);
    return {before.substr(0, prefix) + inserted + before.substr(before.size() - suffix),
            prefix + inserted.size()};
}

} // namespace ui
