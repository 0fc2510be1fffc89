// The list of strings that listings and inventories hand around.
#pragma once

#include <string>
#include <vector>

namespace kel {

using StringList = std::vector<std::string>;

} // namespace kel
