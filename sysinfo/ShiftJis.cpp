#include "sysinfo/ShiftJis.h"

namespace kel {

std::string CutToBytes(const std::string& text, size_t maxBytes) {
    size_t end = 0;
    while (end < text.size()) {
        size_t next = NextCharacter(text, end);
        if (next > maxBytes)
            break;
        end = next;
    }
    return text.substr(0, end);
}

} // namespace kel
