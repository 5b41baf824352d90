// Shift-JIS text: lead bytes, ASCII case, conversion to UTF-8 for display, name endings.
#include "platform/text.h"

#include <iconv.h>

#include <cerrno>

namespace {

// Lead bytes of CP932's double-byte characters; the byte after one belongs to it.
bool isLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Moves the single-byte characters first..last by delta (to the other letter case).
std::string shiftAsciiLetters(std::string_view text, char first, char last, int delta)
{
    std::string result(text);
    for (size_t i = 0; i < result.size(); ++i) {
        const char c = result[i];
        if (isLeadByte(static_cast<unsigned char>(c)))
            ++i;
        else if (c >= first && c <= last)
            result[i] = static_cast<char>(c + delta);
    }
    return result;
}

}  // namespace

std::string cp932LowerCase(std::string_view text) { return shiftAsciiLetters(text, 'A', 'Z', 'a' - 'A'); }

std::string cp932UpperCase(std::string_view text) { return shiftAsciiLetters(text, 'a', 'z', 'A' - 'a'); }

std::string cp932ToUtf8(std::string_view text)
{
    iconv_t converter = iconv_open("UTF-8", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::string(text);
    std::string out;
    std::string input(text);
    char* in = input.data();
    size_t inLeft = input.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPointer = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(converter, &in, &inLeft, &outPointer, &outLeft);
        out.append(buffer, static_cast<size_t>(outPointer - buffer));
        if (result == static_cast<size_t>(-1) && errno != E2BIG) {
            out += "\xEF\xBF\xBD";  // a byte that starts no character: U+FFFD, and go on after it
            ++in;
            --inLeft;
        }
    }
    iconv_close(converter);
    return out;
}

bool isValidUtf8(std::string_view text)
{
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

std::string displayText(std::string_view text) { return isValidUtf8(text) ? std::string(text) : cp932ToUtf8(text); }

std::string firstUtf8Characters(std::string_view text, size_t count)
{
    size_t end = 0;
    for (; end < text.size(); ++end) {
        const bool startsCharacter = (static_cast<unsigned char>(text[end]) & 0xC0) != 0x80;
        if (startsCharacter && count-- == 0) break;
    }
    return std::string(text.substr(0, end));
}

std::string cp932ForwardSlashes(std::string_view text)
{
    std::string result(text);
    for (size_t i = 0; i < result.size(); ++i) {
        if (isLeadByte(static_cast<unsigned char>(result[i])))
            ++i;
        else if (result[i] == '\\')
            result[i] = '/';
    }
    return result;
}

bool endsWithIgnoringCase(std::string_view text, std::string_view ending)
{
    if (ending.size() > text.size()) return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    const std::string_view tail = text.substr(text.size() - ending.size());
    for (size_t i = 0; i < ending.size(); ++i)
        if (lower(tail[i]) != lower(ending[i])) return false;
    return true;
}
