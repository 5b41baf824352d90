// The keywords of a definition line, their values and the anime lists.
#include "chr/definition_format.h"

#include "platform/text.h"

namespace definition_text {

namespace {

const KeywordFormat& formatOf(Keyword keyword)
{
    for (const KeywordFormat& format : keywordFormats)
        if (format.keyword == keyword) return format;
    return keywordFormats[0];
}

}  // namespace

std::optional<Keyword> lineKeyword(std::string_view line)
{
    if (!line.starts_with('#')) return std::nullopt;
    for (const KeywordFormat& format : keywordFormats)
        if (startsWithKeyword(line.substr(1), format.name)) return format.keyword;
    return std::nullopt;
}

std::string_view keywordValue(std::string_view line, Keyword keyword)
{
    const KeywordFormat& format = formatOf(keyword);
    return trim(restFrom(line, format.column).substr(0, format.length));
}

bool isHexData(std::string_view line) { return cp932UpperCase(keywordValue(line, Keyword::Data)) == "16"; }

std::optional<LoopLine> loopLine(std::string_view line)
{
    const auto loop = animeLine(keywordValue(line, Keyword::Loop));
    if (!loop) return std::nullopt;
    return LoopLine{loop->anime, toInteger(loop->body)};
}

std::optional<AnimeLists> animeLists(std::string_view line, Keyword keyword)
{
    const auto lists = animeLine(keywordValue(line, keyword));
    if (!lists) return std::nullopt;
    const Split words = split(lists->body);
    AnimeLists result{lists->anime, trim(words.word), std::nullopt};
    if (keyword == Keyword::Layer)
        result.destination = trim(firstWord(words.remainder));
    else if (words.remainder.size() >= 2 && words.remainder.front() != '/')
        result.destination = firstWord(words.remainder);
    return result;
}

}  // namespace definition_text
