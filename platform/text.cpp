#include "platform/text.h"

namespace {

// Lead bytes of CP932's double-byte characters; the byte after one belongs to it.
bool isLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

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

} // namespace

std::string cp932LowerCase(std::string_view text) { return shiftAsciiLetters(text, 'A', 'Z', 'a' - 'A'); }

std::string cp932UpperCase(std::string_view text) { return shiftAsciiLetters(text, 'a', 'z', 'A' - 'a'); }
