// Functions of the system libraries that are not among Windows' known DLLs
// (version.dll, wtsapi32.dll). Such a library named in the import table is looked
// for in the program's own folder first, where a planted copy would run with the
// program's rights (an elevated one's too); these are loaded at their first use from
// the system folder only.
#pragma once

#include <windows.h>

#include <string>

namespace kel {

// The system folder ("C:\Windows\System32"); empty when the system does not tell it.
std::wstring SystemFolder();

// The address of a function of a library of the system folder; nullptr when the
// library or the function is not there.
FARPROC SystemFunctionAddress(const wchar_t* library, const char* function);

template <typename Function>
Function* SystemFunction(const wchar_t* library, const char* function) {
    return reinterpret_cast<Function*>(
        reinterpret_cast<void*>(SystemFunctionAddress(library, function)));
}

// Where the program looks for the libraries it loads, and those loaded for them:
// the system folder only (where the system can be told so; Windows 7 and later, and
// Vista with its update).
void LoadLibrariesFromSystemFolderOnly();

} // namespace kel
