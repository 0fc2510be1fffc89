#include "sysinfo/ProductInfo.h"

#include "tests/support/Fixtures.h"
#include "tests/support/OfficeProgram.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace kel;
using testing_support::fixturePath;
using testing_support::installFixture;
using testing_support::ScratchFolder;

namespace {

TEST(ReadProductInfo, ReadsAllEightStringsOfTheFirstTranslation) {
    TKelProductInfo info;
    EXPECT_EQ(ReadProductInfo(fixturePath("office11"), info), 0);
    EXPECT_EQ(info.CompanyName, "Microsoft Corporation");
    EXPECT_EQ(info.FileDescription, "テスト用プログラム");
    EXPECT_EQ(info.FileVersion, "11.0.5604");
    EXPECT_EQ(info.InternalName, "Fixture");
    EXPECT_EQ(info.LegalCopyright, "Copyright (C) Microsoft Corporation");
    EXPECT_EQ(info.OriginalFilename, "Fixture.exe");
    EXPECT_EQ(info.ProductName, "Microsoft Office 2003");
    EXPECT_EQ(info.ProductVersion, "11.0.5604");
    EXPECT_EQ(info.MajorVersion, "11.0");

    // Of two translations, only the first one counts.
    EXPECT_EQ(ReadProductInfo(fixturePath("twotranslations"), info), 0);
    EXPECT_EQ(info.CompanyName, "Microsoft Corporation");
    EXPECT_EQ(info.ProductVersion, "11.0.5604");
}

TEST(ReadProductInfo, StopsAtTheFirstMissingString) {
    TKelProductInfo info;
    EXPECT_EQ(ReadProductInfo(fixturePath("nocopyright"), info), -1);
    EXPECT_EQ(info.CompanyName, "Microsoft Corporation");
    EXPECT_EQ(info.InternalName, "Fixture");
    EXPECT_EQ(info.LegalCopyright, "");
    EXPECT_EQ(info.OriginalFilename, "");
    EXPECT_EQ(info.ProductName, "");
    EXPECT_EQ(info.ProductVersion, "");
    EXPECT_EQ(info.MajorVersion, "");
}

TEST(ReadProductInfo, EmptiesTheRecordWhenNothingCanBeRead) {
    for (const char* path : {"none", "notranslation", "missing"}) {
        TKelProductInfo info;
        EXPECT_EQ(ReadProductInfo(fixturePath("office11"), info), 0);
        ASSERT_FALSE(info.CompanyName.empty());
        EXPECT_EQ(ReadProductInfo(fixturePath(path), info), -1) << path;
        EXPECT_EQ(info.Dump(), TKelProductInfo().Dump()) << path;
    }
    TKelProductInfo info;
    EXPECT_EQ(ReadProductInfo("C:\\windows", info), -1); // a folder is no file
}

// A block is read whole whatever its size: below, near and above the room a usual
// one is read in at once.
TEST(ReadProductInfo, ReadsAVersionBlockOfAnySizeWhole) {
    ScratchFolder folder("C:\\wexdal-tests\\productinfo-large");
    std::string program = folder.file("PROGRAM.EXE");
    for (size_t length : {100u, 2000u, 4000u, 12000u}) {
        installFixture("office11", program);
        testing_support::SetFileDescription(program, std::wstring(length, L'x'));
        TKelProductInfo info;
        EXPECT_EQ(ReadProductInfo(program, info), 0) << length;
        EXPECT_EQ(info.FileDescription, std::string(length, 'x'));
        EXPECT_EQ(info.ProductVersion, "11.0.5604") << length;
    }
}

TEST(ReadProductInfo, MajorVersionNeedsTwoDots) {
    TKelProductInfo info;
    EXPECT_EQ(ReadProductInfo(fixturePath("six"), info), 0);
    EXPECT_EQ(info.ProductVersion, "6.00");
    EXPECT_EQ(info.MajorVersion, "");
}

TEST(ProductInfoReuse, ASecondReadOfAFileGivesTheFirstAgainOnlyWhileItLives) {
    ScratchFolder folder("C:\\wexdal-tests\\productinfo");
    std::string program = folder.file("PROGRAM.EXE"), partial = folder.file("PARTIAL.EXE");
    installFixture("office11", program);
    installFixture("nocopyright", partial);
    TKelProductInfo info, failed;
    {
        ProductInfoReuse reuse;
        EXPECT_EQ(ReadProductInfo(program, info), 0);
        EXPECT_EQ(ReadProductInfo(partial, failed), -1);
        installFixture("office10", program); // the files change meanwhile
        DeleteFileA(partial.c_str());
        TKelProductInfo again, failedAgain;
        again.CompanyName = failedAgain.ProductName = "left over";
        EXPECT_EQ(ReadProductInfo(program, again), 0);
        EXPECT_EQ(again.Dump(), info.Dump());
        EXPECT_EQ(info.FileVersion, "11.0.5604");
        EXPECT_EQ(ReadProductInfo(partial, failedAgain), -1);
        EXPECT_EQ(failedAgain.Dump(), failed.Dump());
        EXPECT_EQ(failed.InternalName, "Fixture");
        EXPECT_EQ(failed.ProductName, "");
    }
    EXPECT_EQ(ReadProductInfo(program, info), 0);
    EXPECT_EQ(info.FileVersion, "10.0.6626");
    EXPECT_EQ(ReadProductInfo(partial, failed), -1);
    EXPECT_EQ(failed.Dump(), TKelProductInfo().Dump());
}

TEST(ProductInfoReuse, AnInnerScopeReadsAfreshAndTheOuterReuseOutlivesIt) {
    ScratchFolder folder("C:\\wexdal-tests\\productinfo-nested");
    std::string program = folder.file("PROGRAM.EXE");
    installFixture("office11", program);
    TKelProductInfo info;
    ProductInfoReuse outer;
    EXPECT_EQ(ReadProductInfo(program, info), 0);
    EXPECT_EQ(info.FileVersion, "11.0.5604");
    installFixture("office10", program);
    {
        ProductInfoReuse inner;
        EXPECT_EQ(ReadProductInfo(program, info), 0);
        EXPECT_EQ(info.FileVersion, "10.0.6626");
    }
    TKelProductInfo again;
    EXPECT_EQ(ReadProductInfo(program, again), 0);
    EXPECT_EQ(again.FileVersion, "11.0.5604"); // the outer scope's read, not the file
}

TEST(TKelProductInfo, DumpsElevenFramedLines) {
    TKelProductInfo info;
    EXPECT_EQ(info.Dump(), "\x81\xAB-- TKelProductInfo --\x81\xAB\r\n"
                           "CompanyName[]\r\nFileDescription[]\r\nFileVersion[]\r\n"
                           "InternalName[]\r\nLegalCopyright[]\r\nOriginalFilename[]\r\n"
                           "ProductName[]\r\nProductVersion[]\r\nMajorVersion[]\r\n"
                           "\x81\xAA-- TKelProductInfo --\x81\xAA\r\n");
    ReadProductInfo(fixturePath("office10"), info);
    EXPECT_EQ(info.Dump(), "↓-- TKelProductInfo --↓\r\n"
                           "CompanyName[Microsoft Corporation]\r\n"
                           "FileDescription[テスト用プログラム]\r\n"
                           "FileVersion[10.0.6626]\r\n"
                           "InternalName[Fixture]\r\n"
                           "LegalCopyright[Copyright (C) Microsoft Corporation]\r\n"
                           "OriginalFilename[Fixture.exe]\r\n"
                           "ProductName[Microsoft Office XP]\r\n"
                           "ProductVersion[10.0.6626]\r\n"
                           "MajorVersion[10.0]\r\n"
                           "↑-- TKelProductInfo --↑\r\n");
    info.Clear();
    EXPECT_EQ(info.Dump(), TKelProductInfo().Dump());
}

} // namespace
