#include "sysinfo/JsonWriter.h"

#include "sysinfo/TextRules.h"

namespace kel {

std::string JsonQuote(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\b':
            quoted += "\\b";
            break;
        case '\f':
            quoted += "\\f";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        default:
            if (byte < 0x20)
                quoted += "\\u" + AsciiLower(ZeroPadded(byte, 4, TDigits::Hex));
            else
                quoted += c;
        }
    }
    return quoted + "\"";
}

std::string JsonAsciiOnly(const std::string& document) {
    std::string ascii;
    auto escape = [&](unsigned unit) {
        ascii += "\\u" + AsciiLower(ZeroPadded(unit, 4, TDigits::Hex));
    };
    for (size_t i = 0; i < document.size();) {
        unsigned char lead = static_cast<unsigned char>(document[i]);
        if (lead < 0x80) {
            ascii += document[i++];
            continue;
        }
        size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        unsigned code = lead & (0x7F >> length);
        for (size_t k = 1; k < length && i + k < document.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(document[i + k]) & 0x3F);
        i += length;
        if (code >= 0x10000) {
            escape(0xD800 + ((code - 0x10000) >> 10));
            escape(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            escape(code);
        }
    }
    return ascii;
}

void TJsonWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (empty_.empty())
        return;
    text_ += empty_.back() ? "\n" : ",\n";
    empty_.back() = false;
    text_.append(2 * empty_.size(), ' ');
}

void TJsonWriter::open(char bracket) {
    beforeValue();
    text_ += bracket;
    empty_.push_back(true);
}

void TJsonWriter::close(char bracket) {
    bool wasEmpty = empty_.back();
    empty_.pop_back();
    if (!wasEmpty) {
        text_ += "\n";
        text_.append(2 * empty_.size(), ' ');
    }
    text_ += bracket;
    if (empty_.empty())
        text_ += "\n";
}

void TJsonWriter::BeginObject() {
    open('{');
}
void TJsonWriter::EndObject() {
    close('}');
}
void TJsonWriter::BeginArray() {
    open('[');
}
void TJsonWriter::EndArray() {
    close(']');
}

void TJsonWriter::Key(const std::string& name) {
    beforeValue();
    text_ += JsonQuote(name) + ": ";
    afterKey_ = true;
}

void TJsonWriter::String(const std::string& text) {
    beforeValue();
    text_ += JsonQuote(text);
}

void TJsonWriter::Number(long long value) {
    beforeValue();
    text_ += std::to_string(value);
}

void TJsonWriter::Bool(bool value) {
    beforeValue();
    text_ += value ? "true" : "false";
}

void TJsonWriter::Null() {
    beforeValue();
    text_ += "null";
}

} // namespace kel
