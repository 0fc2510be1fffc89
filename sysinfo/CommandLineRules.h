// Reduction of registry command lines and icon locations to file paths: the rules
// themselves, over a given environment.
#pragma once

#include <functional>
#include <string>

namespace kel {

// The value of an environment variable; empty when it is not set.
using EnvironmentLookup = std::function<std::string(const std::string& name)>;

// Replaces the first %NAME% of s by lookup(NAME), dropping the text before it:
// "x%TEMP%\\y" gives "<TEMP>\\y". Fewer than two "%" leave s unchanged.
std::string ExpandFirstVariable(const std::string& s, const EnvironmentLookup& lookup);

// Reduces a command line ("\"C:\\x.exe\" /e", "C:\\x.exe,1", "%SystemRoot%\\x.exe")
// to the path of the program it names: quotes peeled from both ends, an icon index
// cut, switches after the path cut, then the first variable expanded.
std::string ReduceCommandLine(const std::string& s, const EnvironmentLookup& lookup);

} // namespace kel
