#include "app/Inventory.h"
#include "app/MainWindow.h"

#include "office/OfficeInfo.h"
#include "tests/sample/ModernMachine.h"
#include "tests/sample/SampleMachine.h"
#include "tests/support/ScratchKey.h"

#include <gtest/gtest.h>

#include <memory>

using namespace testing_support;

namespace {

// Click-to-Run Office has no install root key: its program folder comes from the
// VerList line.
TEST(ModernPages, FindInOfficeRootsTakesTheLinesFolderWithoutAnInstallRoot) {
    sample::LayM365();
    {
        app::MainWindow form; // creates the inventory record
        ASSERT_EQ(kel::DetectOffice(form.OfficeInfo()), 0);
        kel::TKelExtInfo record;
        record.ViewName = "stale";
        app::FindInOfficeRoots(form.OfficeInfo(), "WINWORD.EXE", record);
        EXPECT_EQ(record.FileName, sample::M365Folder() + "WINWORD.EXE");
        EXPECT_EQ(record.ProductInfo.ProductVersion, sample::kM365Version);
        EXPECT_NE(record.IconHandle, nullptr);
        EXPECT_EQ(record.ViewName, "");

        app::FindInOfficeRoots(form.OfficeInfo(), "MSACCESS.EXE", record);
        EXPECT_EQ(record.FileName, "");

        // An install root in the program's view that is empty, or names the folder
        // of a removed Office, hides nothing.
        const char* view = sizeof(void*) == 8 ? "HKLM64" : "HKLM32";
        for (const std::string& stale : {std::string(), sample::Office2016Folder()}) {
            sample::LayTextInView(view, "\\SOFTWARE\\Microsoft\\Office\\16.0\\Common\\InstallRoot",
                                  "Path", stale);
            app::FindInOfficeRoots(form.OfficeInfo(), "POWERPNT.EXE", record);
            EXPECT_EQ(record.FileName, sample::M365Folder() + "POWERPNT.EXE") << stale;
        }
    }
    sample::Remove();
}

// Without its document class, Word of Microsoft 365 still gets its page.
TEST(ModernPages, AnApplicationWithoutItsClassIsFoundInTheProgramFolder) {
    sample::LayM365();
    removeTree(HKEY_CLASSES_ROOT, "\\.doc");
    {
        app::MainWindow form;
        if (!form.PagesBuilt())
            form.BuildPages();
        EXPECT_EQ(form.OfficeInfo().Record(kel::TApplication::Word).FileName,
                  sample::M365Folder() + "WINWORD.EXE");
        EXPECT_EQ(form.OfficeInfo().Record(kel::TApplication::Word).ExtName, "Doc");
        ASSERT_NE(form.Find<ui::TGroupBox>("GB_Word"), nullptr);
        EXPECT_EQ(form.Find<ui::TGroupBox>("GB_Word")->Caption(),
                  "Microsoft Word [Version " + std::string(sample::kM365Version) + "]");
    }
    sample::Remove();
}

} // namespace
