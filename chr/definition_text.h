// The text rules of character definitions: the file read whole and cut into lines,
// fixed positions, trimming, words and the one integer rule. Lines are 8-bit Shift-JIS; no byte of a double-byte
// character is a blank, so the rules work byte by byte.
#pragma once

#include "platform/rect.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace definition_text {

// The whole file in one buffer; lines are taken from it as views. Raises the
// file-open error, or refuses a file too large to be a definition.
std::string readDefinition(const std::string& path);
// The next line of text from position start, which moves past its break (CR LF,
// CR or LF); a last line without a break counts.
std::string_view nextLine(std::string_view text, size_t& start);

// At most this many characters of a line are read from any position.
inline constexpr size_t restLength = 1024;

// The characters from 1-based position p to the end, at most restLength of them.
std::string_view restFrom(std::string_view line, size_t p);
// Without the characters of code 32 or less at both ends.
std::string_view trim(std::string_view text);
// Up to the first separator (space, tab, CR, LF); the remainder starts after that
// one separator and is not trimmed.
struct Split {
    std::string_view word;
    std::string_view remainder;
};
Split split(std::string_view text);
inline std::string_view firstWord(std::string_view text) { return split(text).word; }

// Optional leading blanks, an optional sign, then decimal digits or "$", "x", "X",
// "0x", "0X" and hexadecimal digits, fitting in 32 bits; nullopt for anything else.
std::optional<int32_t> parseInteger(std::string_view text);
// parseInteger, raising the conversion error with the text as shown.
int32_t toInteger(std::string_view text);
// A two-character hexadecimal pair: "$" put before the trimmed pair, read as an
// integer; raises the conversion error with that "$" text. Two hexadecimal digits,
// most pairs of a definition, are read directly.
int32_t hexPairValue(std::string_view pair);
// A keyword matches the line's first characters, ASCII letters taken in upper case.
bool startsWithKeyword(std::string_view line, std::string_view keyword);

// The anime number at the start of a "#LOOP", "#PATERN" or "#LAYER" line's trimmed
// value and the rest of the value; nullopt for numbers outside the tables, whose
// lines are ignored. Raises the conversion error for a number that is none.
struct AnimeLine {
    size_t anime;
    std::string_view body;
};
std::optional<AnimeLine> animeLine(std::string_view value);
// The pattern number of a line beginning with "#", nullopt when the line defines
// none; in hexadecimal mode a number that is no hexadecimal pair is an error.
std::optional<int32_t> patternNumber(std::string_view line, bool hex);
// The cell of a pattern definition line: the fields x, y, w, h from position 4.
Rect patternCell(std::string_view line);

}  // namespace definition_text
