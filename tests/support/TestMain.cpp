// Entry of every test program. The tests write to HKLM, HKCR and HKU, so they run
// only inside the throwaway Wine prefix that the test bench marks.
#include "tests/support/Prefix.h"

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (!testing_support::InMarkedPrefix()) {
        std::fprintf(stderr, "Refusing to run: this is not the test bench's Wine prefix "
                             "(HKLM\\Software\\Wexdal Test Bench\\Throwaway is missing). "
                             "Run the tests through ctest.\n");
        return 2;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
