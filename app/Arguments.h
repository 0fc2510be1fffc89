// The program's command line, handled as a console tool handles it: nothing or a
// plain argument (a file dropped on the program) opens the window; "/?" and its
// kin print the usage; "/report FILE" and "/report:json FILE" write the
// information report without a window; "/set", "/check" and "/repair" change (or
// check) the pages' rows; any other switch is refused.
#pragma once

#include <optional>
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
    bool json = false;    // a change command's "/json": the output as one JSON document
    std::wstring logFile; // "/log FILE": the file a line about the command is appended to
    // UserInfo and Check: "Company", "Owner" or "Initials" (so spelt) and the value
    // given, in order, each name once.
    std::vector<std::pair<std::string, std::wstring>> userInfo;
};

// args without the program's own name. A switch starts with "/" or "-" and is
// matched without regard to ASCII letter case: "/?", "/h" and "/help" are the
// usage, alone; a report switch needs exactly one non-empty FILE after it. Any
// "/set" needs one or more NAME=0 or NAME=1 (a name of letters and digits);
// "/repair" exactly one NAME. "/userinfo" takes one to three of Company=VALUE,
// Owner=VALUE, Initials=VALUE (names in any letter case, each once; a value may be
// empty or hold blanks); "/check" takes either kind, mixed. "/undo" takes exactly
// one non-empty FILE. Last come the options: "/json" for a change command, "/log
// FILE" for every command but the usage. Any other command line that holds a switch
// anywhere is BadArguments, which keeps the options taken (its JSON and log line).
TInvocation ParseArguments(std::vector<std::wstring> args);

// The text of a value file ("Company=@FILE"), as UTF-16 code units: UTF-16 (little
// or big endian) after its byte order mark, or without one when the bytes hold a
// NUL (a text holds none), in the order where most of its zero bytes fall (nothing
// where they fall alike), else UTF-8 with or without its byte order mark. Line
// ends at its end are dropped. Nothing for bytes that are no such text, or a text
// that holds a NUL or a line break before its end.
std::optional<std::wstring> DecodeValueFile(const std::string& bytes);

// The argument as the command line carries it to CommandLineToArgvW: in double
// quotes, a quote inside escaped and the backslashes before a quote doubled.
std::wstring QuoteArgument(const std::wstring& argument);

} // namespace app
