#include "widgets/Component.h"

#include "widgets/Scaling.h"

#include <algorithm>
#include <exception>
#include <map>
#include <tuple>
#include <unordered_map>

namespace ui {

namespace {

// The component of each live control window of this process. Kept here rather than
// in a window property: the platform may keep those out of process, and the lookup
// runs for nearly every message.
std::unordered_map<HWND, TControl*>& controlsByWindow() {
    static std::unordered_map<HWND, TControl*> map;
    return map;
}

int nextTabSequence() {
    static int sequence = 0;
    return ++sequence;
}

void showException(const std::string& message) {
    MessageBoxA(GetActiveWindow(), message.c_str(), "Wexdal", MB_OK | MB_ICONERROR);
}

std::function<void(const std::string&)>& exceptionHandler() {
    static std::function<void(const std::string&)> handler = showException;
    return handler;
}

} // namespace

namespace {

// The platform's function of this name in user32.dll; nullptr before Windows 10.
template <typename F> F user32(const char* name) {
    return reinterpret_cast<F>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

} // namespace

int SystemMetricAt(int index, int ppi) {
    static const auto forDpi = user32<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    return forDpi != nullptr ? forDpi(index, ppi) : GetSystemMetrics(index);
}

int PixelsPerInch() {
    static const int ppi = [] {
        WindowDc screen(nullptr);
        return std::max(GetDeviceCaps(screen.get(), LOGPIXELSY), kDesignPixelsPerInch);
    }();
    return ppi;
}

int Scale(int design) {
    return ScaleTo(design, PixelsPerInch());
}

int Unscale(int screen) {
    return UnscaleFrom(screen, PixelsPerInch());
}

int UnscaleUp(int screen) {
    return UnscaleUpFrom(screen, PixelsPerInch());
}

bool (*gHighContrast)() = [] {
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
};

COLORREF ColorToRGB(TColor color) {
    return color < 0 ? GetSysColor(-color - 1) : static_cast<COLORREF>(color);
}

Font TFontSpec::Create(int ppi) const {
    return Font(CreateFontA(ScaleFontHeightTo(Height, ppi), 0, 0, 0, Bold ? FW_BOLD : FW_NORMAL,
                            FALSE, Underline, FALSE, Charset, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                            Name.c_str()));
}

std::shared_ptr<const Font> TFontSpec::Shared(int ppi) const {
    using Key = std::tuple<std::string, int, BYTE, bool, bool>;
    static std::map<Key, std::weak_ptr<const Font>> fonts;
    std::weak_ptr<const Font>& entry =
        fonts[Key(Name, ScaleFontHeightTo(Height, ppi), Charset, Bold, Underline)];
    std::shared_ptr<const Font> font = entry.lock();
    if (!font) {
        font = std::make_shared<const Font>(Create(ppi));
        entry = font;
    }
    return font;
}

TFontSpec TFontSpec::Default() {
    TFontSpec font;
    font.Name = "MS Sans Serif";
    font.Height = -11;
    font.Charset = DEFAULT_CHARSET;
    return font;
}

void InvokeEvent(const std::function<void()>& handler) {
    if (!handler)
        return;
    try {
        handler();
    } catch (const std::exception& error) {
        exceptionHandler()(error.what());
    } catch (...) {
        exceptionHandler()("Unknown error");
    }
}

void SetExceptionHandler(std::function<void(const std::string&)> handler) {
    exceptionHandler() = handler ? std::move(handler) : showException;
}

TComponent::TComponent(TForm& owner, std::string name) : owner_(owner), name_(std::move(name)) {}

int TComponent::PixelsPerInch() const {
    return owner_.PixelsPerInch();
}
int TComponent::Scale(int design) const {
    return owner_.Scale(design);
}
int TComponent::Unscale(int screen) const {
    return owner_.Unscale(screen);
}
int TComponent::UnscaleUp(int screen) const {
    return owner_.UnscaleUp(screen);
}

// ---- TControl

TControl::TControl(TForm& owner, std::string name, HWND parent, const char* windowClass,
                   DWORD style, DWORD exStyle, const TInitial& initial)
    : TComponent(owner, std::move(name)), tabSequence_(nextTabSequence()) {
    const RECT& at = initial.bounds;
    int x = Scale(at.left), y = Scale(at.top);
    style |= WS_CHILD | WS_CLIPSIBLINGS | (initial.visible ? WS_VISIBLE : 0);
    window_ = CreateWindowExA(exStyle, windowClass, initial.caption.c_str(), style, x, y,
                              Scale(at.right) - x, Scale(at.bottom) - y, parent, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (window_ != nullptr) {
        controlsByWindow()[window_] = this;
        // Subclassed through the wide procedure, as the common controls' subclassing
        // does: the window keeps taking wide messages.
        classProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(windowProc)));
    }
    // Not painted yet: a window made visible is drawn whole at its first paint.
    applyFont(false);
    // A new control lies above its earlier siblings, a frame below them.
    SetWindowPos(window_, initial.atBack ? HWND_BOTTOM : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TControl::~TControl() {
    if (window_ != nullptr)
        DestroyWindow(window_); // WindowProc lets go of the handle
}

LRESULT CALLBACK TControl::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TControl* control = FromHandle(window);
    if (control == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    return control->WindowProc(message, wParam, lParam);
}

// What every control tells its form: that it got the focus (the form gives it back
// when it is active again), and that its window is gone (WM_NCDESTROY, the last
// message, also when the window went with its parent): the handle is dead.
LRESULT TControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    LRESULT result = 0;
    if (routesChildren_ && RouteToChild(message, wParam, lParam, result))
        return result;
    if (message == WM_SETFOCUS)
        Owner().savedFocus_ = window;
    if (message != WM_NCDESTROY)
        return CallWindowProcW(classProc_, window, message, wParam, lParam);
    controlsByWindow().erase(window);
    window_ = nullptr;
    // The class's own procedure again, for whatever it is sent while it ends.
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(classProc_));
    return CallWindowProcW(classProc_, window, message, wParam, lParam);
}

LRESULT TControl::PassOn(HWND window, WNDPROC classProc, UINT message, WPARAM wParam,
                         LPARAM lParam) {
    if (TControl* control = FromHandle(window))
        return control->TControl::WindowProc(message, wParam, lParam);
    return IsWindow(window) ? CallWindowProcW(classProc, window, message, wParam, lParam) : 0;
}

TControl* TControl::FromHandle(HWND window) {
    if (window == nullptr)
        return nullptr;
    auto found = controlsByWindow().find(window);
    return found == controlsByWindow().end() ? nullptr : found->second;
}

void TControl::RouteChildNotifications() {
    routesChildren_ = true;
    SetWindowLongA(window_, GWL_EXSTYLE,
                   GetWindowLongA(window_, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
}

void TControl::SetParent(HWND parent) {
    ::SetParent(window_, parent);
    tabSequence_ = nextTabSequence(); // last in the new parent's tab order
}

bool TControl::TabStop() const {
    return (GetWindowLongA(window_, GWL_STYLE) & WS_TABSTOP) != 0;
}

bool TControl::CanFocus() const {
    if (window_ == nullptr || !IsWindowVisible(window_))
        return false;
    for (HWND window = window_; window != nullptr && window != Owner().Handle();
         window = GetParent(window))
        if (!IsWindowEnabled(window))
            return false;
    return true;
}

bool TControl::HandleAccessKey(char) {
    return false;
}

RECT TControl::BoundsRect() const {
    RECT rect = {};
    if (window_ == nullptr)
        return rect;
    GetWindowRect(window_, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(window_), reinterpret_cast<POINT*>(&rect), 2);
    return {Unscale(rect.left), Unscale(rect.top), Unscale(rect.right), Unscale(rect.bottom)};
}

int TControl::Left() const {
    return BoundsRect().left;
}
int TControl::Top() const {
    return BoundsRect().top;
}
int TControl::Width() const {
    return BoundsRect().right - BoundsRect().left;
}
int TControl::Height() const {
    return BoundsRect().bottom - BoundsRect().top;
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (window_ == nullptr)
        return;
    RECT now = BoundsRect();
    if (now.left == left && now.top == top && now.right - now.left == width &&
        now.bottom - now.top == height)
        return;
    place({left, top, left + width, top + height});
}

void TControl::place(const RECT& design) {
    int x = Scale(design.left), y = Scale(design.top);
    SetWindowPos(window_, nullptr, x, y, Scale(design.right) - x, Scale(design.bottom) - y,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string TControl::Caption() const {
    int length = GetWindowTextLengthA(window_);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    length = GetWindowTextA(window_, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

void TControl::SetCaption(const std::string& text) {
    SetWindowTextA(window_, text.c_str());
}

bool TControl::Visible() const {
    return (GetWindowLongA(window_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void TControl::SetVisible(bool visible) {
    ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
}

bool TControl::Enabled() const {
    return IsWindowEnabled(window_) != FALSE;
}

void TControl::SetEnabled(bool enabled) {
    EnableWindow(window_, enabled);
}

void TControl::SetFont(const TFontSpec& font) {
    font_ = font;
    applyFont(Visible());
}

void TControl::applyFont(bool redraw) {
    std::shared_ptr<const Font> shared = font_.Shared(PixelsPerInch());
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(shared->get()), redraw);
    fontHandle_ = std::move(shared);
}

void TControl::SetColor(TColor color) {
    color_ = color;
    colorBrush_.reset(color == clDefault ? nullptr : CreateSolidBrush(ColorToRGB(color)));
    Repaint();
}

void TControl::BringToFront() {
    SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TControl::SendToBack() {
    SetWindowPos(window_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TControl::SetControlId(int id) {
    SetWindowLongPtrA(window_, GWLP_ID, id);
}

void TControl::Repaint() {
    if (!IsWindowVisible(window_))
        return;
    InvalidateRect(window_, nullptr, TRUE);
    UpdateWindow(window_);
}

void TControl::ScaleChanged() {
    SetFont(font_);
}

void TControl::Click() {
    if (OnClick)
        InvokeEvent([this] { OnClick(*this); });
}

bool TControl::HandleCommand(WORD) {
    return false;
}

bool TControl::HandleDrawItem(DRAWITEMSTRUCT&) {
    return false;
}

HBRUSH TControl::HandleCtlColor(HDC dc) {
    SetTextColor(dc, ColorToRGB(font_.Color));
    if (!colorBrush_) {
        SetBkMode(dc, TRANSPARENT);
        return GetSysColorBrush(COLOR_BTNFACE);
    }
    SetBkColor(dc, ColorToRGB(color_));
    return colorBrush_.get();
}

bool RouteToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND:
        if (TControl* control = TControl::FromHandle(reinterpret_cast<HWND>(lParam))) {
            result = 0;
            return control->HandleCommand(HIWORD(wParam));
        }
        return false;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (TControl* control = TControl::FromHandle(item->hwndItem)) {
            result = TRUE;
            return control->HandleDrawItem(*item);
        }
        return false;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        if (TControl* control = TControl::FromHandle(reinterpret_cast<HWND>(lParam))) {
            HBRUSH brush = control->HandleCtlColor(reinterpret_cast<HDC>(wParam));
            result = reinterpret_cast<LRESULT>(brush);
            return brush != nullptr;
        }
        return false;
    default:
        return false;
    }
}

// ---- TForm

void RegisterControlClasses();

namespace {

// The scale of the monitor a window is on, for a program aware of each monitor's;
// the system's where Windows has no such mode.
int windowPixelsPerInch(HWND window) {
    static const auto forWindow = user32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    UINT ppi = forWindow != nullptr && window != nullptr ? forWindow(window) : 0;
    return ppi == 0 ? PixelsPerInch() : std::max(static_cast<int>(ppi), kDesignPixelsPerInch);
}

} // namespace

TForm::TForm(const char* className, const std::string& caption, DWORD style, DWORD exStyle,
             HWND owner) {
    RegisterControlClasses();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass = {};
    if (!GetClassInfoExA(instance, className, &windowClass)) {
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
        windowClass.lpszClassName = className;
        RegisterClassExA(&windowClass);
    }
    window_ =
        CreateWindowExA(exStyle | WS_EX_CONTROLPARENT, className, caption.c_str(), style,
                        CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, owner, nullptr, instance, this);
    ppi_ = windowPixelsPerInch(window_);
}

TForm::~TForm() {
    // The window stops calling into this half-destroyed form; controls go first, in
    // reverse creation order, while the window still exists.
    if (window_ != nullptr)
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    while (!components_.empty())
        components_.pop_back();
    if (window_ != nullptr)
        DestroyWindow(window_);
}

TComponent* TForm::FindComponent(const std::string& name) const {
    for (const auto& component : components_) {
        if (component->Name() == name)
            return component.get();
    }
    return nullptr;
}

int TForm::ClientWidth() const {
    RECT rect;
    GetClientRect(window_, &rect);
    return Unscale(rect.right);
}

int TForm::ClientHeight() const {
    RECT rect;
    GetClientRect(window_, &rect);
    return Unscale(rect.bottom);
}

namespace {

// The frame around a client area of the window's style at ppi pixels per inch:
// Windows 10 and later tell it for any scale; before, the screen's frame in design
// pixels stands for the one at 96.
RECT frameAround(HWND window, int ppi) {
    RECT rect = {0, 0, 0, 0};
    DWORD style = GetWindowLongA(window, GWL_STYLE), exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    static const auto forDpi =
        user32<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    if (forDpi != nullptr && forDpi(&rect, style, FALSE, exStyle, ppi))
        return rect;
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    if (ppi != PixelsPerInch())
        rect = {ScaleTo(UnscaleFrom(rect.left, PixelsPerInch()), ppi),
                ScaleTo(UnscaleFrom(rect.top, PixelsPerInch()), ppi),
                ScaleTo(UnscaleFrom(rect.right, PixelsPerInch()), ppi),
                ScaleTo(UnscaleFrom(rect.bottom, PixelsPerInch()), ppi)};
    return rect;
}

} // namespace

void TForm::SetOuterSize(int width, int height) {
    RECT frame = frameAround(window_, kDesignPixelsPerInch);
    SetClientSize(width - (frame.right - frame.left), height - (frame.bottom - frame.top));
}

void TForm::SetClientSize(int width, int height) {
    RECT frame = frameAround(window_, ppi_);
    SetWindowPos(window_, nullptr, 0, 0, Scale(width) + frame.right - frame.left,
                 Scale(height) + frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int TForm::Scale(int design) const {
    return ScaleTo(design, ppi_);
}
int TForm::Unscale(int screen) const {
    return UnscaleFrom(screen, ppi_);
}
int TForm::UnscaleUp(int screen) const {
    return UnscaleUpFrom(screen, ppi_);
}

SIZE TForm::windowSizeAt(int ppi) const {
    RECT frame = frameAround(window_, ppi);
    return {ScaleTo(ClientWidth(), ppi) + frame.right - frame.left,
            ScaleTo(ClientHeight(), ppi) + frame.bottom - frame.top};
}

void TForm::ChangeScale(int ppi, const RECT* window) {
    ppi = std::max(ppi, kDesignPixelsPerInch);
    int width = ClientWidth(), height = ClientHeight();
    std::vector<std::pair<TControl*, RECT>> controls;
    for (const auto& component : components_)
        if (auto* control = dynamic_cast<TControl*>(component.get()))
            controls.emplace_back(control, control->BoundsRect());
    // Drawn once, when all is placed; a hidden form stays hidden (WM_SETREDRAW TRUE
    // would show it).
    bool drawn = IsWindowVisible(window_) != FALSE;
    if (drawn)
        SendMessageA(window_, WM_SETREDRAW, FALSE, 0);
    ppi_ = ppi;
    for (const auto& [control, design] : controls)
        control->place(design);
    for (const auto& component : components_)
        if (dynamic_cast<TControl*>(component.get()) == nullptr)
            component->ScaleChanged();
    for (const auto& [control, design] : controls)
        control->ScaleChanged();
    if (window != nullptr)
        SetWindowPos(window_, nullptr, window->left, window->top, window->right - window->left,
                     window->bottom - window->top, SWP_NOZORDER | SWP_NOACTIVATE);
    // The client area stays its design size whatever the frame the window has now
    // (a suggestion scaled by Windows, or a frame drawn at another scale).
    RECT outer, inner;
    GetWindowRect(window_, &outer);
    GetClientRect(window_, &inner);
    if (inner.right != Scale(width) || inner.bottom != Scale(height))
        SetWindowPos(window_, nullptr, 0, 0,
                     Scale(width) + (outer.right - outer.left) - inner.right,
                     Scale(height) + (outer.bottom - outer.top) - inner.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvokeEvent([this] { FormScaleChanged(); });
    if (!drawn)
        return;
    SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(window_, nullptr, nullptr,
                 RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// A move onto a monitor of another scale lays the form out at that one (WM_DPICHANGED,
// sent during the move) and sizes it anew: it is centred again at its new size.
void TForm::CentreOnScreen() {
    for (int pass = 0; pass < 2; ++pass) {
        RECT rect;
        GetWindowRect(window_, &rect);
        int width = rect.right - rect.left, height = rect.bottom - rect.top;
        SetWindowPos(window_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                     (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT now;
        GetWindowRect(window_, &now);
        if (now.right - now.left == width && now.bottom - now.top == height)
            return;
    }
}

std::string TForm::Caption() const {
    char text[256] = {};
    GetWindowTextA(window_, text, sizeof text);
    return text;
}

namespace {

BOOL CALLBACK closeIfOwnedBy(HWND window, LPARAM owner) {
    if (GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(owner) && IsWindowVisible(window))
        PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// Asks every visible window that owner owns on this thread (its message dialogs)
// to close.
void closeOwnedWindows(HWND owner) {
    EnumThreadWindows(GetCurrentThreadId(), closeIfOwnedBy, reinterpret_cast<LPARAM>(owner));
}

} // namespace

TForm::BusyScope::BusyScope(TForm& form) : form_(form) {
    ++form_.busy_;
}

TForm::BusyScope::~BusyScope() {
    if (--form_.busy_ == 0 && form_.closeRequested_ && form_.window_ != nullptr)
        PostMessageA(form_.window_, WM_CLOSE, 0, 0);
}

bool TForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (RouteToChild(message, wParam, lParam, result))
        return true;
    switch (message) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            return false;
        InvokeEvent([this] { FormActivate(); });
        // Not minimised: a control gets the focus, or the form itself when none can
        // take it, so that keys don't go to a window without focus.
        if (HIWORD(wParam) == 0 && !restoreFocus())
            SetFocus(window_);
        return true;
    case WM_SETFOCUS:
        restoreFocus();
        return true;
    case WM_GETDPISCALEDSIZE: // before a move to another monitor: the size it will take
        *reinterpret_cast<SIZE*>(lParam) = windowSizeAt(LOWORD(wParam));
        result = TRUE;
        return true;
    case WM_DPICHANGED:
        ChangeScale(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return true;
    case WM_CLOSE:
        if (busy_ > 0) {
            closeRequested_ = true;
            closeOwnedWindows(window_);
        } else {
            DestroyWindow(window_);
        }
        return true;
    case WM_DESTROY:
        InvokeEvent([this] { FormDestroy(); });
        if (QuitOnDestroy)
            PostQuitMessage(0);
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK TForm::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<TForm*>(create->lpCreateParams)->window_ = window;
    }
    auto* form = reinterpret_cast<TForm*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY && form != nullptr) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        form->window_ = nullptr;
        form->savedFocus_ = nullptr;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (form != nullptr && form->HandleMessage(message, wParam, lParam, result))
        return result;
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace ui
