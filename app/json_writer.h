// A small JSON writer: builds one compact JSON text from calls in document order.
// It does not check the structure; the caller pairs begin and end calls.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class JsonWriter {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    // The name of the next member of the enclosing object; its value follows.
    JsonWriter& key(std::string_view name);
    void string(std::string_view utf8);
    void number(int64_t value);
    void boolean(bool value);

    const std::string& text() const { return text_; }

private:
    void beforeValue();

    std::string text_;
    bool needComma_ = false;
};

// A UTF-8 text as a JSON string: in quotes, with quotes, backslashes and control
// characters escaped.
std::string jsonQuoted(std::string_view utf8);
