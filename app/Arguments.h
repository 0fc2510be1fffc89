// The program's command line, handled as a console tool handles it: nothing or a
// plain argument (a file dropped on the program) opens the window; "/?" and its
// kin print the usage; "/report FILE" and "/report:json FILE" write the
// information report without a window; any other switch is refused.
#pragma once

#include <string>
#include <vector>

namespace app {

enum class TRunMode { Window, Usage, TextReport, JsonReport, BadArguments };

struct TInvocation {
    TRunMode mode = TRunMode::Window;
    std::wstring file; // the report's file; "-" for the console
};

// args without the program's own name. A switch starts with "/" or "-" and is
// matched without regard to ASCII letter case: "/?", "/h" and "/help" are the
// usage, alone; a report switch needs exactly one non-empty FILE after it. Any
// other command line that holds a switch anywhere is BadArguments.
TInvocation ParseArguments(const std::vector<std::wstring>& args);

} // namespace app
