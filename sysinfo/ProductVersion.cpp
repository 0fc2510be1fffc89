#include "sysinfo/ProductVersion.h"

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

// Reads [-]digits[.digits] (either side may be empty, not both) by hand: the
// library's floating-point reader is 40 KB of the program. The first 18 significant
// digits count, which reads every version exactly and orders decimals as written.
bool ParseVersion(const std::string& text, double& version) {
    const unsigned long long kPrecise = 100000000000000000ULL; // 10^17
    size_t i = !text.empty() && text[0] == '-' ? 1 : 0;
    unsigned long long digits = 0;
    int exponent = 0;
    bool anyDigit = false, afterPoint = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c == '.' && !afterPoint) {
            afterPoint = true;
            continue;
        }
        if (c < '0' || c > '9')
            return false;
        anyDigit = true;
        if (digits < kPrecise) {
            digits = digits * 10 + static_cast<unsigned>(c - '0');
            exponent -= afterPoint;
        } else {
            exponent += !afterPoint;
        }
    }
    if (!anyDigit)
        return false;
    double scale = std::pow(10.0, std::abs(exponent));
    double value = exponent < 0 ? digits / scale : digits * scale;
    // Out of range either way: too large to hold, or a non-zero too small to hold.
    if (!std::isfinite(value) || (value == 0 && digits != 0))
        return false;
    version = text[0] == '-' ? -value : value;
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
