// Whether a folder or file may be used by an elevated or SYSTEM process: only when no
// standard user could have written it or can change it. Judged from plain values read
// from its security descriptor; no platform calls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kel {

// One entry of an access list (DACL).
struct TAccessEntry {
    bool allow;       // false for a deny entry, which never grants a right
    std::string sid;  // "S-1-5-32-545"
    uint32_t mask;    // the rights as the entry holds them, generic ones unmapped
    bool inheritOnly; // passed on to what the folder will hold, not applied to itself
};

struct TSecurityFacts {
    std::string ownerSid;
    bool hasAccessList; // false for a NULL DACL, which grants everyone everything
    std::vector<TAccessEntry> entries;
    bool reparsePoint; // a link or junction: its name may lead anywhere
};

enum class TTrust { Trusted, ReparsePoint, OwnerNotTrusted, NoAccessList, WritableByOthers };

// Trusted when the object is no reparse point, its owner is SYSTEM, Administrators,
// TrustedInstaller or ownSid, and its access list allows no one else a right that
// writes it or takes it over, on itself or on what it will hold (CREATOR OWNER's
// grants the maker); else the first reason in that order. ownSid (empty for none)
// stands in for the administrators where the system keeps no owners of its own.
// SIDs are compared without regard to letter case.
TTrust JudgeAdminOnly(const TSecurityFacts& facts, const std::string& ownSid = {});

// Whether a folder above the program's folder may stand: no reparse point, owned as
// above, and no other account may delete or rename what it holds or change the
// folder's rules or owner (making files and folders of its own is allowed, as every
// drive's root allows it). Entries passed on only to what it holds are judged there.
TTrust JudgeAncestor(const TSecurityFacts& facts, const std::string& ownSid = {});

// A full program path taken apart: its root ("C:\", "\\server\share\", or either
// after "\\?\"), the folders from there down, the file. Nothing for a path that is
// not full or has a step that is empty, "." or "..", holds "/" or ":", or ends with a
// dot or a space.
struct TProgramPath {
    std::wstring root;
    std::vector<std::wstring> folders;
    std::wstring file;
};
std::optional<TProgramPath> SplitProgramPath(const std::wstring& path);

// Why an object judged so is not used, as a sentence (code page 932); empty for
// Trusted.
const char* UntrustedReason(TTrust verdict);

} // namespace kel
