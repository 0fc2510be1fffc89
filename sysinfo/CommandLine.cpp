#include "sysinfo/CommandLine.h"

#include <windows.h>

namespace kel {

std::string PlatformEnvironment(const std::string& name) {
    char value[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableA(name.c_str(), value, sizeof value);
    return length == 0 || length >= sizeof value ? std::string() : std::string(value, length);
}

void ExpandEnvVariable(std::string& s) {
    s = ExpandFirstVariable(s, PlatformEnvironment);
}

void ExtractExePath(std::string& s) {
    s = ReduceCommandLine(s, PlatformEnvironment);
}

} // namespace kel
