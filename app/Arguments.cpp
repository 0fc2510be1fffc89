#include "app/Arguments.h"

namespace app {

namespace {

bool sameSwitch(const std::wstring& arg, const wchar_t* name) {
    std::wstring lowered = arg;
    for (wchar_t& c : lowered)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return lowered == name;
}

} // namespace

TInvocation ParseArguments(const std::vector<std::wstring>& args) {
    TInvocation invocation;
    if (args.empty())
        return invocation;
    const std::wstring& first = args.front();
    if (first == L"/?" && args.size() == 1) {
        invocation.mode = TRunMode::Usage;
    } else if (sameSwitch(first, L"/report") || sameSwitch(first, L"/report:json")) {
        if (args.size() != 2 || args[1].empty())
            return invocation;
        bool json = sameSwitch(first, L"/report:json");
        invocation.mode = json ? TRunMode::JsonReport : TRunMode::TextReport;
        invocation.file = args[1];
    }
    return invocation;
}

} // namespace app
