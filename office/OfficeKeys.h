// The registry paths of Office and of the Windows list of installed programs,
// each written once. Office's keys are the same under HKEY_LOCAL_MACHINE, a user's
// hive and HKEY_CURRENT_USER; no platform calls.
#pragma once

#include <string>

namespace kel {

// The list of installed programs (HKLM), one entry per product.
inline constexpr char kUninstallKey[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// kUninstallKey + "\" + the entry's name (a product code, "O365ProPlusRetail - ja-jp").
std::string UninstallEntryKey(const std::string& entryName);

// Office's own key, and a key below it ("ClickToRun\Configuration").
inline constexpr char kOfficeKey[] = "\\Software\\Microsoft\\Office";
std::string OfficeKey(const std::string& below);
// The key of one version ("11.0") and below it ("Common\General").
std::string OfficeVersionKey(const std::string& version, const std::string& below);

// HKLM "\Software\Microsoft\Office\<version>\Common\InstallRoot", whose value
// "Path" is the folder of that version's programs.
std::string InstallRootKey(const std::string& version);

} // namespace kel
