// An anime clip encoded as an animated GIF with giflib.
#include "app/gif_export.h"

#include "app/colour_palette.h"
#include "app/output_file.h"

#include "platform/exception.h"

#include <gif_lib.h>

#include <algorithm>
#include <limits>
#include <memory>

namespace {

constexpr int32_t centisecond = 10;
// The application extension that makes viewers repeat an animation; a count of 0 is for ever.
constexpr char loopApplication[] = "NETSCAPE2.0";
constexpr uint8_t loopForEver[] = {1, 0, 0};

// giflib's output: the bytes go to the string in UserData; 0 written tells it of a failure.
int appendBytes(GifFileType* gif, const GifByteType* bytes, int length)
{
    try {
        static_cast<std::string*>(gif->UserData)
            ->append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length));
        return length;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

[[noreturn]] void failGif(int error)
{
    const char* reason = GifErrorString(error);
    throw Exception(std::string("GIF を作れません: ") + (reason ? reason : "giflib error " + std::to_string(error)));
}

// Raises Exception unless giflib's call succeeded.
void check(int result, const GifFileType* gif)
{
    if (result != GIF_OK) failGif(gif->Error);
}

struct GifCloser {
    void operator()(GifFileType* gif) const { EGifCloseFile(gif, nullptr); }
};

struct ColourMapFree {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

std::unique_ptr<ColorMapObject, ColourMapFree> colourMap(const std::vector<uint32_t>& colours)
{
    int bits = 1;
    while ((size_t{1} << bits) < colours.size()) ++bits;
    std::unique_ptr<ColorMapObject, ColourMapFree> map(GifMakeMapObject(1 << bits, nullptr));
    if (!map) throw std::bad_alloc();
    for (int i = 0; i < map->ColorCount; ++i) {
        const uint32_t rgb = static_cast<size_t>(i) < colours.size() ? colours[static_cast<size_t>(i)] : 0;
        map->Colors[i] = {static_cast<GifByteType>(rgb >> 16), static_cast<GifByteType>(rgb >> 8),
                          static_cast<GifByteType>(rgb)};
    }
    return map;
}

void putLoopExtension(GifFileType* gif)
{
    check(EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE), gif);
    check(EGifPutExtensionBlock(gif, sizeof loopApplication - 1, loopApplication), gif);
    check(EGifPutExtensionBlock(gif, sizeof loopForEver, loopForEver), gif);
    check(EGifPutExtensionTrailer(gif), gif);
}

void putDelay(GifFileType* gif, uint16_t delay)
{
    GraphicsControlBlock control{DISPOSE_DO_NOT, false, static_cast<int>(delay), NO_TRANSPARENT_COLOR};
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&control, extension);
    check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension), gif);
}

// The frame's palette indexes, each pixel repeated scale times across and down.
void putFrame(GifFileType* gif, const QImage& frame, const ColourPalette& palette, int32_t scale,
              std::vector<GifPixelType>& line)
{
    const int width = frame.width() * scale;
    check(EGifPutImageDesc(gif, 0, 0, width, frame.height() * scale, false, nullptr), gif);
    line.resize(static_cast<size_t>(width));
    for (int y = 0; y < frame.height(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(frame.constScanLine(y));
        for (int x = 0; x < width; ++x) line[static_cast<size_t>(x)] = palette.indexOf(row[x / scale] & 0xFFFFFFu);
        for (int32_t copy = 0; copy < scale; ++copy) check(EGifPutLine(gif, line.data(), width), gif);
    }
}

}  // namespace

std::vector<uint16_t> gifDelays(int32_t frameTime, size_t count)
{
    std::vector<uint16_t> delays;
    int64_t shown = 0;  // centiseconds given to the frames so far
    for (size_t i = 1; i <= count; ++i) {
        const int64_t end = (static_cast<int64_t>(i) * frameTime + centisecond / 2) / centisecond;
        delays.push_back(static_cast<uint16_t>(std::min<int64_t>(end - shown, std::numeric_limits<uint16_t>::max())));
        shown = end;
    }
    return delays;
}

std::string encodeGif(const AnimeClip& clip, int32_t scale)
{
    if (clip.frames.empty()) throw Exception("GIF にするフレームがありません");
    const int64_t width = int64_t{clip.frames.front().width()} * scale;
    const int64_t height = int64_t{clip.frames.front().height()} * scale;
    checkExportSize(width, height);

    const ColourPalette palette(clip.frames);
    const auto map = colourMap(palette.colours());
    std::string bytes;
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(EGifOpen(&bytes, appendBytes, &error));
    if (!gif) failGif(error);
    EGifSetGifVersion(gif.get(), true);
    check(EGifPutScreenDesc(gif.get(), static_cast<int>(width), static_cast<int>(height), map->BitsPerPixel, 0,
                            map.get()),
          gif.get());
    if (clip.loops) putLoopExtension(gif.get());

    const std::vector<uint16_t> delays = gifDelays(clip.frameTime, clip.frames.size());
    std::vector<GifPixelType> line;
    for (size_t i = 0; i < clip.frames.size(); ++i) {
        putDelay(gif.get(), delays[i]);
        putFrame(gif.get(), clip.frames[i], palette, scale, line);
    }
    int closeError = 0;
    if (EGifCloseFile(gif.release(), &closeError) != GIF_OK) failGif(closeError);
    return bytes;
}

void writeGif(const AnimeClip& clip, int32_t scale, const std::filesystem::path& path)
{
    const std::string bytes = encodeGif(clip, scale);
    writeOutputFile(path, bytes);
}
