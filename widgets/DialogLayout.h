// Where the message dialog puts its icon, text and buttons: a pure function of the
// text's size and the number of buttons.
#pragma once

#include <vector>

namespace ui {

// A rectangle in client coordinates, right and bottom exclusive.
struct Box {
    int left, top, right, bottom;
};

// The icon and the text before they are centred against each other.
struct DialogLayout {
    Box icon, label;
};
// Centres a label lower than the icon on the icon, or the icon on a higher label.
DialogLayout CentreIconAndText(DialogLayout layout);

// The whole dialog: icon and text centred against each other, the buttons in one
// row, centred, below both, and the client area around all of them.
struct MessageLayout {
    Box icon, label;
    std::vector<Box> buttons;
    int clientWidth, clientHeight;
};
// The text's size as measured with word breaks at kMaxTextWidth.
MessageLayout LayOutMessage(int textWidth, int textHeight, int buttonCount);

constexpr int kMaxTextWidth = 360;

} // namespace ui
