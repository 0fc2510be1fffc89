// File name masks, applied to names exactly as the folder listing gives them.
#pragma once

#include <string>

namespace kel {

// Whether a long file name fits a mask of "*" and "?" ("?" stands for one UTF-16
// unit, ASCII letter case is ignored); a final ".*" also fits a name without a dot.
bool MatchesMask(const std::wstring& name, const std::wstring& mask);

} // namespace kel
