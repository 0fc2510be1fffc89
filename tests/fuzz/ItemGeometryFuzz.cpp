// The menu list's item geometry: text and glyph lie inside the item bitmap, side by
// side or one above the other, and the bitmap covers the item.
#include "tests/fuzz/FuzzSupport.h"
#include "widgets/ItemGeometry.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

using namespace ui;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    auto layout = static_cast<TButtonLayout>(input.ConsumeIntegralInRange<int>(0, 3));
    bool hasGlyphs = input.ConsumeBool();
    int glyphWidth = input.ConsumeIntegralInRange<int>(0, 256);
    int glyphHeight = input.ConsumeIntegralInRange<int>(0, 256);
    int lines = input.ConsumeIntegralInRange<int>(0, 32);
    int textWidth = input.ConsumeIntegralInRange<int>(0, 4000);
    int lineHeight = input.ConsumeIntegralInRange<int>(0, 200);
    int clientWidth = input.ConsumeIntegralInRange<int>(0, 4000);
    int itemHeight = input.ConsumeIntegralInRange<int>(0, 255);

    ItemGeometry g = ComputeItemGeometry(layout, hasGlyphs, glyphWidth, glyphHeight, lines,
                                         textWidth, lineHeight, clientWidth, itemHeight);
    int gw = hasGlyphs ? glyphWidth : 0, gh = hasGlyphs ? glyphHeight : 0;
    int textHeight = lines * lineHeight;
    FUZZ_CHECK(g.bitmapWidth >= clientWidth && g.bitmapHeight >= itemHeight);
    FUZZ_CHECK(g.bitmapWidth >= g.contentWidth && g.bitmapHeight >= g.contentHeight);
    FUZZ_CHECK(g.contentWidth >= textWidth && g.contentHeight >= textHeight);
    // Without glyphs the text keeps the place the glyph's gap would give it: 4 pixels
    // in on the left layout, 2 down on the top one, and may run over by as much.
    int slackX = !hasGlyphs && layout == TButtonLayout::blGlyphLeft ? 4 : 0;
    int slackY = !hasGlyphs && layout == TButtonLayout::blGlyphTop ? 2 : 0;
    FUZZ_CHECK(g.textX >= 0 && g.textX + textWidth <= g.bitmapWidth + slackX);
    FUZZ_CHECK(g.textY >= 0 && g.textY + textHeight <= g.bitmapHeight + slackY);
    if (!hasGlyphs)
        return 0;
    FUZZ_CHECK(g.glyphX >= 0 && g.glyphX + gw <= g.bitmapWidth);
    FUZZ_CHECK(g.glyphY >= 0 && g.glyphY + gh <= g.bitmapHeight);
    switch (layout) {
    case TButtonLayout::blGlyphLeft:
        FUZZ_CHECK(g.glyphX + gw <= g.textX);
        break;
    case TButtonLayout::blGlyphRight:
        FUZZ_CHECK(g.textX + textWidth <= g.glyphX);
        break;
    case TButtonLayout::blGlyphTop:
        FUZZ_CHECK(g.glyphY + gh <= g.textY);
        break;
    case TButtonLayout::blGlyphBottom:
        FUZZ_CHECK(g.textY + textHeight <= g.glyphY);
        break;
    }
    return 0;
}
