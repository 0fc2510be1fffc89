// Page construction: the menu items and pages built at the first activation.
#include "app/Unit1.h"

namespace app {

// Builds the menu. The Office, Excel, Word, PowerPoint and Outlook pages are not
// built yet: for now only the "About" item is added.
void TForm1::BuildPages() {
    gPagesBuilt = true;
    kel::TKelExtInfo about;
    about.IconHandle = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    about.ViewName = "About";
    AddPage(about);
    GLB_Menu->SetItemIndex(GLB_Menu->Count() - 1);
}

void TForm1::AddPage(kel::TKelExtInfo& record) {
    const std::string& item = record.ViewName;
    IL_Menu->AddIcon(record.IconHandle);
    GLB_Menu->AddItem(item);
    if (item == "About")
        return;
    ui::TGroupBox& page = Create<ui::TGroupBox>("GB_" + item, Handle());
    page.SetBounds(GB_About->Left(), GB_About->Top(), GB_About->Width(), GB_About->Height());
    page.SendToBack();
    page.Hide();
    kel::TKelProductInfo version;
    if (!record.FileName.empty() && kel::ReadProductInfo(record.FileName, version) == 0)
        page.SetCaption(version.FileDescription + " [Version " + version.FileVersion + "]");
}

} // namespace app
