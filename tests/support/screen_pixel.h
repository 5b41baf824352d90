// The screen read straight from the X server (GetImage of the root window): one pixel,
// fast enough to time the frames the screen shows, or the whole screen.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

struct ScreenImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // 0xRRGGBB, row by row

    uint32_t at(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

struct _XDisplay;

class ScreenPixel {
public:
    // Connects to the server DISPLAY names.
    ScreenPixel();
    ~ScreenPixel();
    ScreenPixel(const ScreenPixel&) = delete;
    ScreenPixel& operator=(const ScreenPixel&) = delete;

    bool connected() const { return display_ != nullptr; }
    // The pixel as 0xRRGGBB on a true-colour screen; none outside the screen.
    std::optional<uint32_t> at(int32_t x, int32_t y) const;
    // The whole screen; empty when not connected.
    ScreenImage screenshot() const;

private:
    _XDisplay* display_;
};
