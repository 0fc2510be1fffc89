// The test bench's throwaway Wine prefix carries a marker; programs that write to
// HKLM, HKCR and HKU run only where they find it.
#pragma once

namespace testing_support {

bool InMarkedPrefix();

} // namespace testing_support
