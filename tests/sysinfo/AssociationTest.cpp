#include "sysinfo/Association.h"

#include "sysinfo/Registry.h"

#include "tests/support/Fixtures.h"
#include "tests/support/ScratchKey.h"

#include <gtest/gtest.h>

using namespace kel;
using namespace testing_support;

namespace {

// .xls of class WexdalTest.Sheet, whose handler is a fixture copied as EXCEL.EXE.
class AssociationTest : public testing::Test {
  protected:
    ScratchFolder folder{"C:\\wexdal-tests\\association"};
    ScratchKey extension{HKEY_CLASSES_ROOT, "\\.xls"};
    ScratchKey documentClass{HKEY_CLASSES_ROOT, "\\WexdalTest.Sheet"};
    std::string excel = folder.file("EXCEL.EXE");
    std::string other = folder.file("CALC.EXE");

    AssociationTest() {
        installFixture("office11", excel);
        installFixture("office10", other);
        putString(HKEY_CLASSES_ROOT, extension.path(), "", "WexdalTest.Sheet");
        setCommand("\"" + excel + "\" /e");
    }

    void setCommand(const std::string& command) {
        putString(HKEY_CLASSES_ROOT, documentClass.sub("shell\\Open\\command"), "", command);
    }
    void setIcon(const std::string& location) {
        putString(HKEY_CLASSES_ROOT, documentClass.sub("DefaultIcon"), "", location);
    }
};

TEST_F(AssociationTest, AnyExtensionSpellingReadsTheSameKey) {
    for (const char* ext : {"xls", ".XLS", "Xls", ".xls"}) {
        TKelExtInfo info;
        info.ViewName = "Excel";
        EXPECT_EQ(GetExtInfo(ext, {"EXCEL.EXE"}, info), 0) << ext;
        EXPECT_EQ(info.ExtName, "Xls");
        EXPECT_EQ(info.FileName, excel);
        EXPECT_EQ(info.ViewName, "");
        EXPECT_EQ(info.ProductInfo.MajorVersion, "11.0");
        EXPECT_NE(info.IconHandle, nullptr);
    }
}

TEST_F(AssociationTest, HandlerPathMatchesInAnyLetterCase) {
    setCommand("C:\\WEXDAL-TESTS\\Association\\excel.exe /e");
    TKelExtInfo info;
    EXPECT_EQ(GetExtInfo("xls", {"EXCEL.EXE"}, info), 0);
    EXPECT_EQ(info.FileName, "C:\\WEXDAL-TESTS\\Association\\excel.exe");

    // Any of several expected names will do.
    EXPECT_EQ(GetExtInfo("xls", {"OUTLOOK.EXE", "Excel.exe"}, info), 0);
    EXPECT_EQ(GetExtInfo("xls", {}, info), -1);
}

TEST_F(AssociationTest, AnotherProgramKeepsItsNameAndVersionButGetsNoIcon) {
    setCommand(other + " /e");
    setIcon(excel + ",0");
    TKelExtInfo info;
    EXPECT_EQ(GetExtInfo("xls", {"EXCEL.EXE"}, info), -1);
    EXPECT_EQ(info.FileName, other);
    EXPECT_EQ(info.ProductInfo.MajorVersion, "10.0");
    EXPECT_EQ(info.IconHandle, nullptr);
}

TEST_F(AssociationTest, IconComesFromDefaultIconOrTheHandler) {
    TKelExtInfo info;
    // No DefaultIcon: the handler's own icon.
    EXPECT_EQ(GetExtInfo("xls", {"EXCEL.EXE"}, info), 0);
    EXPECT_NE(info.IconHandle, nullptr);

    // Index 1 is named, but the first icon is taken (the fixture has only one).
    setIcon(excel + ",1");
    EXPECT_EQ(GetExtInfo("xls", {"EXCEL.EXE"}, info), 0);
    EXPECT_NE(info.IconHandle, nullptr);

    // An icon file that does not exist.
    setIcon(folder.file("gone.ico"));
    EXPECT_EQ(GetExtInfo("xls", {"EXCEL.EXE"}, info), -1);
    EXPECT_EQ(info.IconHandle, nullptr);
    EXPECT_EQ(info.FileName, excel);
}

TEST_F(AssociationTest, UnusableCommandsAndClassesGiveNoHandler) {
    TKelExtInfo info;
    setCommand("\"" + excel + "\" \"%1\"");
    EXPECT_EQ(GetExtInfo("xls", {"EXCEL.EXE"}, info), -1);
    EXPECT_EQ(info.FileName, "");
    EXPECT_EQ(info.ExtName, "Xls");

    setCommand(folder.file("MISSING.EXE") + " /e");
    EXPECT_EQ(GetExtInfo("xls", {"EXCEL.EXE"}, info), -1);
    EXPECT_EQ(info.FileName, "");

    removeTree(HKEY_CLASSES_ROOT, extension.path());
    EXPECT_EQ(GetExtInfo("xls", {"EXCEL.EXE"}, info), -1);
    EXPECT_EQ(info.ExtName, "Xls");
}

// A class name that code page 932 changes (a yen sign reads back as a backslash)
// would address another key: such a name is no class.
TEST_F(AssociationTest, AClassNameThatDoesNotReadBackExactlyIsNoClass) {
    ScratchKey decoy{HKEY_CLASSES_ROOT, "\\WexdalTest"};
    putString(HKEY_CLASSES_ROOT, decoy.sub("Sheet\\shell\\Open\\command"), "",
              "\"" + excel + "\" /e");
    putWideString(HKEY_CLASSES_ROOT, L".xls", L"", L"WexdalTest\u00A5Sheet");
    TKelExtInfo info;
    EXPECT_EQ(GetExtInfo("xls", {"EXCEL.EXE"}, info), -1);
    EXPECT_EQ(info.FileName, "");
}

TEST_F(AssociationTest, DumpNestsTheProductBlock) {
    TKelExtInfo info;
    EXPECT_EQ(info.Dump(), "↓-- TKelExtInfo --↓\r\nExtName[]\r\nIconHandle[0]\r\nFileName[]\r\n"
                           "ViewName[]\r\nProductInfo[↓]\r\n" +
                               TKelProductInfo().Dump() + "↑-- TKelExtInfo --↑\r\n");
    GetExtInfo("xls", {"EXCEL.EXE"}, info);
    info.ViewName = "Excel";
    std::string dump = info.Dump();
    EXPECT_NE(dump.find("ExtName[Xls]\r\n"), std::string::npos);
    EXPECT_NE(dump.find("IconHandle[" + std::to_string(reinterpret_cast<INT_PTR>(info.IconHandle)) +
                        "]\r\n"),
              std::string::npos);
    EXPECT_NE(dump.find("FileName[" + excel + "]\r\nViewName[Excel]\r\n"), std::string::npos);
    EXPECT_NE(dump.find(info.ProductInfo.Dump()), std::string::npos);
}

TEST(GetProgramFilesDir, ReadsTheValueOrGivesEmpty) {
    const char* key = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    std::string saved;
    ASSERT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, key, "ProgramFilesDir", saved), 0);
    // A 32-bit program reads the 32-bit view of a 64-bit prefix.
    EXPECT_EQ(saved, sizeof(void*) == 4 ? "C:\\Program Files (x86)" : "C:\\Program Files");
    putString(HKEY_LOCAL_MACHINE, key, "ProgramFilesDir", "D:\\Programme (Wexdal)");
    EXPECT_EQ(GetProgramFilesDir(), "D:\\Programme (Wexdal)");

    (void)DeleteRegValue(HKEY_LOCAL_MACHINE, key, "ProgramFilesDir");
    EXPECT_EQ(GetProgramFilesDir(), "");
    EXPECT_EQ(WriteRegString(HKEY_LOCAL_MACHINE, key, "ProgramFilesDir", saved), 0);
}

} // namespace
