// The definition load: reads a character definition line by line into the engine's
// fields and tables.
#include "chr/definition_format.h"
#include "chr/qpchr.h"

#include "platform/exception.h"
#include "platform/file_system.h"
#include "platform/text.h"

#include <algorithm>

using namespace definition_text;

namespace {

// A file value of the definition, joined to the definition's folder.
std::string packageFile(PackagePathResolver& resolver, const std::string& folder, std::string_view value)
{
    return resolver.resolve(folder + "/" + cp932ForwardSlashes(value));
}

// Decodes a list's pairs into frames 1, 2, ... of row, appending the pairs to
// text. Returns the number of entries.
int decodeList(std::string_view list, std::array<int32_t, Tqpchr::FrameCount>& row, std::string& text)
{
    return decodePairs(list, [&](int frame, int32_t value, std::string_view pair) {
        row[static_cast<size_t>(frame)] = value;
        text += trim(pair);
    });
}

}  // namespace

void Tqpchr::load(const std::string& fileName)
{
    reset();
    PackagePathResolver resolver;
    chpfile = resolver.resolve(fileName);
    datahex = false;
    loadline = 0;
    const std::string text = readDefinition(chpfile);
    const std::string folder = folderOf(chpfile);
    for (size_t start = 0; start < text.size();) {
        ++loadline;
        parseLine(nextLine(text, start), folder, resolver);
    }
}

void Tqpchr::readKeyword(Keyword keyword, std::string_view line, const std::string& folder,
                         PackagePathResolver& resolver)
{
    switch (keyword) {
    case Keyword::CharName: charname = keywordWord(line, keyword); break;
    case Keyword::Anime: framewait = toInteger(keywordValue(line, keyword)); break;
    case Keyword::Data:
        if (isHexData(line)) datahex = true;
        break;
    case Keyword::Size: viewwidth = toInteger(keywordWord(line, keyword)); break;
    case Keyword::CharBmp:
        cgfile = packageFile(resolver, folder, keywordWord(line, keyword));
        loadcg();
        break;
    case Keyword::CharFace: facefile = packageFile(resolver, folder, keywordWord(line, keyword)); break;
    case Keyword::SelectCg: selectcgfile = packageFile(resolver, folder, keywordWord(line, keyword)); break;
    case Keyword::Artist: artist = keywordWord(line, keyword); break;
    case Keyword::Loop:
        if (const auto loop = loopLine(line)) loopframe[loop->anime] = loop->frame;
        break;
    case Keyword::Patern:
    case Keyword::Layer:
        if (const auto lists = animeLists(line, keyword)) {
            const size_t a = lists->anime;
            const bool layer = keyword == Keyword::Layer;
            decodeList(lists->source, layer ? laysrc[a] : patsrc[a], layer ? laysrctext[a] : patsrctext[a]);
            if (lists->destination) {
                const int count = decodeList(*lists->destination, layer ? laydst[a] : patdst[a],
                                             layer ? laydsttext[a] : patdsttext[a]);
                if (!layer && count >= 2) patdstused[a] = true;
            }
            animeused[a] = true;
            if (layer) layerused[a] = true;
        }
        break;
    }
}

void Tqpchr::parseLine(std::string_view line, const std::string& folder, PackagePathResolver& resolver)
{
    // Comments, empty lines and other lines without a "#" first have no effect.
    if (!line.starts_with('#')) return;
    if (const auto keyword = lineKeyword(line)) readKeyword(*keyword, line, folder, resolver);
    // Every line beginning with "#" may define a pattern.
    const auto number = patternNumber(line, datahex);
    if (!number || *number < 1 || *number > 255) return;
    patrect[static_cast<size_t>(*number)] = patternCell(line);
}
