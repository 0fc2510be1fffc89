// The About page: its layout, its links and the information report.
#include "app/MainWindow.h"

#include "app/Report.h"
#include "widgets/MessageDialog.h"
#include "sysinfo/ProductInfo.h"
#include "sysinfo/WebPage.h"

namespace app {

namespace {

std::string ownExecutablePath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// Shift, Ctrl, the left and the right button: the four that reveal the report button.
int revealKeysHeld(unsigned keys) {
    int count = 0;
    for (unsigned key : {MK_SHIFT, MK_CONTROL, MK_LBUTTON, MK_RBUTTON})
        count += (keys & key) ? 1 : 0;
    return count;
}

} // namespace

void MainWindow::layOutAboutPage() {
    int w = GB_About->Width(), h = GB_About->Height();
    IM_Wexd->SetPosition(
        (w - LL_Vector->Width()) / 2,
        (h - (IM_Wexd->Height() + LL_Version->Height() + 12 * LL_Copyright->Height() + 12)) / 2);
    LL_Wexd->SetPosition(IM_Wexd->Left() + IM_Wexd->Width() + 16,
                         IM_Wexd->Top() + (IM_Wexd->Height() - LL_Wexd->Height()) / 2);
    kel::TKelProductInfo own;
    if (kel::ReadProductInfo(ownExecutablePath(), own) == 0)
        LL_Version->SetCaption("Version " + own.ProductVersion);
    LL_Version->SetPosition(LL_Wexd->Left() + LL_Wexd->Width() - LL_Version->Width(),
                            LL_Wexd->Top() + LL_Wexd->Height() + 4);
    LL_Copyright->SetPosition(IM_Wexd->Left(),
                              LL_Version->Top() + LL_Version->Height() + LL_Copyright->Height());
    LL_Support->SetPosition((w - LL_Vector->Width()) / 2,
                            LL_Copyright->Top() + 4 * LL_Copyright->Height());
    LL_Site->SetPosition(LL_Support->Left(), LL_Support->Top() + LL_Support->Height() + 4);
    LL_Download->SetPosition(LL_Support->Left(), LL_Site->Top() + 2 * LL_Site->Height());
    LL_Vector->SetPosition(LL_Support->Left(), LL_Download->Top() + LL_Download->Height() + 4);
    IM_Link->SetPosition(w - IM_Link->Width() - 8, h - IM_Link->Height() - 8);
    BT_Info->SetBounds(7, IM_Link->Top() + 1, IM_Link->Left() - 7 - 10, IM_Link->Height() - 2);
    AddButtonFrame("BV_Info", *BT_Info).Hide();
    BT_Info->Hide();
    MM_Info->SetBounds(8, 20, w - 2 * 8, IM_Link->Top() - 4 - 20);
}

// A link label: red under the pointer, blue otherwise (the hot-light colour under
// a high-contrast theme); a click asks, then opens the address the label shows at
// that moment.
void MainWindow::bindLink(ui::TLabel& link, const std::string& question) {
    auto recolour = [](ui::TComponent& sender, ui::TColor color) {
        auto& label = static_cast<ui::TLabel&>(sender);
        ui::TFontSpec font = label.FontSpec();
        font.Color = color;
        label.SetFont(font);
        label.Repaint();
    };
    link.OnMouseEnter = [recolour](ui::TComponent& sender) {
        recolour(sender, kLinkHotColor.Resolve());
    };
    link.OnMouseLeave = [recolour](ui::TComponent& sender) {
        recolour(sender, kLinkColor.Resolve());
    };
    link.OnClick = [question](ui::TComponent& sender) {
        AskThenOpen(question, static_cast<ui::TLabel&>(sender).Caption());
    };
}

void AskThenOpen(const std::string& question, const std::string& url) {
    if (ui::ShowMessageDialog(question, ui::TMsgDlgType::mtConfirmation, ui::mbYes | ui::mbNo) ==
        ui::mrYes)
        kel::OpenUrl(url);
}

void OpenMakerSite() {
    AskThenOpen("ソフト工房「Tarnholm」へアクセスしますか？", kel::kMakerSiteUrl);
}

void MainWindow::IM_WexdMouseDown(ui::TImage&, unsigned keys) {
    if (BT_Info->Visible() || revealKeysHeld(keys) != 4)
        return;
    Find<ui::TControl>("BV_Info")->Show();
    BT_Info->Show();
}

void MainWindow::BT_InfoClick(ui::TComponent&) {
    MM_Info->SetCaption(InformationReport(*officeInfo_, *infoBefore_));
    MM_Info->Show();
}

} // namespace app
