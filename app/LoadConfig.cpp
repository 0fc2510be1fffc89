// The program's load configuration: the system loads the DLLs that its own DLLs
// import on its behalf from the system folder only (DependentLoadFlags), never from
// the program's folder, from the first instruction on. The rest of the directory is
// left empty: no security cookie, no handler table, no guard tables.
#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace {

// The directory's layout up to its SEH handler count, as the loader of 32-bit and
// 64-bit programs reads it; DependentLoadFlags stands where older headers keep a
// reserved word.
struct LoadConfigDirectory {
    uint32_t size;
    uint32_t timeDateStamp;
    uint16_t majorVersion, minorVersion;
    uint32_t globalFlagsClear, globalFlagsSet;
    uint32_t criticalSectionDefaultTimeout;
    uintptr_t deCommitFreeBlockThreshold, deCommitTotalFreeThreshold;
    uintptr_t lockPrefixTable;
    uintptr_t maximumAllocationSize, virtualMemoryThreshold;
#ifdef _WIN64
    uintptr_t processAffinityMask;
    uint32_t processHeapFlags;
#else
    uint32_t processHeapFlags;
    uintptr_t processAffinityMask;
#endif
    uint16_t csdVersion;
    uint16_t dependentLoadFlags;
    uintptr_t editList, securityCookie, seHandlerTable, seHandlerCount;
};

#ifdef _WIN64
static_assert(offsetof(LoadConfigDirectory, dependentLoadFlags) == 0x4E);
#else
static_assert(offsetof(LoadConfigDirectory, dependentLoadFlags) == 0x36);
#endif

} // namespace

// The linker points the image's load configuration entry at this name.
extern "C" const LoadConfigDirectory _load_config_used = {
    sizeof(LoadConfigDirectory),  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    LOAD_LIBRARY_SEARCH_SYSTEM32, 0, 0, 0, 0};
