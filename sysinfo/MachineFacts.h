// The facts of the machine and the account that a fleet's report carries. Each is
// empty when the system does not tell it.
#pragma once

#include "sysinfo/StartRules.h"

#include <optional>
#include <string>

namespace kel {

struct TMachineFacts {
    std::optional<std::wstring> computerName;
    std::optional<std::wstring> userName;        // "DOMAIN\user" of the program's account
    std::optional<std::wstring> sessionUserName; // "DOMAIN\user" signed in at the desk
    std::optional<unsigned long> sessionId;
    std::optional<bool> elevated;
    std::optional<std::string> windowsVersion; // "10.0.22631": the real one, not a shim's
    std::optional<std::string> windowsEdition; // "Professional", as the registry says it
    std::optional<std::string> architecture;   // Windows's own: "x86", "x64" or "arm64"
    std::optional<std::string> time;           // now, UTC: "2026-12-09T08:07:17Z"
};

TMachineFacts ReadMachineFacts();

// The Windows the program runs on, as the kernel reports it (all 0 when it does
// not); tests put another there.
extern TWindowsVersion (*gWindowsVersion)();

// The name of a machine type (IMAGE_FILE_MACHINE_I386, _AMD64, _ARM64); empty for
// any other.
std::optional<std::string> ArchitectureName(unsigned short machine);

// "YYYY-MM-DDThh:mm:ssZ".
std::string IsoUtcTime(int year, int month, int day, int hour, int minute, int second);

} // namespace kel
