// The screen the 2-D layer shows on: its size, pixel format, display modes and
// system palette, which tests may change.
#include "platform/screen.h"

#include "platform/ddraw.h"
#include "platform/testing.h"

#include <algorithm>
#include <utility>

namespace {

struct ScreenState {
    DDPIXELFORMAT format = pixelFormatXrgb8888();
    int32_t width = 1920;
    int32_t height = 1080;
    std::vector<DisplayMode> modes;
    bool screenSaverActive = true;
    std::array<PALETTEENTRY, 256> systemPalette;
    std::vector<RealizedPalette> realized;
};

std::vector<DisplayMode> defaultModes()
{
    const DisplayMode sizes[] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 720}, {1280, 1024}, {1920, 1080}};
    std::vector<DisplayMode> modes;
    for (const DisplayMode& size : sizes)
        for (uint32_t bits : {8u, 16u, 24u, 32u})
            for (uint32_t rate : {60u, 75u}) modes.push_back({size.width, size.height, bits, rate});
    return modes;
}

// The window system's static colours: ten at the start, ten at the end.
std::array<PALETTEENTRY, 256> defaultSystemPalette()
{
    const PALETTEENTRY first[10] = {{0, 0, 0},     {128, 0, 0},   {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
                                    {128, 0, 128}, {0, 128, 128}, {192, 192, 192}, {192, 220, 192}, {166, 202, 240}};
    const PALETTEENTRY last[10] = {{255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},   {0, 255, 0},
                                   {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255}, {255, 255, 255}};
    std::array<PALETTEENTRY, 256> palette{};
    for (int i = 0; i < 10; ++i) {
        palette[i] = first[i];
        palette[246 + i] = last[i];
    }
    return palette;
}

ScreenState makeState()
{
    ScreenState state;
    state.modes = defaultModes();
    state.systemPalette = defaultSystemPalette();
    return state;
}

ScreenState& state()
{
    static ScreenState screen = makeState();
    return screen;
}

}  // namespace

void setScreenPixelFormat(const DDPIXELFORMAT& format) { state().format = format; }
DDPIXELFORMAT screenPixelFormat() { return state().format; }

int32_t Screen::width() { return state().width; }
int32_t Screen::height() { return state().height; }

void Screen::setSize(int32_t width, int32_t height)
{
    state().width = width;
    state().height = height;
}

int32_t Screen::bitDepth() { return static_cast<int32_t>(state().format.dwRGBBitCount); }
void Screen::setBitDepth(int32_t bits) { state().format = pixelFormatOfDepth(static_cast<uint32_t>(bits)); }

const std::vector<DisplayMode>& Screen::modes() { return state().modes; }
void setScreenModes(std::vector<DisplayMode> modes) { state().modes = std::move(modes); }

bool Screen::screenSaverActive() { return state().screenSaverActive; }
void Screen::setScreenSaverActive(bool active) { state().screenSaverActive = active; }

const std::array<PALETTEENTRY, 256>& Screen::systemPalette() { return state().systemPalette; }

void Screen::realizePalette(HWND window, const std::array<PALETTEENTRY, 256>& entries)
{
    std::copy(entries.begin() + 10, entries.begin() + 246, state().systemPalette.begin() + 10);
    state().realized.push_back({window, entries});
}

const std::vector<RealizedPalette>& realizedPalettes() { return state().realized; }

void resetScreen() { state() = makeState(); }
