// Why a CG file would not load whole, as the command-line modes report it.
#include "chr/cg_check.h"
#include "support/bmp_writer.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

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
    struct Case {
        Damage damage;
        std::optional<std::string> problem;
    };
    const Case cases[] = {
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
    const ScratchFolder folder;
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = goodCg();
        c.damage(bytes);
        EXPECT_EQ(cgLoadProblem(folder.write("cg.bmp", bytes).string()), c.problem) << c.problem.value_or("good");
    }
    EXPECT_EQ(cgLoadProblem((folder / "none.bmp").string()), "No such file or directory");
}

}  // namespace
