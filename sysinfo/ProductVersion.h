// The rules over version texts: a product's ("11.0.5604"), an Office version
// ("11.0") and a Click-to-Run release's ("16.0.17029.20108"). No platform calls.
#pragma once

#include <string>

namespace kel {

// The text before the second "." of a product version ("11.0.5604" gives "11.0");
// empty when there are fewer than two dots.
std::string MajorVersionOf(const std::string& productVersion);

// A version such as "11.0" as a decimal number ([-]digits[.digits]); false, with
// version untouched, when the text is empty, is no such number (no sign "+", blank,
// exponent, "inf" or "nan") or its first digit lies beyond the 10^300 or the 10^-300
// place.
bool ParseVersion(const std::string& text, double& version);
// True when both parse and are numerically equal; a version that does not parse
// equals nothing.
bool SameVersion(const std::string& a, const std::string& b);

// The leading decimal number of a version text ("16.0.17029.20108" gives 16); -1
// when the text does not start with a digit or the number is out of range.
int VersionMajorNumber(const std::string& version);

} // namespace kel
