#include "widgets/ItemGeometry.h"

#include "widgets/Scaling.h"

#include <algorithm>

namespace ui {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

ItemGeometry ComputeItemGeometry(TButtonLayout layout, bool hasGlyphs, int glyphWidth,
                                 int glyphHeight, int lineCount, int textWidth, int lineHeight,
                                 int clientWidth, int itemHeight, int ppi) {
    int gw = hasGlyphs ? glyphWidth : 0, gh = hasGlyphs ? glyphHeight : 0;
    const int gap = ScaleTo(2, ppi), textGap = 2 * gap;
    int textHeight = lineCount * lineHeight;
    bool horizontal = layout == TButtonLayout::blGlyphLeft || layout == TButtonLayout::blGlyphRight;
    ItemGeometry g{};
    g.contentWidth = textWidth;
    g.contentHeight = textHeight;
    if (hasGlyphs && horizontal) {
        g.contentWidth = gw + textWidth + textGap;
        g.contentHeight = std::max(textHeight, gh);
    } else if (hasGlyphs) {
        g.contentHeight = gh + textHeight + gap;
        g.contentWidth = std::max(textWidth, gw);
    }
    g.bitmapWidth = std::max(g.contentWidth, clientWidth);
    g.bitmapHeight = std::max(g.contentHeight, itemHeight);
    int bw = g.bitmapWidth, bh = g.bitmapHeight, ch = g.contentHeight;
    switch (layout) {
    case TButtonLayout::blGlyphLeft:
        g.textX = gw + textGap, g.textY = (bh - textHeight) / 2;
        g.glyphX = gap, g.glyphY = (bh - gh) / 2;
        break;
    case TButtonLayout::blGlyphRight:
        g.textX = 0, g.textY = (bh - textHeight) / 2;
        g.glyphX = bw - gap - gw, g.glyphY = (bh - gh) / 2;
        break;
    case TButtonLayout::blGlyphTop:
        g.textX = (bw - textWidth) / 2, g.textY = (bh - ch) / 2 + gh + gap;
        g.glyphX = (bw - gw) / 2, g.glyphY = (bh - ch) / 2 + gap / 2;
        break;
    case TButtonLayout::blGlyphBottom:
        g.textX = (bw - textWidth) / 2, g.textY = (bh - ch) / 2;
        g.glyphX = (bw - gw) / 2, g.glyphY = (bh - ch) / 2 + textHeight + gap;
        break;
    }
    return g;
}

} // namespace ui
