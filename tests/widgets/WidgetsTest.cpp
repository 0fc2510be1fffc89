#include "widgets/GraphicListBox.h"

#include "tests/support/Icons.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using namespace ui;
using testing_support::solidIcon;

namespace {

class TestForm : public TForm {
  public:
    TestForm() : TForm("WexdalTestForm", "Widgets", WS_OVERLAPPEDWINDOW, 0) {
        SetOuterSize(400, 300);
    }
};

class ListBoxTest : public testing::Test {
  protected:
    TestForm form;
    TImageList& glyphs = form.Create<TImageList>("IL", 32, 32);
    TGraphicListBox& list = form.Create<TGraphicListBox>("GLB", form.Handle());
    static constexpr COLORREF kGlyph = RGB(200, 0, 0), kFace = RGB(128, 128, 128),
                              kSelected = RGB(0, 200, 0), kHot = RGB(220, 220, 0),
                              kLight = RGB(255, 0, 255), kDark = RGB(0, 0, 180);

    ListBoxTest() {
        HICON icon = solidIcon(kGlyph);
        glyphs.AddIcon(icon);
        DestroyIcon(icon);
        list.SetBounds(0, 0, 97, 200);
        list.SetAutoItemHeight(false);
        list.SetGlyphs(&glyphs);
        list.SetItemHeight(36);
        list.ListColor = kFace;
        list.SelectedColor = kSelected;
        list.FocusedColor = kHot;
        list.BorderHighlight = kLight;
        list.BorderShadow = kDark;
        list.SelectedFont = list.FontSpec();
        list.FocusedFont = list.FontSpec();
        list.AddItem("Excel");
        list.AddItem("Word"); // beyond the one image
        list.AddItem("Two\r\nLines");
        list.Show();
    }

    // Paints item index into a 97 x 36 bitmap and reads the pixels.
    struct Picture {
        HDC dc;
        COLORREF at(int x, int y) const { return GetPixel(dc, x, y); }
    };
    template <typename Check> void paint(int index, unsigned state, Check check) {
        MemoryCanvas canvas(WindowDc(list.Handle()).get(), 97, 36);
        RECT rect = {0, 0, 97, 36};
        list.PaintItem(canvas.get(), index, rect, state);
        check(Picture{canvas.get()});
    }

    // The first column, from x 34 on, that holds a text pixel in the middle rows.
    static int firstTextColumn(const Picture& picture, COLORREF background) {
        for (int x = 34; x < 96; ++x)
            for (int y = 4; y < 32; ++y)
                if (picture.at(x, y) != background)
                    return x;
        return -1;
    }
};

TEST_F(ListBoxTest, NormalItemShowsGlyphAtTwoTwoAndTextFrom36) {
    paint(0, 0, [](const Picture& p) {
        EXPECT_EQ(p.at(2, 2), kGlyph);
        EXPECT_EQ(p.at(33, 33), kGlyph);
        EXPECT_EQ(p.at(1, 1), kFace);
        EXPECT_EQ(p.at(34, 34), kFace);
        int column = firstTextColumn(p, kFace);
        EXPECT_GE(column, 36);
        EXPECT_LE(column, 38);
        EXPECT_EQ(p.at(0, 10), kFace); // no edge
    });
}

TEST_F(ListBoxTest, SelectedLooksPressedHotLooksRaisedAndHotWins) {
    paint(0, odSelected, [](const Picture& p) {
        EXPECT_EQ(p.at(50, 33), kSelected);
        EXPECT_EQ(p.at(0, 10), kDark); // shadow left and top
        EXPECT_EQ(p.at(50, 0), kDark);
        EXPECT_EQ(p.at(96, 10), kLight); // highlight right and bottom
        EXPECT_EQ(p.at(50, 35), kLight);
    });
    paint(0, odFocused, [](const Picture& p) {
        EXPECT_EQ(p.at(50, 33), kHot);
        EXPECT_EQ(p.at(0, 10), kLight);
        EXPECT_EQ(p.at(96, 10), kDark);
        EXPECT_EQ(p.at(50, 35), kDark);
    });
    paint(0, odSelected | odFocused, [](const Picture& p) {
        EXPECT_EQ(p.at(50, 33), kHot);
        EXPECT_EQ(p.at(0, 10), kLight);
        EXPECT_EQ(p.at(96, 10), kDark);
    });
}

TEST_F(ListBoxTest, ItemWithoutImageKeepsItsTextPlace) {
    paint(1, 0, [](const Picture& p) {
        EXPECT_EQ(p.at(2, 2), kFace);
        EXPECT_EQ(p.at(17, 17), kFace);
        int column = firstTextColumn(p, kFace);
        EXPECT_GE(column, 36);
        EXPECT_LE(column, 38);
    });
}

TEST_F(ListBoxTest, TwoLinesAreCentredAsABlock) {
    int lineHeight = 0;
    {
        WindowDc dc(list.Handle());
        SelectGuard font(dc.get(), list.FontHandle());
        TEXTMETRICA metrics;
        GetTextMetricsA(dc.get(), &metrics);
        lineHeight = metrics.tmHeight;
    }
    paint(2, 0, [&](const Picture& p) {
        int top = -1, bottom = -1;
        for (int y = 0; y < 36; ++y)
            for (int x = 36; x < 96; ++x)
                if (p.at(x, y) != kFace) {
                    if (top < 0)
                        top = y;
                    bottom = y;
                }
        int blockTop = (36 - 2 * lineHeight) / 2;
        EXPECT_GE(top, blockTop);
        EXPECT_LT(bottom, blockTop + 2 * lineHeight);
        EXPECT_GT(bottom - top, lineHeight); // two lines, not one
    });
}

TEST_F(ListBoxTest, ItemHeightRules) {
    TGraphicListBox& other = form.Create<TGraphicListBox>("GLB2", form.Handle());
    TFontSpec font;
    font.Height = -12;
    other.SetFont(font);
    other.SetGlyphs(&glyphs); // AutoItemHeight is on by default
    EXPECT_EQ(other.ItemHeight(), 34);
    other.SetLayout(TButtonLayout::blGlyphRight);
    EXPECT_EQ(other.ItemHeight(), 34);
    other.SetLayout(TButtonLayout::blGlyphTop);
    EXPECT_EQ(other.ItemHeight(), 46);
    other.SetLayout(TButtonLayout::blGlyphBottom);
    EXPECT_EQ(other.ItemHeight(), 46);
    font.Height = -30;
    other.SetFont(font); // a font change does not adjust
    EXPECT_EQ(other.ItemHeight(), 46);
    other.SetAutoItemHeight(false);
    other.SetItemHeight(20);
    other.SetLayout(TButtonLayout::blGlyphLeft);
    EXPECT_EQ(other.ItemHeight(), 20);
}

TEST_F(ListBoxTest, HoverTimerRunsOnlyForAListWithItems) {
    TGraphicListBox& empty = form.Create<TGraphicListBox>("GLB3", form.Handle());
    SendMessageA(empty.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(empty.HoverTimerEnabled());

    SendMessageA(list.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(list.HoverTimerEnabled());
    SendMessageA(list.Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(list.HoverTimerEnabled());
    EXPECT_EQ(list.HotIndex(), -1);
}

TEST_F(ListBoxTest, KeepsItsStringsForScreenReaders) {
    char text[32] = {};
    SendMessageA(list.Handle(), LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Word");
    list.SetItemIndex(2);
    EXPECT_EQ(list.ItemIndex(), 2);
    EXPECT_EQ(list.Item(2), "Two\r\nLines");
}

// ---- Components, two-state groups, edits and events.

TEST(Components, AreFoundByNameInCreationOrder) {
    TestForm form;
    TGroupBox& box = form.Create<TGroupBox>("GB_One", form.Handle());
    TLabel& label = form.Create<TLabel>("LL_One", box.Handle());
    form.Create<TTimer>("Timer", 500);
    EXPECT_EQ(form.ComponentCount(), 3);
    EXPECT_EQ(&form.Component(1), &label);
    EXPECT_EQ(form.FindComponent("LL_One"), &label);
    EXPECT_EQ(form.FindComponent("ll_one"), nullptr);
    EXPECT_EQ(form.Find<TLabel>("GB_One"), nullptr);

    char caption[32] = {};
    GetWindowTextA(box.Handle(), caption, sizeof caption);
    EXPECT_STREQ(caption, "GB_One"); // a fresh group box shows its name
    label.SetCaption("会社名");
    GetWindowTextA(label.Handle(), caption, sizeof caption);
    EXPECT_STREQ(caption, "会社名");
    EXPECT_GT(label.Width(), 0); // sized to its text
}

TEST(Components, ZOrderFrontAndBack) {
    TestForm form;
    TPanel& a = form.Create<TPanel>("PL_A", form.Handle());
    TPanel& b = form.Create<TPanel>("PL_B", form.Handle());
    b.SendToBack();
    EXPECT_EQ(GetWindow(form.Handle(), GW_CHILD), a.Handle());
    b.BringToFront();
    EXPECT_EQ(GetWindow(form.Handle(), GW_CHILD), b.Handle());
}

TEST(Components, ControlsOfOneFontShareOneGdiFontWhileAnyOfThemLives) {
    TFontSpec large;
    large.Height = -37; // of no other control here
    HFONT shared;
    {
        TestForm first;
        TestForm second;
        TLabel& a = first.Create<TLabel>("LL_A", first.Handle());
        TButton& b = second.Create<TButton>("BB_B", second.Handle());
        EXPECT_EQ(a.FontHandle(), b.FontHandle());
        a.SetFont(large);
        large.Color = clRed; // a colour is no part of a font
        b.SetFont(large);
        shared = a.FontHandle();
        EXPECT_EQ(b.FontHandle(), shared);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(b.Handle(), WM_GETFONT, 0, 0)), shared);
        LOGFONTA font = {};
        ASSERT_EQ(GetObjectA(shared, sizeof font, &font), static_cast<int>(sizeof font));
        EXPECT_EQ(font.lfHeight, -37);
        large.Bold = true;
        b.SetFont(large);
        EXPECT_NE(b.FontHandle(), shared);
        EXPECT_EQ(b.FontSpec().Color, clRed);
        TFontSpec normal = large;
        normal.Bold = false;
        EXPECT_EQ(normal.Shared(PixelsPerInch())->get(), shared);
        large.Bold = false;
        b.SetFont(large);
        EXPECT_EQ(b.FontHandle(), shared);
        {
            TestForm gone;
            gone.Create<TLabel>("LL_C", gone.Handle()).SetFont(large);
        } // one user of the font gone, two left
        EXPECT_EQ(GetObjectType(shared), static_cast<DWORD>(OBJ_FONT));
        EXPECT_EQ(large.Shared(PixelsPerInch())->get(), shared);
    }
    EXPECT_EQ(GetObjectType(shared), 0u); // deleted with its last user
}

TEST(Components, AButtonGlyphGivesEveryStateTheNormalImageButTheDisabledOne) {
    TestForm form;
    TImageList& two = form.Create<TImageList>("IL_Two", 32, 32);
    TImageList& one = form.Create<TImageList>("IL_One", 32, 32);
    COLORREF normal = RGB(200, 0, 0), disabled = RGB(0, 0, 200);
    for (COLORREF colour : {normal, disabled}) {
        HICON icon = solidIcon(colour);
        two.AddIcon(icon);
        if (one.Count() == 0)
            one.AddIcon(icon);
        DestroyIcon(icon);
    }
    auto stateColours = [](HIMAGELIST glyph) {
        ImageList states = ButtonStateImages(glyph);
        std::vector<COLORREF> colours;
        for (int state = 0; state < ImageList_GetImageCount(states.get()); ++state) {
            MemoryCanvas canvas(WindowDc(nullptr).get(), 32, 32);
            ImageList_Draw(states.get(), state, canvas.get(), 0, 0, ILD_NORMAL);
            colours.push_back(GetPixel(canvas.get(), 16, 16));
        }
        return colours;
    };
    EXPECT_EQ(stateColours(two.Handle()),
              (std::vector<COLORREF>{normal, normal, normal, disabled, normal, normal}));
    // The states draw transparent whatever background the glyph's list was given.
    ImageList_SetBkColor(two.Handle(), RGB(0, 200, 0));
    EXPECT_EQ(ImageList_GetBkColor(ButtonStateImages(two.Handle()).get()), CLR_NONE);
    EXPECT_EQ(stateColours(one.Handle()), std::vector<COLORREF>(6, normal));
    EXPECT_EQ(two.Count(), 2); // the glyphs themselves stay as they were
    EXPECT_EQ(one.Count(), 1);
}

TEST(TwoStateButtons, ExactlyOneOfAPairIsDownAndOtherRowsStay) {
    TestForm form;
    TGroupBox& page = form.Create<TGroupBox>("GB_Page", form.Handle());
    page.SetBounds(0, 0, 380, 200);
    page.Show();
    auto make = [&](const char* name, int group, int left, int top) -> TSpeedButton& {
        TSpeedButton& button = form.Create<TSpeedButton>(name, page.Handle());
        button.SetGroupIndex(group);
        button.SetBounds(left, top, 70, 25);
        button.Show();
        return button;
    };
    TSpeedButton& on1 = make("SB_A1", 1, 10, 20);
    TSpeedButton& off1 = make("SB_A0", 1, 90, 20);
    TSpeedButton& on2 = make("SB_B1", 2, 10, 60);
    TSpeedButton& off2 = make("SB_B0", 2, 90, 60);
    on2.SetDown(true);

    std::vector<std::string> clicks;
    bool downDuringClick = false;
    for (TSpeedButton* button : {&on1, &off1})
        button->OnClick = [&](TComponent& sender) {
            clicks.push_back(sender.Name());
            downDuringClick = static_cast<TSpeedButton&>(sender).Down();
        };

    SendMessageA(off1.Handle(), BM_CLICK, 0, 0); // through the group box's routing
    EXPECT_EQ(clicks, std::vector<std::string>{"SB_A0"});
    EXPECT_TRUE(downDuringClick);
    EXPECT_TRUE(off1.Down());
    EXPECT_FALSE(on1.Down());

    SendMessageA(on1.Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(on1.Down());
    EXPECT_FALSE(off1.Down());
    SendMessageA(on1.Handle(), BM_CLICK, 0, 0); // pressing the down one keeps it down
    EXPECT_TRUE(on1.Down());
    EXPECT_EQ(SendMessageA(on1.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);

    EXPECT_TRUE(on2.Down());
    EXPECT_FALSE(off2.Down());
}

TEST(Edits, LimitCountsShiftJisBytesOfWhatIsTyped) {
    TestForm form;
    TEdit& edit = form.Create<TEdit>("ED_MsoInitials", form.Handle());
    edit.SetBounds(0, 0, 100, 20);
    edit.SetMaxLength(9);
    edit.SetCaption("ABCD");
    SendMessageA(edit.Handle(), EM_SETSEL, 4, 4);
    SendMessageA(edit.Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("あいう"));
    EXPECT_EQ(edit.Caption(), "ABCDあい"); // 8 bytes: "う" does not fit
    SendMessageA(edit.Handle(), EM_SETSEL, 0, 0);
    SendMessageA(edit.Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("xy"));
    EXPECT_EQ(edit.Caption(), "xABCDあい"); // typed at the start, cut there
}

TEST(Edits, TextTheProgramSetsIsShownWhole) {
    TestForm form;
    TEdit& company = form.Create<TEdit>("ED_MsoCompany", form.Handle());
    company.SetBounds(0, 0, 300, 20);
    company.SetMaxLength(104);
    std::string longName;
    for (int i = 0; i < 60; ++i)
        longName += "株";
    company.SetCaption(longName);
    EXPECT_EQ(company.Caption(), longName);
    SetWindowTextA(company.Handle(), (longName + "AB").c_str());
    EXPECT_EQ(company.Caption(), longName + "AB");
    // Pasting over a selection of the over-long text replaces it, up to the limit.
    SendMessageA(company.Handle(), EM_SETSEL, 0, 61);
    SendMessageA(company.Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("見本"));
    EXPECT_EQ(company.Caption(), "見本B");
    // Also when what is pasted is shorter than the text it replaces.
    company.SetCaption(longName);
    std::string pasted;
    for (int i = 0; i < 55; ++i)
        pasted += "あ"; // 110 bytes
    SendMessageA(company.Handle(), EM_SETSEL, 0, -1);
    SendMessageA(company.Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(pasted.c_str()));
    EXPECT_EQ(company.Caption(), pasted.substr(0, 104));
}

TEST(Events, AnExceptionStopsAtTheEventBoundary) {
    TestForm form;
    std::string shown;
    SetExceptionHandler([&](const std::string& message) { shown = message; });
    TButton& button = form.Create<TButton>("BB_Throw", form.Handle());
    button.SetBounds(0, 0, 80, 25);
    button.Show();
    button.OnClick = [](TComponent&) { throw std::runtime_error("キー X の作成に失敗しました"); };
    SendMessageA(button.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(shown, "キー X の作成に失敗しました");
    shown.clear();
    button.OnClick = [](TComponent&) {};
    SendMessageA(button.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(shown, "");
    SetExceptionHandler(nullptr);
}

} // namespace
