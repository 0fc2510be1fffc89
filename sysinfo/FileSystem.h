// File and folder existence tests on ANSI paths; files removed to the Recycle Bin.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kel {

bool FileExists(const std::string& path);      // an existing file, not a folder
bool FileExists(const std::wstring& path);     // the same, for a path in UTF-16
bool DirectoryExists(const std::string& path); // an existing folder
// The running program's file, by its full name (empty when it can't be read).
std::wstring OwnProgramPath();

// Removes the files (full paths) to the Recycle Bin in one call of the shell. A
// file the bin can't take (on a volume without one, one set to delete at once, or
// larger than its bin) is never deleted for good unasked: with an owner window the
// shell asks the user whether to delete it, and without one it stays, as does a
// read-only file and one the shell can't remove. Returns how many of the files are
// still there afterwards. Tests put one there that records the calls.
extern size_t (*gRecycleFiles)(const std::vector<std::wstring>& files, void* ownerWindow);

// The window a removal's question belongs to (the main window); none in a command,
// where a file the bin can't take stays and is counted.
extern void* gRecycleOwner;

} // namespace kel
