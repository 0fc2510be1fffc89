#include "app/Arguments.h"

#include "office/UserInfoList.h"
#include "sysinfo/TextRules.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string_view>

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

// Takes the options "/json" and "/log FILE" (each once, in either order) off the end
// of args, where they follow the command's own arguments.
void takeOptions(std::vector<std::wstring>& args, TInvocation& invocation) {
    for (bool taken = true; taken && args.size() > 1;) {
        taken = false;
        const std::wstring& last = args.back();
        if (!invocation.json && isSwitch(last) && switchName(last) == L"json") {
            invocation.json = true;
            args.pop_back();
            taken = true;
        } else if (invocation.logFile.empty() && args.size() > 2 && !last.empty() &&
                   isSwitch(args[args.size() - 2]) && switchName(args[args.size() - 2]) == L"log") {
            invocation.logFile = last;
            args.resize(args.size() - 2);
            taken = true;
        }
    }
}

// "Company=...", "Owner=..." or "Initials=..." (any letter case, each once) into
// invocation's userInfo; false for any other argument or a name given twice.
bool takeUserInfo(const std::wstring& arg, TInvocation& invocation) {
    size_t equals = arg.find(L'=');
    if (equals == std::wstring::npos)
        return false;
    std::wstring given = kel::AsciiLower(arg.substr(0, equals));
    const kel::TUserInfoField* field = std::find_if(
        std::begin(kel::kUserInfoFields), std::end(kel::kUserInfoFields),
        [&](const kel::TUserInfoField& f) {
            return given == kel::AsciiLower(std::wstring(f.name, f.name + std::strlen(f.name)));
        });
    if (field == std::end(kel::kUserInfoFields) ||
        std::any_of(invocation.userInfo.begin(), invocation.userInfo.end(),
                    [&](const auto& given) { return given.first == field->name; }))
        return false;
    invocation.userInfo.emplace_back(field->name, arg.substr(equals + 1));
    return true;
}

// The arguments of "/set" (switches), "/check" (switches and user information) and
// "/userinfo" (user information); false when one is malformed or there is none.
bool parseItems(const std::vector<std::wstring>& args, TInvocation& invocation, bool switches,
                bool userInfo) {
    for (size_t i = 1; i < args.size(); ++i) {
        std::pair<std::wstring, int> setting;
        if (switches && parseSetting(args[i], setting))
            invocation.rows.push_back(setting);
        else if (!userInfo || !takeUserInfo(args[i], invocation))
            return false;
    }
    return !invocation.rows.empty() || !invocation.userInfo.empty();
}

} // namespace

namespace {

// UTF-8 as UTF-16 code units; nothing for a malformed, overlong or surrogate
// sequence, or one beyond U+10FFFF.
std::optional<std::wstring> fromUtf8(std::string_view bytes) {
    std::wstring text;
    for (size_t i = 0; i < bytes.size();) {
        unsigned char lead = static_cast<unsigned char>(bytes[i]);
        size_t length = lead < 0x80    ? 1
                        : lead >= 0xF0 ? 4
                        : lead >= 0xE0 ? 3
                        : lead >= 0xC2 ? 2
                                       : 0;
        if (length == 0 || lead > 0xF4 || i + length > bytes.size())
            return std::nullopt;
        unsigned code = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            code = (code << 6) | (next & 0x3F);
        }
        constexpr unsigned kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kLeast[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return std::nullopt;
        if (code >= 0x10000) {
            text += static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
            text += static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            text += static_cast<wchar_t>(code);
        }
        i += length;
    }
    return text;
}

std::optional<std::wstring> fromUtf16(std::string_view bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0)
        return std::nullopt;
    std::wstring text;
    for (size_t i = 0; i < bytes.size(); i += 2) {
        unsigned first = static_cast<unsigned char>(bytes[i]);
        unsigned second = static_cast<unsigned char>(bytes[i + 1]);
        text += static_cast<wchar_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    return text;
}

// UTF-16 without a byte order mark, in the order most of its zero bytes tell: the
// high halves of ASCII characters (spaces, digits), at odd offsets in little endian;
// a character such as the ideographic space (U+3000) has its zero at the other.
// Nothing where they tell both orders alike.
std::optional<std::wstring> fromUtf16WithoutMark(std::string_view bytes) {
    size_t even = 0, odd = 0;
    for (size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\0')
            ++(i % 2 == 0 ? even : odd);
    if (even == odd)
        return std::nullopt;
    return fromUtf16(bytes, even > odd);
}

} // namespace

std::optional<std::wstring> DecodeValueFile(const std::string& bytes) {
    std::string_view view = bytes;
    auto starts = [&](std::string_view mark) { return view.substr(0, mark.size()) == mark; };
    std::optional<std::wstring> text;
    if (starts("\xFF\xFE"))
        text = fromUtf16(view.substr(2), false);
    else if (starts("\xFE\xFF"))
        text = fromUtf16(view.substr(2), true);
    else if (starts("\xEF\xBB\xBF"))
        text = fromUtf8(view.substr(3));
    else if (view.find('\0') != std::string_view::npos)
        text = fromUtf16WithoutMark(view);
    else
        text = fromUtf8(view);
    if (!text)
        return std::nullopt;
    while (!text->empty() && (text->back() == L'\n' || text->back() == L'\r'))
        text->pop_back();
    if (text->find_first_of(std::wstring(L"\0\r\n", 3)) != std::wstring::npos)
        return std::nullopt;
    return text;
}

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

TInvocation ParseArguments(std::vector<std::wstring> args) {
    TInvocation invocation;
    if (std::none_of(args.begin(), args.end(), isSwitch))
        return invocation;
    invocation.mode = TRunMode::BadArguments;
    // A switch after a plain argument, or after an empty one (an unset variable of a
    // script), is a command line not understood.
    if (!isSwitch(args.front()))
        return invocation;
    takeOptions(args, invocation);
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
        if (parseItems(args, invocation, true, name == L"check"))
            invocation.mode = name == L"set" ? TRunMode::Set : TRunMode::Check;
    } else if (name == L"userinfo") {
        if (parseItems(args, invocation, false, true))
            invocation.mode = TRunMode::UserInfo;
    } else if (name == L"repair") {
        if (args.size() == 2 && isRowName(args[1])) {
            invocation.mode = TRunMode::Repair;
            invocation.rows = {{args[1], 0}};
        }
    }
    // "/json" is for the change commands; "/log" for every command but the usage.
    bool report =
        invocation.mode == TRunMode::TextReport || invocation.mode == TRunMode::JsonReport;
    if ((invocation.json && (report || invocation.mode == TRunMode::Usage)) ||
        (!invocation.logFile.empty() && invocation.mode == TRunMode::Usage))
        invocation.mode = TRunMode::BadArguments;
    if (invocation.mode == TRunMode::BadArguments) { // the options taken still answer
        TInvocation refused;
        refused.mode = TRunMode::BadArguments;
        refused.json = invocation.json;
        refused.logFile = invocation.logFile;
        invocation = refused;
    }
    return invocation;
}

} // namespace app
