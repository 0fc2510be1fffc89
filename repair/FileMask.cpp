#include "repair/FileMask.h"

#include "sysinfo/TextRules.h"

#include <cstring>

namespace kel {

namespace {

// The bytes of the character at s: 2 for a lead byte with its trail byte, else 1.
size_t widthAt(const char* s) {
    return IsSjisLeadByte(static_cast<unsigned char>(*s)) && s[1] != '\0' ? 2 : 1;
}

bool matches(const char* name, const char* mask) {
    for (;;) {
        if (*mask == '\0')
            return *name == '\0';
        if (*mask == '*') {
            for (const char* rest = name;; rest += widthAt(rest)) {
                if (matches(rest, mask + 1))
                    return true;
                if (*rest == '\0')
                    return false;
            }
        }
        if (*name == '\0')
            return std::strcmp(mask, ".*") == 0; // "*.*" fits a name without a dot
        size_t width = widthAt(name);
        if (*mask == '?') {
            name += width;
            ++mask;
            continue;
        }
        if (widthAt(mask) != width || std::memcmp(name, mask, width) != 0)
            return false;
        name += width;
        mask += width;
    }
}

} // namespace

bool MatchesMask(const std::string& name, const std::string& mask) {
    // A NUL ends a file name: nothing after one can belong to it.
    return matches(AsciiLower(name).c_str(), AsciiLower(mask).c_str());
}

} // namespace kel
