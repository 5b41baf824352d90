// A GIF file read back with giflib: its size, whether it loops, each frame's RGB
// pixels and delay.
#pragma once

#include <gif_lib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <span>
#include <vector>

struct GifContents {
    int width = 0, height = 0;
    bool loops = false;
    std::vector<std::vector<uint32_t>> frames;  // RGB of every pixel, row by row
    std::vector<int> delays;  // centiseconds
};

inline GifContents readGif(const std::filesystem::path& path)
{
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif) return {};
    GifContents contents;
    if (DGifSlurp(gif) == GIF_OK) {
        contents.width = gif->SWidth;
        contents.height = gif->SHeight;
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& image = gif->SavedImages[i];
            const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
            std::vector<uint32_t>& pixels = contents.frames.emplace_back();
            for (int p = 0; p < image.ImageDesc.Width * image.ImageDesc.Height; ++p) {
                const GifColorType colour = map->Colors[image.RasterBits[p]];
                pixels.push_back(uint32_t{colour.Red} << 16 | uint32_t{colour.Green} << 8 | colour.Blue);
            }
            GraphicsControlBlock control;
            contents.delays.push_back(DGifSavedExtensionToGCB(gif, i, &control) == GIF_OK ? control.DelayTime : -1);
            for (const ExtensionBlock& block :
                 std::span(image.ExtensionBlocks, static_cast<size_t>(image.ExtensionBlockCount)))
                contents.loops |= block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
                                  std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0;
        }
    }
    DGifCloseFile(gif, &error);
    return contents;
}
