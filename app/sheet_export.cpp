// An anime clip as a sprite sheet picture and its JSON description.
#include "app/sheet_export.h"

#include "app/json_writer.h"
#include "app/output_file.h"
#include "app/render_frames.h"

#include "platform/exception.h"

#include <algorithm>

namespace {

void writeSize(JsonWriter& json, const char* name, int width, int height)
{
    json.key(name).beginObject();
    json.key("w").number(width);
    json.key("h").number(height);
    json.endObject();
}

void writeRectangle(JsonWriter& json, const char* name, int x, int y, int width, int height)
{
    json.key(name).beginObject();
    json.key("x").number(x);
    json.key("y").number(y);
    json.key("w").number(width);
    json.key("h").number(height);
    json.endObject();
}

// Copies the frame scaled by scale with its top-left corner at (left, top).
void drawScaled(QImage& sheet, const QImage& frame, int left, int top, int32_t scale)
{
    for (int y = 0; y < frame.height() * scale; ++y) {
        const auto* from = reinterpret_cast<const uint32_t*>(frame.constScanLine(y / scale));
        auto* to = reinterpret_cast<uint32_t*>(sheet.scanLine(top + y)) + left;
        for (int x = 0; x < frame.width() * scale; ++x) to[x] = from[x / scale];
    }
}

std::string describe(const AnimeClip& clip, int width, int height, int columns, const Sheet& sheet, int32_t scale,
                     const std::string& imageName)
{
    JsonWriter json;
    json.beginObject();
    json.key("frames").beginArray();
    for (size_t i = 0; i < clip.frames.size(); ++i) {
        const int x = static_cast<int>(i) % columns * width;
        const int y = static_cast<int>(i) / columns * height;
        json.beginObject();
        json.key("filename").string(frameFileName(static_cast<int32_t>(i) + 1));
        writeRectangle(json, "frame", x, y, width, height);
        json.key("rotated").boolean(false);
        json.key("trimmed").boolean(false);
        writeRectangle(json, "spriteSourceSize", 0, 0, width, height);
        writeSize(json, "sourceSize", width, height);
        json.key("duration").number(clip.frameTime);
        json.endObject();
    }
    json.endArray();
    json.key("meta").beginObject();
    json.key("app").string("pomelune");
    json.key("image").string(imageName);
    json.key("format").string("RGB888");
    writeSize(json, "size", sheet.picture.width(), sheet.picture.height());
    json.key("scale").string(std::to_string(scale));
    json.key("frameTags").beginArray();
    json.beginObject();
    json.key("name").string("anime " + std::to_string(clip.anime));
    json.key("from").number(0);
    json.key("to").number(static_cast<int64_t>(clip.frames.size()) - 1);
    json.key("direction").string("forward");
    // Played once: a one-shot anime returns to the anime it interrupted.
    if (!clip.loops) json.key("repeat").string("1");
    json.endObject();
    json.endArray();
    json.endObject();
    json.endObject();
    return json.text() + "\n";
}

}  // namespace

Sheet makeSheet(const AnimeClip& clip, int32_t scale, int32_t columns, const std::string& imageName)
{
    if (clip.frames.empty()) throw Exception("シートにするフレームがありません");
    const int64_t count = static_cast<int64_t>(clip.frames.size());
    const int64_t across = std::clamp<int64_t>(columns, 1, count);
    const int64_t down = (count + across - 1) / across;
    const int64_t width = int64_t{clip.frames.front().width()} * scale;
    const int64_t height = int64_t{clip.frames.front().height()} * scale;
    checkExportSize(across * width, down * height);
    if (across * width * down * height > maxExportPixels) throw Exception("シートが大きすぎます");

    Sheet sheet;
    sheet.picture = QImage(static_cast<int>(across * width), static_cast<int>(down * height), QImage::Format_RGB32);
    if (sheet.picture.isNull()) throw std::bad_alloc();
    sheet.picture.fill(Qt::black);
    for (size_t i = 0; i < clip.frames.size(); ++i)
        drawScaled(sheet.picture, clip.frames[i], static_cast<int>(static_cast<int64_t>(i) % across * width),
                   static_cast<int>(static_cast<int64_t>(i) / across * height), scale);
    sheet.json = describe(clip, static_cast<int>(width), static_cast<int>(height), static_cast<int>(across), sheet,
                          scale, imageName);
    return sheet;
}

void writeSheet(const AnimeClip& clip, int32_t scale, int32_t columns, const std::filesystem::path& path)
{
    const Sheet sheet = makeSheet(clip, scale, columns, path.filename().string());
    writePng(sheet.picture, path);
    writeOutputFile(std::filesystem::path(path).replace_extension(".json"), sheet.json);
}
