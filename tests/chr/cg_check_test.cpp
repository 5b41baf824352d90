// Why a CG file would not load whole, as the command-line modes report it.
#include "chr/cg_check.h"
#include "support/bmp_writer.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(CgCheckTest, NamesWhyTheLoaderWouldNotTakeTheWholeFile)
{
    // clang-format off
    const struct { std::function<void(std::vector<uint8_t>&)> damage; std::optional<std::string> problem; } cases[] = {
        {[](auto&) {}, std::nullopt},
        {[](auto& b) { setBmpHeight(b, -2); }, std::nullopt},  // top-down
        {[](auto& b) { setBmpCompression(b, 3); }, std::nullopt},  // bit fields
        {[](auto& b) { b.resize(50); }, "the file ends inside its headers"},
        {[](auto& b) { b[0] = 'P'; }, "the file is no BMP file"},
        {[](auto& b) { setBmpPixelOffset(b, 1000); }, "the pixels start at byte 1000, past the end of the file (78 bytes)"},
        {[](auto& b) { setBmpCompression(b, 1); }, "compressed pixels (method 1) are not decoded"},
        {[](auto& b) { setBmpBitCount(b, 12); }, "12 bits per pixel are not read"},
        {[](auto& b) { setBmpField(b, 14, 12, 4); }, "an info header of 12 bytes is not read"},
        {[](auto& b) { setBmpWidth(b, 0); }, "a size of 0 x 2 pixels"},
        {[](auto& b) { setBmpHeight(b, 0x7FFFFFFF); }, "the file ends inside its pixel rows (78 of 25769803818 bytes)"},
    };
    // clang-format on
    const ScratchFolder folder;
    for (const auto& c : cases) {
        std::vector<uint8_t> bytes = makeBmp({3, 2, 24, {}, {1, 2, 3, 4, 5, 6}});  // 54 header bytes, two rows of 12
        c.damage(bytes);
        EXPECT_EQ(cgLoadProblem(folder.write("cg.bmp", bytes).string()), c.problem) << c.problem.value_or("good");
    }
    EXPECT_EQ(cgLoadProblem((folder / "none.bmp").string()), "No such file or directory");
}

}  // namespace
