#include "sysinfo/Text.h"

namespace kel {

std::string AfterLastPathDelimiter(const std::string& path) {
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsSjisLeadByte(c))
            ++i; // the trail byte belongs to this character
        else if (c == '\\' || c == ':')
            start = i + 1;
    }
    return path.substr(start);
}

} // namespace kel
