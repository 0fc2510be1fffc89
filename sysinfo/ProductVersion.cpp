#include "sysinfo/ProductVersion.h"

#include <climits>

namespace kel {

std::string MajorVersionOf(const std::string& productVersion) {
    size_t first = productVersion.find('.');
    if (first == std::string::npos)
        return {};
    size_t second = productVersion.find('.', first + 1);
    return second == std::string::npos ? std::string() : productVersion.substr(0, second);
}

namespace {

// 10^0 to 10^22: every one a double exactly.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxPower = 22;
// The decimal exponents a version may have; far past any version, well inside a
// double, so that no build overflows or underflows on the way.
constexpr int kExponentLimit = 300;

double scaled(double value, int exponent) {
    for (; exponent > kMaxPower; exponent -= kMaxPower)
        value *= kPowersOfTen[kMaxPower];
    for (; exponent < -kMaxPower; exponent += kMaxPower)
        value /= kPowersOfTen[kMaxPower];
    return exponent < 0 ? value / kPowersOfTen[-exponent] : value * kPowersOfTen[exponent];
}

} // namespace

// Reads [-]digits[.digits] (either side may be empty, not both) by hand, without the
// library's floating-point reader. The first 18 significant digits count, as an
// integer and a power of ten without trailing zeros, so that equal decimals ("11.0",
// "11") read alike on every build. A version of up to 15 digits and 22 decimal places
// reads as the nearest double (on a build that divides in x87 registers, as one of
// the two nearest): distinct versions stay distinct, and in order. A number whose
// first digit lies beyond the 10^300 or the 10^-300 place is refused.
bool ParseVersion(const std::string& text, double& version) {
    const unsigned long long kPrecise = 100000000000000000ULL; // 10^17
    size_t i = !text.empty() && text[0] == '-' ? 1 : 0;
    unsigned long long digits = 0;
    int significant = 0, exponent = 0;
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
            significant += digits != 0;
            exponent -= afterPoint;
        } else if (!afterPoint && exponent <= kExponentLimit) {
            ++exponent;
        }
        if (exponent < -kExponentLimit - 18)
            exponent = -kExponentLimit - 18; // a fraction too long to matter
    }
    if (!anyDigit)
        return false;
    // The power of ten of the first significant digit.
    int magnitude = significant + exponent - 1;
    if (digits != 0 && (magnitude > kExponentLimit || magnitude < -kExponentLimit))
        return false;
    for (; digits != 0 && digits % 10 == 0; digits /= 10)
        ++exponent;
    double value = scaled(static_cast<double>(digits), exponent);
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
