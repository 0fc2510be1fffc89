// MainWindow, the program's one window: the frame of the pages (app/Page.h) with the
// menu list, the page area, the close button, the status bar and the wait panel; the
// Office inventory and the user information it owns.
#pragma once

#include "app/AboutPage.h"
#include "app/OfficePage.h"
#include "app/Page.h"
#include "office/OfficeInfo.h"
#include "office/UserInfoList.h"
#include "repair/Actions.h"
#include "sysinfo/Handle.h"
#include "widgets/GraphicListBox.h"

#include <memory>
#include <type_traits>
#include <optional>
#include <vector>

namespace app {

extern const char kProductTitle[]; // "Wexdal": window caption and single-instance key
extern const char kWindowClass[];  // "TForm1"

// The message a second start sends the running window to bring it back, registered
// by this name; the window lets it through from a program of a lower integrity
// level (a second start without rights, the window run as administrator).
extern const char kRestoreMessageName[];
extern const char kMakerNotice[];

// Shows a running state on form's row: the caption of its label, and its button
// enabled while the application runs (app/ControlNames.h); a control the form does
// not have is passed over.
void ShowRunningStateOn(ui::TForm& form, const std::string& row, const std::string& caption,
                        bool running);

// Asks question, and on Yes opens url.
void AskThenOpen(const std::string& question, const std::string& url);
// The banner's click: asks whether to visit the maker's site.
void OpenMakerSite();

// The window's font, "ＭＳ Ｐゴシック", of this pixel height.
ui::TFontSpec WindowFont(int height, bool bold = false);

// The program's own colours, and the system colours that take their place under a
// high-contrast theme.
extern const ui::TThemedColor kLinkColor;
extern const ui::TThemedColor kLinkHotColor;

class MainWindow : public ui::TForm, public kel::TActionHost {
  public:
    MainWindow();
    ~MainWindow() override;

    // What the actions and the survey need of the window: the running-state rows
    // (ShowRunningStateOn) and the message dialog's answers.
    void ShowRunningState(const std::string& row, const std::string& caption,
                          bool running) override;
    bool Confirm(const std::string& question) override;
    void Inform(const std::string& message) override;
    bool Closing() const override { return CloseRequested(); }

  protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  public:
    // The frame's controls. GB_About is the page area: the About page's group box,
    // whose bounds every other page takes.
    ui::TGraphicListBox* GLB_Menu;
    ui::TButton* BB_Exit;
    ui::TStatusBar* StatusBar1;
    ui::TGroupBox* GB_About;
    ui::TPanel* PL_Wait;
    ui::TImageList* IL_Menu;
    ui::TImageList* IL_Icon; // the rows' icons
    ui::TImageList* IL_ExitGlyph;
    ui::TTimer* Timer1;

    // The About page, made with the window; the Office page once it is built, else
    // nullptr.
    AboutPage* About = nullptr;
    OfficePage* Office() const;

    // What the window owns from FormCreate to FormDestroy: the Office inventory, the
    // user information as last read from the registry and as edited on the Office
    // page.
    kel::TKelOfficeInfo& OfficeInfo() { return *officeInfo_; }
    kel::TUserInfoList& InfoBefore() { return *infoBefore_; }
    kel::TUserInfoList& InfoAfter() { return *infoAfter_; }
    bool PagesBuilt() const { return pagesBuilt_; }
    // Marks the pages built, so that the next activation builds none.
    void SetPagesBuilt() { pagesBuilt_ = true; }

    void FormCreate();
    void FormActivate() override;
    void FormDestroy() override;
    void FormScaleChanged() override;
    void GLB_MenuClick(ui::TComponent& sender);
    void Timer1Timer(ui::TComponent& sender);

    // Frames a button with a lowered box bevel one pixel larger on every side.
    ui::TBevel& AddButtonFrame(const std::string& frameName, ui::TControl& button);

    // Page construction, run once at the first activation: the Office page and the
    // application pages the machine has, then About's menu item, selected.
    void BuildPages();
    // Adds a page of kind P made for the record and args, and its menu item with
    // the record's icon; for About's record, the menu item alone (its page is the
    // window's page area).
    template <typename P = Page, typename... Args>
    P& AddPage(const kel::TKelExtInfo& record, Args&&... args) {
        addMenuItem(record);
        if constexpr (std::is_same_v<P, Page>)
            if (About != nullptr && record.ViewName == About->Item())
                return *About;
        auto page = std::make_unique<P>(*this, record, std::forward<Args>(args)...);
        P& made = *page;
        pages_.push_back(std::move(page));
        return made;
    }

    // The one click handler of every action button of the pages: runs the button's
    // row (a switch's button with its state).
    void ActionButtonClick(const kel::TAction& action, int state);
    // A machine-wide switch of a window without administrator rights, made by the
    // program's own command started elevated.
    kel::ActionResult RunElevated(const kel::TAction& action, int state);
    // Office's repair of a window without administrator rights, by the program's own
    // command started elevated.
    kel::ActionResult RepairOfficeElevated();
    // Runs "wexdal.exe parameters" elevated while the window waits, alive but
    // locked: its exit code (-1 when it could not start), nothing when the consent
    // prompt was declined.
    std::optional<long> RunElevatedCommand(const std::wstring& parameters);

  private:
    // The record's menu item, its glyph the record's icon.
    void addMenuItem(const kel::TKelExtInfo& record);
    void createFixedControls();

    bool pagesBuilt_ = false; // true once page construction has begun
    std::unique_ptr<kel::TKelOfficeInfo> officeInfo_;
    std::unique_ptr<kel::TUserInfoList> infoBefore_;
    std::unique_ptr<kel::TUserInfoList> infoAfter_;
    std::vector<std::unique_ptr<Page>> pages_; // About's first, then in menu order
};

} // namespace app
