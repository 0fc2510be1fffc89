// The command line: any list of arguments gives a mode and never an exception; the
// mode agrees with the arguments, and neither the letter case of a switch nor its
// "/" or "-" changes it.
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
    std::vector<std::wstring> args = argumentsOf(data, size);
    TInvocation invocation = parsed(args);
    bool anySwitch = std::any_of(args.begin(), args.end(), isSwitch);
    bool switchFirst = !args.empty() && isSwitch(args[0]);
    std::wstring name = switchFirst ? lowered(args[0].substr(1)) : L"";

    FUZZ_CHECK((invocation.mode == TRunMode::Window) == !anySwitch);
    bool withFile = invocation.mode == TRunMode::TextReport ||
                    invocation.mode == TRunMode::JsonReport || invocation.mode == TRunMode::Undo;
    FUZZ_CHECK(withFile || invocation.file.empty());
    if (withFile) {
        FUZZ_CHECK(args.size() == 2 && !args[1].empty() && invocation.file == args[1]);
        FUZZ_CHECK(name == (invocation.mode == TRunMode::TextReport   ? L"report"
                            : invocation.mode == TRunMode::JsonReport ? L"report:json"
                                                                      : L"undo"));
    }
    // A change command's rows are its arguments, each NAME=0|1 (a lone NAME for the
    // repair) of letters and digits; nothing else has rows.
    bool change = invocation.mode == TRunMode::Set || invocation.mode == TRunMode::Check ||
                  invocation.mode == TRunMode::Repair;
    FUZZ_CHECK(change == !invocation.rows.empty());
    FUZZ_CHECK((invocation.mode == TRunMode::UserInfo) == !invocation.userInfo.empty());
    if (invocation.mode == TRunMode::UserInfo)
        FUZZ_CHECK(name == L"userinfo" && invocation.userInfo.size() == args.size() - 1);
    FUZZ_CHECK(change || !invocation.json);
    if (change) {
        size_t given = args.size() - 1 - (invocation.json ? 1 : 0);
        FUZZ_CHECK(invocation.rows.size() == given);
        FUZZ_CHECK(invocation.mode != TRunMode::Repair || given == 1);
        for (size_t i = 0; i < given; ++i) {
            const auto& [row, state] = invocation.rows[i];
            FUZZ_CHECK(state == 0 || state == 1);
            FUZZ_CHECK(!row.empty() && std::all_of(row.begin(), row.end(), iswalnumAscii));
            std::wstring written =
                invocation.mode == TRunMode::Repair ? row : row + L"=" + std::to_wstring(state);
            FUZZ_CHECK(args[1 + i] == written);
        }
    }
    if (invocation.mode == TRunMode::Usage)
        FUZZ_CHECK(args.size() == 1 && (name == L"?" || name == L"h" || name == L"help"));
    // What is refused is so because no other mode fits.
    if (invocation.mode == TRunMode::BadArguments) {
        bool usage = args.size() == 1 && (name == L"?" || name == L"h" || name == L"help");
        bool reportLine =
            args.size() == 2 && !args[1].empty() && (name == L"report" || name == L"report:json");
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
                   same.userInfo == invocation.userInfo);
    }
    return 0;
}
