#include "sysinfo/CommandLine.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace kel;

namespace {

TEST(ExpandEnvVariable, ReadsThePlatformEnvironment) {
    SetEnvironmentVariableA("WEXDAL_TEST_DIR", "C:\\temp\\t");
    std::string s = "%WEXDAL_TEST_DIR%\\";
    ExpandEnvVariable(s);
    EXPECT_EQ(s, "C:\\temp\\t\\");

    SetEnvironmentVariableA("WEXDAL_TEST_DIR", nullptr);
    s = "%WEXDAL_TEST_DIR%\\file";
    ExpandEnvVariable(s);
    EXPECT_EQ(s, "\\file");

    // 259 characters fit the 260-byte buffer with their NUL; 260 do not.
    SetEnvironmentVariableA("WEXDAL_TEST_DIR", std::string(259, 'x').c_str());
    s = "%WEXDAL_TEST_DIR%";
    ExpandEnvVariable(s);
    EXPECT_EQ(s, std::string(259, 'x'));
    SetEnvironmentVariableA("WEXDAL_TEST_DIR", std::string(260, 'x').c_str());
    s = "%WEXDAL_TEST_DIR%\\y";
    ExpandEnvVariable(s);
    EXPECT_EQ(s, "\\y");
    SetEnvironmentVariableA("WEXDAL_TEST_DIR", nullptr);

    char temp[MAX_PATH];
    GetEnvironmentVariableA("TEMP", temp, MAX_PATH);
    s = "%TEMP%\\";
    ExpandEnvVariable(s);
    EXPECT_EQ(s, std::string(temp) + "\\");
}

} // namespace
