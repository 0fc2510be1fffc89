// The program's command line: nothing (the window), "/?" (usage), or
// "/report FILE" and "/report:json FILE" (the information report, no window).
#pragma once

#include <string>
#include <vector>

namespace app {

enum class TRunMode { Window, Usage, TextReport, JsonReport };

struct TInvocation {
    TRunMode mode = TRunMode::Window;
    std::wstring file; // the report's file; "-" for the console
};

// args without the program's own name. The switches are matched without regard to
// ASCII letter case; a report switch needs exactly one non-empty FILE after it.
// Any other command line is Window, as it has always been.
TInvocation ParseArguments(const std::vector<std::wstring>& args);

} // namespace app
