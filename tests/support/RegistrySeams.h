// The tests' registry seams: when set, called with every key path just before the
// key is opened or created for writing, and with every key a tree deletion is about
// to delete. A test sets one to change the registry at that moment, as when a
// profile is unloaded or another writer puts a sub-key back meanwhile.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

extern void (*gBeforeRegWriteOpen)(HKEY root, const std::string& keyPath);
extern void (*gBeforeRegKeyDelete)(HKEY parent, const std::wstring& name);

// How moves are made: as the program makes them on this system (by a copy under
// Wine), by a copy as on a system without RegRenameKey, or by the platform's rename
// wherever advapi32 has one. Wine's RegRenameKey puts the key over the next sibling
// when the new name sorts right after the old one in its order (lower case, "_"
// before letters): a test that renames with it keeps a sibling between the names.
enum class RenameWay { AsTheProgram, Copy, Platform };
extern RenameWay gRenameWay;

// Sets gRenameWay for its lifetime.
struct RenameWayFor {
    explicit RenameWayFor(RenameWay way) { gRenameWay = way; }
    ~RenameWayFor() { gRenameWay = RenameWay::AsTheProgram; }
    RenameWayFor(const RenameWayFor&) = delete;
    RenameWayFor& operator=(const RenameWayFor&) = delete;
};

} // namespace testing_support
