#include "tests/support/Prefix.h"

#include "tests/support/ScratchKey.h"

namespace testing_support {

bool InMarkedPrefix() {
    return valueExists(HKEY_LOCAL_MACHINE, "\\Software\\Wexdal Test Bench", "Throwaway");
}

} // namespace testing_support
