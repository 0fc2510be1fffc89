#include "widgets/GraphicListBox.h"

#include <algorithm>

namespace ui {

namespace {

struct Look {
    TColor color;
    const TFontSpec* font;
    TColor textColor;
};

// How an item looks in state, the colour behind its text and its font: a flat list
// highlights the selected item; else the hot item takes the focused look, the
// selected one the selected look.
Look itemLook(const TGraphicListBox& list, unsigned state) {
    bool selected = state & odSelected, hot = state & odFocused;
    if (list.Flat && selected)
        return {clHighlight, &list.FontSpec(), clHighlightText};
    if (!list.Flat && hot)
        return {list.FocusedColor, &list.FocusedFont, list.FocusedFont.Color};
    if (!list.Flat && selected)
        return {list.SelectedColor, &list.SelectedFont, list.SelectedFont.Color};
    return {list.ListColor, &list.FontSpec(), list.FontSpec().Color};
}

void fill(HDC dc, const RECT& rect, COLORREF color) {
    Brush brush(CreateSolidBrush(color));
    FillRect(dc, &rect, brush.get());
}

void polyline(HDC dc, TColor color, POINT a, POINT b, POINT c) {
    Pen pen(CreatePen(PS_SOLID, 1, ColorToRGB(color)));
    SelectGuard select(dc, pen.get());
    SetROP2(dc, R2_COPYPEN);
    POINT points[] = {a, b, c};
    Polyline(dc, points, 3);
}

// The widest line's width in the font selected into dc.
int widestLine(HDC dc, const std::vector<std::string>& lines) {
    int widest = 0;
    for (const std::string& line : lines) {
        SIZE size = {};
        GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    return widest;
}

// The font, condensed (narrower characters, the same height) until the lines fit in
// room; none when they fit as they are. Rounding of the characters' widths makes a
// text a few pixels wider at one scale than at another.
Font fittingFont(HDC dc, HFONT font, const std::vector<std::string>& lines, int room) {
    SelectGuard select(dc, font);
    int width = widestLine(dc, lines);
    if (width <= room || room <= 0)
        return Font();
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    LOGFONTA logFont = {};
    GetObjectA(font, sizeof logFont, &logFont);
    Font narrow;
    for (int average = std::max(1, static_cast<int>(metrics.tmAveCharWidth) * room / width);
         average >= 1; --average) {
        logFont.lfWidth = average;
        narrow.reset(CreateFontIndirectA(&logFont));
        SelectGuard trial(dc, narrow.get());
        if (widestLine(dc, lines) <= room)
            break;
    }
    return narrow;
}

} // namespace

TGraphicListBox::TGraphicListBox(TForm& owner, std::string name, HWND parent,
                                 const TInitial& initial)
    : TControl(owner, name, parent, "LISTBOX",
               LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                   WS_VSCROLL | WS_TABSTOP,
               0, initial),
      hoverTimer_(owner, Name() + ".HoverTimer", 100) {
    hoverTimer_.OnTimer = [this](TComponent&) { hoverTick(); };
}

void TGraphicListBox::SetAutoItemHeight(bool value) {
    autoItemHeight_ = value;
    AdjustItemHeight();
}

void TGraphicListBox::SetGlyphs(TImageList* glyphs) {
    glyphs_ = glyphs;
    AdjustItemHeight();
}

void TGraphicListBox::SetLayout(TButtonLayout layout) {
    layout_ = layout;
    AdjustItemHeight();
}

int TGraphicListBox::ItemHeight() const {
    return Unscale(static_cast<int>(SendMessageA(Handle(), LB_GETITEMHEIGHT, 0, 0)));
}

void TGraphicListBox::SetItemHeight(int height) {
    itemHeight_ = height;
    SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(Scale(height), 0));
}

int TGraphicListBox::Count() const {
    return static_cast<int>(SendMessageA(Handle(), LB_GETCOUNT, 0, 0));
}

void TGraphicListBox::AddItem(const std::string& text) {
    SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string TGraphicListBox::Item(int index) const {
    LRESULT length = SendMessageA(Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(Handle(), LB_GETTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

int TGraphicListBox::ItemIndex() const {
    return static_cast<int>(SendMessageA(Handle(), LB_GETCURSEL, 0, 0));
}

void TGraphicListBox::SetItemIndex(int index) {
    SendMessageA(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TGraphicListBox::ScaleChanged() {
    TControl::ScaleChanged();
    if (itemHeight_ > 0)
        SetItemHeight(itemHeight_);
}

void TGraphicListBox::AdjustItemHeight() {
    if (!autoItemHeight_)
        return;
    int height = std::abs(FontSpec().Height);
    if (glyphs_ != nullptr) {
        if (layout_ == TButtonLayout::blGlyphLeft || layout_ == TButtonLayout::blGlyphRight)
            height = std::max(height, UnscaleUp(glyphs_->Height()) + 2);
        else
            height += UnscaleUp(glyphs_->Height()) + 2;
    }
    SetItemHeight(height);
}

void TGraphicListBox::DrawItem(int index, const RECT& rect, unsigned state) {
    if (canvas_ != nullptr) {
        PaintItem(canvas_, index, rect, state);
        return;
    }
    WindowDc own(Handle());
    PaintItem(own.get(), index, rect, state);
}

void TGraphicListBox::PaintItem(HDC canvas, int index, const RECT& rect, unsigned state) {
    bool selected = state & odSelected, hot = state & odFocused;

    // Step 1: the list canvas, behind the item's own look only in a flat list.
    Look look = itemLook(*this, Flat ? state : 0);

    // Step 2: measure with the list's own font.
    std::vector<std::string> lines = SplitLines(Item(index));
    int itemHeight = rect.bottom - rect.top;
    ItemGeometry g = itemGeometry(canvas, lines, itemHeight);
    const int lineHeight = lineHeight_;
    RECT client;
    GetClientRect(Handle(), &client);
    const int clientWidth = client.right;

    // Steps 3-4: the item bitmap and its look.
    MemoryCanvas bitmap(canvas, g.bitmapWidth, g.bitmapHeight);
    Look item = itemLook(*this, state);
    COLORREF background = ColorToRGB(item.color);
    RECT whole = {0, 0, g.bitmapWidth, g.bitmapHeight};
    fill(bitmap.get(), whole, background);

    // Step 5: the text lines, condensed where they are wider than their room.
    {
        std::shared_ptr<const Font> font = item.font->Shared(PixelsPerInch());
        Font narrow = fittingFont(bitmap.get(), font->get(), lines, textRoom(g, clientWidth));
        SelectGuard select(bitmap.get(), narrow.valid() ? narrow.get() : font->get());
        SetBkMode(bitmap.get(), OPAQUE);
        SetBkColor(bitmap.get(), background);
        SetTextColor(bitmap.get(), ColorToRGB(item.textColor));
        for (size_t k = 0; k < lines.size(); ++k)
            TextOutA(bitmap.get(), g.textX, g.textY + static_cast<int>(k) * lineHeight,
                     lines[k].c_str(), static_cast<int>(lines[k].size()));
    }

    // Step 6: the glyph over a scratch bitmap of the background colour.
    if (glyphs_ != nullptr && index < glyphs_->Count()) {
        int gw = glyphs_->Width(), gh = glyphs_->Height();
        MemoryCanvas scratch(canvas, gw, gh);
        RECT glyphRect = {0, 0, gw, gh};
        fill(scratch.get(), glyphRect, background);
        glyphs_->Draw(scratch.get(), 0, 0, index);
        if (layout_ == TButtonLayout::blGlyphRight) {
            RECT strip = {g.glyphX - Scale(2), 0, g.glyphX, g.bitmapHeight};
            fill(bitmap.get(), strip, background);
        } else if (layout_ == TButtonLayout::blGlyphBottom) {
            RECT row = {0, g.glyphY - Scale(1), g.bitmapWidth, g.glyphY};
            fill(bitmap.get(), row, background);
        }
        BitBlt(bitmap.get(), g.glyphX, g.glyphY, gw, gh, scratch.get(), 0, 0, SRCCOPY);
    }

    // Steps 7-8: the visible band and its edges.
    int l = 0, t = 0, r = clientWidth, b = itemHeight;
    if (!Flat && selected) {
        polyline(bitmap.get(), BorderShadow, {l, b - 1}, {l, t}, {r - 1, t});
        polyline(bitmap.get(), BorderHighlight, {l, b - 1}, {r - 1, b - 1}, {r - 1, t});
    }
    if (!Flat && hot) {
        polyline(bitmap.get(), BorderHighlight, {l, b - 1}, {l, t}, {r - 1, t});
        polyline(bitmap.get(), BorderShadow, {l, b - 1}, {r - 1, b - 1}, {r - 1, t});
    }

    // Steps 9-10: onto the list.
    fill(canvas, rect, ColorToRGB(look.color));
    BitBlt(canvas, rect.left, rect.top, clientWidth, itemHeight, bitmap.get(), 0, 0, SRCCOPY);
    if (Flat && selected)
        DrawFocusRect(canvas, &rect);
}

ItemGeometry TGraphicListBox::itemGeometry(HDC canvas, const std::vector<std::string>& lines,
                                           int itemHeight) {
    int textWidth = 0;
    {
        SelectGuard font(canvas, FontHandle());
        TEXTMETRICA metrics;
        GetTextMetricsA(canvas, &metrics);
        lineHeight_ = metrics.tmHeight;
        textWidth = widestLine(canvas, lines);
    }
    RECT client;
    GetClientRect(Handle(), &client);
    bool hasGlyphs = glyphs_ != nullptr;
    return ComputeItemGeometry(layout_, hasGlyphs, hasGlyphs ? glyphs_->Width() : 0,
                               hasGlyphs ? glyphs_->Height() : 0, static_cast<int>(lines.size()),
                               textWidth, lineHeight_, client.right, itemHeight, PixelsPerInch());
}

// Beside a glyph on the left, the rest of the list's width; before one on the right,
// up to its gap; above or below one, the whole width.
int TGraphicListBox::textRoom(const ItemGeometry& g, int clientWidth) const {
    switch (layout_) {
    case TButtonLayout::blGlyphLeft:
        return clientWidth - g.textX;
    case TButtonLayout::blGlyphRight:
        return glyphs_ != nullptr ? g.glyphX - Scale(2) : clientWidth;
    default:
        return clientWidth;
    }
}

TGraphicListBox::TTextFit TGraphicListBox::ItemTextFit(int index, unsigned state) {
    WindowDc dc(Handle());
    std::vector<std::string> lines = SplitLines(Item(index));
    RECT item = {};
    SendMessageA(Handle(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    ItemGeometry g = itemGeometry(dc.get(), lines, item.bottom - item.top);
    RECT client;
    GetClientRect(Handle(), &client);
    int room = textRoom(g, client.right);
    // The font PaintItem draws the item's text with.
    std::shared_ptr<const Font> font = itemLook(*this, state).font->Shared(PixelsPerInch());
    Font narrow = fittingFont(dc.get(), font->get(), lines, room);
    SelectGuard select(dc.get(), narrow.valid() ? narrow.get() : font->get());
    return {widestLine(dc.get(), lines), room};
}

void TGraphicListBox::RedrawHotItem(bool hot) {
    if (hotIndex_ < 0 || hotIndex_ >= Count())
        return;
    RECT rect;
    SendMessageA(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(hotIndex_),
                 reinterpret_cast<LPARAM>(&rect));
    unsigned state = 0;
    if (SendMessageA(Handle(), LB_GETSEL, static_cast<WPARAM>(hotIndex_), 0) > 0)
        state |= odSelected;
    if (hot)
        state |= odFocused;
    DrawItem(hotIndex_, rect, state);
}

bool TGraphicListBox::HandleCommand(WORD code) {
    if (code != LBN_SELCHANGE)
        return false;
    Click();
    return true;
}

bool TGraphicListBox::HandleDrawItem(DRAWITEMSTRUCT& item) {
    item.itemState &= ~ODS_FOCUS; // no keyboard-focus look: focused means hot here
    if (item.itemID == static_cast<UINT>(-1))
        return true;
    canvas_ = item.hDC;
    DrawItem(static_cast<int>(item.itemID), item.rcItem,
             (item.itemState & ODS_SELECTED) ? unsigned(odSelected) : 0u);
    canvas_ = nullptr;
    return true;
}

void TGraphicListBox::mouseEntered() {
    if (Count() > 0)
        hoverTimer_.SetEnabled(true);
}

void TGraphicListBox::mouseLeft() {
    hoverTimer_.SetEnabled(false);
    RedrawHotItem(false);
    hotIndex_ = -1;
}

void TGraphicListBox::hoverTick() {
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(Handle(), &point);
    LRESULT hit = SendMessageA(Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
    int index = HIWORD(hit) == 0 ? LOWORD(hit) : -1;
    if (index == hotIndex_)
        return;
    RedrawHotItem(false);
    hotIndex_ = index;
    RedrawHotItem(true);
}

LRESULT TGraphicListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = Handle();
    WNDPROC classProc = ClassProc();
    switch (message) {
    case WM_MOUSEMOVE:
        if (!tracking_) {
            tracking_ = true;
            TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, Handle(), 0};
            TrackMouseEvent(&track);
            InvokeEvent([this] { mouseEntered(); });
        }
        break;
    case WM_MOUSELEAVE:
        tracking_ = false;
        InvokeEvent([this] { mouseLeft(); });
        break;
    case WM_NCDESTROY:
        hoverTimer_.SetEnabled(false);
        break;
    default:
        break;
    }
    return PassOn(window, classProc, message, wParam, lParam);
}

} // namespace ui
