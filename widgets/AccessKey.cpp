#include "widgets/AccessKey.h"

#include "sysinfo/ShiftJis.h"

namespace ui {

namespace {

bool isAsciiAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

// "&" (0x26) is never a byte of a double-byte character in code page 932, so a byte
// scan finds the same markers as a character scan.
char AccessKeyOf(const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        char next = caption[i + 1];
        if (next == '&') {
            ++i;
            continue;
        }
        return isAsciiAlnum(next) ? kel::AsciiUpperChar(next) : 0;
    }
    return 0;
}

bool IsAccessKey(char key, const std::string& caption) {
    char accessKey = AccessKeyOf(caption);
    return accessKey != 0 && isAsciiAlnum(key) && kel::AsciiUpperChar(key) == accessKey;
}

} // namespace ui
