// The message dialog's layout: every button, the icon and the text lie inside the
// client area, the buttons in one row below icon and text, none over another.
#include "widgets/DialogLayout.h"
#include "tests/fuzz/FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace ui;

namespace {

bool inside(const Box& box, int width, int height) {
    return box.left >= 0 && box.top >= 0 && box.left <= box.right && box.top <= box.bottom &&
           box.right <= width && box.bottom <= height;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    int textWidth = input.ConsumeIntegralInRange<int>(0, kMaxTextWidth);
    int textHeight = input.ConsumeIntegralInRange<int>(0, 4000);
    int buttons = input.ConsumeIntegralInRange<int>(1, 4);

    MessageLayout layout = LayOutMessage(textWidth, textHeight, buttons);
    FUZZ_CHECK(static_cast<int>(layout.buttons.size()) == buttons);
    FUZZ_CHECK(inside(layout.icon, layout.clientWidth, layout.clientHeight));
    FUZZ_CHECK(inside(layout.label, layout.clientWidth, layout.clientHeight));
    FUZZ_CHECK(layout.label.right - layout.label.left == textWidth);
    FUZZ_CHECK(layout.label.bottom - layout.label.top == textHeight);
    FUZZ_CHECK(layout.icon.right <= layout.label.left);
    int leftMargin = layout.buttons.front().left;
    int rightMargin = layout.clientWidth - layout.buttons.back().right;
    FUZZ_CHECK(leftMargin >= 0 && rightMargin >= 0 && leftMargin - rightMargin <= 1 &&
               rightMargin - leftMargin <= 1); // the row is centred
    for (size_t i = 0; i < layout.buttons.size(); ++i) {
        const Box& button = layout.buttons[i];
        FUZZ_CHECK(inside(button, layout.clientWidth, layout.clientHeight));
        FUZZ_CHECK(button.right > button.left && button.bottom > button.top);
        FUZZ_CHECK(button.top >= layout.icon.bottom && button.top >= layout.label.bottom);
        FUZZ_CHECK(button.top == layout.buttons.front().top);
        if (i > 0)
            FUZZ_CHECK(layout.buttons[i - 1].right <= button.left);
    }
    return 0;
}
