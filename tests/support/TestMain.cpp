// Entry of every test program. The tests write to HKLM, HKCR and HKU, so they run
// only inside the throwaway Wine prefix that the test bench marks.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

namespace {

bool inMarkedPrefix() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Wexdal Test Bench", 0, KEY_QUERY_VALUE,
                      &key) != ERROR_SUCCESS)
        return false;
    bool marked =
        RegQueryValueExA(key, "Throwaway", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return marked;
}

} // namespace

int main(int argc, char** argv) {
    if (!inMarkedPrefix()) {
        std::fprintf(stderr, "Refusing to run: this is not the test bench's Wine prefix "
                             "(HKLM\\Software\\Wexdal Test Bench\\Throwaway is missing). "
                             "Run the tests through ctest.\n");
        return 2;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
