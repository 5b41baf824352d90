// A private folder per test with a small character package: a 16 x 5 CG of four
// 4 x 4 cells and definitions written from lines (CR LF).
#pragma once

#include "support/bmp_writer.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace sample {

inline constexpr uint32_t blue = 0x0000FF;  // pattern 1, the background
inline constexpr uint32_t red = 0xFF0000;   // pattern 2, key colour at its (0, 0)
inline constexpr uint32_t green = 0x00FF00; // pattern 3, key colour at its (1, 1)
inline constexpr uint32_t yellow = 0xFFFF00;// pattern 4, key colour at its (3, 3)
inline constexpr uint32_t key = 0xFF00FF;   // the bottom row, so the CG's colour key
inline constexpr int32_t viewWidth = 8;
inline constexpr int32_t viewHeight = 271;

// The definition lines of the view and the four cells, before any anime line.
inline std::vector<std::string> cells()
{
    return {"#SIZE 8", "#CHARBMP cg.bmp", "#1 0 0 4 4", "#2 4 0 4 4", "#3 8 0 4 4", "#4 12 0 4 4"};
}

// A whole view as drawn for a character cell of that colour at (0, 0): the background
// everywhere else and where the cell has its key-coloured pixel.
inline std::vector<uint32_t> view(uint32_t cell)
{
    const int32_t keyAt = cell == red ? 0 : cell == green ? 1 : 3;
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < viewHeight; ++y)
        for (int32_t x = 0; x < viewWidth; ++x)
            pixels.push_back(x < 4 && y < 4 && !(x == keyAt && y == keyAt) ? cell : blue);
    return pixels;
}

}  // namespace sample

class PackageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() /
                 ("pomelune-app-" + std::to_string(::getpid()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string writeFile(const std::string& name, const std::string& bytes) const
    {
        const auto path = folder / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    std::string writeDefinition(const std::vector<std::string>& lines, const std::string& name = "chara.chP") const
    {
        std::string text;
        for (const auto& line : lines) text += line + "\r\n";
        return writeFile(name, text);
    }
    // The sample cells' lines followed by the given anime lines.
    std::string writeSampleDefinition(const std::vector<std::string>& animeLines) const
    {
        writeSampleCg();
        std::vector<std::string> lines = sample::cells();
        lines.insert(lines.end(), animeLines.begin(), animeLines.end());
        return writeDefinition(lines);
    }
    void writeSampleCg() const
    {
        BmpSpec spec{16, 5, 24, {}, {}};
        for (int32_t y = 0; y < 5; ++y)
            for (int32_t x = 0; x < 16; ++x) spec.pixels.push_back(sampleCgPixel(x, y));
        const auto bytes = makeBmp(spec);
        writeFile("cg.bmp", std::string(bytes.begin(), bytes.end()));
    }

    std::filesystem::path folder;

private:
    static uint32_t sampleCgPixel(int32_t x, int32_t y)
    {
        const int32_t cellX = x % 4;
        if (y == 4) return sample::key;
        switch (x / 4) {
        case 0: return sample::blue;
        case 1: return cellX == 0 && y == 0 ? sample::key : sample::red;
        case 2: return cellX == 1 && y == 1 ? sample::key : sample::green;
        default: return cellX == 3 && y == 3 ? sample::key : sample::yellow;
        }
    }
};
