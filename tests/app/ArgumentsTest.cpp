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

TEST(Arguments, UserInfoTakesEachNameOnceWithAnyValue) {
    using Fields = std::vector<std::pair<std::string, std::wstring>>;
    const std::pair<std::vector<std::wstring>, Fields> cases[] = {
        {{L"/userinfo", L"Company=株式会社　見本"}, {{"Company", L"株式会社　見本"}}},
        {{L"-USERINFO", L"initials=", L"OWNER=山田 太郎"},
         {{"Initials", L""}, {"Owner", L"山田 太郎"}}},
        {{L"/userinfo", L"Owner=a=b"}, {{"Owner", L"a=b"}}},
        {{L"/userinfo"}, {}},
        {{L"/userinfo", L"Owner=a", L"owner=b"}, {}},
        {{L"/userinfo", L"User=a"}, {}},
        {{L"/userinfo", L"Owner"}, {}},
    };
    for (const auto& [args, fields] : cases) {
        app::TInvocation invocation = ParseArguments(args);
        EXPECT_EQ(invocation.mode, fields.empty() ? TRunMode::BadArguments : TRunMode::UserInfo);
        EXPECT_EQ(invocation.userInfo, fields);
    }
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
