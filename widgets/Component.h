// The named-component layer: components owned by a form, kept in creation order and
// found by name; controls that are real child windows with bounds, caption,
// visibility, font, colour, z-order and a click event.
#pragma once

#include "widgets/Gdi.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Windows 10's messages of a move to a monitor of another scale, which the headers
// for the program's oldest Windows leave out.
#ifndef WM_GETDPISCALEDSIZE
#define WM_GETDPISCALEDSIZE 0x02E4
#endif

namespace ui {

// An RGB colour, or a system colour index stored as -(index + 1).
using TColor = std::int32_t;
constexpr TColor SystemColor(int index) {
    return -(index + 1);
}
constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SystemColor(COLOR_BTNSHADOW);
constexpr TColor clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
constexpr TColor clHighlight = SystemColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
constexpr TColor clBlack = RGB(0, 0, 0);
constexpr TColor clBlue = RGB(0, 0, 255);
constexpr TColor clRed = RGB(255, 0, 0);
constexpr TColor clMoneyGreen = RGB(192, 220, 192);
constexpr TColor clHotLight = SystemColor(COLOR_HOTLIGHT);
constexpr TColor clDefault = 0x1FFFFFFF; // "not set": the window class paints as usual
COLORREF ColorToRGB(TColor color);

// The system's pixels per logical inch, read once (never below 96), and design
// pixels placed on it and back. A form has its own scale, its monitor's
// (TForm::PixelsPerInch); its components scale by that one.
int PixelsPerInch();
// A system metric (GetSystemMetrics' index) at ppi pixels per inch where Windows
// tells it for a scale (Windows 10); else the system's, the one scale such a
// Windows lays a program out at.
int SystemMetricAt(int index, int ppi);
int Scale(int design);
int Unscale(int screen);
int UnscaleUp(int screen); // the design length that holds screen pixels

// Whether a high-contrast theme is on (SPI_GETHIGHCONTRAST); tests set it.
extern bool (*gHighContrast)();

// A colour of the program's own look and the system colour that takes its place
// under a high-contrast theme, where nothing is drawn in a fixed colour.
struct TThemedColor {
    TColor normal;
    TColor highContrast;
    TColor Resolve() const { return gHighContrast() ? highContrast : normal; }
};

// A font description; Create() makes a GDI font of it, Shared() gives the one the
// controls share. Its height is in design pixels, scaled as the layout is.
struct TFontSpec {
    std::string Name = "ＭＳ Ｐゴシック";
    int Height = -12;
    BYTE Charset = SHIFTJIS_CHARSET;
    TColor Color = clWindowText;
    bool Bold = false;
    bool Underline = false;

    Font Create(int ppi) const;
    // The process's one GDI font of this face, size, character set, weight and
    // underline at this scale (the colour is no part of a font); it lives while
    // anybody holds it.
    std::shared_ptr<const Font> Shared(int ppi) const;
    // The toolkit's default font: 8-point MS Sans Serif.
    static TFontSpec Default();
};

class TForm;
class TComponent;
using TNotifyEvent = std::function<void(TComponent& sender)>;

// Runs an event handler; an exception that escapes it is shown as the application's
// error message and goes no further.
void InvokeEvent(const std::function<void()>& handler);
// Replaces how such an exception is shown (a modal error box); nullptr restores it.
void SetExceptionHandler(std::function<void(const std::string& message)> handler);

// Shows the wait cursor while the thread works without looking at its queue, and
// puts back the cursor it found.
class WaitCursor {
  public:
    WaitCursor() : previous_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    HCURSOR previous_;
};

class TComponent {
  public:
    TComponent(TForm& owner, std::string name);
    virtual ~TComponent() = default;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const std::string& Name() const { return name_; }
    TForm& Owner() const { return owner_; }

    // Design pixels at the scale of the form's monitor, and back.
    int PixelsPerInch() const;
    int Scale(int design) const;
    int Unscale(int screen) const;
    int UnscaleUp(int screen) const;
    // The form moved to a monitor of another scale: the component makes again what
    // it made at the old one (fonts, pictures, images). The form calls it on what
    // is no control first (image lists), then on the controls, each in creation
    // order, after it placed every control at its design bounds.
    virtual void ScaleChanged() {}

  private:
    TForm& owner_;
    std::string name_;
};

// What a control's window is made with, in the one call that makes it: its bounds
// in design pixels, its caption, whether it shows, and whether it lies below its
// earlier siblings (a frame drawn behind a row) rather than above them. A control
// made without it starts hidden, empty and with no size.
struct TInitial {
    RECT bounds = {};
    std::string caption;
    bool visible = false;
    bool atBack = false;
};

// Shown at these design bounds, with this caption.
inline TInitial ShownAt(int left, int top, int width, int height, std::string caption = {}) {
    return {.bounds = {left, top, left + width, top + height},
            .caption = std::move(caption),
            .visible = true};
}
// Shown at these design bounds below its earlier siblings.
inline TInitial ShownBehindAt(int left, int top, int width, int height) {
    return {.bounds = {left, top, left + width, top + height}, .visible = true, .atBack = true};
}

// A component that is a child window. Its bounds are in design pixels: each edge is
// scaled to the screen, so that adjoining controls stay adjoining at any scale.
class TControl : public TComponent {
  public:
    ~TControl() override;

    HWND Handle() const { return window_; }
    HWND ParentHandle() const { return GetParent(window_); }
    void SetParent(HWND parent);

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetBounds(int left, int top, int width, int height);
    void SetPosition(int left, int top) { SetBounds(left, top, Width(), Height()); }
    void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }
    RECT BoundsRect() const;

    std::string Caption() const;
    virtual void SetCaption(const std::string& text);

    bool Visible() const;
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const;
    void SetEnabled(bool enabled);

    const TFontSpec& FontSpec() const { return font_; }
    virtual void SetFont(const TFontSpec& font);
    HFONT FontHandle() const { return fontHandle_ ? fontHandle_->get() : nullptr; }
    TColor Color() const { return color_; }
    void SetColor(TColor color);

    void BringToFront();
    void SendToBack();
    // The control ID that dialog navigation (default and Escape buttons) uses.
    void SetControlId(int id);
    void Repaint(); // a control not on the screen is drawn whole when it shows

    TNotifyEvent OnClick;
    void Click();                 // runs OnClick at the event boundary
    void ScaleChanged() override; // its font at the new scale

    // Tab order: within a parent, the order in which controls were placed on it
    // (created there or moved there last), whatever their z-order.
    int TabSequence() const { return tabSequence_; }
    bool TabStop() const;
    // Visible and enabled, and so are all its parents: it can take the focus.
    bool CanFocus() const;
    // An access key (Alt+letter) pressed on the form: true when this control used it.
    virtual bool HandleAccessKey(char key);

    // Notifications routed from the parent window. Return true when handled.
    virtual bool HandleCommand(WORD code);
    virtual bool HandleDrawItem(DRAWITEMSTRUCT& item);
    virtual HBRUSH HandleCtlColor(HDC dc);

    static TControl* FromHandle(HWND window);

  protected:
    TControl(TForm& owner, std::string name, HWND parent, const char* windowClass, DWORD style,
             DWORD exStyle, const TInitial& initial);
    // Subclasses that parent other controls route their children's notifications.
    void RouteChildNotifications();
    // Every message of the window comes here first (wide, as the platform's
    // subclassing hands them on); an override passes what it does not use on to
    // its base. This one ends with the window class.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Passes a message on after an event of this control ran, which may have deleted
    // the control: through its base procedure while the control lives, else to the
    // window class while the window lives. Take window and classProc before the event.
    static LRESULT PassOn(HWND window, WNDPROC classProc, UINT message, WPARAM wParam,
                          LPARAM lParam);
    WNDPROC ClassProc() const { return classProc_; }

  private:
    friend class TForm;
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void place(const RECT& design); // the window at these design bounds, at the form's scale
    void applyFont(bool redraw);    // font_ at the form's scale
    HWND window_ = nullptr;         // nullptr once the window is destroyed
    WNDPROC classProc_ = nullptr;   // the window class's procedure
    bool routesChildren_ = false;
    int tabSequence_ = 0;
    TFontSpec font_;
    std::shared_ptr<const Font> fontHandle_;
    TColor color_ = clDefault;
    Brush colorBrush_;
};

// Routes WM_COMMAND, WM_DRAWITEM and WM_CTLCOLOR* of a child control to its
// component. Returns true when the message was handled, with its result.
bool RouteToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// A top-level window that owns components in creation order.
class TForm {
  public:
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;
    virtual ~TForm();

    HWND Handle() const { return window_; }
    // The scale the form is laid out at: its monitor's when it was made, then the
    // one each move to another monitor brings (WM_DPICHANGED), never below 96.
    int PixelsPerInch() const { return ppi_; }
    int Scale(int design) const;
    int Unscale(int screen) const;
    int UnscaleUp(int screen) const;
    // Lays the form out again at ppi, as a form made at that scale is: every
    // control at its design bounds, fonts and pictures made again, then the form's
    // own arrangement (FormScaleChanged). The window takes the rectangle given (in
    // screen pixels), sized so that its client area keeps its size in design pixels.
    void ChangeScale(int ppi, const RECT* window = nullptr);
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent& Component(int index) const { return *components_[index]; }
    TComponent* FindComponent(const std::string& name) const;
    template <typename T> T* Find(const std::string& name) const {
        return dynamic_cast<T*>(FindComponent(name));
    }

    // Creates a component owned by this form and returns it.
    template <typename T, typename... Args> T& Create(Args&&... args) {
        auto component = std::make_unique<T>(*this, std::forward<Args>(args)...);
        T& result = *component;
        components_.push_back(std::move(component));
        return result;
    }

    // Sizes in design pixels. The outer size is the window's at 96 pixels per inch;
    // at another scale its client area is scaled, the frame is the system's.
    int ClientWidth() const;
    int ClientHeight() const;
    void SetOuterSize(int width, int height);
    void SetClientSize(int width, int height);
    void CentreOnScreen();
    std::string Caption() const;

    // The controls that Tab visits, in tab order: parent by parent, each control
    // followed by the controls placed on it; only those that can take the focus.
    std::vector<TControl*> TabOrderList() const;
    // The control after from in tab order that can take the focus and lies on
    // container, going round as Tab does (the dialog's next tab item, also from a
    // control that can no longer take the focus); nullptr when there is none.
    TControl* NextTabStopOn(const TControl& from, HWND container) const;
    // Moves the focus to the next (or previous) control in tab order.
    void SelectNext(bool forward);
    // The form's keyboard handling for a message taken from the queue, before it is
    // translated and dispatched: Tab and Shift+Tab, the arrow keys, Enter on a push
    // button, and access keys. True when the message was used and must not be
    // dispatched.
    bool IsDialogKey(const MSG& message);

    // Marks the form busy while an action runs. A close asked for meanwhile (the
    // system shutting down, another program's WM_CLOSE) ends the form's open message
    // dialogs at once, as their Escape would, and closes the form once the last
    // scope ends, never under the running action.
    class BusyScope {
      public:
        explicit BusyScope(TForm& form);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

      private:
        TForm& form_;
    };
    // True once a close was asked for while the form was busy.
    bool CloseRequested() const { return closeRequested_; }

  protected:
    // owner: the window a dialog belongs to (it stays above it and closes with it).
    TForm(const char* className, const std::string& caption, DWORD style, DWORD exStyle,
          HWND owner = nullptr);
    // Whether destroying the window ends the message loop (the main window's does).
    bool QuitOnDestroy = true;
    virtual void FormActivate() {}
    virtual void FormDestroy() {}
    // After ChangeScale placed and remade the components: what the form arranged by
    // measured text it arranges again.
    virtual void FormScaleChanged() {}
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    TControl* focusedControl() const;
    std::vector<TControl*> controlsInTabOrder() const;
    bool restoreFocus();
    bool selectSibling(bool forward);
    bool pressFocusedButton();
    bool handleKeyDown(const MSG& message);
    bool pressAccessKey(char key);
    // The window's size at ppi for its client area in design pixels.
    SIZE windowSizeAt(int ppi) const;
    HWND window_ = nullptr; // nullptr once the window is destroyed
    int ppi_ = ui::PixelsPerInch();
    friend class TControl;
    HWND savedFocus_ = nullptr; // the control that had the focus last
    int busy_ = 0;              // BusyScopes open
    bool closeRequested_ = false;
    std::vector<std::unique_ptr<TComponent>> components_;
};

} // namespace ui
