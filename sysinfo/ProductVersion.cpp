#include "sysinfo/ProductVersion.h"

#include <charconv>
#include <climits>
#include <cmath>

namespace kel {

std::string MajorVersionOf(const std::string& productVersion) {
    size_t first = productVersion.find('.');
    if (first == std::string::npos)
        return {};
    size_t second = productVersion.find('.', first + 1);
    return second == std::string::npos ? std::string() : productVersion.substr(0, second);
}

bool ParseVersion(const std::string& text, double& version) {
    const char* end = text.data() + text.size();
    double value = 0;
    auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    // from_chars also reads "inf" and "nan", which are no decimal numbers.
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value))
        return false;
    version = value;
    return true;
}

bool SameVersion(const std::string& a, const std::string& b) {
    double x = 0, y = 0;
    return ParseVersion(a, x) && ParseVersion(b, y) && x == y;
}

int VersionMajorNumber(const std::string& version) {
    long long major = 0;
    size_t digits = 0;
    while (digits < version.size() && version[digits] >= '0' && version[digits] <= '9') {
        major = major * 10 + (version[digits] - '0');
        if (major > INT_MAX)
            return -1;
        ++digits;
    }
    return digits == 0 ? -1 : static_cast<int>(major);
}

} // namespace kel
