#include "widgets/EditLimit.h"

#include <gtest/gtest.h>

using ui::LimitTypedText;

// Code page 932 bytes: "株" 0x8A 0x94; "あいう" 0x82 0xA0, 0x82 0xA2, 0x82 0xA4;
// "山田太郎花子" 0x8E 0x52, 0x93 0x63, 0x91 0xBE, 0x98 0x59, 0x89 0xD4, 0x8E 0x71.

namespace {

TEST(EditLimit, ChangesWithinTheLimitAndDeletionsAreKept) {
    EXPECT_EQ(LimitTypedText("ab", "abc", 3).text, "abc");
    EXPECT_EQ(LimitTypedText("abcdef", "ab", 3).text, "ab");
    // Text over the limit that the program set: deleting passes, a replacement
    // deletes the selection and inserts what fits, here nothing.
    EXPECT_EQ(LimitTypedText("abcdef", "abcde", 3).text, "abcde");
    EXPECT_EQ(LimitTypedText("abcdef", "Xbcdef", 3).text, "bcdef");
}

TEST(EditLimit, APasteOverAnOverLongTextIsCutToTheLimit) {
    std::string company, pasted;
    for (int i = 0; i < 60; ++i)
        company += "\x8A\x94"; // 120 bytes, set by the program
    for (int i = 0; i < 55; ++i)
        pasted += "\x82\xA0"; // 110 bytes, shorter than what it replaces
    auto limited = LimitTypedText(company, pasted, 104);
    EXPECT_EQ(limited.text, pasted.substr(0, 104));
    EXPECT_EQ(limited.caret, 104u);
}

TEST(EditLimit, WhatIsInsertedIsCutToFitTheRestKeptWhole) {
    auto typedAtEnd = LimitTypedText("ABCD", "ABCD\x82\xA0\x82\xA2\x82\xA4", 9);
    EXPECT_EQ(typedAtEnd.text, "ABCD\x82\xA0\x82\xA2");
    EXPECT_EQ(typedAtEnd.caret, 8u);
    auto typedInside = LimitTypedText("ABCD", "ABxyzCD", 6);
    EXPECT_EQ(typedInside.text, "ABxyCD");
    EXPECT_EQ(typedInside.caret, 4u);
    // Nothing fits beside an over-long text: nothing is inserted, nothing is cut.
    EXPECT_EQ(LimitTypedText("\x8A\x94\x8A\x94\x8A\x94", "\x8A\x94\x8A\x94\x8A\x94X", 4).text,
              "\x8A\x94\x8A\x94\x8A\x94");
    // A selection replaced by more text: the rest is kept, the new text cut.
    EXPECT_EQ(
        LimitTypedText("\x8A\x94\x8A\x94\x8A\x94", "\x82\xA0\x82\xA2\x82\xA4\x8A\x94", 4).text,
        "\x82\xA0\x8A\x94");
    EXPECT_EQ(
        LimitTypedText("\x8A\x94\x8A\x94\x8A\x94", "\x8A\x94\x82\xA0\x82\xA2\x82\xA4\x8A\x94", 6)
            .text,
        "\x8A\x94\x82\xA0\x8A\x94");
}

TEST(EditLimit, CutsOnlyAtCharacterBoundaries) {
    // "ア" is 0x83 0x41: a trail byte equal to "A" is no place to cut or compare at.
    EXPECT_EQ(LimitTypedText("\x83\x41", "\x83\x41\x83\x41", 3).text, "\x83\x41");
    EXPECT_EQ(LimitTypedText("A",
                             "\x83\x41"
                             "A",
                             2)
                  .text,
              "A");
    EXPECT_EQ(kel::CutToBytes("\x8E\x52\x93\x63\x91\xBE\x98\x59\x89\xD4\x8E\x71", 9),
              "\x8E\x52\x93\x63\x91\xBE\x98\x59");
    EXPECT_EQ(kel::CutToBytes("ABCDEFGHIJK", 9), "ABCDEFGHI");
    EXPECT_EQ(kel::CutToBytes(std::string("A\x83"), 2), "A"); // half a character at the end
}

} // namespace
