#include "office/OfficeInfo.h"

#include "office/InstallerProducts.h"
#include "tests/sample/SampleMachine.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScratchKey.h"
#include "widgets/Gdi.h"

#include <gtest/gtest.h>

using namespace kel;
using namespace testing_support;

namespace {

const std::string kUninstall = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

class InventoryTest : public testing::Test {
  protected:
    ~InventoryTest() override { sample::Remove(); }

    TKelOfficeInfo detect(const sample::Options& options) {
        sample::Lay(options);
        TKelOfficeInfo info;
        EXPECT_EQ(DetectOffice(info), 0);
        return info;
    }

    // Both products without any product ID in any place.
    static sample::Options withoutIds() {
        sample::Options options = sample::Standard();
        for (sample::Product& product : options.products)
            product.productId.clear();
        return options;
    }

    // Windows Installer keeps its data in the 64-bit view.
    static void putInstallerId(const std::string& user, const sample::Product& product,
                               const std::string& id) {
        EXPECT_EQ(WriteRegString(HKEY_LOCAL_MACHINE,
                                 InstallPropertiesKey(user, PackProductCode(product.code)),
                                 "ProductID", id, RegView::Bits64),
                  0);
    }
};

TEST_F(InventoryTest, TheRegisteredComponentChoosesThePrimaryProduct) {
    sample::Lay(sample::Standard());
    ProductLines sorted;
    EXPECT_EQ(ListOfficeProducts(sorted), 0);
    ASSERT_EQ(sorted.size(), 2u);
    EXPECT_EQ(sorted[0].version, "11.0");

    TKelOfficeInfo info;
    EXPECT_EQ(DetectOffice(info), 0);
    sample::Product xp = sample::OfficeXP();
    ASSERT_EQ(info.VerList.size(), 2u);
    EXPECT_EQ(info.VerList[0].Text(), "10.0\t" + xp.code + "\t" + xp.displayName + "\t" +
                                          xp.displayVersion + "\t" + xp.productId + "\t" +
                                          sample::InstallRoot(10));
    EXPECT_EQ(info.VerList[1].version, "11.0");
    EXPECT_EQ(info.Product.ProductName, "Microsoft Office XP"); // the component's own
    EXPECT_EQ(info.Product.MajorVersion, "10.0");
    EXPECT_EQ(info.InstallPath, sample::InstallRoot(10));
    EXPECT_EQ(info.ProductID, xp.productId);
    EXPECT_EQ(info.GUID, xp.code);
    EXPECT_EQ(info.SID, PackProductCode(xp.code));
}

TEST_F(InventoryTest, WithoutTheComponentTheNewestIsPrimary) {
    sample::Options options = sample::Standard();
    options.componentMajor = 0;
    TKelOfficeInfo info = detect(options);
    sample::Product office2003 = sample::Office2003();
    EXPECT_EQ(info.VerList[0].version, "11.0");
    EXPECT_EQ(info.Product.ProductName, office2003.displayName);
    EXPECT_EQ(info.Product.ProductVersion, office2003.displayVersion);
    EXPECT_EQ(info.Product.MajorVersion, "11.0");
    EXPECT_EQ(info.Product.CompanyName, "");
    EXPECT_EQ(info.InstallPath, sample::InstallRoot(11));
    EXPECT_EQ(info.GUID, office2003.code);
    EXPECT_EQ(info.ProductID, office2003.productId);
}

TEST_F(InventoryTest, EntriesThatAreNoInstalledOfficeAreLeftOut) {
    sample::Options options = sample::Standard();
    // Version 12 is registered, but its install root holds no Office program.
    sample::Product empty{12,
                          "{90120000-0011-0000-0000-0000000FF1CE}",
                          "Microsoft Office Enterprise 2007",
                          "12.0.4518.1014",
                          "",
                          "office11"};
    options.products.push_back(empty);
    sample::Lay(options);
    ScratchFolder emptyRoot(sample::InstallRoot(12));
    for (const char* program : {"EXCEL.EXE", "WINWORD.EXE", "OUTLOOK.EXE"})
        DeleteFileA((sample::InstallRoot(12) + program).c_str());
    installFixture("office11", sample::InstallRoot(12) + "POWERPNT.EXE");

    ScratchKey noBrace(HKEY_LOCAL_MACHINE, kUninstall + "Office10");
    putString(HKEY_LOCAL_MACHINE, noBrace.path(), "DisplayName", "Microsoft Office XP");
    putDword(HKEY_LOCAL_MACHINE, noBrace.path(), "VersionMajor", 10);
    // Braced, but no product code: not an installer product either.
    ScratchKey notACode(HKEY_LOCAL_MACHINE, kUninstall + "{Office10-Copy}");
    putString(HKEY_LOCAL_MACHINE, notACode.path(), "DisplayName", "Microsoft Office XP");
    putDword(HKEY_LOCAL_MACHINE, notACode.path(), "VersionMajor", 10);
    ScratchKey notOffice(HKEY_LOCAL_MACHINE, kUninstall + "{00000000-0000-0000-0000-000000000001}");
    putString(HKEY_LOCAL_MACHINE, notOffice.path(), "DisplayName", "Microsoft Works");
    putDword(HKEY_LOCAL_MACHINE, notOffice.path(), "VersionMajor", 10);
    ScratchKey stringMajor(HKEY_LOCAL_MACHINE,
                           kUninstall + "{00000000-0000-0000-0000-000000000002}");
    putString(HKEY_LOCAL_MACHINE, stringMajor.path(), "DisplayName", "Microsoft Office Tools");
    putString(HKEY_LOCAL_MACHINE, stringMajor.path(), "VersionMajor", "10");

    ProductLines lines;
    EXPECT_EQ(ListOfficeProducts(lines), 0);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].code, sample::Office2003().code);
    EXPECT_EQ(lines[1].code, sample::OfficeXP().code);
}

TEST_F(InventoryTest, MissingColumnsKeepTheirPlace) {
    sample::Options options = sample::Standard();
    options.products[1].displayVersion.clear();
    options.products[1].productId.clear();
    options.installerIds = true;
    TKelOfficeInfo info = detect(options);
    const TProductLine& line = info.VerList[0];
    EXPECT_EQ(line.Text(), "10.0\t" + sample::OfficeXP().code + "\t" +
                               sample::OfficeXP().displayName + "\t\t\t" + sample::InstallRoot(10));
    EXPECT_EQ(line.installRoot, sample::InstallRoot(10));
}

TEST_F(InventoryTest, TabsAndLineBreaksInTheEntryDoNotShiftTheColumns) {
    sample::Options options = sample::Standard();
    options.products[1].displayName = "Microsoft Office\tXP";
    options.products[1].displayVersion = "10.0\r\n6626";
    options.products[1].productId = "\t";
    TKelOfficeInfo info = detect(options);
    const TProductLine& line = info.VerList[0];
    EXPECT_EQ(line.Text(), "10.0\t" + sample::OfficeXP().code +
                               "\tMicrosoft Office XP\t10.0  6626\t \t" + sample::InstallRoot(10));
}

TEST_F(InventoryTest, NoOfficeLeavesTheRecordEmpty) {
    sample::Options options;
    options.componentMajor = 0;
    sample::Lay(options);
    TKelOfficeInfo info;
    info.ProductID = "stale";
    EXPECT_EQ(DetectOffice(info), -1);
    EXPECT_EQ(info.Dump(), TKelOfficeInfo().Dump());
    EXPECT_NE(info.Dump().find("ProductID[]\r\nVerList[↓]\r\nXlsInfo[↓]\r\n"), std::string::npos);
}

// ---- The product-ID chain, one source at a time (XP is primary throughout).

TEST_F(InventoryTest, ProductIdUnknownWhenNoSourceHoldsOne) {
    TKelOfficeInfo info = detect(withoutIds());
    EXPECT_EQ(info.ProductID, "不明");
    EXPECT_NE(info.Dump().find("ProductID[不明]\r\n"), std::string::npos);
}

TEST_F(InventoryTest, ProductIdFromTheRegistrationKeys) {
    sample::Lay(withoutIds());
    std::string registration = "\\SOFTWARE\\Microsoft\\Office\\10.0\\Registration";
    putString(HKEY_LOCAL_MACHINE, registration + "\\" + sample::OfficeXP().code, "ProductID",
              "ID-FROM-PRODUCT-KEY");
    TKelOfficeInfo info;
    DetectOffice(info);
    EXPECT_EQ(info.ProductID, "ID-FROM-PRODUCT-KEY");

    // The ProductID key's default value comes first; an empty one lets the walk run.
    putString(HKEY_LOCAL_MACHINE, registration + "\\ProductID", "", "");
    DetectOffice(info);
    EXPECT_EQ(info.ProductID, "ID-FROM-PRODUCT-KEY");
    putString(HKEY_LOCAL_MACHINE, registration + "\\ProductID", "", "ID-FROM-DEFAULT");
    DetectOffice(info);
    EXPECT_EQ(info.ProductID, "ID-FROM-DEFAULT");
}

TEST_F(InventoryTest, ProductIdFromThePrimaryProductsInstallerData) {
    sample::Lay(withoutIds());
    putInstallerId(sample::InstallerUsers()[1], sample::OfficeXP(), "OWN-ID");
    TKelOfficeInfo info;
    DetectOffice(info);
    EXPECT_EQ(info.ProductID, "OWN-ID");
}

TEST_F(InventoryTest, AnotherProductsIdIsReplacedByTheOwnOneOfALaterUser) {
    sample::Lay(withoutIds());
    putInstallerId(sample::InstallerUsers()[0], sample::Office2003(), "OTHER-PRODUCT-ID");
    TKelOfficeInfo info;
    DetectOffice(info);
    EXPECT_EQ(info.ProductID, "OTHER-PRODUCT-ID");

    putInstallerId(sample::InstallerUsers()[1], sample::OfficeXP(), "OWN-ID");
    DetectOffice(info);
    EXPECT_EQ(info.ProductID, "OWN-ID");
}

TEST_F(InventoryTest, AnEmptyOwnIdEndsTheInstallerSearch) {
    sample::Lay(withoutIds());
    putInstallerId(sample::InstallerUsers()[0], sample::OfficeXP(), "");
    putInstallerId(sample::InstallerUsers()[1], sample::OfficeXP(), "LATER-ID");
    TKelOfficeInfo info;
    DetectOffice(info);
    EXPECT_EQ(info.ProductID, "不明");
}

// ---- Pure rules and the icon.

TEST(IsOfficeFolder, NeedsAnOfficeProgramInAnExistingFolder) {
    ScratchFolder folder("C:\\wexdal-tests\\officefolder");
    std::string path = folder.path(); // ends with one backslash
    EXPECT_FALSE(IsOfficeFolder(""));
    EXPECT_FALSE(IsOfficeFolder(path));
    installFixture("office11", folder.file("POWERPNT.EXE"));
    EXPECT_FALSE(IsOfficeFolder(path));
    installFixture("office11", folder.file("OUTLOOK.EXE"));
    EXPECT_TRUE(IsOfficeFolder(path));
    EXPECT_TRUE(IsOfficeFolder(path + "\\"));
    EXPECT_TRUE(IsOfficeFolder(path.substr(0, path.size() - 1)));
    EXPECT_FALSE(IsOfficeFolder(path + "missing\\"));
}

// The colour an icon draws off its diagonal band: the Office XP fixture's icon is
// red, the Office 2003 one's blue.
enum class Hue { Red, Blue, Other };
Hue hueOf(HICON icon) {
    ui::WindowDc screen(nullptr);
    ui::MemoryCanvas canvas(screen.get(), 32, 32);
    DrawIconEx(canvas.get(), 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
    COLORREF colour = GetPixel(canvas.get(), 26, 6);
    int red = GetRValue(colour), blue = GetBValue(colour);
    return red > blue + 60 ? Hue::Red : blue > red + 60 ? Hue::Blue : Hue::Other;
}

TEST(GetOfficeIcon, PrefersMsofficeThenMsohelpThenTheSystemIcon) {
    ScratchFolder folder("C:\\wexdal-tests\\officeicon");
    TKelOfficeInfo info;
    info.InstallPath = folder.path();
    HICON information = LoadIconA(nullptr, IDI_INFORMATION);
    HICON icon = nullptr;
    EXPECT_EQ(GetOfficeIcon(info, icon), 0);
    EXPECT_EQ(icon, information);

    installFixture("office10", folder.file("1041\\MSOHELP.EXE")); // red
    EXPECT_EQ(GetOfficeIcon(info, icon), 0);
    ASSERT_NE(icon, nullptr);
    EXPECT_NE(icon, information);
    EXPECT_EQ(hueOf(icon), Hue::Red);
    DestroyIcon(icon);

    installFixture("office11", folder.file("1041\\MSOFFICE.EXE")); // blue, beside the red one
    EXPECT_EQ(GetOfficeIcon(info, icon), 0);
    ASSERT_NE(icon, nullptr);
    EXPECT_NE(icon, information);
    EXPECT_EQ(hueOf(icon), Hue::Blue);
    DestroyIcon(icon);
}

TEST_F(InventoryTest, DumpListsTheRecordInOrder) {
    TKelOfficeInfo info = detect(sample::Standard());
    info.Record(kel::TApplication::Excel).ViewName = "Excel";
    std::string expected =
        "↓-- TKelOfficeInfo --↓\r\nProduct[↓]\r\n" + info.Product.Dump() + "InstallPath[" +
        info.InstallPath + "]\r\nSID[" + info.SID + "]\r\nGUID[" + info.GUID + "]\r\nProductID[" +
        info.ProductID + "]\r\nVerList[↓]\r\n" + info.VerList[0].Text() + "\r\n" +
        info.VerList[1].Text() + "\r\nXlsInfo[↓]\r\n" +
        info.Record(kel::TApplication::Excel).Dump() + "DocInfo[↓]\r\n" +
        info.Record(kel::TApplication::Word).Dump() + "PptInfo[↓]\r\n" +
        info.Record(kel::TApplication::PowerPoint).Dump() + "EmlInfo[↓]\r\n" +
        info.Record(kel::TApplication::Outlook).Dump() + "↑-- TKelOfficeInfo --↑\r\n";
    EXPECT_EQ(info.Dump(), expected);
    EXPECT_NE(info.Dump().find("\t"), std::string::npos); // tabs kept
}

} // namespace
