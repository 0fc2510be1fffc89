// A small writer of JSON text: objects, arrays, strings, numbers, booleans and
// null, two spaces of indentation per level. Strings go in as UTF-8 and come out
// with the quotation mark, the backslash and every control character escaped.
#pragma once

#include <string>
#include <vector>

namespace kel {

// text (valid UTF-8) as a JSON string literal, quotation marks included.
std::string JsonQuote(const std::string& text);

// document (valid UTF-8 JSON) with every character beyond ASCII written as its \u
// escape (a pair of them beyond U+FFFF): the same document in bytes that read alike
// in every code page, for a pipe whose reader decodes by the console's code page.
std::string JsonAsciiOnly(const std::string& document);

class TJsonWriter {
  public:
    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // The name of the next member of the open object.
    void Key(const std::string& name);
    void String(const std::string& text);
    void Number(long long value);
    void Bool(bool value);
    void Null();
    // The document; complete once every object and array is ended.
    const std::string& Text() const { return text_; }

  private:
    void beforeValue();
    void open(char bracket);
    void close(char bracket);

    std::string text_;
    std::vector<bool> empty_; // per open object or array: nothing in it yet
    bool afterKey_ = false;
};

} // namespace kel
