#include "chr/cg_check.h"
#include "support/bmp_writer.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace {

// A 3 x 2 24-bit CG: 54 header bytes and two rows of 12 bytes.
std::vector<uint8_t> goodCg() { return makeBmp({3, 2, 24, {}, {1, 2, 3, 4, 5, 6}}); }

TEST(CgCheckTest, NamesWhyTheLoaderWouldNotTakeTheWholeFile)
{
    using Damage = std::function<void(std::vector<uint8_t>&)>;
    const auto put32 = [](std::vector<uint8_t>& b, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    const std::pair<Damage, std::optional<std::string>> cases[] = {
        {[](auto&) {}, std::nullopt},
        {[&](auto& b) { put32(b, 22, static_cast<uint32_t>(-2)); }, std::nullopt},  // top-down
        {[&](auto& b) { put32(b, 30, 3); }, std::nullopt},                           // bit fields
        {[](auto& b) { b.resize(60); }, "the file ends inside its pixel rows (60 of 78 bytes)"},
        {[](auto& b) { b.resize(50); }, "the file ends inside its headers"},
        {[](auto& b) { b[0] = 'P'; }, "the file is no BMP file"},
        {[&](auto& b) { put32(b, 10, 1000); }, "the pixels start at byte 1000, past the end of the file (78 bytes)"},
        {[&](auto& b) { put32(b, 30, 1); }, "compressed pixels (method 1) are not decoded"},
        {[](auto& b) { b[28] = 12; }, "12 bits per pixel are not read"},
        {[&](auto& b) { put32(b, 14, 12); }, "an info header of 12 bytes is not read"},
        {[&](auto& b) { put32(b, 18, 0); }, "a size of 0 x 2 pixels"},
        {[&](auto& b) { put32(b, 22, 0x7FFFFFFF); }, "the file ends inside its pixel rows (78 of 25769803818 bytes)"},
    };
    const auto path = std::filesystem::temp_directory_path() / ("pomelune-cg-check-" + std::to_string(::getpid()) + ".bmp");
    for (const auto& [damage, problem] : cases) {
        std::vector<uint8_t> bytes = goodCg();
        damage(bytes);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        EXPECT_EQ(cgLoadProblem(path.string()), problem) << problem.value_or("good");
    }
    std::filesystem::remove(path);
    EXPECT_EQ(cgLoadProblem(path.string()), "No such file or directory");
}

}  // namespace
