#include "app/Arguments.h"

#include "sysinfo/TextRules.h"

#include <algorithm>

namespace app {

namespace {

bool isSwitch(const std::wstring& arg) {
    return !arg.empty() && (arg[0] == L'/' || arg[0] == L'-');
}

// The name of a switch (isSwitch) after its "/" or "-", in lower case.
std::wstring switchName(const std::wstring& arg) {
    return kel::AsciiLower(arg.substr(1));
}

} // namespace

TInvocation ParseArguments(const std::vector<std::wstring>& args) {
    TInvocation invocation;
    if (std::none_of(args.begin(), args.end(), isSwitch))
        return invocation;
    invocation.mode = TRunMode::BadArguments;
    // A switch after a plain argument, or after an empty one (an unset variable of a
    // script), is a command line not understood.
    if (!isSwitch(args.front()))
        return invocation;
    std::wstring name = switchName(args.front());
    if (name == L"?" || name == L"h" || name == L"help") {
        if (args.size() == 1)
            invocation.mode = TRunMode::Usage;
    } else if (name == L"report" || name == L"report:json") {
        if (args.size() == 2 && !args[1].empty()) {
            invocation.mode = name == L"report" ? TRunMode::TextReport : TRunMode::JsonReport;
            invocation.file = args[1];
        }
    }
    return invocation;
}

} // namespace app
