// A minimal JSON writer for the --json output of qxctl.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qx::cli {

std::string JsonString(std::string_view text);

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray(std::string_view key = {});
    JsonWriter& EndArray();
    JsonWriter& Key(std::string_view key);
    JsonWriter& Value(std::string_view text);
    JsonWriter& Value(const char* text) { return Value(std::string_view(text)); }
    JsonWriter& Value(std::int64_t number);
    JsonWriter& Value(bool flag);
    JsonWriter& Field(std::string_view key, std::string_view text) { return Key(key).Value(text); }
    JsonWriter& Field(std::string_view key, const char* text) { return Key(key).Value(text); }
    JsonWriter& Field(std::string_view key, std::int64_t number) { return Key(key).Value(number); }
    JsonWriter& Field(std::string_view key, bool flag) { return Key(key).Value(flag); }
    const std::string& Text() const { return out_; }

private:
    void Separate();
    std::string out_;
    bool needComma_ = false;
};

}  // namespace qx::cli
