// The clip of one anime for export, the export size limits and the choice of GIF or sheet.
#include "app/anime_export.h"

#include "app/gif_export.h"
#include "app/render_frames.h"
#include "app/sheet_export.h"

#include "platform/exception.h"
#include "platform/text.h"

#include <algorithm>

namespace {

// One-shot animes and the check pattern return to the remembered anime when they end,
// unless their loop box is ticked; every other anime starts again.
bool animeLoops(const Tqpchr& chr, int32_t anime)
{
    if (anime == Tqpchr::CheckAnime) return chr.loopcheck;
    return !Tqpchr::isOneShotAnime(anime) || chr.loopshots;
}

}  // namespace

bool hasExtension(const std::filesystem::path& path, std::string_view extension)
{
    const std::string own = path.extension().string();
    return own.size() == extension.size() && endsWithIgnoringCase(own, extension);
}

void checkExportSize(int64_t width, int64_t height)
{
    if (width > maxExportSide || height > maxExportSide)
        throw Exception("書き出す画像が大きすぎます（" + std::to_string(width) + "×" + std::to_string(height) +
                        "、一辺 " + std::to_string(maxExportSide) + " まで）");
}

AnimeClip playClip(Tqpchr& chr, OffscreenDisplay& display, int32_t anime)
{
    const int64_t pixels = int64_t{chr.viewwidth} * Tqpchr::ViewHeight * animeLength(chr, anime);
    if (pixels > maxExportPixels) throw Exception("アニメ " + std::to_string(anime) + " は書き出すには大きすぎます");
    AnimeClip clip;
    clip.anime = anime;
    clip.frameTime = std::max(chr.framewait, 0);
    clip.loops = animeLoops(chr, anime);
    playFrames(chr, display, anime, {},
               [&clip](const QImage& image, int32_t, int32_t) { clip.frames.push_back(image); });
    return clip;
}

void exportAnime(Tqpchr& chr, OffscreenDisplay& display, const ExportSettings& settings)
{
    const bool gif = hasExtension(settings.out, ".gif");
    if (!gif && !hasExtension(settings.out, ".png"))
        throw Exception("書き出し先 " + displayText(settings.out.string()) +
                        " は .gif か .png で終わる名前にしてください");
    const AnimeClip clip = playClip(chr, display, settings.anime);
    if (gif)
        writeGif(clip, settings.scale, settings.out);
    else
        writeSheet(clip, settings.scale, settings.columns.value_or(static_cast<int32_t>(clip.frames.size())),
                   settings.out);
}
