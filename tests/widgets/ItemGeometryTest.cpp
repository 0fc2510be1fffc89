#include "widgets/ItemGeometry.h"
#include "widgets/Scaling.h"

#include "widgets/CaptionFit.h"

#include <gtest/gtest.h>

using namespace ui;

namespace {

TEST(ItemGeometry, PlacesTextAndGlyphForEveryLayout) {
    // The menu: 32-pixel glyphs, one 12-pixel line, client 97, item 36.
    ItemGeometry left =
        ComputeItemGeometry(TButtonLayout::blGlyphLeft, true, 32, 32, 1, 40, 12, 97, 36);
    EXPECT_EQ(left.glyphX, 2);
    EXPECT_EQ(left.glyphY, 2);
    EXPECT_EQ(left.textX, 36);
    EXPECT_EQ(left.textY, 12);
    EXPECT_EQ(left.bitmapWidth, 97);
    EXPECT_EQ(left.bitmapHeight, 36);

    // At 150 %: the same item in screen pixels, its gaps scaled with it.
    ItemGeometry scaled =
        ComputeItemGeometry(TButtonLayout::blGlyphLeft, true, 48, 48, 1, 60, 18, 146, 54, 144);
    EXPECT_EQ(scaled.glyphX, 3);
    EXPECT_EQ(scaled.glyphY, 3);
    EXPECT_EQ(scaled.textX, 48 + 6);
    EXPECT_EQ(scaled.contentWidth, 48 + 60 + 6);

    ItemGeometry right =
        ComputeItemGeometry(TButtonLayout::blGlyphRight, true, 32, 32, 1, 40, 12, 97, 36);
    EXPECT_EQ(right.textX, 0);
    EXPECT_EQ(right.glyphX, 97 - 2 - 32);

    // Top: content 32 + 12 + 2 = 46 in an item of 50.
    ItemGeometry top =
        ComputeItemGeometry(TButtonLayout::blGlyphTop, true, 32, 32, 1, 40, 12, 97, 50);
    EXPECT_EQ(top.contentHeight, 46);
    EXPECT_EQ(top.glyphX, (97 - 32) / 2);
    EXPECT_EQ(top.glyphY, 2 + 1);
    EXPECT_EQ(top.textX, (97 - 40) / 2);
    EXPECT_EQ(top.textY, 2 + 32 + 2);

    ItemGeometry bottom =
        ComputeItemGeometry(TButtonLayout::blGlyphBottom, true, 32, 32, 1, 40, 12, 97, 50);
    EXPECT_EQ(bottom.textY, 2);
    EXPECT_EQ(bottom.glyphY, 2 + 12 + 2);

    // Content wider and taller than the item: the bitmap grows, never shrinks.
    ItemGeometry wide =
        ComputeItemGeometry(TButtonLayout::blGlyphLeft, true, 32, 32, 4, 200, 12, 97, 36);
    EXPECT_EQ(wide.bitmapWidth, 32 + 200 + 4);
    EXPECT_EQ(wide.bitmapHeight, 48);
    EXPECT_EQ(wide.textY, 0);

    // Without glyphs the text keeps a 4-pixel margin.
    ItemGeometry bare =
        ComputeItemGeometry(TButtonLayout::blGlyphLeft, false, 32, 32, 1, 40, 12, 97, 36);
    EXPECT_EQ(bare.textX, 4);
}

TEST(SplitLines, BreaksAtCrLfOrEither) {
    EXPECT_EQ(SplitLines(""), std::vector<std::string>{});
    EXPECT_EQ(SplitLines("a"), std::vector<std::string>{"a"});
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n\r\nb"), (std::vector<std::string>{"a", "", "b"}));
}

// Every edge placed in design pixels reads back as placed, and a measured length
// sized in design pixels rounded up is never smaller once scaled, whatever the edge.
TEST(Scaling, DesignEdgesRoundTripAndMeasuredSizesHoldTheirText) {
    for (int ppi : {96, 120, 144, 168, 192, 240}) {
        EXPECT_EQ(ScaleTo(480, ppi), 480 * ppi / 96) << ppi;
        EXPECT_EQ(ScaleTo(-12, ppi), -ScaleTo(12, ppi)) << ppi; // font heights
        for (int x = -40; x <= 600; ++x)
            ASSERT_EQ(UnscaleFrom(ScaleTo(x, ppi), ppi), x) << ppi << " " << x;
        for (int length = 0; length <= 200; ++length) {
            int design = UnscaleUpFrom(length, ppi);
            for (int left = 0; left < 40; ++left)
                ASSERT_GE(ScaleTo(left + design, ppi) - ScaleTo(left, ppi), length)
                    << ppi << " " << length << " at " << left;
            ASSERT_LE(design, UnscaleFrom(length, ppi) + 1);
        }
    }
    EXPECT_EQ(ScaleTo(5, 120), 6); // 6.25
    EXPECT_EQ(ScaleTo(2, 120), 3); // 2.5, away from zero
    EXPECT_EQ(UnscaleUpFrom(16, 120), 13);
    // Fonts by whole points: 21 pixels are 16 points, 27 pixels at 120.
    for (int height : {-11, -12, -16, -21})
        EXPECT_EQ(ScaleFontHeightTo(height, 96), height);
    EXPECT_EQ(ScaleFontHeightTo(-12, 120), -15);
    EXPECT_EQ(ScaleFontHeightTo(-21, 120), -27);
    EXPECT_EQ(ScaleFontHeightTo(-12, 144), -18);
    EXPECT_EQ(ScaleFontHeightTo(-11, 192), -21);
}

// A caption too long for its room keeps its bracketed version whole and shortens
// the name before it, never between the bytes of a character; without a bracketed
// part, or where the part alone is too long, the whole text is cut.
TEST(FitCaption, KeepsTheBracketedVersionAndCutsTheNameBeforeIt) {
    auto bytes = [](const std::string& text) { return static_cast<int>(text.size()); };
    const std::string caption = "Microsoft 365 Apps for enterprise - ja-jp [Version 16.0.1]";
    EXPECT_EQ(ui::FitCaption(caption, 58, bytes), caption);
    EXPECT_EQ(ui::FitCaption(caption, 57, bytes),
              "Microsoft 365 Apps for enterprise - j... [Version 16.0.1]");
    EXPECT_EQ(ui::FitCaption(caption, 40, bytes), "Microsoft 365 Apps f... [Version 16.0.1]");
    EXPECT_EQ(ui::FitCaption(caption, 20, bytes), "... [Version 16.0.1]");
    EXPECT_EQ(ui::FitCaption(caption, 19, bytes), "Microsoft 365 Ap...");
    EXPECT_EQ(ui::FitCaption("Word 2003", 7, bytes), "Word...");
    EXPECT_EQ(ui::FitCaption("Word", 2, bytes), "...");
    // Cut after whole characters only: "表" is two bytes.
    EXPECT_EQ(ui::FitCaption("\x95\x5D\x95\x5D\x95\x5D\x95\x5D [V]", 10, bytes), "\x95\x5D... [V]");
    // A "]" that is the second byte of "表" closes no bracketed part.
    EXPECT_EQ(ui::FitCaption("Name [x\x95\x5D", 8, bytes), "Name ...");
}

} // namespace
