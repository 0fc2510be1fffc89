// The commands that run without a window: the usage message and the report.
#pragma once

#include "app/Arguments.h"

#include <string>
#include <vector>

namespace app {

// The program's arguments, without its own name.
std::vector<std::wstring> CommandLineArguments();

// Runs an invocation other than TRunMode::Window and returns the exit code:
// 0 the report was written (or the usage shown), 1 the facts could not be read,
// 2 nothing was written (FILE can't be written, "-" without a console, a report
// switch without FILE). The reason goes to the console when there is one.
int RunCommand(const TInvocation& invocation);

} // namespace app
