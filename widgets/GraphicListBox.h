// An owner-drawn list box with a glyph per item: the hot item (under the pointer)
// looks raised, the selected one pressed.
#pragma once

#include "widgets/Controls.h"
#include "widgets/ItemGeometry.h"

#include <string>
#include <vector>

namespace ui {

// The two item-state flags that drawing uses; Focused means hot here.
enum TOwnerDrawState : unsigned { odSelected = 1, odFocused = 2 };

class TGraphicListBox : public TControl {
  public:
    TGraphicListBox(TForm& owner, std::string name, HWND parent, const TInitial& initial = {});

    bool AutoItemHeight() const { return autoItemHeight_; }
    void SetAutoItemHeight(bool value);
    TColor BorderHighlight = clBtnHighlight;
    TColor BorderShadow = clBtnShadow;
    bool Flat = false;
    TColor FocusedColor = clBtnFace;
    TFontSpec FocusedFont = TFontSpec::Default();
    void SetGlyphs(TImageList* glyphs);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    TColor SelectedColor = clBtnFace;
    TFontSpec SelectedFont = TFontSpec::Default();
    TColor ListColor = clWindow; // the list's own background ("Color")

    int ItemHeight() const;
    void SetItemHeight(int height);
    int Count() const;
    void AddItem(const std::string& text);
    std::string Item(int index) const;
    int ItemIndex() const;
    void SetItemIndex(int index); // selects without a click event

    void AdjustItemHeight();
    // Draws on the list's own DC (or the paint DC while the platform asks).
    void DrawItem(int index, const RECT& rect, unsigned state);
    // Draws onto any canvas, as DrawItem does onto the list's.
    void PaintItem(HDC canvas, int index, const RECT& rect, unsigned state);
    void RedrawHotItem(bool hot);
    // An item's widest line as PaintItem draws it in state (condensed when it is wider
    // than its room), and that room beside the glyph, in screen pixels.
    struct TTextFit {
        int width, room;
    };
    TTextFit ItemTextFit(int index, unsigned state);
    int HotIndex() const { return hotIndex_; }
    bool HoverTimerEnabled() const { return hoverTimer_.Enabled(); }

    bool HandleCommand(WORD code) override;
    bool HandleDrawItem(DRAWITEMSTRUCT& item) override;
    void ScaleChanged() override; // the items' height at the new scale

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    // The item's geometry for its lines, measured with the list's font on canvas.
    ItemGeometry itemGeometry(HDC canvas, const std::vector<std::string>& lines, int itemHeight);
    int textRoom(const ItemGeometry& g, int clientWidth) const;
    void mouseEntered();
    void mouseLeft();
    void hoverTick();

    bool autoItemHeight_ = true;
    int itemHeight_ = 0; // in design pixels, once set
    TImageList* glyphs_ = nullptr;
    TButtonLayout layout_ = TButtonLayout::blGlyphLeft;
    int hotIndex_ = -1;
    bool tracking_ = false;
    TTimer hoverTimer_;
    HDC canvas_ = nullptr; // the paint DC while the platform asks for a drawing
    int lineHeight_ = 0;   // of the list's font, as last measured
};

} // namespace ui
