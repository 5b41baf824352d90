// Feeds arbitrary bytes to LoadBMP(Stream&) on off-screen surfaces of every pixel
// format the device offers (8-bit palette-indexed, 16-bit 5-6-5, 24-bit, 32-bit).
// The first two input bytes give the surfaces' size (1..64 x 1..64); the rest is
// the bitmap file. Halting and logging are off, so a rejected file or a failed
// platform call returns instead of ending the process.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "display/offscreen_display.h"
#include "platform/testing.h"

namespace {

constexpr int32_t BackWidth = 64;
constexpr int32_t BackHeight = 48;
constexpr int32_t MaxSide = 64;

// The display component as the device set-up leaves it: a device and a 32-bit back
// buffer, made once for the whole run.
TDDDD& display()
{
    static TDDDD* dddd = [] {
        DDFaultInjection::reset();
        setScreenPixelFormat(pixelFormatXrgb8888());
        auto* made = new TDDDD;
        made->setDebugOption({});
        if (!setUpOffscreenDisplay(*made, BackWidth, BackHeight)) __builtin_trap();
        return made;
    }();
    return *dddd;
}

const DDPIXELFORMAT& formatAt(size_t index)
{
    static const DDPIXELFORMAT formats[] = {pixelFormatPalette8(), pixelFormatRgb565(), pixelFormatRgb888(),
                                            pixelFormatXrgb8888()};
    return formats[index];
}
constexpr size_t FormatCount = 4;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    TDDDD& dddd = display();
    const int32_t width = data[0] % MaxSide + 1;
    const int32_t height = data[1] % MaxSide + 1;
    const std::vector<uint8_t> file(data + 2, data + size);

    for (size_t i = 0; i < FormatCount; ++i) {
        // Surfaces take the screen's format when they are made.
        setScreenPixelFormat(formatAt(i));
        TDDDDSurface surface(&dddd, width, height, 0);
        setScreenPixelFormat(pixelFormatXrgb8888());
        MemoryStream stream(file);
        surface.LoadBMP(stream);
        // Read back what landed, so that a row written past the surface is noticed.
        (void)surface.GetPixel(width - 1, height - 1);
    }
    return 0;
}
