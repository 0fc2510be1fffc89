// Icons made by the tests.
#pragma once

#include <windows.h>

namespace testing_support {

// A 32 x 32 icon of one colour, all opaque; the caller destroys it.
HICON solidIcon(COLORREF colour);

} // namespace testing_support
