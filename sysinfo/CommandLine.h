// Reduction of registry command lines and icon locations to file paths.
#pragma once

#include <functional>
#include <string>

namespace kel {

// The value of an environment variable; empty when it is not set or its value does
// not fit 260 bytes with its terminating NUL.
using EnvironmentLookup = std::function<std::string(const std::string& name)>;
std::string PlatformEnvironment(const std::string& name);

// Replaces the first %NAME% of s by the variable's value, dropping the text before
// it: "x%TEMP%\\y" gives "<TEMP>\\y". Fewer than two "%" leave s unchanged.
void ExpandEnvVariable(std::string& s);
std::string ExpandFirstVariable(const std::string& s, const EnvironmentLookup& lookup);

// Reduces a command line ("\"C:\\x.exe\" /e", "C:\\x.exe,1", "%SystemRoot%\\x.exe")
// to the path of the program it names; see ReduceCommandLine for the rules.
void ExtractExePath(std::string& s);
std::string ReduceCommandLine(const std::string& s, const EnvironmentLookup& lookup);

} // namespace kel
