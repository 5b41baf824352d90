// The JSON writer: escapes strings and puts the commas between values.
#include "app/json_writer.h"

#include <cstdio>

std::string jsonQuoted(std::string_view utf8)
{
    std::string out = "\"";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (byte < 0x20) {
                char escaped[7];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned{byte});
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

void JsonWriter::beforeValue()
{
    if (needComma_) text_ += ',';
    needComma_ = true;
}

void JsonWriter::beginObject()
{
    beforeValue();
    text_ += '{';
    needComma_ = false;
}

void JsonWriter::endObject()
{
    text_ += '}';
    needComma_ = true;
}

void JsonWriter::beginArray()
{
    beforeValue();
    text_ += '[';
    needComma_ = false;
}

void JsonWriter::endArray()
{
    text_ += ']';
    needComma_ = true;
}

JsonWriter& JsonWriter::key(std::string_view name)
{
    beforeValue();
    text_ += jsonQuoted(name);
    text_ += ':';
    needComma_ = false;
    return *this;
}

void JsonWriter::string(std::string_view utf8)
{
    beforeValue();
    text_ += jsonQuoted(utf8);
}

void JsonWriter::number(int64_t value)
{
    beforeValue();
    text_ += std::to_string(value);
}

void JsonWriter::boolean(bool value)
{
    beforeValue();
    text_ += value ? "true" : "false";
}
