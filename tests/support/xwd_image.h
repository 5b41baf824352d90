// A reader of the X window dumps `xwd` writes, for true-colour screens.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

struct ScreenImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // 0xRRGGBB, row by row

    uint32_t at(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The picture of a ZPixmap dump of 24 or 32 bits per pixel with colour masks; an
// empty image for anything else or for a dump shorter than its header says.
ScreenImage readXwd(std::string_view bytes);
