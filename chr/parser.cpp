#include "chr/definition_text.h"
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

// Decodes a list of hexadecimal pairs into frames 1, 2, ... of row, appending the
// pairs to text. Returns the number of entries.
int decodeList(std::string_view list, std::array<int32_t, Tqpchr::FrameCount>& row, std::string& text)
{
    const int count = static_cast<int>(std::min<size_t>(list.size() / 2, Tqpchr::FrameCount - 1));
    for (int k = 1; k <= count; ++k) {
        const std::string_view pair = list.substr(static_cast<size_t>(2 * k - 2), 2);
        row[static_cast<size_t>(k)] = hexPairValue(pair);
        text += trim(pair);
    }
    return count;
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

void Tqpchr::parseLine(std::string_view line, const std::string& folder, PackagePathResolver& resolver)
{
    // Every test needs a "#" first; the other lines (comments, empty lines) have no effect.
    if (!line.starts_with('#')) return;
    // Every test sees every line; a line matching one is still offered to the next.
    if (startsWithKeyword(line, "#CHARNAME")) charname = firstWord(trim(restFrom(line, 10)));
    if (startsWithKeyword(line, "#ANIME")) framewait = toInteger(trim(restFrom(line, 7)));
    if (startsWithKeyword(line, "#DATA") && cp932UpperCase(trim(line.substr(5, 4))) == "16") datahex = true;
    if (startsWithKeyword(line, "#SIZE")) viewwidth = toInteger(firstWord(trim(restFrom(line, 6))));
    if (startsWithKeyword(line, "#CHARBMP")) {
        cgfile = packageFile(resolver, folder, firstWord(trim(restFrom(line, 10))));
        loadcg();
    }
    if (startsWithKeyword(line, "#CHARFACE")) facefile = packageFile(resolver, folder, firstWord(trim(restFrom(line, 11))));
    if (startsWithKeyword(line, "#SELECTCG")) selectcgfile = packageFile(resolver, folder, firstWord(trim(restFrom(line, 11))));
    if (startsWithKeyword(line, "#ARTIST")) artist = firstWord(trim(restFrom(line, 9)));
    if (startsWithKeyword(line, "#LOOP")) {
        if (const auto loop = animeLine(line, 6)) loopframe[loop->anime] = toInteger(loop->body);
    }
    if (startsWithKeyword(line, "#PATERN")) {
        if (const auto pattern = animeLine(line, 8)) {
            const size_t a = pattern->anime;
            const Split lists = split(pattern->body);
            decodeList(trim(lists.word), patsrc[a], patsrctext[a]);
            if (lists.remainder.size() >= 2 && lists.remainder.front() != '/') {
                if (decodeList(firstWord(lists.remainder), patdst[a], patdsttext[a]) >= 2) patdstused[a] = true;
            }
            animeused[a] = true;
        }
    }
    if (startsWithKeyword(line, "#LAYER")) {
        if (const auto layer = animeLine(line, 7)) {
            const size_t a = layer->anime;
            const Split lists = split(layer->body);
            decodeList(trim(lists.word), laysrc[a], laysrctext[a]);
            decodeList(trim(firstWord(lists.remainder)), laydst[a], laydsttext[a]);
            animeused[a] = true;
            layerused[a] = true;
        }
    }
    // Every line beginning with "#" may define a pattern.
    const auto number = patternNumber(line, datahex);
    if (!number || *number < 1 || *number > 255) return;
    patrect[static_cast<size_t>(*number)] = patternCell(line);
}
