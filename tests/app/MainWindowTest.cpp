#include "app/StartState.h"
#include "app/MainWindow.h"
#include "widgets/MessageDialog.h"
#include "sysinfo/Account.h"
#include "sysinfo/ProductInfo.h"
#include "tests/sample/ModernMachine.h"
#include "tests/sample/SampleMachine.h"
#include "sysinfo/RegBackup.h"
#include "tests/app/Pages.h"
#include "tests/support/StartRecorder.h"
#include "tests/support/Dialogs.h"
#include "tests/support/Fixtures.h"
#include "tests/support/Icons.h"
#include "tests/support/Processes.h"
#include "widgets/ItemGeometry.h"
#include "widgets/Scaling.h"
#include "wexdal_version.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <utility>
#include <stdexcept>

using namespace app;
using testing_support::solidIcon;

namespace {

class MainWindowTest : public testing::Test {
  protected:
    MainWindow form;

    static RECT boundsOf(const ui::TControl& control) { return control.BoundsRect(); }
    static void expectBounds(const ui::TControl& control, int left, int top, int width,
                             int height) {
        EXPECT_EQ(control.Left(), left) << control.Name();
        EXPECT_EQ(control.Top(), top) << control.Name();
        EXPECT_EQ(control.Width(), width) << control.Name();
        EXPECT_EQ(control.Height(), height) << control.Name();
    }
    // The sibling windows of control's parent, front first.
    static std::vector<HWND> zOrder(HWND parent) {
        std::vector<HWND> order;
        for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            order.push_back(child);
        return order;
    }
    static size_t positionOf(const std::vector<HWND>& order, HWND window) {
        return std::find(order.begin(), order.end(), window) - order.begin();
    }
    // The height of one line of the control's caption in its own font.
    static int textHeight(const ui::TControl& control) {
        ui::WindowDc dc(nullptr);
        ui::SelectGuard font(dc.get(), control.FontHandle());
        std::string text = control.Caption();
        SIZE size = {};
        GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
        return size.cy;
    }
    ui::TGroupBox& addPage(const std::string& viewName) {
        kel::TKelExtInfo record;
        record.ViewName = viewName;
        record.IconHandle = LoadIconA(nullptr, IDI_INFORMATION);
        form.AddPage(record);
        return *form.Find<ui::TGroupBox>("GB_" + viewName);
    }
};

TEST_F(MainWindowTest, FormCreateLaysOutTheFixedControls) {
    RECT outer;
    GetWindowRect(form.Handle(), &outer);
    EXPECT_EQ(outer.right - outer.left, 480);
    EXPECT_EQ(outer.bottom - outer.top, 334);
    EXPECT_EQ(form.Caption(), "Wexdal");

    int cw = form.ClientWidth(), ch = form.ClientHeight();
    expectBounds(*form.StatusBar1, 0, ch - 19, cw, 19);
    int statusTop = ch - 19;
    expectBounds(*form.BB_Exit, 3, statusTop - 2 - 33, 95, 33);
    expectBounds(*form.Find<ui::TBevel>("BV_Exit"), 2, statusTop - 2 - 33 - 1, 97, 35);
    expectBounds(*form.GLB_Menu, 2, 2, 97, statusTop - 2 - 33 - 2 - 2);
    expectBounds(*form.GB_About, 101, 2, cw - 2 - 101, statusTop - 2);
    int pageWidth = cw - 103, pageHeight = statusTop - 2;
    expectBounds(*form.PL_Wait, 101 + (pageWidth - 210) / 2, 2 + (pageHeight - 50) / 2, 210, 50);
    EXPECT_FALSE(form.PL_Wait->Visible());
    EXPECT_TRUE(form.GB_About->Visible());
    EXPECT_EQ(form.GLB_Menu->ItemHeight(), 36);
}

TEST_F(MainWindowTest, TheWaitPanelStaysInFrontOfPagesCreatedLater) {
    ui::TGroupBox& page = addPage("Excel");
    std::vector<HWND> order = zOrder(form.Handle());
    EXPECT_LT(positionOf(order, form.PL_Wait->Handle()), positionOf(order, page.Handle()));
    EXPECT_LT(positionOf(order, form.PL_Wait->Handle()),
              positionOf(order, form.GB_About->Handle()));
    RECT pageBounds = boundsOf(page), aboutBounds = boundsOf(*form.GB_About);
    EXPECT_TRUE(EqualRect(&pageBounds, &aboutBounds));
    EXPECT_FALSE(page.Visible());
    EXPECT_EQ(page.Caption(), "GB_Excel"); // no version to head it with
}

TEST_F(MainWindowTest, ARowLabelIsCentredOnItsButtonsBandAtTheHeightOfItsText) {
    ui::TGroupBox& page = addPage("Excel");
    int w = page.Width();
    kel::TAction process = *kel::FindAction("XlsProcess"), pair = *kel::FindAction("XlsBrowser");
    process.position = 1;
    pair.position = 2;
    testing_support::AddActionRow(form, process);
    testing_support::AddActionRow(form, pair);

    ui::TButton& button = *form.Find<ui::TButton>("BB_XlsProcess");
    expectBounds(button, w - 152, 33 + 20, 142, 25);
    ui::TLabel& label = *form.Find<ui::TLabel>("LL_XlsProcess");
    EXPECT_EQ(label.Caption(), "稼動状況");
    int height = textHeight(label);
    ASSERT_GT(height, 8);
    ASSERT_LT(height, 25);
    expectBounds(label, 36, 53 + (25 - height) / 2, w - 152 - 41, height);

    ui::TControl& on = *form.Find<ui::TControl>("SB_XlsBrowser1");
    expectBounds(on, w - 80 - 72, 66 + 20, 70, 25);
    ui::TLabel& pairLabel = *form.Find<ui::TLabel>("LL_XlsBrowser");
    height = textHeight(pairLabel);
    expectBounds(pairLabel, 36, 86 + (25 - height) / 2, w - 152 - 40, height);
}

TEST_F(MainWindowTest, BuildPagesAddsAboutSelectedOnce) {
    ShowWindow(form.Handle(), SW_SHOW);
    SetForegroundWindow(form.Handle());
    SendMessageA(form.Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    SendMessageA(form.Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(form.PagesBuilt());
    ASSERT_EQ(form.GLB_Menu->Count(), 1);
    EXPECT_EQ(form.GLB_Menu->Item(0), "About");
    EXPECT_EQ(form.GLB_Menu->ItemIndex(), 0);
    EXPECT_EQ(form.IL_Menu->Count(), 1);
}

// The page boxes of the navigation test, and how often one was shown while another
// was visible.
std::vector<HWND> pageBoxes;
int shownOverAnother = 0;
LRESULT CALLBACK countPagesShownOverAnother(int code, WPARAM wParam, LPARAM lParam) {
    const auto& call = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call.message == WM_SHOWWINDOW && call.wParam &&
        std::find(pageBoxes.begin(), pageBoxes.end(), call.hwnd) != pageBoxes.end())
        for (HWND box : pageBoxes)
            shownOverAnother +=
                box != call.hwnd && (GetWindowLongA(box, GWL_STYLE) & WS_VISIBLE) ? 1 : 0;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(MainWindowTest, NavigationShowsOnePageAndRunsTheTimerOnApplicationPages) {
    for (const char* name : {"Office", "Excel", "Word", "PowerPoint", "Outlook", "About"})
        addPage(name);
    form.OfficeInfo().Record(kel::TApplication::Excel).ViewName = "Excel";
    form.OfficeInfo().Record(kel::TApplication::Word).ViewName = "Word";
    form.OfficeInfo().Record(kel::TApplication::PowerPoint).ViewName = "PowerPoint";
    ui::TGroupBox& other = form.Create<ui::TGroupBox>("XB_Other", form.Handle());
    other.Show();
    struct Derived : ui::TGroupBox {
        using ui::TGroupBox::TGroupBox;
    };
    ui::TGroupBox& derived = form.Create<Derived>("GB_Derived", form.Handle());
    derived.Show();

    const std::vector<std::pair<std::string, bool>> pages = {
        {"Office", false},    {"Excel", true},    {"Word", true},
        {"PowerPoint", true}, {"Outlook", false}, {"About", false}};
    // Whenever a page is shown, no other is: a page's frame does not paint what lies
    // under it, so a page shown over another would show the other's rows through it.
    pageBoxes.clear();
    shownOverAnother = 0;
    for (const auto& [name, timer] : pages)
        pageBoxes.push_back(form.Find<ui::TControl>("GB_" + name)->Handle());
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, countPagesShownOverAnother, nullptr,
                                   GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    for (size_t i = 0; i < pages.size(); ++i) {
        form.GLB_Menu->SetItemIndex(static_cast<int>(i));
        form.GLB_MenuClick(*form.GLB_Menu);
        for (const auto& [name, timer] : pages)
            EXPECT_EQ(form.Find<ui::TControl>("GB_" + name)->Visible(), name == pages[i].first)
                << "after selecting " << pages[i].first;
        EXPECT_EQ(form.Timer1->Enabled(), pages[i].second) << pages[i].first;
    }
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(shownOverAnother, 0);
    EXPECT_TRUE(other.Visible());
    EXPECT_TRUE(derived.Visible());

    // Re-clicking the selected item re-evaluates the timer.
    form.GLB_Menu->SetItemIndex(1);
    form.GLB_MenuClick(*form.GLB_Menu);
    form.GLB_MenuClick(*form.GLB_Menu);
    EXPECT_TRUE(form.Timer1->Enabled());
    EXPECT_TRUE(form.Find<ui::TControl>("GB_Excel")->Visible());

    // No selection: only the timer stops.
    form.GLB_Menu->SetItemIndex(-1);
    form.GLB_MenuClick(*form.GLB_Menu);
    EXPECT_FALSE(form.Timer1->Enabled());
    EXPECT_TRUE(form.Find<ui::TControl>("GB_Excel")->Visible());
}

// A start-up reads no row's state: a page reads its pairs' states and its running
// state when it is first shown, before it is drawn, and not again when shown again
// (the timer keeps the running state, an action the pair it ran).
TEST(PageStates, AreReadWhenThePageIsFirstShownAndOnlyThen) {
    struct Machine {
        Machine() { sample::Lay(sample::Standard()); }
        ~Machine() { sample::Remove(); }
    } machine;
    struct SurveyCountingWindow : MainWindow {
        std::vector<std::string> surveyed;
        bool failNext = false, waitCursorShown = true;
        void ShowRunningState(const std::string& row, const std::string& caption,
                              bool running) override {
            waitCursorShown &= GetCursor() == LoadCursor(nullptr, IDC_WAIT);
            if (std::exchange(failNext, false))
                throw std::runtime_error("unreadable");
            surveyed.push_back(row);
            MainWindow::ShowRunningState(row, caption, running);
        }
    } form;
    if (!form.PagesBuilt())
        form.BuildPages();
    auto button = [&](const kel::TAction& row, int state) {
        return form.Find<ui::TSpeedButton>("SB_" + std::string(row.row) + std::to_string(state));
    };
    auto down = [&](const kel::TAction& row, int state) { return button(row, state)->Down(); };
    // Every page is there on this machine, its frame alone: its rows are made at its
    // first show.
    std::vector<const kel::TAction*> pairs;
    for (const kel::TAction& row : kel::kActions)
        if (row.IsSwitch()) {
            ASSERT_NE(form.Find<ui::TGroupBox>("GB_" + std::string(kel::PageName(row.page))),
                      nullptr);
            EXPECT_EQ(button(row, 1), nullptr) << row.row << " made at start-up";
            pairs.push_back(&row);
        }
    EXPECT_TRUE(form.surveyed.empty());
    EXPECT_EQ(form.Find<ui::TLabel>("LL_XlsProcess"), nullptr);

    auto show = [&](const std::string& item) {
        for (int i = 0; i < form.GLB_Menu->Count(); ++i)
            if (form.GLB_Menu->Item(i) == item)
                form.GLB_Menu->SetItemIndex(i);
        form.GLB_MenuClick(*form.GLB_Menu);
        ASSERT_TRUE(form.Find<ui::TControl>("GB_" + item)->Visible());
    };
    // A first show whose reading fails reads again at the next.
    form.failNext = true;
    ASSERT_EQ(form.GLB_Menu->Item(1), "Excel");
    form.GLB_Menu->SetItemIndex(1);
    EXPECT_THROW(form.GLB_MenuClick(*form.GLB_Menu), std::runtime_error);
    EXPECT_TRUE(form.surveyed.empty());
    EXPECT_TRUE(form.Find<ui::TControl>("GB_About")->Visible()) << "the page shown before stays";
    std::set<std::string> shown;
    for (const char* page : {"Office", "Excel", "Word", "PowerPoint", "Outlook"}) {
        show(page);
        EXPECT_NE(GetCursor(), LoadCursor(nullptr, IDC_WAIT)) << "the cursor put back";
        shown.insert(page);
        for (const kel::TAction* row : pairs) {
            bool on = row->read(form.OfficeInfo()) != 0;
            if (shown.count(kel::PageName(row->page)) ==
                0) { // not made, or (Excel's) made but not read
                EXPECT_TRUE(button(*row, 1) == nullptr || !(down(*row, 0) || down(*row, 1)))
                    << row->row << " read before its page was shown";
                continue;
            }
            EXPECT_EQ(down(*row, 1), on) << row->row;
            EXPECT_EQ(down(*row, 0), !on) << row->row;
        }
    }
    EXPECT_EQ(form.surveyed, (std::vector<std::string>{"XlsProcess", "DocProcess", "PptProcess"}));
    EXPECT_TRUE(form.waitCursorShown);
    EXPECT_EQ(form.Find<ui::TLabel>("LL_XlsProcess")->Caption(), "Excel は 非稼動 です。");

    const kel::TAction& browser = *kel::FindAction("XlsBrowser");
    bool was = down(browser, 1);
    browser.set(form.OfficeInfo(), was ? 0 : 1);
    ASSERT_NE(browser.read(form.OfficeInfo()) != 0, was);
    show("Excel");
    EXPECT_EQ(down(browser, 1), was);
    EXPECT_EQ(form.surveyed.size(), 3u);
}

TEST_F(MainWindowTest, AboutPageFramesAndHidesTheInformationButton) {
    ui::TBevel* frame = form.Find<ui::TBevel>("BV_Info");
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(frame->Visible());
    EXPECT_FALSE(form.About->BT_Info->Visible());
    EXPECT_EQ(frame->Left(), form.About->BT_Info->Left() - 1);
    EXPECT_EQ(frame->Width(), form.About->BT_Info->Width() + 2);
    int w = form.GB_About->Width(), h = form.GB_About->Height();
    expectBounds(*form.About->IM_Link, w - 88 - 8, h - 31 - 8, 88, 31);
    EXPECT_EQ(form.About->IM_Wexd->Left(), (w - form.About->LL_Vector->Width()) / 2);

    // 変更の履歴 opens the user's folder of backups, made where no change made it yet.
    testing_support::StartRecorder started;
    form.About->LL_History->OnClick(*form.About->LL_History);
    std::wstring folder = kel::gBackupFolder(kel::TBackupPlace::User);
    std::vector<kel::TBackupFile> backups = kel::ListBackups();
    bool machine = std::any_of(backups.begin(), backups.end(), [](const kel::TBackupFile& file) {
        return file.place == kel::TBackupPlace::Machine;
    });
    ASSERT_EQ(started.starts().size(), machine ? 2u : 1u)
        << "the machine's folder where it has any";
    EXPECT_EQ(started.starts()[0], (kel::TStart{kel::TStart::Kind::Open, folder, L""}));
    EXPECT_NE(GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES);
}

// The project version reaches the built program's version resource and the About
// page's version line unchanged.
TEST_F(MainWindowTest, TheVersionLineAndTheProgramsVersionResourceShowTheProjectVersion) {
    kel::TKelProductInfo program;
    ASSERT_EQ(kel::ReadProductInfo(testing_support::wexdalPath(), program), 0);
    EXPECT_EQ(program.ProductVersion, WEXDAL_VERSION);
    EXPECT_EQ(program.FileVersion, WEXDAL_FILE_VERSION);
    EXPECT_EQ(form.About->LL_Version->Caption(), "Version " WEXDAL_VERSION);
}

} // namespace

namespace {

TEST(RowIcons, FiveRowIconsDrawOnTheFaceColour) {
    app::MainWindow form;
    ASSERT_EQ(form.IL_Icon->Count(), 5);
    ui::Bitmap picture = form.IL_Icon->Picture(2, ui::clBtnFace);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, picture.get());
    COLORREF centre = GetPixel(dc, 11, 11), corner = GetPixel(dc, 0, 0);
    COLORREF face = GetPixel(dc, 5, 11); // the badge's face, left of the sign
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_EQ(corner, GetSysColor(COLOR_BTNFACE));
    EXPECT_NE(centre, GetSysColor(COLOR_BTNFACE));
    // The colours as drawn, through the bitmap's colour table.
    EXPECT_EQ(centre, RGB(255, 255, 255));
    EXPECT_EQ(face, RGB(50, 110, 220));
}

} // namespace

namespace {

// The program's icon has an image of every size Windows asks for, which it reads
// (PNG images inside the icon file) at that size.
TEST(ProgramIcon, EverySizeWindowsAsksForLoads) {
    for (int size : {16, 20, 24, 32, 40, 48, 64, 256}) {
        HICON icon = static_cast<HICON>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour = {};
        GetObjectA(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

// The image's pixels on white, row by row.
std::vector<COLORREF> pixelsOf(const ui::TImageList& list, int index) {
    ui::Bitmap picture = list.Picture(index, RGB(255, 255, 255));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, picture.get());
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    return pixels;
}

// ExtractIconA answers 1 for a file that holds no icon; the list refuses it.
TEST(MenuGlyphs, AnIconTheListRefusesGivesWayToTheDefaultAndShiftsNothing) {
    app::MainWindow form;
    HICON red = solidIcon(RGB(255, 0, 0)), green = solidIcon(RGB(0, 255, 0));
    const std::pair<const char*, HICON> pages[] = {{"Excel", red},
                                                   {"Word", reinterpret_cast<HICON>(1)},
                                                   {"PowerPoint", nullptr},
                                                   {"Outlook", green}};
    for (const auto& [name, icon] : pages) {
        kel::TKelExtInfo record;
        record.ViewName = name;
        record.IconHandle = icon;
        form.AddPage(record);
    }
    ASSERT_EQ(form.IL_Menu->Count(), form.GLB_Menu->Count());
    EXPECT_EQ(pixelsOf(*form.IL_Menu, 0)[16 * 32 + 16], RGB(255, 0, 0));
    EXPECT_EQ(pixelsOf(*form.IL_Menu, 3)[16 * 32 + 16], RGB(0, 255, 0));
    std::vector<COLORREF> refused = pixelsOf(*form.IL_Menu, 1);
    EXPECT_EQ(refused, pixelsOf(*form.IL_Menu, 2)); // both the default glyph
    EXPECT_NE(std::count(refused.begin(), refused.end(), RGB(255, 255, 255)), 32 * 32);
    DestroyIcon(red);
    DestroyIcon(green);
}

} // namespace

namespace {

TEST(StartState, MinimisedStaysMinimisedAndEverythingElseShowsNormally) {
    EXPECT_EQ(app::StartShowCommand(SW_SHOWMINNOACTIVE), SW_SHOWMINNOACTIVE);
    EXPECT_EQ(app::StartShowCommand(SW_SHOWMINIMIZED), SW_SHOWMINIMIZED);
    EXPECT_EQ(app::StartShowCommand(SW_MINIMIZE), SW_MINIMIZE);
    EXPECT_EQ(app::StartShowCommand(SW_FORCEMINIMIZE), SW_SHOWMINNOACTIVE);
    for (int command : {SW_HIDE, SW_SHOWNORMAL, SW_SHOWMAXIMIZED, SW_SHOWNOACTIVATE, SW_SHOW,
                        SW_SHOWNA, SW_RESTORE, SW_SHOWDEFAULT})
        EXPECT_EQ(app::StartShowCommand(command), SW_SHOWNORMAL) << command;
    EXPECT_TRUE(app::IsMinimising(SW_SHOWMINNOACTIVE));
    EXPECT_FALSE(app::IsMinimising(SW_SHOWNORMAL));
}

} // namespace

namespace {

// Under a high-contrast theme every control of every page takes its colours from
// the system, and in the black scheme laid here its text stands out from its
// background; without the theme the program keeps its own colours.
// Lays a black high-contrast scheme and turns the theme on while it lives; puts the
// system colours, the theme and the machine back on every path. Wine reports the
// theme as off whatever its colours, so the test turns it on itself.
class HighContrastScheme {
  public:
    HighContrastScheme() {
        sample::Lay(sample::Standard());
        const std::pair<int, COLORREF> scheme[] = {
            {COLOR_BTNFACE, RGB(0, 0, 0)},
            {COLOR_WINDOW, RGB(0, 0, 0)},
            {COLOR_WINDOWTEXT, RGB(255, 255, 255)},
            {COLOR_BTNTEXT, RGB(255, 255, 255)},
            {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)},
            {COLOR_HIGHLIGHT, RGB(26, 235, 255)},
            {COLOR_HIGHLIGHTTEXT, RGB(0, 0, 0)},
            {COLOR_HOTLIGHT, RGB(255, 255, 0)},
        };
        std::vector<COLORREF> laid;
        for (const auto& [element, color] : scheme) {
            elements_.push_back(element);
            laid.push_back(color);
            kept_.push_back(GetSysColor(element));
        }
        laidOk_ = SetSysColors(static_cast<int>(elements_.size()), elements_.data(), laid.data());
        ui::gHighContrast = [] { return true; };
    }
    ~HighContrastScheme() {
        SetSysColors(static_cast<int>(elements_.size()), elements_.data(), kept_.data());
        ui::gHighContrast = highContrast_;
        sample::Remove();
    }
    bool laid() const { return laidOk_; }

  private:
    std::vector<int> elements_;
    std::vector<COLORREF> kept_;
    bool laidOk_ = false;
    bool (*highContrast_)() = ui::gHighContrast;
};

// Under a high-contrast theme every control of every page takes its colours from
// the system, and in the black scheme laid here its text stands out from its
// background; without the theme the program keeps its own colours.
TEST(HighContrast, EveryColourIsASystemColourAndTextStandsOutFromItsBackground) {
    {
        HighContrastScheme scheme;
        ASSERT_TRUE(scheme.laid());
        MainWindow form;
        if (!form.PagesBuilt())
            form.BuildPages();
        testing_support::ShowEveryPage(form);
        for (int i = 0; i < form.ComponentCount(); ++i) {
            auto* control = dynamic_cast<ui::TControl*>(&form.Component(i));
            if (control == nullptr)
                continue;
            ui::TColor back = control->Color() == ui::clDefault ? ui::clBtnFace : control->Color();
            EXPECT_LT(control->FontSpec().Color, 0) << control->Name();
            EXPECT_LT(back, 0) << control->Name();
            EXPECT_NE(ui::ColorToRGB(control->FontSpec().Color), ui::ColorToRGB(back))
                << control->Name();
        }
        const ui::TGraphicListBox& menu = *form.GLB_Menu;
        for (ui::TColor color : {menu.ListColor, menu.SelectedColor, menu.FocusedColor,
                                 menu.SelectedFont.Color, menu.FocusedFont.Color})
            EXPECT_LT(color, 0);
        EXPECT_NE(ui::ColorToRGB(menu.SelectedFont.Color), ui::ColorToRGB(menu.SelectedColor));
        EXPECT_NE(ui::ColorToRGB(menu.FocusedFont.Color), ui::ColorToRGB(menu.FocusedColor));
        EXPECT_EQ(form.About->LL_Site->FontSpec().Color, ui::clHotLight);
        EXPECT_EQ(form.PL_Wait->Color(), ui::clHighlight);
    }
    auto highContrast = ui::gHighContrast;
    ui::gHighContrast = [] { return false; };
    {
        MainWindow form;
        EXPECT_EQ(form.About->LL_Site->FontSpec().Color, ui::clBlue);
        EXPECT_EQ(form.PL_Wait->Color(), ui::clMoneyGreen);
    }
    ui::gHighContrast = highContrast;
}

// ---- The layout at the screen's scale

// The screen's scale Wine gives every program started while this lives; then the
// bench's own 96 again (no value), also when an earlier run was ended half way.
class ScreenScale {
  public:
    explicit ScreenScale(DWORD ppi) {
        RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key_, nullptr);
        RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&ppi),
                       sizeof ppi);
    }
    ~ScreenScale() {
        RegDeleteValueA(key_, "LogPixels");
        RegCloseKey(key_);
    }

  private:
    HKEY key_ = nullptr;
};

RECT screenRect(const ui::TControl& control) {
    RECT rect;
    GetWindowRect(control.Handle(), &rect);
    return rect;
}

// The size of a control's text in its own font, in screen pixels: a word-wrapped
// label's at its own width.
SIZE screenTextSize(const ui::TControl& control) {
    ui::WindowDc dc(control.Handle());
    ui::SelectGuard font(dc.get(), control.FontHandle());
    std::string text = control.Caption();
    auto* label = dynamic_cast<const ui::TLabel*>(&control);
    bool wrapped = label != nullptr && label->WordWrap();
    RECT rect = {0, 0, wrapped ? screenRect(control).right - screenRect(control).left : 0, 0};
    DrawTextA(dc.get(), text.c_str(), -1, &rect,
              DT_CALCRECT | DT_NOPREFIX | (wrapped ? DT_WORDBREAK : DT_SINGLELINE));
    return {rect.right, rect.bottom};
}

// The caption each page is given: the Office page the primary product's name and
// version, a program's page the program's description and file version.
std::map<std::string, std::string> pageCaptions(MainWindow& form) {
    std::map<std::string, std::string> captions;
    const kel::TKelOfficeInfo& info = form.OfficeInfo();
    if (!info.Product.ProductName.empty())
        captions["GB_Office"] =
            info.Product.ProductName + " [Version " + info.Product.ProductVersion + "]";
    for (const kel::TDocumentType& type : kel::kDocumentTypes) {
        const kel::TKelExtInfo& record = info.Record(type.application);
        kel::TKelProductInfo version;
        if (!record.FileName.empty() && kel::ReadProductInfo(record.FileName, version) == 0)
            captions[std::string("GB_") + type.viewName] =
                version.FileDescription + " [Version " + version.FileVersion + "]";
    }
    return captions;
}

// A page's caption as painted, measured in its font: within the frame's corners, its
// bracketed version whole, while a page's window text stays the whole caption it
// was given (pageCaptions).
void reportCaption(const ui::TGroupBox& box, const std::map<std::string, std::string>& given) {
    std::string caption = box.Caption(), shown = box.ShownCaption();
    char window[512] = {};
    GetWindowTextA(box.Handle(), window, sizeof window);
    ui::WindowDc dc(box.Handle());
    ui::SelectGuard font(dc.get(), box.FontHandle());
    SIZE size = {};
    GetTextExtentPoint32A(dc.get(), shown.c_str(), static_cast<int>(shown.size()), &size);
    std::printf("measured %s: caption %ld in %d\n", box.Name().c_str(), size.cx, box.CaptionRoom());
    size_t version = caption.rfind(" [Version ");
    bool whole = !given.contains(box.Name()) || window == given.at(box.Name());
    if (size.cx > box.CaptionRoom() || !whole ||
        (version != std::string::npos && !shown.ends_with(caption.substr(version))))
        std::printf("clipped %s\n", box.Name().c_str());
}

// Writes out, a line each, what does not hold among these controls: a label or
// button too small for its text, a control reaching out of its parent's client
// area, two controls of one parent that overlap (bevels, drawn behind what they
// frame, and hidden controls aside).
void reportControls(const std::vector<ui::TControl*>& controls) {
    std::map<HWND, std::vector<ui::TControl*>> byParent;
    for (ui::TControl* control : controls) {
        if (dynamic_cast<ui::TBevel*>(control) != nullptr || !control->Visible())
            continue;
        byParent[control->ParentHandle()].push_back(control);
        RECT rect = screenRect(*control), parent, inside;
        GetClientRect(control->ParentHandle(), &parent);
        MapWindowPoints(control->ParentHandle(), HWND_DESKTOP, reinterpret_cast<POINT*>(&parent),
                        2);
        if (!IntersectRect(&inside, &rect, &parent) || !EqualRect(&inside, &rect))
            std::printf("outside %s\n", control->Name().c_str());
        SIZE text = screenTextSize(*control);
        bool label = dynamic_cast<ui::TLabel*>(control) != nullptr;
        bool button = dynamic_cast<ui::TButton*>(control) != nullptr ||
                      dynamic_cast<ui::TSpeedButton*>(control) != nullptr;
        int room = button ? ui::Scale(4) : 0; // the button's edges
        if (!label && !button)
            continue;
        std::printf("measured %s: text %ldx%ld in %ldx%ld\n", control->Name().c_str(), text.cx,
                    text.cy, rect.right - rect.left, rect.bottom - rect.top);
        if (text.cx + room > rect.right - rect.left || text.cy + room > rect.bottom - rect.top)
            std::printf("clipped %s\n", control->Name().c_str());
    }
    for (const auto& [parent, siblings] : byParent)
        for (size_t a = 0; a < siblings.size(); ++a)
            for (size_t b = a + 1; b < siblings.size(); ++b) {
                RECT one = screenRect(*siblings[a]), other = screenRect(*siblings[b]), both;
                if (IntersectRect(&both, &one, &other))
                    std::printf("overlap %s %s\n", siblings[a]->Name().c_str(),
                                siblings[b]->Name().c_str());
            }
}

// In a program started at the scale the parent asks for: the client area is the
// 96-pixel one scaled; the window with every page, and a message dialog, report
// what does not hold.
void reportLayoutAtThisScale(int ppi, int clientWidth96, int clientHeight96) {
    ASSERT_EQ(ui::PixelsPerInch(), ppi);
    // Today's Office, whose product name is the longest.
    struct Machine {
        Machine() { sample::LayM365(); }
        ~Machine() { sample::Remove(); }
    } machine;
    {
        MainWindow form;
        if (!form.PagesBuilt())
            form.BuildPages();
        testing_support::ShowEveryPage(form);
        ASSERT_GE(form.GLB_Menu->Count(), 6);
        RECT client;
        GetClientRect(form.Handle(), &client);
        EXPECT_EQ(client.right, ui::ScaleTo(clientWidth96, ppi));
        EXPECT_EQ(client.bottom, ui::ScaleTo(clientHeight96, ppi));
        EXPECT_EQ(form.GLB_Menu->ItemHeight(), 36);
        RECT item;
        SendMessageA(form.GLB_Menu->Handle(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(item.bottom - item.top, ui::ScaleTo(36, ppi));
        EXPECT_EQ(form.IL_Menu->Width(), ui::ScaleTo(32, ppi));
        EXPECT_EQ(form.IL_Icon->Height(), ui::ScaleTo(22, ppi));
        LOGFONTA font = {};
        GetObjectA(form.About->LL_Wexd->FontHandle(), sizeof font, &font);
        EXPECT_EQ(font.lfHeight, ui::ScaleFontHeightTo(-21, ppi));
        std::vector<ui::TControl*> controls;
        for (int i = 0; i < form.ComponentCount(); ++i) {
            auto* control = dynamic_cast<ui::TControl*>(&form.Component(i));
            // One page stands for all: they share their bounds.
            bool otherPage = dynamic_cast<ui::TGroupBox*>(control) != nullptr &&
                             control->ParentHandle() == form.Handle() && control != form.GB_About;
            if (control != nullptr && !otherPage)
                controls.push_back(control);
        }
        reportControls(controls);
        std::map<std::string, std::string> captions = pageCaptions(form);
        for (int i = 0; i < form.ComponentCount(); ++i)
            if (auto* page = dynamic_cast<ui::TGroupBox*>(&form.Component(i)))
                reportCaption(*page, captions);
        // The menu's items, in each look: the text as drawn beside the glyph, within
        // the list.
        ui::TGraphicListBox& menu = *form.GLB_Menu;
        for (int i = 0; i < menu.Count(); ++i)
            for (unsigned state : {0u, unsigned(ui::odSelected), unsigned(ui::odFocused)}) {
                ui::TGraphicListBox::TTextFit fit = menu.ItemTextFit(i, state);
                std::printf("measured item %s: text %d in %d\n", menu.Item(i).c_str(), fit.width,
                            fit.room);
                if (fit.width > fit.room)
                    std::printf("clipped item %s\n", menu.Item(i).c_str());
            }

        testing_support::DialogAnswer answer([](HWND dialog) {
            std::vector<ui::TControl*> shown;
            for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
                 child = GetWindow(child, GW_HWNDNEXT))
                if (ui::TControl* control = ui::TControl::FromHandle(child))
                    shown.push_back(control);
            reportControls(shown);
            testing_support::pressButton(dialog, "いいえ(&N)");
        });
        ui::ShowMessageDialog("ソフト工房「Tarnholm」へアクセスしますか？ 既定のブラウザーで"
                              "Web ページを開きます。よろしければ「はい」を押してください。",
                              ui::TMsgDlgType::mtConfirmation, ui::mbYes | ui::mbNo);
        EXPECT_TRUE(answer.answered());
    }
    std::fflush(stdout);
}

// Runs this test again in a program started at ppi (Wine takes the screen's scale
// from LogPixels when a program starts), with asked in WEXDAL_TEST_SCALE: its exit
// code, and what it wrote in said.
DWORD runAtScale(int ppi, const std::string& asked, std::string& said) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string log = std::string(temp) + "wexdal-scaling.log";
    SetEnvironmentVariableA("WEXDAL_TEST_SCALE", asked.c_str());
    DWORD code;
    {
        ScreenScale scale(ppi);
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE output = CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                    CREATE_ALWAYS, 0, nullptr);
        const testing::TestInfo& test = *testing::UnitTest::GetInstance()->current_test_info();
        code = testing_support::runToEnd(
            self, std::string("--gtest_filter=") + test.test_suite_name() + "." + test.name(),
            output);
        CloseHandle(output);
    }
    SetEnvironmentVariableA("WEXDAL_TEST_SCALE", nullptr);
    said = testing_support::readFile(log);
    DeleteFileA(log.c_str());
    return code;
}

// This test program is started again at each scale, and everything must hold at
// each: no text clipped by its control, its menu item or its page's frame, nothing
// outside its parent, no two controls overlapping.
TEST(Scaling, TheWholeLayoutScalesWithTheScreenAndHoldsItsTexts) {
    if (const char* asked = std::getenv("WEXDAL_TEST_SCALE")) {
        int ppi = 0, width = 0, height = 0;
        ASSERT_EQ(std::sscanf(asked, "%d %d %d", &ppi, &width, &height), 3);
        reportLayoutAtThisScale(ppi, width, height);
        return;
    }
    int width, height; // in design pixels, whatever this program's scale
    {
        MainWindow form;
        width = form.ClientWidth();
        height = form.ClientHeight();
    }
    auto findings = [](const std::string& said) {
        std::set<std::string> lines;
        std::istringstream in(said);
        for (std::string line; std::getline(in, line);)
            if (line.rfind("clipped ", 0) == 0 || line.rfind("overlap ", 0) == 0 ||
                line.rfind("outside ", 0) == 0)
                lines.insert(line);
        return lines;
    };
    for (int ppi : {96, 120, 144, 192}) {
        std::string said;
        DWORD code = runAtScale(
            ppi, std::to_string(ppi) + " " + std::to_string(width) + " " + std::to_string(height),
            said);
        EXPECT_EQ(code, 0u) << "at " << ppi << " pixels per inch:\n" << said;
        EXPECT_NE(said.find("measured LL_EmlWsh"), std::string::npos) << "nothing measured";
        EXPECT_NE(said.find("measured GB_Office: caption"), std::string::npos);
        for (const std::string& finding : findings(said))
            ADD_FAILURE() << finding << " at " << ppi << " pixels per inch";
    }
}

// The window as laid out, a line per component in creation order: each control's
// place and size in its parent, visibility, font, glyph, picture and item height, each
// image list's size and count.
// A component's line of the window tree.
std::string componentLine(ui::TComponent& component) {
    std::ostringstream out;
    out << component.Name();
    if (auto* list = dynamic_cast<ui::TImageList*>(&component)) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(list->Handle(), &cx, &cy);
        out << " images " << cx << "x" << cy << " " << list->Count();
    }
    auto* control = dynamic_cast<ui::TControl*>(&component);
    if (control != nullptr) {
        HWND window = control->Handle();
        RECT rect = screenRect(*control);
        MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
        out << " at " << rect.left << "," << rect.top << " " << rect.right - rect.left << "x"
            << rect.bottom - rect.top << (control->Visible() ? " shown" : "") << " text "
            << control->Caption();
        LOGFONTA font = {};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        out << " font " << font.lfFaceName << " " << font.lfHeight << " " << font.lfWeight
            << (font.lfUnderline ? " underlined" : "");
    }
    BUTTON_IMAGELIST glyph = {};
    if ((dynamic_cast<ui::TButton*>(control) || dynamic_cast<ui::TSpeedButton*>(control)) &&
        SendMessageA(control->Handle(), BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&glyph)) &&
        glyph.himl != nullptr) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(glyph.himl, &cx, &cy);
        out << " glyph " << cx << "x" << cy << " margin " << glyph.margin.left;
    }
    BITMAP picture = {};
    if (auto* image = dynamic_cast<ui::TImage*>(control);
        image != nullptr && GetObjectA(image->BitmapHandle(), sizeof picture, &picture))
        out << " picture " << picture.bmWidth << "x" << picture.bmHeight;
    if (auto* list = dynamic_cast<ui::TGraphicListBox*>(control))
        out << " items " << SendMessageA(list->Handle(), LB_GETITEMHEIGHT, 0, 0);
    if (auto* box = dynamic_cast<ui::TGroupBox*>(control))
        out << " caption " << box->ShownCaption();
    return out.str();
}

// The window as laid out, a line per component in creation order: each control's
// place and size in its parent, visibility, text, font, glyph, picture and item
// height, each image list's size and count.
std::string windowTree(const MainWindow& form) {
    std::ostringstream out;
    RECT client;
    GetClientRect(form.Handle(), &client);
    out << "client " << client.right << "x" << client.bottom << "\n";
    for (int i = 0; i < form.ComponentCount(); ++i)
        out << componentLine(form.Component(i)) << "\n";
    return out.str();
}

// A page's caption, its controls in tab order, then all of them by name: their lines
// of the tree.
std::vector<std::string> pageTree(const MainWindow& form, const std::string& item) {
    const ui::TGroupBox& box = *form.Find<ui::TGroupBox>("GB_" + item);
    HWND page = box.Handle();
    std::vector<std::string> lines = {"caption " + box.ShownCaption()};
    // The tab stops in their order, whether or not the page is shown now.
    std::vector<ui::TControl*> stops;
    for (int i = 0; i < form.ComponentCount(); ++i)
        if (auto* control = dynamic_cast<ui::TControl*>(&form.Component(i));
            control != nullptr && IsChild(page, control->Handle()) && control->TabStop())
            stops.push_back(control);
    std::sort(stops.begin(), stops.end(), [&](const ui::TControl* a, const ui::TControl* b) {
        return std::pair(GetParent(a->Handle()), a->TabSequence()) <
               std::pair(GetParent(b->Handle()), b->TabSequence());
    });
    for (const ui::TControl* control : stops)
        lines.push_back("tab " + control->Name());
    std::vector<std::string> controls;
    for (int i = 0; i < form.ComponentCount(); ++i)
        if (auto* control = dynamic_cast<ui::TControl*>(&form.Component(i));
            control != nullptr && IsChild(page, control->Handle()))
            controls.push_back(componentLine(*control));
    std::sort(controls.begin(), controls.end());
    lines.insert(lines.end(), controls.begin(), controls.end());
    return lines;
}

// Each page makes its rows at its first show, and is then exactly the page of a
// window that showed every page: the same controls, places, texts, fonts, pictures
// and tab order, found by the same names.
TEST(Pages, APageFirstShownAloneIsThePageOfAWindowThatShowedEveryPage) {
    struct Machine {
        Machine() { sample::LayM365(); }
        ~Machine() { sample::Remove(); }
    } machine;
    std::map<std::string, std::vector<std::string>> everyPage;
    std::vector<std::string> items;
    {
        MainWindow form;
        if (!form.PagesBuilt())
            form.BuildPages();
        for (int i = 0; i < form.GLB_Menu->Count(); ++i)
            items.push_back(form.GLB_Menu->Item(i));
        testing_support::ShowEveryPage(form);
        for (const std::string& item : items)
            everyPage[item] = pageTree(form, item);
    }
    ASSERT_GE(items.size(), 6u);
    for (const std::string& item : items) {
        MainWindow form;
        if (!form.PagesBuilt())
            form.BuildPages();
        for (int i = 0; i < form.GLB_Menu->Count(); ++i)
            if (form.GLB_Menu->Item(i) == item)
                form.GLB_Menu->SetItemIndex(i);
        form.GLB_MenuClick(*form.GLB_Menu);
        std::vector<std::string> alone = pageTree(form, item);
        EXPECT_GT(alone.size(), 2u) << item;
        EXPECT_EQ(alone, everyPage[item]) << item;
    }
}

// A window started at one scale and moved to a monitor of another (Windows asks its
// size there, then tells it the change with the rectangle it suggests) is laid out
// exactly as a window started at the new scale.
TEST(Scaling, AMoveToAMonitorOfAnotherScaleLaysTheWindowOutAsAStartThere) {
    if (const char* asked = std::getenv("WEXDAL_TEST_SCALE")) {
        struct Machine {
            Machine() { sample::LayM365(); }
            ~Machine() { sample::Remove(); }
        } machine;
        kel::gProcessElevated = [] { return false; }; // the machine's rows shielded
        MainWindow form;
        if (!form.PagesBuilt())
            form.BuildPages();
        testing_support::ShowEveryPage(form);
        if (int to = std::atoi(asked); to != 0) {
            SIZE size = {};
            ASSERT_TRUE(SendMessageA(form.Handle(), WM_GETDPISCALEDSIZE, MAKEWPARAM(to, to),
                                     reinterpret_cast<LPARAM>(&size)));
            RECT now;
            GetWindowRect(form.Handle(), &now);
            RECT suggested = {now.left + 40, now.top, now.left + 40 + size.cx, now.top + size.cy};
            SendMessageA(form.Handle(), WM_DPICHANGED, MAKEWPARAM(to, to),
                         reinterpret_cast<LPARAM>(&suggested));
            GetWindowRect(form.Handle(), &now);
            EXPECT_EQ(now.left, suggested.left);
            EXPECT_EQ(now.top, suggested.top);
            EXPECT_EQ(form.PixelsPerInch(), to);
        }
        std::istringstream tree(windowTree(form));
        for (std::string line; std::getline(tree, line);)
            std::printf("tree %s\n", line.c_str());
        std::fflush(stdout);
        return;
    }
    auto treeLines = [](const std::string& said) {
        std::vector<std::string> lines;
        std::istringstream in(said);
        for (std::string line; std::getline(in, line);)
            if (line.rfind("tree ", 0) == 0)
                lines.push_back(line);
        return lines;
    };
    for (auto [from, to] : {std::pair(96, 144), std::pair(96, 192), std::pair(120, 96)}) {
        std::string moved, started, before;
        EXPECT_EQ(runAtScale(from, std::to_string(to), moved), 0u) << moved;
        EXPECT_EQ(runAtScale(to, "0", started), 0u) << started;
        EXPECT_EQ(runAtScale(from, "0", before), 0u) << before;
        ASSERT_NE(started.find("tree GLB_Menu at"), std::string::npos) << started;
        // The scales differ, and so do their trees.
        EXPECT_NE(treeLines(before), treeLines(started));
        std::vector<std::string> got = treeLines(moved), wanted = treeLines(started);
        EXPECT_EQ(got.size(), wanted.size());
        for (size_t i = 0, shown = 0; i < std::min(got.size(), wanted.size()) && shown < 8; ++i)
            if (got[i] != wanted[i] && ++shown)
                ADD_FAILURE() << "moved from " << from << " to " << to << ":\n  " << got[i]
                              << "\nstarted there:\n  " << wanted[i];
    }
}

} // namespace
