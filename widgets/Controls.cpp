#include "widgets/Controls.h"

#include "widgets/AccessKey.h"
#include "widgets/CaptionFit.h"
#include "widgets/EditLimit.h"
#include "widgets/Scaling.h"

#include <shellapi.h>

#include <map>

namespace ui {

namespace {

const char kBevelClass[] = "WexdalBevel";
const char kImageClass[] = "WexdalImage";
const char kPanelClass[] = "WexdalPanel";

template <typename T>
LRESULT CALLBACK paintedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (auto* control = dynamic_cast<T*>(TControl::FromHandle(window)))
            control->Paint(dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SETTEXT: {
        LRESULT result = DefWindowProcA(window, message, wParam, lParam);
        if (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE)
            InvalidateRect(window, nullptr, TRUE);
        return result;
    }
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK bevelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCHITTEST)
        return HTTRANSPARENT;
    return paintedProc<TBevel>(window, message, wParam, lParam);
}

// Mouse enter and leave for a control: true when the message was one of them.
template <typename T> bool trackHover(HWND window, UINT message, T* control) {
    switch (message) {
    case WM_MOUSEMOVE:
        if (control && !GetPropA(window, "Tracking")) {
            TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, window, 0};
            TrackMouseEvent(&track);
            SetPropA(window, "Tracking", reinterpret_cast<HANDLE>(1));
            if (control->OnMouseEnter)
                InvokeEvent([control] { control->OnMouseEnter(*control); });
        }
        return true;
    case WM_MOUSELEAVE:
        RemovePropA(window, "Tracking");
        if (control && control->OnMouseLeave)
            InvokeEvent([control] { control->OnMouseLeave(*control); });
        return true;
    case WM_DESTROY:
        RemovePropA(window, "Tracking");
        return false;
    default:
        return false;
    }
}

LRESULT CALLBACK imageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* image = dynamic_cast<TImage*>(TControl::FromHandle(window));
    switch (message) {
    case WM_NCHITTEST:
        return image && (image->OnClick || image->OnMouseEnter || image->OnMouseDown)
                   ? HTCLIENT
                   : HTTRANSPARENT;
    case WM_LBUTTONUP:
        if (image)
            image->Click();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (image && image->OnMouseDown) {
            unsigned keys = static_cast<unsigned>(wParam);
            InvokeEvent([image, keys] { image->OnMouseDown(*image, keys); });
        }
        return 0;
    default:
        if (trackHover(window, message, image) && message != WM_DESTROY)
            return 0;
        break;
    }
    return paintedProc<TImage>(window, message, wParam, lParam);
}

void registerClass(const char* name, WNDPROC procedure) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
}

// The number of characters in the first bytes of text.
int charactersIn(const std::string& text, size_t bytes) {
    return MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(bytes), nullptr, 0);
}

// A button whose caption has this access key is clicked, as the mouse would, when
// it could take the focus; the focus stays where it is.
bool pressByAccessKey(TControl& button, char key) {
    if (!IsAccessKey(key, button.Caption()) || !button.CanFocus())
        return false;
    button.HandleCommand(BN_CLICKED);
    return true;
}

// A DC of the display, kept for the process: the pictures are made compatible with
// it. Its own DC rather than one of the shared screen DCs, which are handed back.
HDC screenDc() {
    static DisplayDc dc;
    return dc.get();
}

// A memory DC of the screen that measures text as the controls' own DCs would;
// kept for the process.
HDC measuringDc() {
    static MemoryDc dc(nullptr);
    return dc.get();
}

std::map<UINT_PTR, TTimer*>& timers() {
    static std::map<UINT_PTR, TTimer*> map;
    return map;
}

} // namespace

void RegisterControlClasses() {
    static bool done = false;
    if (done)
        return;
    done = true;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    registerClass(kBevelClass, bevelProc);
    registerClass(kImageClass, imageProc);
    registerClass(kPanelClass, paintedProc<TPanel>);
}

// ---- TGroupBox

namespace {

// A group box made without a caption shows its name, as a freshly named one does.
TInitial captionedOrNamed(TInitial initial, const std::string& name) {
    if (initial.caption.empty())
        initial.caption = name;
    return initial;
}

} // namespace

TGroupBox::TGroupBox(TForm& owner, std::string name, HWND parent, const TInitial& initial)
    : TControl(owner, name, parent, "BUTTON", BS_GROUPBOX | WS_CLIPCHILDREN, 0,
               captionedOrNamed(initial, name)) {
    RouteChildNotifications();
}

namespace {

// The platform's group box puts its caption 7 pixels in from the frame's corners,
// on a band 2 pixels wider on each side.
constexpr int kCaptionInset = 7, kCaptionMargin = 2;

// A caption's width as DrawTextA draws it: like the platform's group box, an "&"
// marks the access key and "&&" shows one "&".
int captionWidth(HDC dc, const std::string& text) {
    RECT rect = {};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_SINGLELINE);
    return static_cast<int>(rect.right - rect.left);
}

// Draws a caption at left, as the platform's group box does.
void drawCaption(HDC dc, const std::string& text, int left, int height) {
    RECT rect = {left, 0, left + captionWidth(dc, text), height};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_SINGLELINE);
}

} // namespace

int TGroupBox::CaptionLeft() const {
    return kCaptionInset;
}

int TGroupBox::CaptionRoom() const {
    RECT client = {};
    GetClientRect(Handle(), &client);
    return client.right - 2 * kCaptionInset - kCaptionMargin;
}

std::string TGroupBox::ShownCaption() const {
    HDC dc = measuringDc();
    SelectGuard font(dc, FontHandle());
    return FitCaption(Caption(), CaptionRoom(),
                      [dc](const std::string& text) { return captionWidth(dc, text); });
}

// A caption that fits is the platform's to paint.
LRESULT TGroupBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT && ShownCaption() != Caption()) {
        paintShortened(Handle());
        return 0;
    }
    return TControl::WindowProc(message, wParam, lParam);
}

void TGroupBox::paintShortened(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    // Like a static, the box takes its colours from its parent.
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(GetParent(window), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(window)));
    if (brush == nullptr)
        brush = GetSysColorBrush(COLOR_BTNFACE);
    {
        SelectGuard font(dc, FontHandle());
        TEXTMETRICA metrics = {};
        GetTextMetricsA(dc, &metrics);
        RECT frame;
        GetClientRect(window, &frame);
        frame.top += metrics.tmHeight / 2 - 1;
        DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
        std::string shown = ShownCaption();
        int left = CaptionLeft();
        RECT band = {left - kCaptionMargin, 0, left + captionWidth(dc, shown) + kCaptionMargin,
                     metrics.tmHeight};
        FillRect(dc, &band, brush);
        SetBkMode(dc, TRANSPARENT);
        if (!IsWindowEnabled(window))
            SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        drawCaption(dc, shown, left, metrics.tmHeight);
    }
    EndPaint(window, &paint);
}

// ---- TLabel

// Owner-drawn: the platform's centred and right-aligned statics always wrap words.
// No prefix: an ampersand in the text is no access key for the dialog manager.
TLabel::TLabel(TForm& owner, std::string name, HWND parent, const TInitial& initial)
    : TControl(owner, name, parent, "STATIC", SS_OWNERDRAW | SS_NOPREFIX | SS_NOTIFY, 0, initial) {
    if (!initial.caption.empty())
        adjustSize(); // its text's size, as a caption set later gives it
}

LRESULT TLabel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Its text has no access key (SS_NOPREFIX); Wine's dialog manager looks for one
    // in every static's text regardless, so the label does not present itself as one.
    if (message == WM_GETDLGCODE)
        return TControl::WindowProc(message, wParam, lParam) & ~DLGC_STATIC;
    HWND window = Handle();
    WNDPROC classProc = ClassProc();
    if (message == WM_MOUSEMOVE && !tracking_) {
        tracking_ = true;
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, window, 0};
        TrackMouseEvent(&track);
        if (OnMouseEnter)
            InvokeEvent([this] { OnMouseEnter(*this); });
    } else if (message == WM_MOUSELEAVE) {
        tracking_ = false;
        if (OnMouseLeave)
            InvokeEvent([this] { OnMouseLeave(*this); });
    } else {
        return TControl::WindowProc(message, wParam, lParam);
    }
    return PassOn(window, classProc, message, wParam, lParam);
}

bool TLabel::HandleCommand(WORD code) {
    if (code != STN_CLICKED)
        return false;
    Click();
    return true;
}

void TLabel::SetCaption(const std::string& text) {
    TControl::SetCaption(text);
    adjustSize();
}

void TLabel::SetFont(const TFontSpec& font) {
    TControl::SetFont(font);
    adjustSize();
}

void TLabel::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    if (Visible())
        InvalidateRect(Handle(), nullptr, TRUE);
}

void TLabel::SetWordWrap(bool wordWrap) {
    wordWrap_ = wordWrap;
    if (Visible())
        InvalidateRect(Handle(), nullptr, TRUE);
}

// A disabled label is drawn engraved: the text in the highlight colour one pixel
// down and right, then in the shadow colour.
bool TLabel::HandleDrawItem(DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    FillRect(dc, &item.rcItem, HandleCtlColor(dc));
    SelectGuard font(dc, FontHandle());
    SetBkMode(dc, TRANSPARENT);
    UINT format = DT_EXPANDTABS | DT_NOPREFIX | (wordWrap_ ? DT_WORDBREAK : 0);
    format |= alignment_ == TAlignment::Center         ? DT_CENTER
              : alignment_ == TAlignment::RightJustify ? DT_RIGHT
                                                       : DT_LEFT;
    std::string text = Caption();
    RECT rect = item.rcItem;
    if ((item.itemState & ODS_DISABLED) != 0 || !Enabled()) {
        RECT shifted = rect;
        OffsetRect(&shifted, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextA(dc, text.c_str(), -1, &shifted, format);
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    }
    DrawTextA(dc, text.c_str(), -1, &rect, format);
    return true;
}

void TLabel::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    adjustSize();
}

SIZE TLabel::TextSize() const {
    HDC dc = measuringDc();
    SelectGuard font(dc, FontHandle());
    std::string text = Caption();
    RECT rect = {0, 0, 0, 0};
    DrawTextA(dc, text.empty() ? " " : text.c_str(), -1, &rect,
              DT_CALCRECT | DT_NOPREFIX | DT_LEFT);
    return {text.empty() ? 0 : UnscaleUp(rect.right), UnscaleUp(rect.bottom)};
}

void TLabel::adjustSize() {
    if (band_) {
        int height = TextSize().cy;
        SetBounds(band_->left, band_->top + (band_->height - height) / 2, band_->width, height);
        return;
    }
    if (!autoSize_)
        return;
    SIZE size = TextSize();
    SetBounds(Left(), Top(), size.cx, size.cy);
}

void TLabel::PlaceOnBand(int left, int width, int bandTop, int bandHeight) {
    autoSize_ = false;
    band_ = Band{left, width, bandTop, bandHeight};
    adjustSize();
}

// ---- TButton

TButton::TButton(TForm& owner, std::string name, HWND parent, const TInitial& initial)
    : TControl(owner, name, parent, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, initial) {}

void TButton::SetDefault(bool isDefault) {
    SendMessageA(Handle(), BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

ImageList ButtonStateImages(HIMAGELIST glyph) {
    // Copies made inside one list, image by image, without a round through icons.
    int disabled = ImageList_GetImageCount(glyph) > 1 ? 1 : 0;
    ImageList states(ImageList_Duplicate(glyph));
    if (!states)
        return states;
    HIMAGELIST list = states.get();
    ImageList_SetBkColor(list, CLR_NONE); // drawn transparent, whatever the glyph's list says
    ImageList_SetImageCount(list, 6);
    ImageList_Copy(list, 3, list, disabled, ILCF_MOVE);
    for (int state : {1, 2, 4, 5})
        ImageList_Copy(list, state, list, 0, ILCF_MOVE);
    return states;
}

namespace {

// Shows images beside the button's caption, at its left, 2 design pixels from its
// edge; none when images is empty.
void setButtonImages(const TControl& button, const ImageList& images) {
    BUTTON_IMAGELIST list = {images.valid() ? images.get() : nullptr,
                             {button.Scale(2), 0, button.Scale(2), 0},
                             BUTTON_IMAGELIST_ALIGN_LEFT};
    SendMessageA(button.Handle(), BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&list));
}

} // namespace

void TButton::SetGlyph(const TImageList& glyph) {
    glyph_ = &glyph;
    ImageList states = ButtonStateImages(glyph.Handle());
    setButtonImages(*this, states);
    stateImages_ = std::move(states); // the one the button had is let go after it was replaced
}

bool TButton::HandleCommand(WORD code) {
    if (code != BN_CLICKED)
        return false;
    Click();
    return true;
}

bool TButton::HandleAccessKey(char key) {
    return pressByAccessKey(*this, key);
}

// ---- TSpeedButton

TSpeedButton::TSpeedButton(TForm& owner, std::string name, HWND parent, const TInitial& initial)
    : TControl(owner, name, parent, "BUTTON", BS_CHECKBOX | BS_PUSHLIKE | WS_TABSTOP, 0, initial) {}

bool TSpeedButton::Down() const {
    return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TSpeedButton::SetDown(bool down) {
    SendMessageA(Handle(), BM_SETCHECK, down ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!down || groupIndex_ == 0)
        return;
    TForm& form = Owner();
    for (int i = 0; i < form.ComponentCount(); ++i) {
        auto* other = dynamic_cast<TSpeedButton*>(&form.Component(i));
        if (other && other != this && other->groupIndex_ == groupIndex_ &&
            other->ParentHandle() == ParentHandle())
            SendMessageA(other->Handle(), BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

ImageList ShieldImage(int ppi) {
    ImageList images;
    SHSTOCKICONINFO info = {};
    info.cbSize = sizeof info;
    int size = SystemMetricAt(SM_CXSMICON, ppi);
    // Drawn for that size from the icon's file where the system names it, else the
    // system's small icon fitted to it.
    HICON icon = nullptr;
    if (SUCCEEDED(SHGetStockIconInfo(SIID_SHIELD, SHGSI_ICONLOCATION, &info)) &&
        PrivateExtractIconsW(info.szPath, info.iIcon, size, size, &icon, nullptr, 1, 0) != 1)
        icon = nullptr;
    if (icon == nullptr &&
        SUCCEEDED(SHGetStockIconInfo(SIID_SHIELD, SHGSI_ICON | SHGSI_SMALLICON, &info)))
        icon = info.hIcon;
    kel::ExtractedIcon owned(icon);
    if (!owned.valid())
        return images;
    images.reset(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 0));
    if (images.valid())
        ImageList_AddIcon(images.get(), owned.get());
    return images;
}

void TButton::SetShield() {
    ImageList states = ButtonStateImages(ShieldImage(PixelsPerInch()).get());
    setButtonImages(*this, states);
    stateImages_ = std::move(states);
    shielded_ = stateImages_.valid();
}

void TButton::ScaleChanged() {
    TControl::ScaleChanged();
    if (shielded_)
        SetShield();
    else if (glyph_ != nullptr)
        SetGlyph(*glyph_);
}

void TSpeedButton::SetShield(bool shield) {
    ImageList images = shield ? ShieldImage(PixelsPerInch()) : ImageList();
    setButtonImages(*this, images);
    shield_ = std::move(images);
}

void TSpeedButton::ScaleChanged() {
    TControl::ScaleChanged();
    if (Shielded())
        SetShield(true);
}

bool TSpeedButton::HandleCommand(WORD code) {
    if (code != BN_CLICKED)
        return false;
    if (groupIndex_ != 0)
        SetDown(true);
    else
        SetDown(!Down());
    Click();
    return true;
}

bool TSpeedButton::HandleAccessKey(char key) {
    return pressByAccessKey(*this, key);
}

// ---- TEdit

// Marks the edit's text as set by the program while WM_SETTEXT runs: the byte
// limit does not cut it.
LRESULT TEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_SETTEXT)
        return TControl::WindowProc(message, wParam, lParam);
    bool outer = !settingText_;
    settingText_ = true;
    LRESULT result = TControl::WindowProc(message, wParam, lParam);
    if (outer) {
        settingText_ = false;
        accepted_ = Caption();
    }
    return result;
}

TEdit::TEdit(TForm& owner, std::string name, HWND parent, const TInitial& initial)
    : TControl(owner, name, parent, "EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, initial),
      accepted_(initial.caption) {}

void TEdit::SetMaxLength(int bytes) {
    maxLength_ = bytes;
    // The platform counts characters on some systems; bytes are enforced on change.
    // Neither limit applies to text the program sets.
    SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(bytes), 0);
}

HBRUSH TEdit::HandleCtlColor(HDC dc) {
    bool editable =
        IsWindowEnabled(Handle()) && !(GetWindowLongA(Handle(), GWL_STYLE) & ES_READONLY);
    if (Color() != clDefault || !editable)
        return TControl::HandleCtlColor(dc);
    SetTextColor(dc, ColorToRGB(FontSpec().Color));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return GetSysColorBrush(COLOR_WINDOW);
}

void TEdit::SetReadOnly(bool readOnly) {
    SendMessageA(Handle(), EM_SETREADONLY, readOnly, 0);
}

bool TEdit::HandleCommand(WORD code) {
    if (code != EN_CHANGE || settingText_)
        return false;
    std::string text = Caption();
    if (maxLength_ <= 0) {
        accepted_ = text;
        return false;
    }
    LimitedEdit limited = LimitTypedText(accepted_, text, static_cast<size_t>(maxLength_));
    accepted_ = limited.text;
    if (limited.text == text)
        return false;
    settingText_ = true;
    SetWindowTextA(Handle(), limited.text.c_str());
    settingText_ = false;
    int caret = charactersIn(limited.text, limited.caret);
    SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(caret), static_cast<LPARAM>(caret));
    return true;
}

// ---- TMemo

TMemo::TMemo(TForm& owner, std::string name, HWND parent, const TInitial& initial)
    : TControl(owner, name, parent, "EDIT",
               ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
               WS_EX_CLIENTEDGE, initial) {}

// ---- TBevel

TBevel::TBevel(TForm& owner, std::string name, HWND parent, const TInitial& initial)
    : TControl(owner, name, parent, kBevelClass, 0, 0, initial) {}

void TBevel::SetShape(TBevelShape shape) {
    shape_ = shape;
    Repaint();
}

void TBevel::SetStyle(TBevelStyle style) {
    style_ = style;
    Repaint();
}

void TBevel::Paint(HDC dc) {
    RECT rect;
    GetClientRect(Handle(), &rect);
    bool lowered = style_ == TBevelStyle::Lowered;
    UINT edge = shape_ == TBevelShape::Frame ? (lowered ? EDGE_ETCHED : EDGE_BUMP)
                                             : (lowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER);
    DrawEdge(dc, &rect, edge, BF_RECT);
}

// ---- TImage

TImage::TImage(TForm& owner, std::string name, HWND parent, const TInitial& initial)
    : TControl(owner, name, parent, kImageClass, 0, 0, initial) {}

void TImage::SetPicture(PictureMaker make) {
    makePicture_ = std::move(make);
    bitmap_ = makePicture_(PixelsPerInch());
    iconId_ = 0;
    icon_.reset();
    Repaint();
}

void TImage::SetIcon(HINSTANCE module, WORD id) {
    iconModule_ = module;
    iconId_ = id;
    icon_.reset();
    makePicture_ = nullptr;
    bitmap_.reset();
    Repaint();
}

void TImage::ScaleChanged() {
    TControl::ScaleChanged();
    if (makePicture_)
        SetPicture(std::move(makePicture_));
}

void TImage::Paint(HDC dc) {
    RECT rect;
    GetClientRect(Handle(), &rect);
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
    // Both fill the control: a picture made for another scale is fitted to it; an
    // icon is loaded again whenever the control's size changed.
    if (iconId_ != 0) {
        if (!icon_.valid() || iconSize_.cx != rect.right || iconSize_.cy != rect.bottom) {
            icon_ = LoadIconAt(iconModule_, iconId_, std::max(rect.right, rect.bottom));
            iconSize_ = {rect.right, rect.bottom};
        }
        DrawIconEx(dc, 0, 0, icon_.get(), rect.right, rect.bottom, 0, nullptr, DI_NORMAL);
    } else if (bitmap_) {
        MemoryDc source(dc);
        SelectGuard select(source.get(), bitmap_.get());
        BITMAP info;
        GetObjectA(bitmap_.get(), sizeof info, &info);
        if (info.bmWidth == rect.right && info.bmHeight == rect.bottom) {
            BitBlt(dc, 0, 0, rect.right, rect.bottom, source.get(), 0, 0, SRCCOPY);
        } else {
            SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            StretchBlt(dc, 0, 0, rect.right, rect.bottom, source.get(), 0, 0, info.bmWidth,
                       info.bmHeight, SRCCOPY);
        }
    }
}

// ---- TPanel

TPanel::TPanel(TForm& owner, std::string name, HWND parent, const TInitial& initial)
    : TControl(owner, name, parent, kPanelClass, 0, 0, initial) {}

void TPanel::SetCaption(const std::string& text) {
    TControl::SetCaption(text);
    Repaint();
}

void TPanel::Paint(HDC dc) {
    RECT rect;
    GetClientRect(Handle(), &rect);
    Brush brush(CreateSolidBrush(ColorToRGB(Color() == clDefault ? clBtnFace : Color())));
    FillRect(dc, &rect, brush.get());
    DrawEdge(dc, &rect, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
    SelectGuard font(dc, FontHandle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(FontSpec().Color));
    std::string text = Caption();
    DrawTextA(dc, text.c_str(), -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// ---- TStatusBar

TStatusBar::TStatusBar(TForm& owner, std::string name, HWND parent, const TInitial& initial)
    : TControl(owner, name, parent, STATUSCLASSNAMEA, CCS_NORESIZE | CCS_NOPARENTALIGN, 0,
               initial) {
    SendMessageA(Handle(), SB_SIMPLE, TRUE, 0);
}

void TStatusBar::SetSimpleText(const std::string& text) {
    SendMessageA(Handle(), SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(text.c_str()));
}

// ---- TImageList

TImageList::TImageList(TForm& owner, std::string name, int width, int height)
    : TComponent(owner, std::move(name)),
      list_(ImageList_Create(Scale(width), Scale(height), ILC_COLOR32 | ILC_MASK, 4, 4)),
      designWidth_(width), designHeight_(height) {}

int TImageList::AddIcon(HICON icon, const std::wstring& file) {
    int index = ImageList_AddIcon(list_.get(), icon);
    if (index >= 0)
        sources_.push_back(
            {file, kel::ExtractedIcon(file.empty() ? CopyIcon(icon) : nullptr), {}, index});
    return index;
}

kel::ExtractedIcon LoadIconAt(HINSTANCE module, WORD id, int size) {
    if (module != nullptr)
        return kel::ExtractedIcon(static_cast<HICON>(
            LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
    // The system's icons load only as shared ones, at their one size: the common
    // controls (version 6, Windows Vista on) give an icon of its own at any size; an
    // older system's is a stretched copy.
    using ScaleDown = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
    static const auto scaleDown = reinterpret_cast<ScaleDown>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "LoadIconWithScaleDown")));
    HICON icon = nullptr;
    if (scaleDown != nullptr &&
        SUCCEEDED(scaleDown(nullptr, MAKEINTRESOURCEW(id), size, size, &icon)))
        return kel::ExtractedIcon(icon);
    return kel::ExtractedIcon(static_cast<HICON>(
        CopyImage(LoadIconW(nullptr, MAKEINTRESOURCEW(id)), IMAGE_ICON, size, size, 0)));
}

void TImageList::AddPicture(const char* name) {
    int index = Count();
    addStrip(LoadPicture(name, PixelsPerInch()).get());
    sources_.push_back({{}, {}, name, index});
}

void TImageList::ScaleChanged() {
    ImageList old(list_.release());
    list_.reset(ImageList_Create(Width(), Height(), ILC_COLOR32 | ILC_MASK, 4, 4));
    if (background_ != clDefault)
        SetBkColor(background_);
    // Each image again at its index: an icon from its file, else from its copy, else
    // (its file gone) from the old list; one that could not be kept gives way to the
    // default one.
    for (Source& source : sources_) {
        int index = Count();
        if (!source.picture.empty()) {
            addStrip(LoadPicture(source.picture.c_str(), PixelsPerInch()).get());
        } else {
            HICON drawn = nullptr;
            if (!source.file.empty() && PrivateExtractIconsW(source.file.c_str(), 0, Width(),
                                                             Height(), &drawn, nullptr, 1, 0) != 1)
                drawn = ImageList_GetIcon(old.get(), source.index, ILD_NORMAL);
            kel::ExtractedIcon fromFile(drawn);
            HICON icon = fromFile.valid() ? fromFile.get() : source.copy.get();
            if (icon == nullptr || ImageList_AddIcon(list_.get(), icon) < 0)
                ImageList_AddIcon(list_.get(), LoadIconA(nullptr, IDI_APPLICATION));
        }
        source.index = index;
    }
}

void TImageList::addStrip(HBITMAP strip) {
    int width = Width(), height = Height();
    BITMAP info = {};
    GetObjectA(strip, sizeof info, &info);
    if (info.bmHeight <= 0)
        return;
    // A strip drawn for another scale is fitted to the list's images, pixel by pixel
    // so that the transparent colour stays one colour.
    int count = info.bmWidth * height / (info.bmHeight * width);
    Bitmap fitted;
    if (info.bmHeight != height && count > 0) {
        MemoryDc source(nullptr), target(nullptr);
        fitted.reset(CreateCompatibleBitmap(screenDc(), count * width, height));
        SelectGuard from(source.get(), strip), to(target.get(), fitted.get());
        SetStretchBltMode(target.get(), COLORONCOLOR);
        StretchBlt(target.get(), 0, 0, count * width, height, source.get(), 0, 0, info.bmWidth,
                   info.bmHeight, SRCCOPY);
        strip = fitted.get();
    }
    COLORREF transparent;
    {
        MemoryDc dc(nullptr);
        SelectGuard select(dc.get(), strip);
        GetObjectA(strip, sizeof info, &info);
        transparent = GetPixel(dc.get(), 0, info.bmHeight - 1);
    }
    ImageList_AddMasked(list_.get(), strip, transparent);
}

void TImageList::SetBkColor(TColor color) {
    background_ = color;
    ImageList_SetBkColor(list_.get(), ColorToRGB(color));
}

void TImageList::Draw(HDC dc, int x, int y, int index) const {
    ImageList_Draw(list_.get(), index, dc, x, y, ILD_NORMAL);
}

Bitmap TImageList::Picture(int index, TColor background) const {
    int width = Width(), height = Height();
    HDC screen = screenDc();
    Bitmap picture(CreateCompatibleBitmap(screen, width, height));
    {
        MemoryDc dc(screen);
        SelectGuard select(dc.get(), picture.get());
        Brush brush(CreateSolidBrush(ColorToRGB(background)));
        RECT all = {0, 0, width, height};
        FillRect(dc.get(), &all, brush.get());
        Draw(dc.get(), 0, 0, index);
    }
    return picture;
}

Bitmap LoadPicture(const char* name, int ppi) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (ppi > kDesignPixelsPerInch) {
        std::string large = std::string(name) + "2X";
        if (HANDLE picture =
                LoadImageA(instance, large.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))
            return Bitmap(static_cast<HBITMAP>(picture));
    }
    return Bitmap(
        static_cast<HBITMAP>(LoadImageA(instance, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

// ---- TTimer

TTimer::TTimer(TForm& owner, std::string name, UINT interval)
    : TComponent(owner, std::move(name)), interval_(interval) {}

TTimer::~TTimer() {
    SetEnabled(false);
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == Enabled())
        return;
    if (enabled) {
        id_ = SetTimer(nullptr, 0, interval_, tick);
        timers()[id_] = this;
    } else {
        KillTimer(nullptr, id_);
        timers().erase(id_);
        id_ = 0;
    }
}

void CALLBACK TTimer::tick(HWND, UINT, UINT_PTR id, DWORD) {
    auto found = timers().find(id);
    if (found == timers().end() || !found->second->OnTimer)
        return;
    TTimer* timer = found->second;
    InvokeEvent([timer] { timer->OnTimer(*timer); });
}

} // namespace ui
