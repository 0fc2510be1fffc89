// The command line: any list of arguments gives a mode and never an exception; the
// mode agrees with the arguments, and neither the letter case of a switch nor its
// "/" or "-" changes it. The same bytes as a value file decode to one line or none.
//
// The input is the arguments, one a line ("\n" between them, so an empty line is
// an empty argument). A byte below 0x80 is that character; a byte from 0x80 on is
// one of the full-width forms U+FF00 to U+FF7F (full-width "／", "－", "？" and
// letters among them), which look like a switch but are none.
#include "app/Arguments.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>

using app::ParseArguments;
using app::TInvocation;
using app::TRunMode;

namespace {

std::vector<std::wstring> argumentsOf(const uint8_t* data, size_t size) {
    std::vector<std::wstring> args;
    if (size == 0)
        return args;
    args.emplace_back();
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n')
            args.emplace_back();
        else
            args.back().push_back(data[i] < 0x80 ? static_cast<wchar_t>(data[i])
                                                 : static_cast<wchar_t>(0xFF00 + data[i] - 0x80));
    }
    return args;
}

bool isSwitch(const std::wstring& arg) {
    return !arg.empty() && (arg[0] == L'/' || arg[0] == L'-');
}

std::wstring lowered(std::wstring text) {
    for (wchar_t& c : text)
        c = c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c;
    return text;
}

std::wstring raised(std::wstring text) {
    for (wchar_t& c : text)
        c = c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c;
    return text;
}

bool iswalnumAscii(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

TInvocation parsed(const std::vector<std::wstring>& args) {
    TInvocation invocation;
    bool threw = false;
    try {
        invocation = ParseArguments(args);
    } catch (...) {
        threw = true;
    }
    FUZZ_CHECK(!threw);
    return invocation;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The same bytes as a value file: one line or nothing, never a NUL or a line break.
    if (std::optional<std::wstring> value =
            app::DecodeValueFile(std::string(reinterpret_cast<const char*>(data), size)))
        FUZZ_CHECK(value->find_first_of(std::wstring(L"\0\r\n", 3)) == std::wstring::npos);
    std::vector<std::wstring> args = argumentsOf(data, size);
    TInvocation invocation = parsed(args);
    bool anySwitch = std::any_of(args.begin(), args.end(), isSwitch);
    bool switchFirst = !args.empty() && isSwitch(args[0]);
    std::wstring name = switchFirst ? lowered(args[0].substr(1)) : L"";

    FUZZ_CHECK((invocation.mode == TRunMode::Window) == !anySwitch);
    // The options come last: "/json" and "/log FILE" take that many arguments.
    size_t options = (invocation.json ? 1 : 0) + (invocation.logFile.empty() ? 0 : 2);
    bool refused = invocation.mode == TRunMode::BadArguments;
    FUZZ_CHECK(options == 0 || (switchFirst && args.size() > options));
    bool withFile = invocation.mode == TRunMode::TextReport ||
                    invocation.mode == TRunMode::JsonReport || invocation.mode == TRunMode::Undo;
    FUZZ_CHECK(withFile || invocation.file.empty());
    if (withFile) {
        FUZZ_CHECK(args.size() == 2 + options && !args[1].empty() && invocation.file == args[1]);
        FUZZ_CHECK(name == (invocation.mode == TRunMode::TextReport   ? L"report"
                            : invocation.mode == TRunMode::JsonReport ? L"report:json"
                                                                      : L"undo"));
    }
    // "/json" is a change command's (or kept with a refusal); "/log" any command's but
    // the usage.
    bool change = invocation.mode == TRunMode::Set || invocation.mode == TRunMode::Check ||
                  invocation.mode == TRunMode::Repair || invocation.mode == TRunMode::UserInfo ||
                  invocation.mode == TRunMode::Undo;
    FUZZ_CHECK(change || refused || !invocation.json);
    FUZZ_CHECK(invocation.mode != TRunMode::Usage || invocation.logFile.empty());
    // A change command's rows and user information are its arguments, each NAME=0|1
    // (a lone NAME for the repair) of letters and digits, or NAME=VALUE of the user
    // information (/userinfo, /check); nothing else has either.
    bool rowsAllowed = invocation.mode == TRunMode::Set || invocation.mode == TRunMode::Check ||
                       invocation.mode == TRunMode::Repair;
    bool userInfoAllowed =
        invocation.mode == TRunMode::UserInfo || invocation.mode == TRunMode::Check;
    FUZZ_CHECK(rowsAllowed || invocation.rows.empty());
    FUZZ_CHECK(userInfoAllowed || invocation.userInfo.empty());
    if (invocation.mode == TRunMode::Set || invocation.mode == TRunMode::Repair)
        FUZZ_CHECK(!invocation.rows.empty());
    if (invocation.mode == TRunMode::UserInfo)
        FUZZ_CHECK(name == L"userinfo" && !invocation.userInfo.empty());
    if (rowsAllowed || userInfoAllowed) {
        size_t given = args.size() - 1 - options;
        FUZZ_CHECK(invocation.rows.size() + invocation.userInfo.size() == given);
        FUZZ_CHECK(invocation.mode != TRunMode::Repair || given == 1);
        size_t next = 1; // the rows in order among the arguments
        for (const auto& [row, state] : invocation.rows) {
            FUZZ_CHECK(state == 0 || state == 1);
            FUZZ_CHECK(!row.empty() && std::all_of(row.begin(), row.end(), iswalnumAscii));
            std::wstring written =
                invocation.mode == TRunMode::Repair ? row : row + L"=" + std::to_wstring(state);
            while (next <= given && args[next] != written)
                ++next;
            FUZZ_CHECK(next <= given);
            ++next;
        }
    }
    if (invocation.mode == TRunMode::Usage)
        FUZZ_CHECK(args.size() == 1 && (name == L"?" || name == L"h" || name == L"help"));
    // What is refused is so because no other mode fits.
    if (invocation.mode == TRunMode::BadArguments) {
        bool usage = args.size() == 1 && (name == L"?" || name == L"h" || name == L"help");
        // A trailing "/json" is taken as the option (which /report and /report:json
        // refuse), never as the report's file; the file is args[1], before the options.
        bool reportJson = invocation.json && name != L"undo";
        bool reportLine = !reportJson && args.size() == 2 + options && !args[1].empty() &&
                          (name == L"report" || name == L"report:json" || name == L"undo");
        FUZZ_CHECK(anySwitch && !usage && !reportLine);
    }

    // The switch's letter case and its leading "/" or "-" make no difference.
    if (switchFirst) {
        std::vector<std::wstring> other = args;
        other[0] = raised(other[0]);
        other[0][0] = other[0][0] == L'/' ? L'-' : L'/';
        TInvocation same = parsed(other);
        FUZZ_CHECK(same.mode == invocation.mode && same.file == invocation.file &&
                   same.rows == invocation.rows && same.json == invocation.json &&
                   same.logFile == invocation.logFile && same.userInfo == invocation.userInfo);
    }
    return 0;
}
