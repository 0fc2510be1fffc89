// The About page: its layout, its links and the information report.
#include "app/AboutPage.h"

#include "app/ControlNames.h"
#include "app/MainWindow.h"

#include "app/Report.h"
#include "widgets/MessageDialog.h"
#include "sysinfo/Account.h"
#include "sysinfo/ProductInfo.h"
#include "sysinfo/RegBackup.h"
#include "sysinfo/Start.h"
#include "sysinfo/FileSystem.h"
#include "sysinfo/Text.h"
#include "sysinfo/WebPage.h"

#include <algorithm>
#include <shlobj.h>

namespace app {

namespace {

// Shift, Ctrl, the left and the right button: the four that reveal the report button.
int revealKeysHeld(unsigned keys) {
    int count = 0;
    for (unsigned key : {MK_SHIFT, MK_CONTROL, MK_LBUTTON, MK_RBUTTON})
        count += (keys & key) ? 1 : 0;
    return count;
}

// Opens the user's folder of backups in Explorer, made when no change made it yet,
// and the machine's beside it where the machine's changes have left backups.
void openBackupFolder() {
    std::wstring folder = kel::gBackupFolder(kel::TBackupPlace::User);
    if (folder.empty())
        return;
    SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    if (!kel::gStart({kel::TStart::Kind::Open, folder, L""}, kel::TShow::Normal))
        ui::ShowMessageDialog("フォルダを開けませんでした: " + kel::WideToAnsi(folder),
                              ui::TMsgDlgType::mtWarning, ui::mbOK);
    std::vector<kel::TBackupFile> backups = kel::ListBackups();
    if (std::any_of(backups.begin(), backups.end(), [](const kel::TBackupFile& backup) {
            return backup.place == kel::TBackupPlace::Machine;
        }))
        kel::gStart({kel::TStart::Kind::Open, kel::gBackupFolder(kel::TBackupPlace::Machine), L""},
                    kel::TShow::Normal);
}

} // namespace

AboutPage::AboutPage(MainWindow& window) : Page(window, *window.GB_About, names::kAboutItem) {
    HWND page = Box().Handle();
    IM_Wexd = &window.Create<ui::TImage>("IM_Wexd", page);
    LL_Wexd = &window.Create<ui::TLabel>("LL_Wexd", page);
    LL_Version = &window.Create<ui::TLabel>("LL_Version", page);
    LL_Copyright = &window.Create<ui::TLabel>("LL_Copyright", page);
    LL_Support = &window.Create<ui::TLabel>("LL_Support", page);
    LL_Site = &window.Create<ui::TLabel>("LL_Site", page);
    LL_Download = &window.Create<ui::TLabel>("LL_Download", page);
    LL_Vector = &window.Create<ui::TLabel>("LL_Vector", page);
    LL_History = &window.Create<ui::TLabel>("LL_History", page);
    IM_Link = &window.Create<ui::TImage>("IM_Link", page);
    BT_Info = &window.Create<ui::TButton>("BT_Info", page);
    MM_Info = &window.Create<ui::TMemo>("MM_Info", page);

    IM_Wexd->SetIcon(GetModuleHandleA(nullptr), 1);
    IM_Wexd->SetBounds(0, 0, 32, 32);
    LL_Wexd->SetFont(WindowFont(21, true));
    LL_Wexd->SetCaption("Wexdal");
    LL_Version->SetFont(WindowFont(16));
    LL_Version->SetCaption("Version ");
    kel::TKelProductInfo own;
    if (kel::ReadProductInfo(kel::WideToAnsi(kel::OwnProgramPath()), own) == 0)
        LL_Version->SetCaption("Version " + own.ProductVersion);
    LL_Copyright->SetCaption(kMakerNotice);
    LL_Support->SetCaption("[Support]");
    ui::TFontSpec link;
    link.Color = kLinkColor.Resolve();
    link.Underline = true;
    LL_Site->SetFont(link);
    LL_Site->SetCaption(kel::kVectorAuthorUrl);
    LL_Download->SetCaption("[Download from Vector]");
    LL_Vector->SetFont(link);
    LL_Vector->SetCaption(kel::kVectorProgramUrl);
    LL_History->SetFont(link);
    LL_History->SetCaption("変更の履歴");
    IM_Link->SetPicture([](int ppi) { return ui::LoadPicture("BANNER", ppi); });
    IM_Link->OnClick = [](ui::TComponent&) { OpenMakerSite(); };
    IM_Wexd->OnMouseDown = [this](ui::TImage& sender, unsigned keys) {
        IM_WexdMouseDown(sender, keys);
    };
    BT_Info->OnClick = [this](ui::TComponent& sender) { BT_InfoClick(sender); };
    bindLink(*LL_Site, "ソフト工房「Tarnholm」へアクセスしますか？");
    bindLink(*LL_Vector, "Vectorの紹介ページへアクセスしますか？");
    colourOnHover(*LL_History);
    LL_History->OnClick = [](ui::TComponent&) { openBackupFolder(); };
    IM_Link->SetBounds(0, 0, 88, 31);
    BT_Info->SetCaption("取得情報表示");
    for (ui::TControl* control : std::initializer_list<ui::TControl*>{
             IM_Wexd, LL_Wexd, LL_Version, LL_Copyright, LL_Support, LL_Site, LL_Download,
             LL_Vector, LL_History, IM_Link})
        control->Show();
}

void AboutPage::LayOut() {
    int w = Box().Width(), h = Box().Height();
    IM_Wexd->SetPosition(
        (w - LL_Vector->Width()) / 2,
        (h - (IM_Wexd->Height() + LL_Version->Height() + 12 * LL_Copyright->Height() + 12)) / 2);
    LL_Wexd->SetPosition(IM_Wexd->Left() + IM_Wexd->Width() + 16,
                         IM_Wexd->Top() + (IM_Wexd->Height() - LL_Wexd->Height()) / 2);
    // Under the name, right edges aligned; a version line wider than the name starts
    // where the name starts instead of reaching under the icon.
    LL_Version->SetPosition(
        std::max(LL_Wexd->Left() + LL_Wexd->Width() - LL_Version->Width(), LL_Wexd->Left()),
        LL_Wexd->Top() + LL_Wexd->Height() + 4);
    LL_Copyright->SetPosition(IM_Wexd->Left(),
                              LL_Version->Top() + LL_Version->Height() + LL_Copyright->Height());
    LL_Support->SetPosition((w - LL_Vector->Width()) / 2,
                            LL_Copyright->Top() + 4 * LL_Copyright->Height());
    LL_Site->SetPosition(LL_Support->Left(), LL_Support->Top() + LL_Support->Height() + 4);
    LL_Download->SetPosition(LL_Support->Left(), LL_Site->Top() + 2 * LL_Site->Height());
    LL_Vector->SetPosition(LL_Support->Left(), LL_Download->Top() + LL_Download->Height() + 4);
    LL_History->SetPosition(LL_Support->Left(), LL_Vector->Top() + 2 * LL_Vector->Height());
    IM_Link->SetPosition(w - IM_Link->Width() - 8, h - IM_Link->Height() - 8);
    BT_Info->SetBounds(7, IM_Link->Top() + 1, IM_Link->Left() - 7 - 10, IM_Link->Height() - 2);
    if (infoFrame_ == nullptr) { // made at the first arrangement, hidden with its button
        infoFrame_ = &window_.AddButtonFrame("BV_Info", *BT_Info);
        infoFrame_->Hide();
        BT_Info->Hide();
    }
    MM_Info->SetBounds(8, 20, w - 2 * 8, IM_Link->Top() - 4 - 20);
}

// A link label: red under the pointer, blue otherwise (the hot-light colour under
// a high-contrast theme).
void AboutPage::colourOnHover(ui::TLabel& link) {
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
}

// A link to a site: a click asks, then opens the address the label shows at that
// moment.
void AboutPage::bindLink(ui::TLabel& link, const std::string& question) {
    colourOnHover(link);
    link.OnClick = [question](ui::TComponent& sender) {
        AskThenOpen(question, static_cast<ui::TLabel&>(sender).Caption());
    };
}

void AskThenOpen(const std::string& question, const std::string& url) {
    if (ui::ShowMessageDialog(question, ui::TMsgDlgType::mtConfirmation, ui::mbYes | ui::mbNo) ==
            ui::mrYes &&
        kel::OpenUrl(url) != 0)
        ui::ShowMessageDialog(kel::gProcessElevated() ? kel::kElevatedOpensNothing
                                                      : "開けませんでした。",
                              ui::TMsgDlgType::mtWarning, ui::mbOK);
}

void OpenMakerSite() {
    AskThenOpen("ソフト工房「Tarnholm」へアクセスしますか？", kel::kMakerSiteUrl);
}

void AboutPage::IM_WexdMouseDown(ui::TImage&, unsigned keys) {
    if (BT_Info->Visible() || revealKeysHeld(keys) != 4)
        return;
    window_.Find<ui::TControl>("BV_Info")->Show();
    BT_Info->Show();
}

void AboutPage::BT_InfoClick(ui::TComponent&) {
    MM_Info->SetCaption(InformationReport(window_.OfficeInfo(), window_.InfoBefore()));
    MM_Info->Show();
}

} // namespace app
