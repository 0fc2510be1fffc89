#include "sysinfo/SystemLibrary.h"

#include "sysinfo/Handle.h"

#include <map>
#include <string>

namespace kel {

namespace {

using Module = ScopedHandle<NullTraits<HMODULE, FreeLibrary>>;

// A library loaded by its full path in the system folder, once, for the program's
// life.
HMODULE systemLibrary(const wchar_t* library) {
    static std::map<std::wstring, Module> loaded;
    auto found = loaded.find(library);
    if (found != loaded.end())
        return found->second.get();
    // The library and what it loads from the system folder only; where the system
    // does not know that flag (Vista without its update), by the library's full path.
    HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    std::wstring folder = module != nullptr ? std::wstring() : SystemFolder();
    if (module == nullptr && !folder.empty())
        module = LoadLibraryExW((folder + L"\\" + library).c_str(), nullptr,
                                LOAD_WITH_ALTERED_SEARCH_PATH);
    return loaded.emplace(library, Module(module)).first->second.get();
}

} // namespace

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH] = {};
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(folder, length) : std::wstring();
}

FARPROC SystemFunctionAddress(const wchar_t* library, const char* function) {
    HMODULE module = systemLibrary(library);
    return module != nullptr ? GetProcAddress(module, function) : nullptr;
}

void LoadLibrariesFromSystemFolderOnly() {
    using SetDirectories = BOOL WINAPI(DWORD);
    auto* set = reinterpret_cast<SetDirectories*>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (set == nullptr || !set(LOAD_LIBRARY_SEARCH_SYSTEM32))
        SetDllDirectoryW(L""); // at least never the current folder
}

} // namespace kel
