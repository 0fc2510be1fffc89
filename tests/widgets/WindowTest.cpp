// Labels drawn on one line, window handles let go of when their windows die, and
// the bench's rendering of the program's font.
#include "widgets/Controls.h"

#include <gtest/gtest.h>

#include <vector>

using namespace ui;

namespace {

class PlainForm : public TForm {
  public:
    PlainForm() : TForm("WexdalPlainForm", "Plain", WS_OVERLAPPEDWINDOW, 0) {
        QuitOnDestroy = false;
        SetOuterSize(400, 300);
    }
};

// Draws a label as the platform asks it to, into a white bitmap of its size.
class LabelPicture {
  public:
    explicit LabelPicture(TLabel& label)
        : canvas_(WindowDc(label.Handle()).get(), label.Width(), label.Height()) {
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_STATIC;
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = label.Handle();
        item.hDC = canvas_.get();
        item.rcItem = {0, 0, label.Width(), label.Height()};
        label.HandleDrawItem(item);
    }
    // Whether any pixel of the band differs from the face colour.
    bool inkIn(int left, int top, int right, int bottom) const {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (GetPixel(canvas_.get(), x, y) != GetSysColor(COLOR_BTNFACE))
                    return true;
        return false;
    }
    bool has(COLORREF colour) const {
        for (int y = 0; y < canvas_.height(); ++y)
            for (int x = 0; x < canvas_.width(); ++x)
                if (GetPixel(canvas_.get(), x, y) == colour)
                    return true;
        return false;
    }
    COLORREF at(int x, int y) const { return GetPixel(canvas_.get(), x, y); }
    // The columns with ink, as a string of '#' and '.'.
    std::string columns(int top, int bottom) const {
        std::string result;
        for (int x = 0; x < canvas_.width(); ++x)
            result += inkIn(x, top, x + 1, bottom) ? '#' : '.';
        return result;
    }

  private:
    MemoryCanvas canvas_;
};

class LabelTest : public testing::Test {
  protected:
    PlainForm form;
    int lineHeight = 0;

    TLabel& make(const std::string& text, TAlignment alignment, int width) {
        TLabel& label =
            form.Create<TLabel>("LL_" + std::to_string(form.ComponentCount()), form.Handle());
        label.SetCaption(text);
        lineHeight = label.Height();
        label.SetAlignment(alignment);
        label.SetAutoSize(false);
        label.SetBounds(10, 10, width, 3 * lineHeight); // room for lines that must not come
        return label;
    }
};

TEST_F(LabelTest, TooWideTextStaysOnOneLineClippedAtEitherSide) {
    const std::string text = "プロダクトID";
    TLabel& whole = make(text, TAlignment::LeftJustify, 200);
    int textWidth = whole.TextSize().cx;
    ASSERT_GT(textWidth, 40);
    int narrow = textWidth - 20;

    for (TAlignment alignment :
         {TAlignment::LeftJustify, TAlignment::Center, TAlignment::RightJustify}) {
        TLabel& label = make(text, alignment, narrow);
        LabelPicture picture(label);
        EXPECT_FALSE(picture.inkIn(0, lineHeight, narrow, 3 * lineHeight))
            << "a second line, alignment " << static_cast<int>(alignment);
        EXPECT_TRUE(picture.inkIn(0, 0, narrow, lineHeight));
    }

    // Right-aligned, the tail shows: the last columns look as "ID" alone does.
    TLabel& tail = make("ID", TAlignment::RightJustify, narrow);
    TLabel& right = make(text, TAlignment::RightJustify, narrow);
    int idWidth = tail.TextSize().cx;
    std::string expected = LabelPicture(tail).columns(0, lineHeight);
    std::string seen = LabelPicture(right).columns(0, lineHeight);
    EXPECT_EQ(seen.substr(narrow - idWidth), expected.substr(narrow - idWidth));

    // Centred, both ends are cut: ink reaches both edges.
    TLabel& centred = make(text, TAlignment::Center, narrow);
    std::string middle = LabelPicture(centred).columns(0, lineHeight);
    EXPECT_NE(middle.find('#'), std::string::npos);
    EXPECT_LT(middle.find('#'), 4u);
    EXPECT_GT(middle.rfind('#'), static_cast<size_t>(narrow - 5));
}

TEST_F(LabelTest, WordWrapBreaksOnlyWhenAskedAndLineBreaksAlwaysCount) {
    TLabel& wrapped = make("会社名 使用者名 頭文字 プロダクトID", TAlignment::LeftJustify, 60);
    int line = lineHeight;
    EXPECT_FALSE(LabelPicture(wrapped).inkIn(0, line, 60, 3 * line));
    wrapped.SetWordWrap(true);
    EXPECT_TRUE(LabelPicture(wrapped).inkIn(0, line, 60, 2 * line));
    TLabel& twoLines = make("一行目\r\n二行目", TAlignment::Center, 200);
    EXPECT_EQ(lineHeight, 2 * line); // sized to both lines
    EXPECT_TRUE(LabelPicture(twoLines).inkIn(0, line, 200, 2 * line));
}

TEST_F(LabelTest, ColourAndADisabledLabelIsGreyed) {
    TLabel& label = make("無効なラベル", TAlignment::LeftJustify, 200);
    LabelPicture enabled(label);
    EXPECT_TRUE(enabled.has(ColorToRGB(clWindowText)));

    label.SetEnabled(false);
    LabelPicture disabled(label);
    EXPECT_FALSE(disabled.has(ColorToRGB(clWindowText)));
    EXPECT_TRUE(disabled.has(ColorToRGB(clBtnShadow)));
    EXPECT_TRUE(disabled.has(ColorToRGB(clBtnHighlight)));

    label.SetColor(clBlue);
    EXPECT_EQ(LabelPicture(label).at(199, 3 * lineHeight - 1), ColorToRGB(clBlue));
}

// The pixels a control shows on screen once the painting due is done, without asking
// for any painting of its own.
std::vector<COLORREF> shownPixels(const TControl& control) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    RedrawWindow(GetAncestor(control.Handle(), GA_ROOT), nullptr, nullptr,
                 RDW_UPDATENOW | RDW_ALLCHILDREN);
    WindowDc screen(control.Handle());
    MemoryCanvas canvas(screen.get(), control.Width(), control.Height());
    BitBlt(canvas.get(), 0, 0, control.Width(), control.Height(), screen.get(), 0, 0, SRCCOPY);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < control.Height(); ++y)
        for (int x = 0; x < control.Width(); ++x)
            pixels.push_back(GetPixel(canvas.get(), x, y));
    return pixels;
}

// The pixels of the control drawn afresh, as its painting draws it.
template <typename Draw> std::vector<COLORREF> drawnPixels(const TControl& control, Draw draw) {
    MemoryCanvas canvas(WindowDc(control.Handle()).get(), control.Width(), control.Height());
    draw(canvas.get());
    std::vector<COLORREF> pixels;
    for (int y = 0; y < control.Height(); ++y)
        for (int x = 0; x < control.Width(); ++x)
            pixels.push_back(GetPixel(canvas.get(), x, y));
    return pixels;
}

class HiddenChangeTest : public testing::Test {
  protected:
    PlainForm form;
    TPanel& panel = form.Create<TPanel>("PN_Panel", form.Handle());
    TLabel& label = form.Create<TLabel>("LL_Label", form.Handle());
    TGroupBox& page = form.Create<TGroupBox>("GB_Page", form.Handle());
    TLabel& onPage = form.Create<TLabel>("LL_OnPage", page.Handle());

    HiddenChangeTest() {
        panel.SetBounds(10, 10, 200, 60);
        panel.SetCaption("前のパネル");
        label.SetAutoSize(false);
        label.SetBounds(10, 80, 200, 20);
        label.SetCaption("前");
        page.SetBounds(10, 110, 200, 80);
        onPage.SetAutoSize(false);
        onPage.SetBounds(10, 20, 150, 20);
        onPage.SetCaption("前");
        for (TControl* control : std::initializer_list<TControl*>{&panel, &label, &page, &onPage})
            control->Show();
        ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
        UpdateWindow(form.Handle());
    }
    static std::vector<COLORREF> labelDrawn(TLabel& which) {
        return drawnPixels(which, [&](HDC dc) {
            DRAWITEMSTRUCT item = {};
            item.CtlType = ODT_STATIC;
            item.itemAction = ODA_DRAWENTIRE;
            item.hwndItem = which.Handle();
            item.hDC = dc;
            item.rcItem = {0, 0, which.Width(), which.Height()};
            which.HandleDrawItem(item);
        });
    }
};

TEST_F(HiddenChangeTest, ALabelChangedWhileHiddenShowsItsNewLookOnceShown) {
    std::vector<COLORREF> before = shownPixels(label);
    ASSERT_EQ(before, labelDrawn(label)); // the capture sees what is painted

    label.Hide();
    label.SetCaption("新しい見出し");
    label.SetAlignment(TAlignment::RightJustify);
    label.SetColor(clBlue);
    label.Show();
    std::vector<COLORREF> after = shownPixels(label);
    EXPECT_NE(after, before);
    EXPECT_EQ(after, labelDrawn(label));
    EXPECT_EQ(after.back(), ColorToRGB(clBlue));
}

TEST_F(HiddenChangeTest, ALabelChangedOnAHiddenPageShowsItsNewLookWithThePage) {
    std::vector<COLORREF> before = shownPixels(onPage);
    ASSERT_EQ(before, labelDrawn(onPage));

    page.Hide(); // as a page is while another one is shown
    onPage.SetCaption("ページの新しい見出し");
    onPage.SetAlignment(TAlignment::Center);
    page.Show();
    std::vector<COLORREF> after = shownPixels(onPage);
    EXPECT_NE(after, before);
    EXPECT_EQ(after, labelDrawn(onPage));
}

TEST_F(HiddenChangeTest, APanelChangedWhileHiddenShowsItsNewCaptionAndColourOnceShown) {
    std::vector<COLORREF> before = shownPixels(panel);
    ASSERT_EQ(before, drawnPixels(panel, [&](HDC dc) { panel.Paint(dc); }));

    panel.Hide();
    panel.SetCaption("新しいパネルの見出し");
    panel.SetColor(clRed);
    panel.Show();
    std::vector<COLORREF> after = shownPixels(panel);
    EXPECT_NE(after, before);
    EXPECT_EQ(after, drawnPixels(panel, [&](HDC dc) { panel.Paint(dc); }));
    EXPECT_EQ(after[panel.Width() * 30 + 4], ColorToRGB(clRed));
}

TEST(WindowLifetime, HandlesAreLetGoWhenTheWindowsDie) {
    auto form = std::make_unique<PlainForm>();
    TGroupBox& page = form->Create<TGroupBox>("GB_Page", form->Handle());
    TButton& button = form->Create<TButton>("BB_Moved", form->Handle());
    TLabel& label = form->Create<TLabel>("LL_Label", page.Handle());
    button.SetParent(page.Handle()); // created before its new parent, destroyed with it
    HWND buttonWindow = button.Handle();

    DestroyWindow(page.Handle());
    EXPECT_FALSE(IsWindow(buttonWindow));
    EXPECT_EQ(button.Handle(), nullptr);
    EXPECT_EQ(label.Handle(), nullptr);
    EXPECT_EQ(page.Handle(), nullptr);
    EXPECT_EQ(TControl::FromHandle(buttonWindow), nullptr);

    TButton& other = form->Create<TButton>("BB_Other", form->Handle());
    SendMessageA(form->Handle(), WM_CLOSE, 0, 0); // the close box: the window goes first
    EXPECT_EQ(form->Handle(), nullptr);
    EXPECT_EQ(other.Handle(), nullptr);
    form.reset(); // nothing left to destroy
}

TEST(WindowLifetime, AFormDestroyedWithItsWindowAliveDestroysItsControls) {
    HWND formWindow, buttonWindow;
    {
        PlainForm form;
        TGroupBox& page = form.Create<TGroupBox>("GB_Page", form.Handle());
        TButton& button = form.Create<TButton>("BB_Button", page.Handle());
        formWindow = form.Handle();
        buttonWindow = button.Handle();
    }
    EXPECT_FALSE(IsWindow(buttonWindow));
    EXPECT_FALSE(IsWindow(formWindow));
}

// The program's font is the proportional "ＭＳ Ｐゴシック": the bench maps it to a
// proportional font, as Windows has one, so widths match Windows' closely.
TEST(BenchFonts, TheProgramFontIsProportionalAndTheFixedOneIsNot) {
    auto widths = [](const char* face) {
        TFontSpec wanted;
        wanted.Name = face;
        Font font = wanted.Create(PixelsPerInch());
        WindowDc dc(nullptr);
        SelectGuard select(dc.get(), font.get());
        SIZE narrow, wide;
        GetTextExtentPoint32A(dc.get(), "iiii", 4, &narrow);
        GetTextExtentPoint32A(dc.get(), "WWWW", 4, &wide);
        return std::make_pair(narrow.cx, wide.cx);
    };
    auto [narrowP, wideP] = widths("ＭＳ Ｐゴシック");
    EXPECT_LT(narrowP * 2, wideP);
    auto [narrowF, wideF] = widths("ＭＳ ゴシック");
    EXPECT_EQ(narrowF, wideF);
}

} // namespace
