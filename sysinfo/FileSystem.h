// File and folder existence tests on ANSI paths.
#pragma once

#include <string>

namespace kel {

bool FileExists(const std::string& path);      // an existing file, not a folder
bool DirectoryExists(const std::string& path); // an existing folder

} // namespace kel
