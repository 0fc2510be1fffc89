// The command line: the report switches, the usage switches, plain arguments
// starting the window, and every other switch refused.
#include "app/Arguments.h"

#include <gtest/gtest.h>

namespace {

using app::ParseArguments;
using app::TRunMode;

TEST(Arguments, ReportSwitchesTakeExactlyOneFile) {
    struct Case {
        std::vector<std::wstring> args;
        TRunMode mode;
        std::wstring file;
    };
    const Case cases[] = {
        {{L"/report", L"C:\\out\\r.txt"}, TRunMode::TextReport, L"C:\\out\\r.txt"},
        {{L"/REPORT", L"r.txt"}, TRunMode::TextReport, L"r.txt"},
        {{L"/report:json", L"-"}, TRunMode::JsonReport, L"-"},
        {{L"/Report:JSON", L"\\\\server\\share\\pc 1.json"},
         TRunMode::JsonReport,
         L"\\\\server\\share\\pc 1.json"},
        {{L"/report", L"レポート.txt"}, TRunMode::TextReport, L"レポート.txt"},
        {{L"-report", L"r.txt"}, TRunMode::TextReport, L"r.txt"},
        {{L"-Report:Json", L"-"}, TRunMode::JsonReport, L"-"},
        {{L"/undo", L"C:\\b\\20261209-101530_EmlWsh.reg"},
         TRunMode::Undo,
         L"C:\\b\\20261209-101530_EmlWsh.reg"},
    };
    for (const Case& c : cases) {
        app::TInvocation invocation = ParseArguments(c.args);
        EXPECT_EQ(invocation.mode, c.mode) << c.args.size();
        EXPECT_EQ(invocation.file, c.file);
    }
}

TEST(Arguments, ChangeCommandsTakeTheirRows) {
    using Rows = std::vector<std::pair<std::wstring, int>>;
    struct Case {
        std::vector<std::wstring> args;
        TRunMode mode;
        Rows rows;
        bool json;
    };
    const Case cases[] = {
        {{L"/set", L"EmlWsh=0"}, TRunMode::Set, {{L"EmlWsh", 0}}, false},
        {{L"-SET", L"MsoClip=1", L"LogonIme=0", L"/JSON"},
         TRunMode::Set,
         {{L"MsoClip", 1}, {L"LogonIme", 0}},
         true},
        {{L"/check", L"EmlWsh=1", L"EmlWsh=0"},
         TRunMode::Check,
         {{L"EmlWsh", 1}, {L"EmlWsh", 0}},
         false},
        {{L"/repair", L"XlsUsed"}, TRunMode::Repair, {{L"XlsUsed", 0}}, false},
    };
    for (const Case& c : cases) {
        app::TInvocation invocation = ParseArguments(c.args);
        EXPECT_EQ(invocation.mode, c.mode);
        EXPECT_EQ(invocation.rows, c.rows);
        EXPECT_EQ(invocation.json, c.json);
    }
}

// /userinfo writes the names given, /check compares them (beside switches).
TEST(Arguments, UserInfoTakesEachNameOnceWithAnyValue) {
    using Fields = std::vector<std::pair<std::string, std::wstring>>;
    const std::pair<std::vector<std::wstring>, Fields> cases[] = {
        {{L"Company=株式会社　見本"}, {{"Company", L"株式会社　見本"}}},
        {{L"initials=", L"OWNER=山田 太郎"}, {{"Initials", L""}, {"Owner", L"山田 太郎"}}},
        {{L"Owner=a=b"}, {{"Owner", L"a=b"}}},
        {{L"Company=@C:\\v\\company.txt"}, {{"Company", L"@C:\\v\\company.txt"}}},
        {{}, {}},
        {{L"Owner=a", L"owner=b"}, {}},
        {{L"User=a"}, {}},
        {{L"Owner"}, {}},
    };
    for (const auto& [given, fields] : cases)
        for (const auto& [command, mode] :
             {std::pair(L"-USERINFO", TRunMode::UserInfo), std::pair(L"/check", TRunMode::Check)}) {
            std::vector<std::wstring> args = {command};
            args.insert(args.end(), given.begin(), given.end());
            app::TInvocation invocation = ParseArguments(args);
            EXPECT_EQ(invocation.mode, fields.empty() ? TRunMode::BadArguments : mode);
            EXPECT_EQ(invocation.userInfo, fields);
        }
    app::TInvocation mixed = ParseArguments({L"/check", L"EmlWsh=0", L"Owner=x", L"/json"});
    EXPECT_EQ(mixed.mode, TRunMode::Check);
    EXPECT_EQ(mixed.rows, (std::vector<std::pair<std::wstring, int>>{{L"EmlWsh", 0}}));
    EXPECT_EQ(mixed.userInfo, (Fields{{"Owner", L"x"}}));
    EXPECT_EQ(ParseArguments({L"/set", L"Owner=x"}).mode, TRunMode::BadArguments);
}

// "/json" (the change commands) and "/log FILE" (every command but the usage) come
// last, each once, in either order; a command line not understood keeps them, so
// that its refusal is logged and answered in JSON.
TEST(Arguments, OptionsComeLastEachOnce) {
    struct Case {
        std::vector<std::wstring> args;
        TRunMode mode;
        bool json;
        std::wstring log;
    };
    const Case cases[] = {
        {{L"/check", L"EmlWsh=0", L"/log", L"C:\\l.log"}, TRunMode::Check, false, L"C:\\l.log"},
        {{L"/set", L"EmlWsh=0", L"/log", L"l", L"/json"}, TRunMode::Set, true, L"l"},
        {{L"/set", L"EmlWsh=0", L"/json", L"-LOG", L"l"}, TRunMode::Set, true, L"l"},
        {{L"/repair", L"XlsUsed", L"/json"}, TRunMode::Repair, true, L""},
        {{L"/userinfo", L"Owner=x", L"/json"}, TRunMode::UserInfo, true, L""},
        {{L"/undo", L"f.reg", L"/json", L"/log", L"l"}, TRunMode::Undo, true, L"l"},
        {{L"/report", L"-", L"/log", L"l"}, TRunMode::TextReport, false, L"l"},
        {{L"/report:json", L"-", L"/json"}, TRunMode::BadArguments, true, L""},
        {{L"/?", L"/log", L"l"}, TRunMode::BadArguments, false, L"l"},
        {{L"/set", L"EmlWsh=0", L"/json", L"/json"}, TRunMode::BadArguments, true, L""},
        {{L"/set", L"EmlWsh=0", L"/log", L"a", L"/log", L"b"}, TRunMode::BadArguments, false, L"b"},
        {{L"/set", L"EmlWsh=0", L"/log"}, TRunMode::BadArguments, false, L""},
        {{L"/set", L"EmlWsh=0", L"/log", L""}, TRunMode::BadArguments, false, L""},
        {{L"/set", L"/log", L"l", L"EmlWsh=0"}, TRunMode::BadArguments, false, L""},
        {{L"/undo", L"/log", L"l"}, TRunMode::BadArguments, false, L"l"},
        {{L"/set", L"Foo=2", L"/json", L"/log", L"l"}, TRunMode::BadArguments, true, L"l"},
    };
    for (const Case& c : cases) {
        app::TInvocation invocation = ParseArguments(c.args);
        EXPECT_EQ(invocation.mode, c.mode) << c.args.size();
        EXPECT_EQ(invocation.json, c.json);
        EXPECT_EQ(invocation.logFile, c.log);
    }
}

// A value file in each encoding a script's editor or PowerShell writes, read alike.
TEST(Arguments, ValueFilesReadAlikeInEveryEncoding) {
    const std::wstring company = L"株式会社\u3000見本 \xA5";
    const std::string utf8 = "\xE6\xA0\xAA\xE5\xBC\x8F\xE4\xBC\x9A\xE7\xA4\xBE\xE3\x80\x80"
                             "\xE8\xA6\x8B\xE6\x9C\xAC \xC2\xA5";
    std::string le, be;
    for (wchar_t c : company) {
        le += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        be += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
    }
    const std::pair<std::string, std::optional<std::wstring>> cases[] = {
        {utf8, company},
        {"\xEF\xBB\xBF" + utf8 + "\r\n", company},
        {"\xFF\xFE" + le + std::string("\r\0\n\0", 4), company},
        {"\xFE\xFF" + be, company},
        {le, company},
        {"", L""},
        {"\xF0\x9F\x98\x80",
         std::wstring{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)}},
        {"\x8A\x94\x8E\xAE", std::nullopt}, // code page 932: no UTF-8
        {"\xC0\xAF", std::nullopt},         // overlong
        {"\xED\xA0\x80", std::nullopt},     // a surrogate
        {"\xE6\xA0", std::nullopt},         // cut short
        {"a\r\nb", std::nullopt},
        {"\xFF\xFE" + std::string("a\0b", 3), std::nullopt},
        {std::string("\0N\x61\x67 \0", 6), std::nullopt}, // U+4E00 first: the order unknown
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(app::DecodeValueFile(bytes), text) << bytes;
}

TEST(Arguments, QuotedAsTheCommandLineReadsThemBack) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"", L"\"\""},
        {L"Owner=山田 太郎", L"\"Owner=山田 太郎\""},
        {L"Company=\"A\" B", L"\"Company=\\\"A\\\" B\""},
        {L"C:\\dir\\", L"\"C:\\dir\\\\\""},
        {L"a\\\"b", L"\"a\\\\\\\"b\""},
    };
    for (const auto& [argument, quoted] : cases)
        EXPECT_EQ(app::QuoteArgument(argument), quoted);
}

TEST(Arguments, PlainArgumentsOpenTheWindowAndOtherSwitchesAreRefused) {
    const std::pair<std::vector<std::wstring>, TRunMode> cases[] = {
        {{}, TRunMode::Window},
        {{L""}, TRunMode::Window},
        {{L"report", L"f"}, TRunMode::Window},
        {{L"C:\\Book.xls"}, TRunMode::Window},
        {{L"f", L"/report", L"g"}, TRunMode::BadArguments},
        {{L"a.xls", L"/x"}, TRunMode::BadArguments},
        {{L"", L"/report:json", L"x.json"}, TRunMode::BadArguments},
        {{L"", L"/?"}, TRunMode::BadArguments},
        {{L"", L""}, TRunMode::Window},
        {{L"a.xls", L"b.doc"}, TRunMode::Window},
        {{L"/?"}, TRunMode::Usage},
        {{L"-?"}, TRunMode::Usage},
        {{L"/h"}, TRunMode::Usage},
        {{L"-H"}, TRunMode::Usage},
        {{L"/Help"}, TRunMode::Usage},
        {{L"/x"}, TRunMode::BadArguments},
        {{L"-"}, TRunMode::BadArguments},
        {{L"/"}, TRunMode::BadArguments},
        {{L"/report:xml", L"f"}, TRunMode::BadArguments},
        {{L"/reports", L"f"}, TRunMode::BadArguments},
        {{L"/?", L"x"}, TRunMode::BadArguments},
        {{L"/??"}, TRunMode::BadArguments},
        {{L"/report"}, TRunMode::BadArguments},
        {{L"/report:json", L""}, TRunMode::BadArguments},
        {{L"/undo"}, TRunMode::BadArguments},
        {{L"/undo", L"a", L"b"}, TRunMode::BadArguments},
        {{L"/report", L"a", L"b"}, TRunMode::BadArguments},
        {{L"-REPORT:JSON", L"a", L"b"}, TRunMode::BadArguments},
        {{L"/set"}, TRunMode::BadArguments},
        {{L"/set", L"/json"}, TRunMode::BadArguments},
        {{L"/set", L"MsoClip"}, TRunMode::BadArguments},
        {{L"/set", L"MsoClip=2"}, TRunMode::BadArguments},
        {{L"/set", L"MsoClip=10"}, TRunMode::BadArguments},
        {{L"/set", L"=1"}, TRunMode::BadArguments},
        {{L"/set", L"Mso Clip=1"}, TRunMode::BadArguments},
        {{L"/set", L"Mso\\Clip=1"}, TRunMode::BadArguments},
        {{L"/check", L"/json", L"MsoClip=1"}, TRunMode::BadArguments},
        {{L"/repair"}, TRunMode::BadArguments},
        {{L"/repair", L"XlsUsed", L"DocUsed"}, TRunMode::BadArguments},
        {{L"/repair", L"XlsUsed=1"}, TRunMode::BadArguments},
    };
    for (const auto& [args, mode] : cases)
        EXPECT_EQ(ParseArguments(args).mode, mode)
            << (args.empty() ? std::string("(none)") : std::string(args[0].begin(), args[0].end()));
}

} // namespace
