// The display device: its size and colour depth (the pixel format of surfaces
// made without one is in platform/ddraw.h), the display modes it offers, the
// screen saver's switch and, for 8-bit displays, the system palette.
#pragma once

#include "platform/ddraw_types.h"
#include "platform/window_host.h"

#include <array>
#include <cstdint>
#include <vector>

struct DisplayMode {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 0;
    uint32_t refreshRate = 0;
    bool operator==(const DisplayMode&) const = default;
};

class Screen {
public:
    // 1920 × 1080 at 32 bits per pixel.
    static int32_t width();
    static int32_t height();
    static void setSize(int32_t width, int32_t height);
    // The display device's bits per pixel; setting it gives the screen the format of
    // that depth (pixelFormatOfDepth).
    static int32_t bitDepth();
    static void setBitDepth(int32_t bits);

    // The modes the display offers, in the order they are listed: by default
    // 640 × 480, 800 × 600, 1024 × 768, 1280 × 720, 1280 × 1024 and 1920 × 1080, each
    // at 8, 16, 24 and 32 bits, each at 60 and 75 Hz.
    static const std::vector<DisplayMode>& modes();

    // The screen saver's active switch. On this platform it is only recorded.
    static bool screenSaverActive();
    static void setScreenSaverActive(bool active);

    // The 8-bit display's system palette: the window system's 20 static colours at
    // 0-9 and 246-255, black between until a palette is realised.
    static const std::array<PALETTEENTRY, 256>& systemPalette();
    // Realises a logical palette in the foreground: its entries 10 to 245 become the
    // system palette's.
    static void realizePalette(HWND window, const std::array<PALETTEENTRY, 256>& entries);
};
