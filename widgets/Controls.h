// The control kinds of the program, each a real child window of its class.
#pragma once

#include "widgets/Component.h"

#include <commctrl.h>

#include <optional>
#include <vector>

namespace ui {

// An image list, destroyed with ImageList_Destroy.
using ImageList = kel::ScopedHandle<kel::NullTraits<HIMAGELIST, ImageList_Destroy>>;

class TImageList;

// A framed group; the controls placed in it get their notifications routed.
// A framed box with its caption on the top edge. A caption longer than the box is
// shown shortened (ShownCaption); its window text stays whole.
class TGroupBox : public TControl {
  public:
    TGroupBox(TForm& owner, std::string name, HWND parent, const TInitial& initial = {});
    // The caption as painted: FitCaption of the window text in the room between the
    // frame's corners, measured in the box's font.
    std::string ShownCaption() const;
    // Where the painted caption starts and its room, in screen pixels.
    int CaptionLeft() const;
    int CaptionRoom() const;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    // Paints the box as the platform's group box does, with the shortened caption.
    void paintShortened(HWND window);
};

enum class TAlignment { LeftJustify, RightJustify, Center };

// A static text. With AutoSize it takes the size of its text: when it is made with
// one, and when its caption, font or scale changes. Without WordWrap it breaks
// lines only at line breaks and clips what does not fit, whatever the alignment.
class TLabel : public TControl {
  public:
    TLabel(TForm& owner, std::string name, HWND parent, const TInitial& initial = {});
    void SetCaption(const std::string& text) override;
    void SetFont(const TFontSpec& font) override;
    void SetAlignment(TAlignment alignment);
    void SetWordWrap(bool wordWrap);
    bool WordWrap() const { return wordWrap_; }
    void SetAutoSize(bool autoSize);
    SIZE TextSize() const; // in design pixels, enough to hold the text
    // Fixed in place and width, at the height of its text centred on a band of
    // bandHeight from bandTop; placed so again at every scale.
    void PlaceOnBand(int left, int width, int bandTop, int bandHeight);
    // Clicks reach OnClick; the pointer entering and leaving reach these.
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    bool HandleCommand(WORD code) override;
    bool HandleDrawItem(DRAWITEMSTRUCT& item) override;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void adjustSize();
    struct Band {
        int left, width, top, height;
    };
    std::optional<Band> band_;
    bool tracking_ = false; // the pointer's leaving is asked for
    bool autoSize_ = true;
    bool wordWrap_ = false;
    TAlignment alignment_ = TAlignment::LeftJustify;
};

// A push button, optionally with a glyph (an image list of one or two images: the
// normal and the disabled look).
class TButton : public TControl {
  public:
    TButton(TForm& owner, std::string name, HWND parent, const TInitial& initial = {});
    void SetDefault(bool isDefault);
    // One image for every state, or two: the normal and the disabled look; the
    // list's images at every scale.
    void SetGlyph(const TImageList& glyph);
    // The system's shield in place of the glyph: the button's change needs
    // administrator rights.
    void SetShield();
    bool Shielded() const { return shielded_; }
    bool HandleCommand(WORD code) override;
    bool HandleAccessKey(char key) override;
    void ScaleChanged() override;

  private:
    ImageList stateImages_; // one image per button state, built from the glyph
    const TImageList* glyph_ = nullptr;
    bool shielded_ = false;
};

// A new image list of a button's six states, from a glyph
// of one or two images: normal, hot, pressed, disabled, defaulted and stylus-hot
// show the glyph's first image, except disabled, which shows its second if it has one.
// For masked glyphs (the images' alpha is not copied); empty when it can't be made.
ImageList ButtonStateImages(HIMAGELIST glyph);

// The system's shield icon at the small-icon size of ppi pixels per inch, in an
// image list of its own; empty when the system has none.
ImageList ShieldImage(int ppi);

// A two-state button that stays down once pressed. Buttons with the same non-zero
// group index and parent form a group in which exactly one is down.
class TSpeedButton : public TControl {
  public:
    TSpeedButton(TForm& owner, std::string name, HWND parent, const TInitial& initial = {});
    void SetGroupIndex(int index) { groupIndex_ = index; }
    bool Down() const;
    void SetDown(bool down); // raises the others of the group
    // Marks the button as one whose change needs administrator rights: the
    // system's shield beside its caption, at the system's small-icon size.
    void SetShield(bool shield);
    bool Shielded() const { return shield_.valid(); }
    bool HandleCommand(WORD code) override;
    bool HandleAccessKey(char key) override;
    void ScaleChanged() override;

  private:
    int groupIndex_ = 0;
    ImageList shield_; // the shield's image while shown
};

// A one-line edit. MaxLength counts bytes of the code page 932 text and limits
// what the user types or pastes (LimitTypedText); text the program sets is shown
// whole.
class TEdit : public TControl {
  public:
    TEdit(TForm& owner, std::string name, HWND parent, const TInitial& initial = {});
    void SetMaxLength(int bytes);
    void SetReadOnly(bool readOnly);
    bool HandleCommand(WORD code) override;
    // Without a colour of its own an edit that can be typed in takes the system's
    // window colours, as on Windows (and under a high-contrast theme); a disabled or
    // read-only one the face colour.
    HBRUSH HandleCtlColor(HDC dc) override;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    int maxLength_ = 0;
    bool settingText_ = false; // inside WM_SETTEXT: the program sets the text
    std::string accepted_;     // the text after the last accepted change
};

// A multi-line read-only text with scroll bars.
class TMemo : public TControl {
  public:
    TMemo(TForm& owner, std::string name, HWND parent, const TInitial& initial = {});
};

enum class TBevelShape { Box, Frame };
enum class TBevelStyle { Lowered, Raised };

// Draws an edge; lies behind other controls and lets the mouse through.
class TBevel : public TControl {
  public:
    TBevel(TForm& owner, std::string name, HWND parent, const TInitial& initial = {});
    void SetShape(TBevelShape shape);
    void SetStyle(TBevelStyle style);
    void Paint(HDC dc);

  private:
    TBevelShape shape_ = TBevelShape::Box;
    TBevelStyle style_ = TBevelStyle::Lowered;
};

// Shows an owned bitmap or an icon, fitted to its bounds. Clicks reach OnClick when one is set.
class TImage : public TControl {
  public:
    TImage(TForm& owner, std::string name, HWND parent, const TInitial& initial = {});
    // A picture made for the form's scale, made again at each new one.
    using PictureMaker = std::function<Bitmap(int ppi)>;
    void SetPicture(PictureMaker make);
    // An icon resource, by its number, of module (nullptr: the system's), drawn from
    // the image drawn for the image's size on the screen.
    void SetIcon(HINSTANCE module, WORD id);
    HBITMAP BitmapHandle() const { return bitmap_.get(); }
    void Paint(HDC dc);
    void ScaleChanged() override;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    // A mouse button pressed on the image, with the MK_ flags of that moment.
    std::function<void(TImage& sender, unsigned keys)> OnMouseDown;

  private:
    PictureMaker makePicture_;
    Bitmap bitmap_;
    HINSTANCE iconModule_ = nullptr;
    WORD iconId_ = 0;
    kel::ExtractedIcon icon_; // loaded for iconSize_
    SIZE iconSize_ = {};
};

// The icon resource (by number) of module (nullptr: the system's) at size pixels,
// drawn from its image nearest that size.
kel::ExtractedIcon LoadIconAt(HINSTANCE module, WORD id, int size);

// A coloured panel with a raised inner and a lowered outer bevel and centred text.
class TPanel : public TControl {
  public:
    TPanel(TForm& owner, std::string name, HWND parent, const TInitial& initial = {});
    void SetCaption(const std::string& text) override;
    void Paint(HDC dc);
};

// A status bar with one simple panel, placed by its owner.
class TStatusBar : public TControl {
  public:
    TStatusBar(TForm& owner, std::string name, HWND parent, const TInitial& initial = {});
    void SetSimpleText(const std::string& text);
};

// An image list of images of one size, given in design pixels; Width() and Height()
// are the images' size on the screen. It keeps what it was given, to make its
// images again at a new scale.
class TImageList : public TComponent {
  public:
    TImageList(TForm& owner, std::string name, int width, int height);
    HIMAGELIST Handle() const { return list_.get(); }
    int Width() const { return Scale(designWidth_); }
    int Height() const { return Scale(designHeight_); }
    int Count() const { return ImageList_GetImageCount(list_.get()); }
    // From a file, the icon is drawn again from the file (its first icon) at each new
    // scale; else a copy is kept to be drawn at it.
    int AddIcon(HICON icon, const std::wstring& file = {});
    // Adds every image of the program's picture (LoadPicture), the colour of its
    // bottom-left pixel transparent; a strip of another height is fitted to the
    // images' size.
    void AddPicture(const char* name);
    void SetBkColor(TColor color);
    void Draw(HDC dc, int x, int y, int index) const;
    // Image index drawn on a background of its own, as a new bitmap.
    Bitmap Picture(int index, TColor background) const;
    void ScaleChanged() override;

  private:
    void addStrip(HBITMAP strip);
    ImageList list_;
    int designWidth_, designHeight_;
    TColor background_ = clDefault;
    // What was added, in order: an icon (its file, or a copy of it), or the name of a
    // picture; and where its first image lies in the list.
    struct Source {
        std::wstring file;
        kel::ExtractedIcon copy;
        std::string picture;
        int index;
    };
    std::vector<Source> sources_;
};

// A bitmap resource of the program for a screen of ppi pixels per inch: on a scaled
// screen its twice-as-large drawing NAME2X where there is one, else NAME.
Bitmap LoadPicture(const char* name, int ppi);

// A timer that calls OnTimer on the user-interface thread.
class TTimer : public TComponent {
  public:
    TTimer(TForm& owner, std::string name, UINT interval = 1000);
    ~TTimer() override;
    bool Enabled() const { return id_ != 0; }
    void SetEnabled(bool enabled);
    TNotifyEvent OnTimer;

  private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR id, DWORD);
    UINT_PTR id_ = 0;
    UINT interval_;
};

// Registers the window classes of the layer; every form does so when it is created.
void RegisterControlClasses();

} // namespace ui
