// Windows Installer's registry data: Office 2007 and later installed in the
// registry view that is not the program's own (64-bit Office for the 32-bit program
// on 64-bit Windows), and the installer's per-user product data.
#pragma once

#include "sysinfo/Registry.h"

#include <string>

namespace kel {

// The installer's per-user product data. The Windows Installer service is a 64-bit
// program on 64-bit Windows and keeps this key in the 64-bit view only, whatever
// the product's bitness; on 32-bit Windows the one view is that view.
extern const char kInstallerUserData[];
constexpr RegView kInstallerView = RegView::Bits64;

// The "InstallProperties" key of a product (packed code) under one installer user.
std::string InstallPropertiesKey(const std::string& user, const std::string& packedCode);

// Appends a VerList line for every Uninstall entry of the other view (see
// OtherRegView) that is named by a product code, has a display name containing
// "Microsoft Office" and a VersionMajor of 12 to 16, and whose version's install
// root in that view holds an Office program. Without a ProductID in the entry, the
// line takes the one of "Office\<version>\Registration\<code>" of that view, since
// the later product ID sources are read in the program's own view. Entries whose
// product code the list has already are passed over. Does nothing on 32-bit Windows.
void AppendOtherViewInstallerProducts(StringList& list);

} // namespace kel
