// Whether a folder or file may be used by an elevated or SYSTEM process: only when no
// standard user could have written it or can change it. Judged from plain values read
// from its security descriptor; no platform calls.
#pragma once

#include <cstdint>
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

// Why an object judged so is not used, as a sentence (code page 932); empty for
// Trusted.
const char* UntrustedReason(TTrust verdict);

} // namespace kel
