// Windows Installer's registry data: the Office products it installed, in the
// program's own registry view and in the other one (64-bit Office for the 32-bit
// program on 64-bit Windows, 32-bit Office for the 64-bit program), and its
// per-user product data.
#pragma once

#include "office/VerList.h"
#include "sysinfo/Registry.h"

#include <string>
#include <vector>

namespace kel {

// The installer's per-user product data. The Windows Installer service is a 64-bit
// program on 64-bit Windows and keeps this key in the 64-bit view only, whatever
// the product's bitness; on 32-bit Windows the one view is that view.
extern const char kInstallerUserData[];
constexpr RegView kInstallerView = RegView::Bits64;

// The "InstallProperties" key of a product (packed code) under one installer user.
std::string InstallPropertiesKey(const std::string& user, const std::string& packedCode);

// Appends a candidate for every Uninstall entry of the program's own view that is
// named by a product code, has a display name containing "Microsoft Office" and a
// VersionMajor, and whose version's install root holds an Office program; then, on
// 64-bit Windows, the same for the other view (see OtherRegView), where only
// VersionMajor 12 to 16 (Office 2007 to 2016) counts, a code listed already is
// passed over, and a line without the entry's ProductID takes the one of
// "Office\<version>\Registration\<code>" of that view, since the later product ID
// sources are read in the program's own view.
// An entry marked SystemComponent = 1 is a component unless it is the suite: its
// view holds "Office\<version>\Registration\<code>", or a shown entry not named by
// a product code (its setup's) that bears the same name.
void AppendInstallerProducts(std::vector<ProductCandidate>& list);

} // namespace kel
