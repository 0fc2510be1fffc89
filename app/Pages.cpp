// Page construction: the menu items, pages and rows built at the first activation.
#include "app/MainWindow.h"

#include "app/ControlNames.h"
#include "app/Elevate.h"
#include "app/Inventory.h"
#include "office/ProcessSurvey.h"
#include "office/UserInfo.h"
#include "sysinfo/Account.h"
#include "sysinfo/ProductInfo.h"

#include <algorithm>
#include <vector>

namespace app {

void MainWindow::BuildPages() {
    kel::TKelExtInfo about;
    pagesBuilt_ = true;
    {
        // A program's version block is read once while the pages are built: the
        // page's caption is the read its lookup made of the same file.
        kel::ProductInfoReuse sameFiles;
        kel::TKelOfficeInfo& info = *officeInfo_;
        bool officeFound = kel::DetectOffice(info) == 0;
        if (officeFound) {
            if (kel::ReadUserInfo(info, *infoBefore_) == 0)
                *infoAfter_ = *infoBefore_;
            buildOfficePage();
        }
        for (const TDocumentType& type : kDocumentTypes)
            if (officeFound || !kel::NeedsOffice(type))
                buildApplicationPage(type);
    }
    about.IconHandle = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    about.ViewName = "About";
    AddPage(about);
    GLB_Menu->SetItemIndex(GLB_Menu->Count() - 1);
}

void MainWindow::AddPage(kel::TKelExtInfo& record) {
    const std::string& item = record.ViewName;
    // Glyph i belongs to item i: an icon the list refuses (none, or the 1 that
    // ExtractIconA gives for a file that is not a program) gives way to the default.
    if (record.IconHandle == nullptr || IL_Menu->AddIcon(record.IconHandle) < 0)
        IL_Menu->AddIcon(LoadIconA(nullptr, IDI_APPLICATION));
    GLB_Menu->AddItem(item);
    if (item == "About")
        return;
    ui::TGroupBox& page = Create<ui::TGroupBox>(names::Page(item), Handle());
    page.SetBounds(GB_About->Left(), GB_About->Top(), GB_About->Width(), GB_About->Height());
    page.SendToBack();
    page.Hide();
    kel::TKelProductInfo version;
    if (!record.FileName.empty() && kel::ReadProductInfo(record.FileName, version) == 0)
        page.SetCaption(version.FileDescription + " [Version " + version.FileVersion + "]");
}

void MainWindow::AddActionRow(const kel::TAction& action) {
    auto* page = Find<ui::TGroupBox>(names::Page(action.page));
    if (page == nullptr)
        return;
    int r = action.position;
    const std::string row = action.row;
    int w = page->Width();
    HWND parent = page->Handle();
    // Each control runs its own row; a switch's buttons their state.
    auto bind = [this, &action](ui::TControl& control, int state) {
        control.OnClick = [this, &action, state](ui::TComponent&) {
            ActionButtonClick(action, state);
        };
    };
    // Centred on the button's 25-pixel band at the height of its text, then of fixed
    // size: placed once, at the size it ends with.
    auto placeLabel = [&](const ui::TControl& beside, int width) {
        ui::TLabel& label = Create<ui::TLabel>(names::RowLabel(row), parent);
        label.SetAutoSize(false);
        label.SetCaption(action.label);
        label.SetAlignment(ui::TAlignment::Center);
        int height = label.TextSize().cy;
        label.SetBounds(36, beside.Top() + (25 - height) / 2, width, height);
        label.Show();
    };
    if (action.IsSwitch()) {
        ui::TSpeedButton& off = Create<ui::TSpeedButton>(names::PairButton(row, 0), parent);
        off.SetCaption("しない");
        off.SetGroupIndex(r + 1);
        off.SetBounds(w - 70 - 10, 33 * r + 20, 70, 25);
        bind(off, 0);
        ui::TSpeedButton& on = Create<ui::TSpeedButton>(names::PairButton(row, 1), parent);
        on.SetCaption("する");
        on.SetGroupIndex(r + 1);
        on.SetBounds(off.Left() - off.Width() - 2, off.Top(), off.Width(), off.Height());
        bind(on, 1);
        // A change the window hands to an elevated command is marked as Windows
        // marks one: with the shield.
        if (kel::RunPlaceOf(action.scope, kel::gProcessElevated()) ==
            kel::TRunPlace::ElevatedCommand) {
            off.SetShield(true);
            on.SetShield(true);
        }
        off.Show();
        on.Show();
        placeLabel(on, on.Left() - 40);
    } else if (action.label == nullptr) {
        ui::TButton& button = Create<ui::TButton>(names::RowButton(row), parent);
        button.SetCaption(action.caption);
        button.SetBounds(7, 33 * r + 17, w - 14, 31);
        bind(button, 0);
        button.Show();
    } else {
        ui::TButton& button = Create<ui::TButton>(names::RowButton(row), parent);
        button.SetCaption(action.caption);
        button.SetBounds(w - 142 - 10, 33 * r + 20, 142, 25);
        bind(button, 0);
        button.Show();
        placeLabel(button, button.Left() - 41);
    }
    ui::TBevel& frame = Create<ui::TBevel>(names::RowFrame(row), parent);
    frame.SetShape(ui::TBevelShape::Frame);
    frame.SetBounds(6, 33 * r + 16, w - 12, 33);
    frame.SendToBack();
    frame.Show();
    if (action.label != nullptr) {
        ui::TImage& image = Create<ui::TImage>(names::RowIcon(row), parent);
        image.SetBounds(14, 33 * r + 16 + 4 + (25 - 22) / 2, 22, 22);
        image.SetBitmap(IL_Icon->Picture(static_cast<int>(action.icon), ui::clBtnFace));
        image.Show();
    }
}

// The page's rows from the top: the order they are made in is their tab order.
void MainWindow::addRowsOf(const std::string& page) {
    std::vector<const kel::TAction*> rows;
    for (const kel::TAction& action : kel::kActions)
        if (page == names::Page(action.page))
            rows.push_back(&action);
    std::stable_sort(rows.begin(), rows.end(), [](const kel::TAction* a, const kel::TAction* b) {
        return a->position < b->position;
    });
    for (const kel::TAction* row : rows)
        AddActionRow(*row);
}

void MainWindow::SetToggleState(const std::string& row, bool state) {
    if (auto* button = Find<ui::TSpeedButton>(names::PairButton(row, state)))
        button->SetDown(true);
}

void MainWindow::setPairStatesOf(const std::string& page) {
    for (const kel::TAction& item : kel::kActions)
        if (item.IsSwitch() && page == names::Page(item.page))
            SetToggleState(item.row, item.read(*officeInfo_) != 0);
}

// Until then neither button of a pair is down and the running-state row keeps its
// label: the page is hidden, so it is never drawn with a state not read.
void MainWindow::readStatesOnFirstShow(const std::string& page) {
    if (unreadPages_.erase(page) == 0)
        return;
    kel::TKelOfficeInfo& info = *officeInfo_;
    for (const TDocumentType& type : kDocumentTypes)
        if (kel::HasRunningRow(type) && page == names::Page(type.viewName))
            kel::RefreshRunningState(*this, info.Record(type.application),
                                     info.RunningIds(type.application), type.processRow);
    setPairStatesOf(page);
}

// Looks up the type's program and, when there is one, builds its page.
void MainWindow::buildApplicationPage(const TDocumentType& type) {
    kel::TKelOfficeInfo& info = *officeInfo_;
    kel::TKelExtInfo& record = info.Record(type.application);
    FindDocumentProgram(info, type);
    if (!HasProgramPage(info, type))
        return;
    AddPage(record);
    icons_.emplace_back(record.IconHandle);
    addRowsOf(names::Page(type.viewName));
    unreadPages_.insert(names::Page(type.viewName));
}

void MainWindow::buildOfficePage() {
    kel::TKelOfficeInfo& info = *officeInfo_;
    kel::TKelExtInfo office;
    kel::GetOfficeIcon(info, office.IconHandle);
    office.ViewName = "Office";
    AddPage(office);
    if (office.IconHandle != LoadIconA(nullptr, IDI_INFORMATION)) // the shared one stays
        icons_.emplace_back(office.IconHandle);
    ui::TGroupBox& page = *Find<ui::TGroupBox>(names::Page("Office"));
    if (!info.Product.ProductName.empty())
        page.SetCaption(info.Product.ProductName + " [Version " + info.Product.ProductVersion +
                        "]");

    userInfo_.Build(page);

    addRowsOf(names::Page("Office"));
    userInfo_.Show(*infoBefore_);
    if (!info.ProductID.empty())
        userInfo_.ShowProductId(info.ProductID);
    unreadPages_.insert(names::Page("Office"));
}

} // namespace app
