// A private folder per test with a small character package: a 16 x 5 CG of four
// 4 x 4 cells and definitions written from lines (CR LF); and the pixels of the PNG
// images --render writes.
#pragma once

#include "support/bmp_writer.h"
#include "support/scratch_folder.h"

#include <QImage>
#include <QString>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace sample {

inline constexpr uint32_t blue = 0x0000FF;  // pattern 1, the background
inline constexpr uint32_t red = 0xFF0000;  // pattern 2, key colour at its (0, 0)
inline constexpr uint32_t green = 0x00FF00;  // pattern 3, key colour at its (1, 1)
inline constexpr uint32_t yellow = 0xFFFF00;  // pattern 4, key colour at its (3, 3)
inline constexpr uint32_t key = 0xFF00FF;  // the bottom row, so the CG's colour key
inline constexpr int32_t viewWidth = 8;
inline constexpr int32_t viewHeight = 271;

// Where the cell of that colour has its key-coloured pixel, at (keyAt, keyAt).
inline int32_t keyAt(uint32_t cell) { return cell == red ? 0 : cell == green ? 1 : cell == yellow ? 3 : -1; }

// A whole view as drawn for a character cell of that colour at (0, 0): the background
// everywhere else and where the cell has its key-coloured pixel.
inline std::vector<uint32_t> view(uint32_t cell)
{
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < viewHeight; ++y)
        for (int32_t x = 0; x < viewWidth; ++x)
            pixels.push_back(x < 4 && y < 4 && !(x == keyAt(cell) && y == keyAt(cell)) ? cell : blue);
    return pixels;
}

}  // namespace sample

// The RGB values of every pixel of a PNG file, row by row; empty when it cannot be read.
inline std::vector<uint32_t> pngPixels(const std::filesystem::path& path)
{
    const QImage image(QString::fromStdString(path.string()), "PNG");
    std::vector<uint32_t> pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) pixels.push_back(image.pixel(x, y) & 0xFFFFFFu);
    return pixels;
}

// The bytes of a file; empty when it cannot be read.
inline std::string fileText(const std::filesystem::path& path)
{
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

class PackageTest : public ::testing::Test {
protected:
    std::string writeFile(const std::string& name, const std::string& bytes) const
    {
        return scratch.write(name, bytes).string();
    }
    // The CG and a definition of the view and its four cells followed by the anime lines.
    std::string writeSampleDefinition(const std::vector<std::string>& animeLines) const
    {
        const uint32_t cells[] = {sample::blue, sample::red, sample::green, sample::yellow};
        std::vector<uint32_t> pixels;
        for (int32_t y = 0; y < 5; ++y)
            for (int32_t x = 0; x < 16; ++x) {
                const uint32_t cell = cells[x / 4];
                pixels.push_back(y == 4 || (x % 4 == sample::keyAt(cell) && y == sample::keyAt(cell)) ? sample::key
                                                                                                      : cell);
            }
        const auto bytes = makeBmp({16, 5, 24, {}, pixels});
        writeFile("cg.bmp", std::string(bytes.begin(), bytes.end()));
        std::string text = "#SIZE 8\r\n#CHARBMP cg.bmp\r\n#1 0 0 4 4\r\n#2 4 0 4 4\r\n#3 8 0 4 4\r\n#4 12 0 4 4\r\n";
        for (const auto& line : animeLines) text += line + "\r\n";
        return writeFile("chara.chP", text);
    }

    ScratchFolder scratch;
    const std::filesystem::path& folder = scratch.path();
};
