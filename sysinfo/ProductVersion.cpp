#include "sysinfo/ProductVersion.h"

namespace kel {

std::string MajorVersionOf(const std::string& productVersion) {
    size_t first = productVersion.find('.');
    if (first == std::string::npos)
        return {};
    size_t second = productVersion.find('.', first + 1);
    return second == std::string::npos ? std::string() : productVersion.substr(0, second);
}

} // namespace kel
