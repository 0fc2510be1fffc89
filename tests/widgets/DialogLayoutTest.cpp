#include "widgets/DialogLayout.h"

#include <gtest/gtest.h>

using namespace ui;

namespace {

TEST(CentreIconAndText, MovesTheSmallerOne) {
    DialogLayout small{{10, 10, 42, 42}, {52, 10, 200, 22}};
    DialogLayout centred = CentreIconAndText(small);
    EXPECT_EQ(centred.label.top, 20);
    EXPECT_EQ(centred.label.bottom, 32);
    EXPECT_EQ(centred.icon.top, 10);

    DialogLayout tall{{10, 10, 42, 42}, {52, 10, 200, 62}};
    centred = CentreIconAndText(tall);
    EXPECT_EQ(centred.label.top, 10);
    EXPECT_EQ(centred.icon.top, 20);

    DialogLayout same{{10, 10, 42, 42}, {52, 10, 200, 42}};
    centred = CentreIconAndText(same);
    EXPECT_EQ(centred.label.top, 10);
    EXPECT_EQ(centred.icon.top, 10);
}

TEST(LayOutMessage, ButtonsInOneCentredRowBelowIconAndText) {
    // A one-line text beside the icon, three buttons wider than the text.
    MessageLayout small = LayOutMessage(100, 12, 3);
    EXPECT_EQ(small.icon.top, 10);
    EXPECT_EQ(small.label.left, 52);
    EXPECT_EQ(small.label.top, 20);
    int rowWidth = 3 * 75 + 2 * 8;
    EXPECT_EQ(small.clientWidth, rowWidth + 20);
    ASSERT_EQ(small.buttons.size(), 3u);
    EXPECT_EQ(small.buttons[0].left, 10);
    EXPECT_EQ(small.buttons[0].top, 42 + 14);
    EXPECT_EQ(small.buttons[1].left, small.buttons[0].right + 8);
    EXPECT_EQ(small.buttons[2].right, small.clientWidth - 10);
    EXPECT_EQ(small.clientHeight, small.buttons[0].bottom + 10);

    // A wide, tall text decides the width and pushes the row down.
    MessageLayout wide = LayOutMessage(360, 80, 1);
    EXPECT_EQ(wide.clientWidth, 52 + 360 + 10);
    EXPECT_EQ(wide.icon.top, 10 + (80 - 32) / 2);
    EXPECT_EQ(wide.buttons[0].top, 90 + 14);
    EXPECT_EQ(wide.buttons[0].left, (wide.clientWidth - 75) / 2);
    EXPECT_EQ(wide.buttons[0].right - wide.buttons[0].left, 75);
    EXPECT_EQ(wide.buttons[0].bottom - wide.buttons[0].top, 25);
}

} // namespace
