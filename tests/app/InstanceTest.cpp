// The single-instance guard, with real wexdal.exe processes.
#include "app/MainWindow.h"
#include "tests/support/Fixtures.h"
#include "tests/support/Processes.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

using testing_support::ChildProcess;
using testing_support::eventually;
using testing_support::wexdalPath;

TEST(SingleInstance, ASecondStartRestoresTheFirstAndEnds) {
    ChildProcess first(wexdalPath());
    HWND window = first.window("Wexdal");
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(eventually([&] { return IsIconic(window) != FALSE; }));

    ChildProcess second(wexdalPath());
    EXPECT_TRUE(second.endsWithin(15000));
    EXPECT_EQ(second.exitCode(), 0u);
    EXPECT_TRUE(eventually([&] { return IsIconic(window) == FALSE; }));
    EXPECT_NE(GlobalFindAtomA("wexdal.exe"), 0);

    EXPECT_TRUE(first.close("Wexdal"));
    EXPECT_EQ(GlobalFindAtomA("WEXDAL.EXE"), 0);
}

// A window of another program titled "Wexdal", even of the same window class (this
// test program's own MainWindow), never keeps Wexdal from starting while the
// instance's atom is there.
TEST(SingleInstance, AnotherProgramsWexdalWindowDoesNotKeepItFromStarting) {
    app::MainWindow impostor;
    ATOM atom = GlobalAddAtomA("wexdal.exe");
    ChildProcess wexdal(wexdalPath());
    EXPECT_NE(wexdal.window("Wexdal"), nullptr);
    EXPECT_TRUE(wexdal.close("Wexdal"));
    GlobalDeleteAtom(atom);
}

TEST(SingleInstance, ACopyUnderAnotherNameIsItsOwnInstance) {
    testing_support::ScratchFolder folder("C:\\wexdal-tests\\instance");
    std::string copy = folder.file("wexdal-copy.exe");
    ASSERT_TRUE(CopyFileA(wexdalPath().c_str(), copy.c_str(), FALSE));
    ChildProcess original(wexdalPath());
    ASSERT_NE(original.window("Wexdal"), nullptr);
    {
        ChildProcess other(copy);
        EXPECT_FALSE(other.endsWithin(2000));
        EXPECT_NE(other.window("Wexdal"), nullptr);
        EXPECT_NE(GlobalFindAtomA("wexdal-copy.exe"), 0);
        EXPECT_TRUE(other.close("Wexdal"));
    }
    EXPECT_TRUE(original.close("Wexdal"));
}

// "表" ends with the byte of a backslash in code page 932: the names are taken
// whole, not cut inside the character (which made both ".exe").
TEST(SingleInstance, NamesWithDoubleByteCharactersAreTheirOwnInstances) {
    testing_support::ScratchFolder folder("C:\\wexdal-tests\\instance-dbcs");
    std::string table = folder.file("表.exe"), schedule = folder.file("予定表.exe");
    ASSERT_TRUE(CopyFileA(wexdalPath().c_str(), table.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(wexdalPath().c_str(), schedule.c_str(), FALSE));
    ChildProcess first(table);
    ASSERT_NE(first.window("Wexdal"), nullptr);
    {
        ChildProcess second(schedule);
        EXPECT_FALSE(second.endsWithin(2000));
        EXPECT_NE(second.window("Wexdal"), nullptr);
        EXPECT_NE(GlobalFindAtomA("表.exe"), 0);
        EXPECT_NE(GlobalFindAtomA("予定表.exe"), 0);
        EXPECT_TRUE(second.close("Wexdal"));
    }
    EXPECT_TRUE(first.close("Wexdal"));
}

TEST(SingleInstance, AStaleAtomIsAdoptedAndRemovedAtExit) {
    ASSERT_EQ(GlobalFindAtomA("wexdal.exe"), 0);
    GlobalAddAtomA("wexdal.exe"); // left behind by an instance that crashed
    ChildProcess process(wexdalPath());
    ASSERT_NE(process.window("Wexdal"), nullptr);
    EXPECT_TRUE(process.close("Wexdal"));
    EXPECT_EQ(GlobalFindAtomA("wexdal.exe"), 0);
}

} // namespace
