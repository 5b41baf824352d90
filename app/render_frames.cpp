// The --render loop: frames played on a simulated clock, drawn and written as PNG files.
#include "app/render_frames.h"

#include "app/output_file.h"
#include "app/surface_image.h"

#include "platform/clock.h"
#include "platform/exception.h"
#include "platform/text.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QString>

#include <algorithm>
#include <cstdio>

namespace {

// Puts a simulated millisecond clock in place of the real one while it lives.
class SimulatedClock {
public:
    SimulatedClock()
    {
        setMillisecondClock([this] { return now; });
    }
    ~SimulatedClock() { setMillisecondClock({}); }
    SimulatedClock(const SimulatedClock&) = delete;
    SimulatedClock& operator=(const SimulatedClock&) = delete;

    uint32_t now = 0;
};

void clearToBlack(TDDDDGenSurface& target)
{
    DDBLTFX fill;
    fill.dwFillColor = 0;
    target.Blt(nullptr, Rect{0, 0, target.Width, target.Height}, Rect{}, DDBLT_COLORFILL | DDBLT_WAIT, fill);
}

void checkViewWidth(const Tqpchr& chr)
{
    if (chr.viewwidth < 1 || chr.viewwidth > maxViewWidth)
        throw Exception("表示幅 " + std::to_string(chr.viewwidth) + " の画像は作れません（1～" +
                        std::to_string(maxViewWidth) + "）");
}

}  // namespace

void writePng(const QImage& image, const std::filesystem::path& path)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) failWriting(path);
    writeOutputFile(path, std::string_view(png.constData(), static_cast<size_t>(png.size())));
}

QImage drawView(Tqpchr& chr, TDDDDGenSurface& target)
{
    clearToBlack(target);
    chr.draw(target, 0, 0);
    QImage image = surfaceImage(target, false);
    if (image.isNull()) throw Exception("描画先のサーフェスを読めませんでした");
    return image;
}

std::string frameFileName(int32_t number)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame%04d.png", static_cast<int>(number));
    return name;
}

int32_t animeLength(const Tqpchr& chr, int32_t anime) { return std::max(chr.animeFrames(anime), 1); }

void playFrames(Tqpchr& chr, OffscreenDisplay& display, std::optional<int32_t> anime, std::optional<int32_t> frames,
                const std::function<void(const QImage&, int32_t, int32_t)>& take)
{
    checkViewWidth(chr);
    TDDDDGenSurface& target = display.makeBackBuffer(chr.viewwidth, Tqpchr::ViewHeight);

    // Without an anime the anime playing after load goes on as the window would show
    // it: a first step on an empty frame 0 takes it to its loop frame + 1, or frame 1.
    if (anime) chr.start(*anime);
    const int32_t count = frames.value_or(animeLength(chr, chr.anime));

    // step advances a frame when more than framewait milliseconds have passed since
    // lastclock. The first step comes exactly framewait after it and advances
    // nothing, so image 1 shows frame 1; every later one comes one millisecond more
    // than framewait after it and advances exactly one frame. Sums wrap as the
    // clock does, which also keeps a negative framewait right (only 2^31 - 1 can
    // never be exceeded: then every image shows frame 1).
    SimulatedClock clock;
    for (int32_t image = 1; image <= count; ++image) {
        clock.now = chr.lastclock + static_cast<uint32_t>(chr.framewait) + (image > 1 ? 1u : 0u);
        chr.step();
        take(drawView(chr, target), image, count);
    }
}

void renderFrames(Tqpchr& chr, OffscreenDisplay& display, const RenderSettings& settings)
{
    checkViewWidth(chr);
    std::error_code error;
    std::filesystem::create_directories(settings.folder, error);
    if (error)
        throw Exception("フォルダ " + displayText(settings.folder.string()) + " を作れません: " + error.message());
    playFrames(chr, display, settings.anime, settings.frames, [&](const QImage& image, int32_t number, int32_t count) {
        writePng(image, settings.folder / frameFileName(number));
        if (settings.progress) settings.progress(number, count);
    });
}
