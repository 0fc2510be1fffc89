// Where the menu list box draws an item's text and glyph: pure functions of the
// sizes, so that the geometry can be checked without drawing.
#pragma once

#include <string>
#include <vector>

namespace ui {

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Where DrawItem puts things inside the composed item bitmap.
struct ItemGeometry {
    int contentWidth, contentHeight; // CW is the client width, CH the content height
    int bitmapWidth, bitmapHeight;
    int textX, textY;
    int glyphX, glyphY;
};
// Sizes in screen pixels; the gaps between glyph, text and edge (2 pixels at 96 per
// inch) are scaled to ppi.
ItemGeometry ComputeItemGeometry(TButtonLayout layout, bool hasGlyphs, int glyphWidth,
                                 int glyphHeight, int lineCount, int textWidth, int lineHeight,
                                 int clientWidth, int itemHeight, int ppi = 96);

// Splits at CR, LF or CR LF; an empty text has no lines.
std::vector<std::string> SplitLines(const std::string& text);

} // namespace ui
