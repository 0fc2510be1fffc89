// Reduction of registry command lines and icon locations to file paths, over the
// program's own environment.
#pragma once

#include "sysinfo/CommandLineRules.h"

#include <string>

namespace kel {

// The value of an environment variable; empty when it is not set or its value does
// not fit 260 bytes with its terminating NUL.
std::string PlatformEnvironment(const std::string& name);

// ExpandFirstVariable over the platform environment.
void ExpandEnvVariable(std::string& s);

// ReduceCommandLine over the platform environment.
void ExtractExePath(std::string& s);

} // namespace kel
