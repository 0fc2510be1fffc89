// The program's registry seams: they do nothing. Each test program links its own
// definitions before this library, and this file is then never taken in.
#include "sysinfo/Registry.h"

namespace kel {

void BeforeRegWriteOpen(HKEY, const std::string&) {}
void BeforeRegKeyDelete(HKEY, const std::wstring&) {}
RegRenameKeyFunction RegRenameKeyToUse(RegRenameKeyFunction chosen, RegRenameKeyFunction) {
    return chosen;
}

} // namespace kel
