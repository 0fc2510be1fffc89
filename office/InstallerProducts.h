// Office 2007 and later installed by Windows Installer in the registry view that
// is not the program's own: 64-bit Office for the 32-bit program on 64-bit Windows.
#pragma once

#include "sysinfo/Registry.h"

namespace kel {

// Appends a VerList line for every Uninstall entry of the other view (see
// OtherRegView) that is named by a product code, has a display name containing
// "Microsoft Office" and a VersionMajor of 12 to 16, and whose version's install
// root in that view holds an Office program. Without a ProductID in the entry, the
// line takes the one of "Office\<version>\Registration\<code>" of that view, since
// the later product ID sources are read in the program's own view. Entries whose
// product code the list has already are passed over. Does nothing on 32-bit Windows.
void AppendOtherViewInstallerProducts(StringList& list);

} // namespace kel
