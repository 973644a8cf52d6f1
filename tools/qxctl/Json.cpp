#include "tools/qxctl/Json.h"

#include <cstdio>

namespace qx::cli {

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        // clang-format off
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                    out += buffer;
                } else {
                    out += c;
                }
        }
        // clang-format on
    }
    return out + "\"";
}

void JsonWriter::Separate() {
    if (needComma_) out_ += ",";
    needComma_ = false;
}

JsonWriter& JsonWriter::BeginObject() {
    Separate();
    out_ += "{";
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    out_ += "}";
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::BeginArray(std::string_view key) {
    if (!key.empty()) Key(key);
    Separate();
    out_ += "[";
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    out_ += "]";
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key) {
    Separate();
    out_ += JsonString(key) + ":";
    return *this;
}

JsonWriter& JsonWriter::Value(std::string_view text) {
    Separate();
    out_ += JsonString(text);
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::Value(std::int64_t number) {
    Separate();
    out_ += std::to_string(number);
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::Value(bool flag) {
    Separate();
    out_ += flag ? "true" : "false";
    needComma_ = true;
    return *this;
}

}  // namespace qx::cli
