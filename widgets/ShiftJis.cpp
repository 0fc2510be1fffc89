#include "widgets/ShiftJis.h"

namespace ui {

std::string CutToBytes(const std::string& text, size_t maxBytes) {
    size_t end = 0;
    while (end < text.size()) {
        size_t width = IsSjisLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + width > maxBytes)
            break;
        end += width;
    }
    return text.substr(0, end);
}

} // namespace ui
