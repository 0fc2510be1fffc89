#include "widgets/EditLimit.h"

#include <gtest/gtest.h>

using ui::LimitTypedText;

namespace {

TEST(EditLimit, ChangesWithinTheLimitOrNotLongerAreKept) {
    EXPECT_EQ(LimitTypedText("ab", "abc", 3).text, "abc");
    // Text over the limit that the program set: deleting and same-length changes pass.
    EXPECT_EQ(LimitTypedText("abcdef", "abcde", 3).text, "abcde");
    EXPECT_EQ(LimitTypedText("abcdef", "Xbcdef", 3).text, "Xbcdef");
}

TEST(EditLimit, WhatIsInsertedIsCutToFitTheRestKeptWhole) {
    auto typedAtEnd = LimitTypedText("ABCD", "ABCDあいう", 9);
    EXPECT_EQ(typedAtEnd.text, "ABCDあい");
    EXPECT_EQ(typedAtEnd.caret, 8u);
    auto typedInside = LimitTypedText("ABCD", "ABxyzCD", 6);
    EXPECT_EQ(typedInside.text, "ABxyCD");
    EXPECT_EQ(typedInside.caret, 4u);
    // Nothing fits beside an over-long text: nothing is inserted, nothing is cut.
    EXPECT_EQ(LimitTypedText("株株株", "株株株X", 4).text, "株株株");
    // A selection replaced by more text: the rest is kept, the new text cut.
    EXPECT_EQ(LimitTypedText("株株株", "あいう株", 4).text, "あ株");
    EXPECT_EQ(LimitTypedText("株株株", "株あいう株", 6).text, "株あ株");
}

TEST(EditLimit, CutsOnlyAtCharacterBoundaries) {
    // "ア" is 0x83 0x41: a trail byte equal to "A" is no place to cut or compare at.
    EXPECT_EQ(LimitTypedText("ア", "アア", 3).text, "ア");
    EXPECT_EQ(LimitTypedText("A", "アA", 2).text, "A");
    EXPECT_EQ(ui::CutToBytes("山田太郎花子", 9), "山田太郎");
    EXPECT_EQ(ui::CutToBytes("ABCDEFGHIJK", 9), "ABCDEFGHI");
    EXPECT_EQ(ui::CutToBytes(std::string("A\x83"), 2), "A"); // half a character at the end
}

} // namespace
