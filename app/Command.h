// The commands that run without a window: the usage message and the report.
#pragma once

#include "app/Arguments.h"

#include <string>
#include <vector>

namespace app {

// The program's arguments, without its own name.
std::vector<std::wstring> CommandLineArguments();

// Which of the two programs runs the command: the window program (started from a
// shortcut it may show the usage in a message box) or the console program, which
// never opens a window.
enum class TProgram { Window, Console };

// Runs an invocation other than TRunMode::Window and returns the exit code:
// 0 the report was written (or the usage printed), 1 the facts could not be read,
// 2 nothing was written (FILE can't be written or is a folder, "-" without a
// console, the output fails), 87 the command line is not understood (the usage
// follows the reason). The usage asked for goes to standard output, reasons to
// standard error, each a file, a pipe or the starter's console. Only the usage
// asked for with neither (a shortcut) is shown in a message box; nothing else
// opens a window, which would wait for a click; the console program shows none.
int RunCommand(const TInvocation& invocation, TProgram program);

// A command that could not go on (an exception left it): the reason goes to standard
// error as RunCommand's reasons do, never to a window, and the exit code is 1.
int CommandFailed(const char* reason) noexcept;

} // namespace app
