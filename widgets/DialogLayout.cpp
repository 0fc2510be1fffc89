#include "widgets/DialogLayout.h"

#include <algorithm>

namespace ui {

namespace {

constexpr int kMargin = 10, kIconSize = 32, kButtonWidth = 75, kButtonHeight = 25, kButtonGap = 8,
              kButtonRowGap = 14;

void moveDown(Box& box, int distance) {
    box.top += distance;
    box.bottom += distance;
}

} // namespace

DialogLayout CentreIconAndText(DialogLayout layout) {
    int iconHeight = layout.icon.bottom - layout.icon.top;
    int labelHeight = layout.label.bottom - layout.label.top;
    if (labelHeight < iconHeight)
        moveDown(layout.label, layout.icon.top + (iconHeight - labelHeight) / 2 - layout.label.top);
    if (labelHeight > iconHeight)
        moveDown(layout.icon, layout.label.top + (labelHeight - iconHeight) / 2 - layout.icon.top);
    return layout;
}

MessageLayout LayOutMessage(int textWidth, int textHeight, int buttonCount) {
    DialogLayout parts;
    parts.icon = {kMargin, kMargin, kMargin + kIconSize, kMargin + kIconSize};
    int textLeft = kMargin + kIconSize + kMargin;
    parts.label = {textLeft, kMargin, textLeft + textWidth, kMargin + textHeight};
    int contentBottom = std::max(parts.icon.bottom, parts.label.bottom);
    parts = CentreIconAndText(parts);

    MessageLayout layout;
    layout.icon = parts.icon;
    layout.label = parts.label;
    int rowWidth = buttonCount * kButtonWidth + (buttonCount - 1) * kButtonGap;
    layout.clientWidth = std::max(layout.label.right + kMargin, rowWidth + 2 * kMargin);
    int left = (layout.clientWidth - rowWidth) / 2, top = contentBottom + kButtonRowGap;
    for (int i = 0; i < buttonCount; ++i) {
        layout.buttons.push_back({left, top, left + kButtonWidth, top + kButtonHeight});
        left += kButtonWidth + kButtonGap;
    }
    layout.clientHeight = top + kButtonHeight + kMargin;
    return layout;
}

} // namespace ui
