// The lines of a character definition: its keywords with the columns their values
// start at, the lists of "#PATERN" and "#LAYER" lines and how their pairs are read.
// The load and the definition check both read lines through these.
#pragma once

#include "chr/definition_text.h"
#include "chr/qpchr.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

namespace definition_text {

enum class Keyword { CharName, Anime, Data, Size, CharBmp, CharFace, SelectCg, Artist, Loop, Patern, Layer };

// A keyword is "#" and its name, letters in any case; its value is read from the
// 1-based column, at most length characters, and trimmed.
struct KeywordFormat {
    Keyword keyword;
    std::string_view name;
    size_t column;
    size_t length = restLength;
};

// No name begins another, so a line begins with one keyword at most.
inline constexpr KeywordFormat keywordFormats[] = {
    {.keyword = Keyword::CharName, .name = "CHARNAME", .column = 10},
    {.keyword = Keyword::Anime, .name = "ANIME", .column = 7},
    {.keyword = Keyword::Data, .name = "DATA", .column = 6, .length = 4},
    {.keyword = Keyword::Size, .name = "SIZE", .column = 6},
    {.keyword = Keyword::CharBmp, .name = "CHARBMP", .column = 10},
    {.keyword = Keyword::CharFace, .name = "CHARFACE", .column = 11},
    {.keyword = Keyword::SelectCg, .name = "SELECTCG", .column = 11},
    {.keyword = Keyword::Artist, .name = "ARTIST", .column = 9},
    {.keyword = Keyword::Loop, .name = "LOOP", .column = 6},
    {.keyword = Keyword::Patern, .name = "PATERN", .column = 8},
    {.keyword = Keyword::Layer, .name = "LAYER", .column = 7},
};

// The keyword the line begins with; nullopt for none.
std::optional<Keyword> lineKeyword(std::string_view line);
// The keyword's value in the line, trimmed.
std::string_view keywordValue(std::string_view line, Keyword keyword);
// The first word of the value: names, files and the view width.
inline std::string_view keywordWord(std::string_view line, Keyword keyword)
{
    return firstWord(keywordValue(line, keyword));
}
// A "#DATA" line whose value is "16" switches pattern numbers to hexadecimal.
bool isHexData(std::string_view line);

// A "#LOOP" line: the anime and the frame it goes on after; nullopt for an anime
// outside the tables. Raises the conversion error.
struct LoopLine {
    size_t anime;
    int32_t frame;
};
std::optional<LoopLine> loopLine(std::string_view line);

// The lists of a "#PATERN" or "#LAYER" line; nullopt for an anime outside the
// tables. A pattern line has a destination list only when the text after its
// source list is two characters or more and does not begin with "/"; a layer line
// always has one, possibly empty.
struct AnimeLists {
    size_t anime;
    std::string_view source;
    std::optional<std::string_view> destination;
};
std::optional<AnimeLists> animeLists(std::string_view line, Keyword keyword);

// The number of pairs read from a list: frames 1 up to at most FrameCount - 1; an
// odd last character is not read.
inline int pairCount(std::string_view list)
{
    return static_cast<int>(std::min<size_t>(list.size() / 2, Tqpchr::FrameCount - 1));
}

// Hands take(frame, value, pair) every pair of the list, for frames 1, 2, ...;
// returns the number of pairs. A pair that is no hexadecimal number raises.
template <typename Take>
int decodePairs(std::string_view list, Take&& take)
{
    const int count = pairCount(list);
    for (int k = 1; k <= count; ++k) {
        const std::string_view pair = list.substr(static_cast<size_t>(2 * k - 2), 2);
        take(k, hexPairValue(pair), pair);
    }
    return count;
}

}  // namespace definition_text
