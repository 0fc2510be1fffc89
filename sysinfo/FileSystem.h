// File and folder existence tests on ANSI paths; files removed to the Recycle Bin.
#pragma once

#include <string>

namespace kel {

bool FileExists(const std::string& path);      // an existing file, not a folder
bool FileExists(const std::wstring& path);     // the same, for a path in UTF-16
bool DirectoryExists(const std::string& path); // an existing folder

// Removes a file (a full path) to the Recycle Bin where its volume has one, asking
// and showing nothing; elsewhere the shell deletes it. A read-only file stays, as a
// deletion would leave it, and so does one the shell can't remove. True when the
// file is gone.
bool RecycleFile(const std::wstring& path);

} // namespace kel
