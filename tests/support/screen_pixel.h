// One pixel of the screen read straight from the X server (GetImage of the root
// window), fast enough to time the frames the screen shows.
#pragma once

#include <cstdint>
#include <optional>

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

private:
    _XDisplay* display_;
};
