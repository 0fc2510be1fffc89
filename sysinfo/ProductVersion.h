// The rules over a product's version text.
#pragma once

#include <string>

namespace kel {

// The text before the second "." of a product version ("11.0.5604" gives "11.0");
// empty when there are fewer than two dots.
std::string MajorVersionOf(const std::string& productVersion);

} // namespace kel
