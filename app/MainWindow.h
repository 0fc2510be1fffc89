// MainWindow, the program's one window: the menu list, the page area, the close button
// and the status bar; the Office inventory and the user information it owns.
#pragma once

#include "app/AboutPage.h"
#include "app/UserInfoBlock.h"
#include "office/OfficeInfo.h"
#include "office/UserInfoList.h"
#include "repair/Actions.h"
#include "sysinfo/Handle.h"
#include "widgets/GraphicListBox.h"

#include <memory>
#include <optional>
#include <set>

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
    // Fixed controls.
    ui::TGraphicListBox* GLB_Menu;
    ui::TButton* BB_Exit;
    ui::TStatusBar* StatusBar1;
    ui::TGroupBox* GB_About;
    ui::TButton* BB_UserInfo;
    ui::TPanel* PL_Wait;
    ui::TImageList* IL_Menu;
    ui::TImageList* IL_Icon;
    ui::TImageList* IL_UserInfoGlyph;
    ui::TImageList* IL_ExitGlyph;
    ui::TTimer* Timer1;

    // The About page and its controls.
    std::unique_ptr<AboutPage> About;

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
    void GLB_MenuClick(ui::TComponent& sender);
    void Timer1Timer(ui::TComponent& sender);
    void BB_UserInfoClick(ui::TComponent& sender);

    // Frames a button with a lowered box bevel one pixel larger on every side.
    ui::TBevel& AddButtonFrame(const std::string& frameName, ui::TControl& button);

    // Page construction, run once at the first activation.
    void BuildPages();
    void AddPage(kel::TKelExtInfo& record);
    // A row of its page as the table gives it: label, button or pair, frame, icon.
    void AddActionRow(const kel::TAction& action);
    void SetToggleState(const std::string& row, bool state);

    // The one click handler of every action button of the pages: runs the button's
    // row (a switch's button with its state).
    void ActionButtonClick(const kel::TAction& action, int state);
    // A machine-wide switch of a window without administrator rights, made by the
    // program's own command started elevated.
    kel::ActionResult RunElevated(const kel::TAction& action, int state);
    // Runs "wexdal.exe parameters" elevated while the window waits, alive but
    // locked: its exit code (-1 when it could not start), nothing when the consent
    // prompt was declined.
    std::optional<long> RunElevatedCommand(const std::wstring& parameters);

  private:
    void buildOfficePage();
    void buildApplicationPage(const kel::TDocumentType& type);
    void addRowsOf(const std::string& page);
    void setPairStatesOf(const std::string& page);
    // Reads the states of a page's rows (its pairs, its running state) the first
    // time it is shown, before it is drawn; a start-up reads none of them.
    void readStatesOnFirstShow(const std::string& page);
    void createFixedControls();

    bool pagesBuilt_ = false; // true once page construction has begun
    std::unique_ptr<kel::TKelOfficeInfo> officeInfo_;
    std::unique_ptr<kel::TUserInfoList> infoBefore_;
    std::unique_ptr<kel::TUserInfoList> infoAfter_;
    UserInfoBlock userInfo_{*this};         // on the Office page, once it is built
    std::vector<kel::ExtractedIcon> icons_; // the icons extracted for the pages
    std::set<std::string> unreadPages_;     // built pages whose rows' states are unread
};

} // namespace app
