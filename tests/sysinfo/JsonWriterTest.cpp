// The JSON writer: what it writes is read back by a strict reader as written.
#include "sysinfo/JsonWriter.h"
#include "tests/support/Json.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using kel::TJsonWriter;
using testing_support::JsonValue;
using testing_support::parseJson;

std::string utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

TEST(JsonWriter, EveryAsciiCharacterAndNulRoundTripInAString) {
    std::string all(1, '\0');
    for (int c = 1; c < 0x80; ++c)
        all += static_cast<char>(c);
    for (const std::string& text :
         {all, std::string("\"\\/\b\f\n\r\t"), std::string("a\0b", 3), std::string()}) {
        JsonValue value = parseJson(kel::JsonQuote(text));
        ASSERT_EQ(value.kind, JsonValue::String);
        EXPECT_EQ(value.text, text);
    }
}

TEST(JsonWriter, MultibyteTextPassesUnchanged) {
    std::string text = utf8(u8"株式会社　見本 ¥ \U0001F600");
    EXPECT_EQ(kel::JsonQuote(text), "\"" + text + "\"");
    EXPECT_EQ(parseJson(kel::JsonQuote(text)).text, text);
}

TEST(JsonWriter, AsciiOnlyDocumentReadsBackAsTheSameText) {
    for (const char8_t* text :
         {u8"株式会社　見本 ¥ \U0001F600", u8"é\"\\", u8"", u8"\u07FF\uFFFF"}) {
        std::string escaped = kel::JsonAsciiOnly(kel::JsonQuote(utf8(text)));
        EXPECT_TRUE(std::all_of(escaped.begin(), escaped.end(),
                                [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
        EXPECT_EQ(parseJson(escaped).text, utf8(text));
    }
}

TEST(JsonWriter, NestedDocumentReadsBackAsWritten) {
    TJsonWriter json;
    json.BeginObject();
    json.Key("name");
    json.String("x\"y");
    json.Key("empty");
    json.BeginObject();
    json.EndObject();
    json.Key("list");
    json.BeginArray();
    json.Number(-12);
    json.Number(4294967295LL);
    json.Bool(true);
    json.Bool(false);
    json.Null();
    json.BeginArray();
    json.EndArray();
    json.BeginObject();
    json.Key("k");
    json.String("");
    json.EndObject();
    json.EndArray();
    json.EndObject();

    JsonValue doc = parseJson(json.Text());
    ASSERT_EQ(doc.kind, JsonValue::Object);
    ASSERT_EQ(doc.members.size(), 3u);
    EXPECT_EQ(doc["name"].text, "x\"y");
    EXPECT_EQ(doc["empty"].kind, JsonValue::Object);
    EXPECT_TRUE(doc["empty"].members.empty());
    const JsonValue& list = doc["list"];
    ASSERT_EQ(list.items.size(), 7u);
    EXPECT_EQ(list.items[0].number, -12);
    EXPECT_EQ(list.items[1].number, 4294967295.0);
    EXPECT_TRUE(list.items[2].boolean);
    EXPECT_EQ(list.items[3].kind, JsonValue::Bool);
    EXPECT_FALSE(list.items[3].boolean);
    EXPECT_EQ(list.items[4].kind, JsonValue::Null);
    EXPECT_EQ(list.items[5].kind, JsonValue::Array);
    EXPECT_EQ(list.items[6]["k"].kind, JsonValue::String);
}

TEST(JsonWriter, IndentsTwoSpacesPerLevelAndEndsWithALineBreak) {
    TJsonWriter json;
    json.BeginObject();
    json.Key("a");
    json.BeginArray();
    json.Number(1);
    json.Number(2);
    json.EndArray();
    json.Key("b");
    json.BeginArray();
    json.EndArray();
    json.EndObject();
    EXPECT_EQ(json.Text(), "{\n  \"a\": [\n    1,\n    2\n  ],\n  \"b\": []\n}\n");
}

// The reader used by the report tests refuses what a standard parser refuses.
TEST(JsonReader, RefusesMalformedDocuments) {
    for (const char* bad :
         {"", "{", "{\"a\" 1}", "[1,]", "{\"a\":1,}", "\"\x01\"", "\"\\x\"", "\"\\ud800\"",
          "\"\xC0\xAF\"", "\"\xED\xA0\x80\"", "\"\x82\"", "01", "1 2", "tru", "'a'", "[1]x"})
        EXPECT_THROW(parseJson(bad), std::runtime_error) << bad;
    std::string surrogatePair = utf8(u8"\U0001F600");
    EXPECT_EQ(parseJson(" [ \"\\ud83d\\ude00\" ] ").items[0].text, surrogatePair);
}

} // namespace
