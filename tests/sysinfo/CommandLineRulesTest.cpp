#include "sysinfo/CommandLineRules.h"

#include <gtest/gtest.h>

using namespace kel;

namespace {

std::string fakeEnvironment(const std::string& name) {
    if (name == "SystemRoot")
        return "C:\\windows";
    if (name == "ProgramFiles")
        return "C:\\Program Files";
    return "";
}

std::string reduce(const std::string& s) {
    return ReduceCommandLine(s, fakeEnvironment);
}

TEST(ReduceCommandLine, GivesThePathForEveryRegisteredShape) {
    EXPECT_EQ(reduce("\"C:\\Program Files\\Office\\EXCEL.EXE\" /e"),
              "C:\\Program Files\\Office\\EXCEL.EXE");
    EXPECT_EQ(reduce("\"C:\\Office\\WINWORD.EXE\" /n /dde"), "C:\\Office\\WINWORD.EXE");
    EXPECT_EQ(reduce("\"C:\\Office\\EXCEL.EXE\" \"%1\""), "");
    EXPECT_EQ(reduce("C:\\Office\\EXCEL.EXE /e"), "C:\\Office\\EXCEL.EXE");
    EXPECT_EQ(reduce("C:\\Office\\EXCEL.EXE,1"), "C:\\Office\\EXCEL.EXE");
    EXPECT_EQ(reduce("%SystemRoot%\\system32\\notepad.exe %1"),
              "C:\\windows\\system32\\notepad.exe");
    EXPECT_EQ(reduce("C:\\Program Files\\Office\\EXCEL.EXE /e"),
              "C:\\Program Files\\Office\\EXCEL.EXE");
    EXPECT_EQ(reduce("C:\\My Office\\EXCEL.EXE /e"), "C:\\My Office\\EXCEL.EXE");
    EXPECT_EQ(reduce("C:\\Program Files\\Office.11\\EXCEL.EXE"),
              "C:\\Program Files\\Office.11\\EXCEL.EXE");
    EXPECT_EQ(reduce("C:\\My Files.x\\run now"), "C:\\My Files.x\\run");
    EXPECT_EQ(reduce("C:\\Tools\\run now"), "C:\\Tools\\run");
    EXPECT_EQ(reduce(""), "");
}

TEST(ReduceCommandLine, QuoteLoopsOnOddInputs) {
    EXPECT_EQ(reduce("'C:\\x.exe' /e"), "C:\\x.exe");
    EXPECT_EQ(reduce("\"C:\\x.exe"), "");          // the last quote cuts everything
    EXPECT_EQ(reduce("C:\\x.exe\""), "C:\\x.exe"); // a trailing quote only
    EXPECT_EQ(reduce("\"a\" \"b\" \"c\""), "b");   // the loop peels from both ends
    EXPECT_EQ(reduce("'\"C:\\x.exe\"'"), "C:\\x.exe");
    EXPECT_EQ(reduce("\"\""), "");
    EXPECT_EQ(reduce("'''"), "");
    // "C:\\表\\x.exe": the trail byte of "表" (0x95 0x5C) is a backslash.
    EXPECT_EQ(reduce("\"C:\\\x95\x5C\\x.exe\" /e"), "C:\\\x95\x5C\\x.exe");
}

TEST(ExpandFirstVariable, ReplacesOnlyTheFirstReference) {
    EXPECT_EQ(ExpandFirstVariable("%SystemRoot%\\x", fakeEnvironment), "C:\\windows\\x");
    EXPECT_EQ(ExpandFirstVariable("pre%SystemRoot%\\x", fakeEnvironment), "C:\\windows\\x");
    EXPECT_EQ(ExpandFirstVariable("%Unset%\\x", fakeEnvironment), "\\x");
    EXPECT_EQ(ExpandFirstVariable("50%", fakeEnvironment), "50%");
    EXPECT_EQ(ExpandFirstVariable("%SystemRoot%%ProgramFiles%", fakeEnvironment),
              "C:\\windows%ProgramFiles%");
}

} // namespace
