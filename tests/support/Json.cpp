#include "tests/support/Json.h"

#include <cstdlib>
#include <stdexcept>

namespace testing_support {

namespace {

class Reader {
  public:
    explicit Reader(const std::string& text) : text_(text) {}

    JsonValue document() {
        JsonValue value = this->value();
        space();
        if (at_ != text_.size())
            fail("text after the value");
        return value;
    }

  private:
    [[noreturn]] void fail(const char* what) const {
        throw std::runtime_error(std::string(what) + " at offset " + std::to_string(at_));
    }
    bool more() const { return at_ < text_.size(); }
    char peek() const { return more() ? text_[at_] : '\0'; }
    void space() {
        while (more() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r'))
            ++at_;
    }
    void expect(char c) {
        if (peek() != c || !more())
            fail("unexpected character");
        ++at_;
    }
    void word(const char* literal) {
        for (const char* c = literal; *c; ++c)
            expect(*c);
    }

    JsonValue value() {
        space();
        JsonValue v;
        switch (peek()) {
        case '{':
            object(v);
            break;
        case '[':
            array(v);
            break;
        case '"':
            v.kind = JsonValue::String;
            v.text = string();
            break;
        case 't':
            word("true"), v.kind = JsonValue::Bool, v.boolean = true;
            break;
        case 'f':
            word("false"), v.kind = JsonValue::Bool;
            break;
        case 'n':
            word("null");
            break;
        default:
            number(v);
        }
        return v;
    }

    void object(JsonValue& v) {
        v.kind = JsonValue::Object;
        expect('{');
        space();
        if (peek() == '}') {
            ++at_;
            return;
        }
        for (;;) {
            space();
            std::string name = string();
            space();
            expect(':');
            v.members.emplace_back(name, value());
            space();
            if (peek() == '}') {
                ++at_;
                return;
            }
            expect(',');
        }
    }

    void array(JsonValue& v) {
        v.kind = JsonValue::Array;
        expect('[');
        space();
        if (peek() == ']') {
            ++at_;
            return;
        }
        for (;;) {
            v.items.push_back(value());
            space();
            if (peek() == ']') {
                ++at_;
                return;
            }
            expect(',');
        }
    }

    void number(JsonValue& v) {
        size_t start = at_;
        if (peek() == '-')
            ++at_;
        if (peek() == '0')
            ++at_;
        else if (peek() >= '1' && peek() <= '9')
            digits();
        else
            fail("not a value");
        if (peek() == '.') {
            ++at_;
            if (!isdigit(peek()))
                fail("digit expected");
            digits();
        }
        if (peek() == 'e' || peek() == 'E') {
            ++at_;
            if (peek() == '+' || peek() == '-')
                ++at_;
            if (!isdigit(peek()))
                fail("digit expected");
            digits();
        }
        v.kind = JsonValue::Number;
        v.number = std::strtod(text_.substr(start, at_ - start).c_str(), nullptr);
    }
    static bool isdigit(char c) { return c >= '0' && c <= '9'; }
    void digits() {
        while (isdigit(peek()))
            ++at_;
    }

    unsigned hex4() {
        unsigned value = 0;
        for (int i = 0; i < 4; ++i) {
            char c = peek();
            int digit = c >= '0' && c <= '9'   ? c - '0'
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                               : -1;
            if (digit < 0 || !more())
                fail("hex digit expected");
            value = value * 16 + static_cast<unsigned>(digit);
            ++at_;
        }
        return value;
    }

    static void append(std::string& out, unsigned cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    unsigned escape() {
        char c = peek();
        ++at_;
        switch (c) {
        case '"':
            return '"';
        case '\\':
            return '\\';
        case '/':
            return '/';
        case 'b':
            return '\b';
        case 'f':
            return '\f';
        case 'n':
            return '\n';
        case 'r':
            return '\r';
        case 't':
            return '\t';
        case 'u': {
            unsigned cp = hex4();
            if (cp >= 0xDC00 && cp <= 0xDFFF)
                fail("lone low surrogate");
            if (cp >= 0xD800 && cp <= 0xDBFF) {
                word("\\u");
                unsigned low = hex4();
                if (low < 0xDC00 || low > 0xDFFF)
                    fail("lone high surrogate");
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            }
            return cp;
        }
        default:
            fail("bad escape");
        }
    }

    // One UTF-8 sequence, checked: no overlong form, no surrogate, at most U+10FFFF.
    unsigned utf8() {
        unsigned char lead = static_cast<unsigned char>(peek());
        ++at_;
        int trail = lead >= 0xF0 && lead <= 0xF4 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
        if (lead >= 0xF5 || trail < 0)
            fail("invalid UTF-8");
        unsigned cp = lead & (0x3F >> trail);
        for (int i = 0; i < trail; ++i) {
            unsigned char next = static_cast<unsigned char>(peek());
            if (!more() || (next & 0xC0) != 0x80)
                fail("invalid UTF-8");
            cp = (cp << 6) | (next & 0x3F);
            ++at_;
        }
        if ((trail == 2 && cp < 0x800) || (trail == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            fail("invalid UTF-8");
        return cp;
    }

    std::string string() {
        expect('"');
        std::string out;
        for (;;) {
            if (!more())
                fail("unterminated string");
            unsigned char c = static_cast<unsigned char>(peek());
            if (c == '"') {
                ++at_;
                return out;
            }
            if (c < 0x20)
                fail("control character in a string");
            if (c == '\\') {
                ++at_;
                append(out, escape());
            } else if (c < 0x80) {
                out += static_cast<char>(c);
                ++at_;
            } else {
                append(out, utf8());
            }
        }
    }

    const std::string& text_;
    size_t at_ = 0;
};

} // namespace

bool JsonValue::has(const std::string& name) const {
    for (const auto& member : members)
        if (member.first == name)
            return true;
    return false;
}

const JsonValue& JsonValue::operator[](const std::string& name) const {
    for (const auto& member : members)
        if (member.first == name)
            return member.second;
    throw std::out_of_range("no member " + name);
}

JsonValue parseJson(const std::string& document) {
    return Reader(document).document();
}

} // namespace testing_support
