// The program's command line, handled as a console tool handles it: nothing or a
// plain argument (a file dropped on the program) opens the window; "/?" and its
// kin print the usage; "/report FILE" and "/report:json FILE" write the
// information report without a window; "/set", "/check" and "/repair" change (or
// check) the pages' rows; any other switch is refused.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace app {

enum class TRunMode {
    Window,
    Usage,
    TextReport,
    JsonReport,
    Set,
    Check,
    Repair,
    UserInfo,
    Undo,
    BadArguments
};

struct TInvocation {
    TRunMode mode = TRunMode::Window;
    std::wstring file; // the report's file ("-" for the console); Undo: the backup's
    // Set and Check: each row's name and the state asked for or expected, in order;
    // Repair: the one row's name (state 0).
    std::vector<std::pair<std::wstring, int>> rows;
    bool json = false; // Set and Check: "/json", the output as one JSON document
    // UserInfo: "Company", "Owner" or "Initials" (so spelt) and the value given, in
    // order, each name once.
    std::vector<std::pair<std::string, std::wstring>> userInfo;
};

// args without the program's own name. A switch starts with "/" or "-" and is
// matched without regard to ASCII letter case: "/?", "/h" and "/help" are the
// usage, alone; a report switch needs exactly one non-empty FILE after it. Any
// "/set" and "/check" need one or more NAME=0 or NAME=1 (a name of letters and
// digits) and take "/json" last; "/repair" exactly one NAME. Any other command line
// that holds a switch anywhere is BadArguments. "/userinfo" takes one to three of
// Company=VALUE, Owner=VALUE, Initials=VALUE (names in any letter case, each once;
// a value may be empty or hold blanks). "/undo" takes exactly one non-empty FILE.
TInvocation ParseArguments(const std::vector<std::wstring>& args);

// The argument as the command line carries it to CommandLineToArgvW: in double
// quotes, a quote inside escaped and the backslashes before a quote doubled.
std::wstring QuoteArgument(const std::wstring& argument);

} // namespace app
