// Whether a long file name fits a mask of "*" and "?".
#pragma once

#include <string>

namespace kel {

// Letter case of ASCII letters is ignored; code page 932 double-byte characters
// count as one character each ("?" takes a whole one, a literal never matches half
// of one). A final ".*" also fits a name without a dot, as "*.*" does on Windows.
bool MatchesMask(const std::string& name, const std::string& mask);

} // namespace kel
