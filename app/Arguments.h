// The program's command line: nothing (the window), "/?" (usage), or
// "/report FILE" and "/report:json FILE" (the information report, no window).
#pragma once

#include <string>
#include <vector>

namespace app {

enum class TRunMode { Window, Usage, TextReport, JsonReport, BadReport };

struct TInvocation {
    TRunMode mode = TRunMode::Window;
    std::wstring file; // the report's file; "-" for the console
};

// args without the program's own name. The switches are matched without regard to
// ASCII letter case; a report switch without exactly one non-empty FILE after it
// is BadReport, so that a mistyped report command never opens a window. Any other
// command line is Window, as it has always been.
TInvocation ParseArguments(const std::vector<std::wstring>& args);

} // namespace app
