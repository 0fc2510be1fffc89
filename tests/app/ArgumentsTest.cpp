// The command line: the report switches, the usage switch, and everything else
// starting the window as before.
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
    };
    for (const Case& c : cases) {
        app::TInvocation invocation = ParseArguments(c.args);
        EXPECT_EQ(invocation.mode, c.mode) << c.args.size();
        EXPECT_EQ(invocation.file, c.file);
    }
}

TEST(Arguments, EverythingElseOpensTheWindowAsBefore) {
    const std::vector<std::wstring> cases[] = {
        {},
        {L"/x"},
        {L"report", L"f"},
        {L"/report:xml", L"f"},
        {L"/reports", L"f"},
        {L"-report", L"f"},
        {L"f", L"/report", L"g"},
        {L"/?", L"x"},
        {L"/??"},
        {L""},
        {L"/report"},
        {L"/report:json", L""},
        {L"/report", L"a", L"b"},
        {L"/REPORT:JSON", L"a", L"b"},
    };
    for (const auto& args : cases)
        EXPECT_EQ(ParseArguments(args).mode, TRunMode::Window) << args.size();
    EXPECT_EQ(ParseArguments({L"/?"}).mode, TRunMode::Usage);
}

} // namespace
