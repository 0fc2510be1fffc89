#include "app/MainWindow.h"

#include "app/ApplicationPage.h"
#include "app/ControlNames.h"
#include "app/Inventory.h"

#include "office/ProcessSurvey.h"
#include "office/UserInfo.h"
#include "widgets/MessageDialog.h"
#include "sysinfo/FileSystem.h"
#include "sysinfo/Text.h"
#include "sysinfo/ProductInfo.h"
#include "sysinfo/WebPage.h"

namespace app {

const ui::TThemedColor kLinkColor = {ui::clBlue, ui::clHotLight};
const ui::TThemedColor kLinkHotColor = {ui::clRed, ui::clHotLight};

namespace {

// The wait panel, and the selected menu item, which has the highlight pair under a
// high-contrast theme (a theme's button highlight can be its window text colour).
const ui::TThemedColor kWaitColor = {ui::clMoneyGreen, ui::clHighlight};
const ui::TThemedColor kWaitTextColor = {ui::clBlack, ui::clHighlightText};
const ui::TThemedColor kSelectedItemColor = {ui::clBtnHighlight, ui::clHighlight};
const ui::TThemedColor kSelectedItemTextColor = {ui::clWindowText, ui::clHighlightText};

} // namespace

const char kProductTitle[] = "Wexdal";
const char kWindowClass[] = "TForm1";
const char kRestoreMessageName[] = "Wexdal.Restore";

namespace {

UINT restoreMessage() {
    static const UINT message = RegisterWindowMessageA(kRestoreMessageName);
    return message;
}

// Lets the restore message through User Interface Privilege Isolation to this
// window (Windows 7 and later; Vista lets it through for the whole process).
void allowRestoreFromLowerLevels(HWND window) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    using AllowForWindow = BOOL WINAPI(HWND, UINT, DWORD, void*);
    using AllowForProcess = BOOL WINAPI(UINT, DWORD);
    if (auto* allow = reinterpret_cast<AllowForWindow*>(
            reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilterEx"))))
        allow(window, restoreMessage(), 1 /* MSGFLT_ALLOW */, nullptr);
    else if (auto* allowAll = reinterpret_cast<AllowForProcess*>(
                 reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilter"))))
        allowAll(restoreMessage(), 1 /* MSGFLT_ADD */);
}

} // namespace
const char kMakerNotice[] = "Copyright (C) 2026 ソフト工房「Tarnholm」";

namespace {

constexpr int kOuterWidth = 480;
constexpr int kOuterHeight = 334;
constexpr int kStatusBarHeight = 19;

} // namespace

ui::TFontSpec WindowFont(int height, bool bold) {
    ui::TFontSpec font;
    font.Height = -height;
    font.Bold = bold;
    return font;
}

MainWindow::MainWindow()
    // The window class keeps the name that scripts and tools look for.
    : ui::TForm(kWindowClass, kProductTitle, WS_CAPTION | WS_SYSMENU | WS_DLGFRAME | WS_MINIMIZEBOX,
                WS_EX_DLGMODALFRAME) {
    ui::SetDialogOwner(Handle());
    // The shell's question before a repair's file is deleted for good belongs here.
    kel::gRecycleOwner = Handle();
    allowRestoreFromLowerLevels(Handle());
    // An error that ends an action is shown as the application's error message.
    ui::SetExceptionHandler([](const std::string& message) {
        ui::ShowMessageDialog(message, ui::TMsgDlgType::mtError, ui::mbOK);
    });
    createFixedControls();
    auto about = std::make_unique<AboutPage>(*this);
    About = about.get();
    pages_.push_back(std::move(about));
    FormCreate();
}

MainWindow::~MainWindow() {
    ui::SetExceptionHandler(nullptr);
    ui::SetDialogOwner(nullptr);
    kel::gRecycleOwner = nullptr;
}

void MainWindow::createFixedControls() {
    HWND form = Handle();
    GLB_Menu = &Create<ui::TGraphicListBox>("GLB_Menu", form);
    BB_Exit = &Create<ui::TButton>("BB_Exit", form);
    StatusBar1 = &Create<ui::TStatusBar>("StatusBar1", form);
    GB_About = &Create<ui::TGroupBox>(names::Page(names::kAboutItem), form);
    // The update button waits, hidden, on the frame until the Office page takes it:
    // where it stands among the window's controls is the window's contract.
    ui::TButton& update = Create<ui::TButton>("BB_UserInfo", form);
    PL_Wait = &Create<ui::TPanel>("PL_Wait", form);
    IL_Menu = &Create<ui::TImageList>("IL_Menu", 32, 32);
    IL_Icon = &Create<ui::TImageList>("IL_Icon", 22, 22);
    ui::TImageList& updateGlyph = Create<ui::TImageList>("IL_UserInfoGlyph", 16, 16);
    IL_ExitGlyph = &Create<ui::TImageList>("IL_ExitGlyph", 16, 16);
    Timer1 = &Create<ui::TTimer>("Timer1", 500);
    Timer1->OnTimer = [this](ui::TComponent& sender) { Timer1Timer(sender); };
    updateGlyph.AddPicture("USERINFO");
    update.SetCaption("更新(&R)");
    update.SetGlyph(updateGlyph);
    update.SetBounds(0, 0, 75, 25);

    GLB_Menu->SetAutoItemHeight(false);
    GLB_Menu->SetBounds(0, 0, 97, 209);
    GLB_Menu->SetGlyphs(IL_Menu);
    GLB_Menu->SetLayout(ui::TButtonLayout::blGlyphLeft);
    GLB_Menu->SetItemHeight(36);
    GLB_Menu->Flat = false;
    GLB_Menu->SelectedColor = kSelectedItemColor.Resolve();
    GLB_Menu->FocusedColor = ui::clBtnFace;
    GLB_Menu->ListColor = ui::clBtnFace;
    GLB_Menu->SelectedFont = GLB_Menu->FontSpec();
    GLB_Menu->SelectedFont.Color = kSelectedItemTextColor.Resolve();
    GLB_Menu->FocusedFont = GLB_Menu->FontSpec();
    GLB_Menu->SetColor(ui::clBtnFace);
    GLB_Menu->OnClick = [this](ui::TComponent& sender) { GLB_MenuClick(sender); };
    GLB_Menu->Show();

    BB_Exit->SetBounds(0, 0, 97, 33);
    BB_Exit->SetCaption("閉じる(&C)");
    IL_ExitGlyph->AddPicture("CLOSEGLYPH");
    BB_Exit->SetGlyph(*IL_ExitGlyph);
    BB_Exit->OnClick = [this](ui::TComponent&) { PostMessageA(Handle(), WM_CLOSE, 0, 0); };
    BB_Exit->Show();

    StatusBar1->SetSimpleText(std::string("Wexdal  ") + kMakerNotice);
    StatusBar1->Show();

    GB_About->SetCaption(names::kAboutItem);
    GB_About->Show();

    ui::TFontSpec waitFont = WindowFont(12, true);
    waitFont.Color = kWaitTextColor.Resolve();
    PL_Wait->SetFont(waitFont);
    PL_Wait->SetColor(kWaitColor.Resolve());

    IL_Icon->AddPicture("ROWICONS");
}

void MainWindow::FormCreate() {
    pagesBuilt_ = false;
    officeInfo_ = std::make_unique<kel::TKelOfficeInfo>();
    infoBefore_ = std::make_unique<kel::TUserInfoList>();
    infoAfter_ = std::make_unique<kel::TUserInfoList>();

    SetOuterSize(kOuterWidth, kOuterHeight);
    StatusBar1->SetBounds(0, ClientHeight() - kStatusBarHeight, ClientWidth(), kStatusBarHeight);
    GLB_Menu->SetPosition(2, 2);
    BB_Exit->SetBounds(GLB_Menu->Left() + 1, StatusBar1->Top() - 2 - BB_Exit->Height(),
                       GLB_Menu->Width() - 2, BB_Exit->Height());
    AddButtonFrame("BV_Exit", *BB_Exit);
    GLB_Menu->SetHeight(BB_Exit->Top() - 2 - GLB_Menu->Top());
    int aboutLeft = GLB_Menu->Left() + GLB_Menu->Width() + 2;
    GB_About->SetBounds(aboutLeft, 2, ClientWidth() - 2 - aboutLeft, StatusBar1->Top() - 2);
    PL_Wait->SetBounds(GB_About->Left() + (GB_About->Width() - 210) / 2,
                       GB_About->Top() + (GB_About->Height() - 50) / 2, 210, 50);
    PL_Wait->Hide();
    GB_About->BringToFront();
    PL_Wait->BringToFront();
    About->LayOut();
    CentreOnScreen();
}

// On a monitor of another scale the About page's texts measure anew.
void MainWindow::FormScaleChanged() {
    About->LayOut();
}

ui::TBevel& MainWindow::AddButtonFrame(const std::string& frameName, ui::TControl& button) {
    RECT around = button.BoundsRect();
    InflateRect(&around, 1, 1);
    return Create<ui::TBevel>(frameName, button.ParentHandle(),
                              ui::TInitial{.bounds = around, .visible = true, .atBack = true});
}

void ShowRunningStateOn(ui::TForm& form, const std::string& row, const std::string& caption,
                        bool running) {
    if (auto* label = form.Find<ui::TControl>(names::RowLabel(row)))
        label->SetCaption(caption);
    if (auto* button = form.Find<ui::TControl>(names::RowButton(row)))
        button->SetEnabled(running);
}

void MainWindow::ShowRunningState(const std::string& row, const std::string& caption,
                                  bool running) {
    ShowRunningStateOn(*this, row, caption, running);
}

bool MainWindow::Confirm(const std::string& question) {
    return ui::ShowMessageDialog(question, ui::TMsgDlgType::mtConfirmation, ui::mbYes | ui::mbNo) ==
           ui::mrYes;
}

void MainWindow::Inform(const std::string& message) {
    ui::ShowMessageDialog(message, ui::TMsgDlgType::mtInformation, ui::mbOK);
}

bool MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message != restoreMessage() || message == 0)
        return TForm::HandleMessage(message, wParam, lParam, result);
    if (IsIconic(Handle()))
        ShowWindow(Handle(), SW_RESTORE);
    SetForegroundWindow(Handle());
    result = 1;
    return true;
}

OfficePage* MainWindow::Office() const {
    for (const std::unique_ptr<Page>& page : pages_)
        if (auto* office = dynamic_cast<OfficePage*>(page.get()))
            return office;
    return nullptr;
}

void MainWindow::BuildPages() {
    pagesBuilt_ = true;
    {
        // A program's version block is read once while the pages are built: the
        // page's caption is the read its lookup made of the same file.
        kel::ProductInfoReuse sameFiles;
        kel::TKelOfficeInfo& info = *officeInfo_;
        bool officeFound = kel::DetectOffice(info) == 0;
        if (PageExists(info, officeFound, kel::TPage::Office)) {
            if (kel::ReadUserInfo(info, *infoBefore_) == 0)
                *infoAfter_ = *infoBefore_;
            kel::TKelExtInfo office;
            kel::GetOfficeIcon(info, office.IconHandle);
            office.ViewName = "Office";
            AddPage<OfficePage>(office);
        }
        for (const TDocumentType& type : kDocumentTypes)
            if (kel::LooksForProgram(type, officeFound)) {
                FindDocumentProgram(info, type);
                if (PageExists(info, officeFound, kel::PageOf(type.application)))
                    AddPage<ApplicationPage>(info.Record(type.application), type);
            }
    }
    kel::TKelExtInfo about;
    about.IconHandle = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    about.ViewName = About->Item();
    addMenuItem(about);
    GLB_Menu->SetItemIndex(GLB_Menu->Count() - 1);
}

void MainWindow::addMenuItem(const kel::TKelExtInfo& record) {
    // Glyph i belongs to item i: an icon the list refuses (none, or the 1 that
    // ExtractIconA gives for a file that is not a program) gives way to the default.
    std::wstring file = kel::AnsiToWide(record.FileName);
    if (record.FileName.empty() && record.ViewName == About->Item())
        file = kel::OwnProgramPath(); // the program's own icon
    if (record.IconHandle == nullptr || IL_Menu->AddIcon(record.IconHandle, file) < 0)
        IL_Menu->AddIcon(LoadIconA(nullptr, IDI_APPLICATION));
    GLB_Menu->AddItem(record.ViewName);
}

void MainWindow::FormActivate() {
    if (!pagesBuilt_)
        BuildPages();
}

void MainWindow::FormDestroy() {
    Timer1->SetEnabled(false);
    officeInfo_.reset();
    infoBefore_.reset();
    infoAfter_.reset();
}

void MainWindow::GLB_MenuClick(ui::TComponent&) {
    Timer1->SetEnabled(false);
    int index = GLB_Menu->ItemIndex();
    if (index < 0)
        return;
    std::string item = GLB_Menu->Item(index);
    Page* shown = nullptr;
    for (const std::unique_ptr<Page>& page : pages_)
        if (shown == nullptr && page->Item() == item) // the first of that name, as Find
            shown = page.get();
    // Made and read before the others are hidden: a page whose states could not be
    // read leaves the page that was shown, not an empty area. Shown only once they
    // are hidden: the pages lie over each other, and a page's frame does not paint
    // what lies under it.
    if (shown != nullptr)
        shown->Prepare();
    for (const std::unique_ptr<Page>& page : pages_)
        if (page.get() != shown)
            page->Hide();
    if (shown == nullptr)
        return;
    shown->Show();
    kel::TKelOfficeInfo* info = officeInfo_.get();
    for (const kel::TDocumentType& type : kel::kDocumentTypes)
        if (info != nullptr && kel::HasRunningRow(type) &&
            item == info->Record(type.application).ViewName)
            Timer1->SetEnabled(true);
}

} // namespace app

namespace app {

// Surveys the application whose page is selected; the timer runs only then.
void MainWindow::Timer1Timer(ui::TComponent&) {
    kel::TKelOfficeInfo& info = *officeInfo_;
    int index = GLB_Menu->ItemIndex();
    for (const kel::TDocumentType& type : kel::kDocumentTypes) {
        const kel::TKelExtInfo& record = info.Record(type.application);
        if (kel::HasRunningRow(type) && index >= 0 && GLB_Menu->Item(index) == record.ViewName)
            kel::RefreshRunningState(*this, record, info.RunningIds(type.application),
                                     type.processRow);
    }
}

} // namespace app
