// The --info document: the loaded character's fields and tables as JSON.
#include "app/info_json.h"

#include "app/json_writer.h"

#include "platform/text.h"

#include <algorithm>

namespace {

void rectangle(JsonWriter& json, const Rect& r)
{
    json.beginArray();
    for (const int32_t edge : {r.left, r.top, r.right, r.bottom}) json.number(edge);
    json.endArray();
}

// The row's frames 1 up to the last one that is not -1, gaps included.
void frames(JsonWriter& json, const Tqpchr::FrameTable& table, int32_t anime)
{
    int32_t last = Tqpchr::FrameCount - 1;
    while (last >= 1 && Tqpchr::entry(table, anime, last) == -1) --last;
    json.beginArray();
    for (int32_t frame = 1; frame <= last; ++frame) json.number(Tqpchr::entry(table, anime, frame));
    json.endArray();
}

bool differsFromReset(const Tqpchr& chr, size_t a)
{
    const auto rowUsed = [a](const Tqpchr::FrameTable& table) {
        return std::ranges::any_of(table[a], [](int32_t entry) { return entry != -1; });
    };
    return chr.animeused[a] || chr.patdstused[a] || chr.layerused[a] || chr.loopframe[a] != -1 || rowUsed(chr.patsrc) ||
           rowUsed(chr.patdst) || rowUsed(chr.laysrc) || rowUsed(chr.laydst) || !chr.patsrctext[a].empty() ||
           !chr.patdsttext[a].empty() || !chr.laysrctext[a].empty() || !chr.laydsttext[a].empty();
}

void anime(JsonWriter& json, const Tqpchr& chr, size_t a)
{
    const auto number = static_cast<int32_t>(a);
    json.beginObject();
    json.key("animeused").boolean(chr.animeused[a]);
    json.key("patdstused").boolean(chr.patdstused[a]);
    json.key("layerused").boolean(chr.layerused[a]);
    json.key("loopframe").number(chr.loopframe[a]);
    frames(json.key("patsrc"), chr.patsrc, number);
    frames(json.key("patdst"), chr.patdst, number);
    frames(json.key("laysrc"), chr.laysrc, number);
    frames(json.key("laydst"), chr.laydst, number);
    json.key("patsrctext").string(cp932ToUtf8(chr.patsrctext[a]));
    json.key("patdsttext").string(cp932ToUtf8(chr.patdsttext[a]));
    json.key("laysrctext").string(cp932ToUtf8(chr.laysrctext[a]));
    json.key("laydsttext").string(cp932ToUtf8(chr.laydsttext[a]));
    json.endObject();
}

}  // namespace

// Texts of the definition are Shift-JIS; paths may already be UTF-8 after the
// package-path resolution found them on disk.
std::string infoJson(const Tqpchr& chr)
{
    JsonWriter json;
    json.beginObject();
    json.key("chpfile").string(displayText(chr.chpfile));
    json.key("charname").string(cp932ToUtf8(chr.charname));
    json.key("artist").string(cp932ToUtf8(chr.artist));
    json.key("datahex").boolean(chr.datahex);
    json.key("viewwidth").number(chr.viewwidth);
    json.key("framewait").number(chr.framewait);
    json.key("cgfile").string(displayText(chr.cgfile));
    json.key("facefile").string(displayText(chr.facefile));
    json.key("selectcgfile").string(displayText(chr.selectcgfile));
    json.key("cgsize").beginArray();
    json.number(chr.cgsurface->Width);
    json.number(chr.cgsurface->Height);
    json.endArray();

    // Patterns that no definition line set keep the empty rectangle (0, 0, 0, 0).
    json.key("patrect").beginObject();
    for (size_t p = 0; p < chr.patrect.size(); ++p) {
        if (chr.patrect[p] == Rect{}) continue;
        rectangle(json.key(std::to_string(p)), chr.patrect[p]);
    }
    json.endObject();

    json.key("animes").beginObject();
    for (size_t a = 0; a < Tqpchr::AnimeCount; ++a) {
        if (differsFromReset(chr, a)) anime(json.key(std::to_string(a)), chr, a);
    }
    json.endObject();
    json.endObject();
    return json.text();
}
