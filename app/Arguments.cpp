#include "app/Arguments.h"

#include "sysinfo/TextRules.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace app {

namespace {

bool isSwitch(const std::wstring& arg) {
    return !arg.empty() && (arg[0] == L'/' || arg[0] == L'-');
}

// The name of a switch (isSwitch) after its "/" or "-", in lower case.
std::wstring switchName(const std::wstring& arg) {
    return kel::AsciiLower(arg.substr(1));
}

bool isRowName(const std::wstring& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](wchar_t c) {
        return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9');
    });
}

// "NAME=0" or "NAME=1": false for anything else.
bool parseSetting(const std::wstring& arg, std::pair<std::wstring, int>& setting) {
    size_t equals = arg.find(L'=');
    if (equals == std::wstring::npos || equals + 2 != arg.size() ||
        (arg.back() != L'0' && arg.back() != L'1') || !isRowName(arg.substr(0, equals)))
        return false;
    setting = {arg.substr(0, equals), arg.back() - L'0'};
    return true;
}

// The rows of "/set" and "/check", and a last "/json"; false when one is malformed.
bool parseSettings(const std::vector<std::wstring>& args, TInvocation& invocation) {
    size_t end = args.size();
    if (end > 1 && isSwitch(args.back()) && switchName(args.back()) == L"json") {
        invocation.json = true;
        --end;
    }
    for (size_t i = 1; i < end; ++i) {
        std::pair<std::wstring, int> setting;
        if (!parseSetting(args[i], setting))
            return false;
        invocation.rows.push_back(setting);
    }
    return !invocation.rows.empty();
}

// "Company=..." and the like of "/userinfo"; false for anything else.
bool parseUserInfo(const std::vector<std::wstring>& args, TInvocation& invocation) {
    static const char* const kNames[] = {"Company", "Owner", "Initials"};
    for (size_t i = 1; i < args.size(); ++i) {
        size_t equals = args[i].find(L'=');
        if (equals == std::wstring::npos)
            return false;
        std::wstring given = kel::AsciiLower(args[i].substr(0, equals));
        const char* const* name =
            std::find_if(std::begin(kNames), std::end(kNames), [&](const char* n) {
                return given == kel::AsciiLower(std::wstring(n, n + std::strlen(n)));
            });
        if (name == std::end(kNames) ||
            std::any_of(invocation.userInfo.begin(), invocation.userInfo.end(),
                        [&](const auto& field) { return field.first == *name; }))
            return false;
        invocation.userInfo.emplace_back(*name, args[i].substr(equals + 1));
    }
    return !invocation.userInfo.empty();
}

} // namespace

std::wstring QuoteArgument(const std::wstring& argument) {
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

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
    } else if (name == L"report" || name == L"report:json" || name == L"undo") {
        if (args.size() == 2 && !args[1].empty()) {
            invocation.mode = name == L"report"        ? TRunMode::TextReport
                              : name == L"report:json" ? TRunMode::JsonReport
                                                       : TRunMode::Undo;
            invocation.file = args[1];
        }
    } else if (name == L"set" || name == L"check") {
        if (parseSettings(args, invocation))
            invocation.mode = name == L"set" ? TRunMode::Set : TRunMode::Check;
    } else if (name == L"userinfo") {
        if (parseUserInfo(args, invocation))
            invocation.mode = TRunMode::UserInfo;
    } else if (name == L"repair") {
        if (args.size() == 2 && isRowName(args[1])) {
            invocation.mode = TRunMode::Repair;
            invocation.rows = {{args[1], 0}};
        }
    }
    if (invocation.mode == TRunMode::BadArguments) {
        invocation.rows.clear();
        invocation.json = false;
        invocation.userInfo.clear();
    }
    return invocation;
}

} // namespace app
