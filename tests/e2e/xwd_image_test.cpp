// The screenshot reader of the end-to-end test, on dumps built here.
#include "support/xwd_image.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A dump of width x 1 pixels with a window name of five bytes and one colour entry.
std::string dump(uint32_t bits, uint32_t byteOrder, const std::vector<uint32_t>& pixels, uint32_t pad = 0)
{
    const uint32_t bytesPerLine = static_cast<uint32_t>(pixels.size()) * bits / 8 + pad;
    const uint32_t fields[25] = {100 + 5, 7, 2, 24, static_cast<uint32_t>(pixels.size()), 1, 0, byteOrder, 32, 1, 32, bits,
                                 bytesPerLine, 4, 0xFF0000, 0x00FF00, 0x0000FF, 8, 256, 1};
    std::string bytes;
    for (uint32_t field : fields)
        for (int shift = 24; shift >= 0; shift -= 8) bytes += static_cast<char>(field >> shift);
    bytes += std::string("xwd\0\0", 5) + std::string(12, '\x7F');
    for (uint32_t pixel : pixels)
        for (uint32_t i = 0; i < bits / 8; ++i)
            bytes += static_cast<char>(byteOrder == 1 ? pixel >> (8 * (bits / 8 - 1 - i)) : pixel >> (8 * i));
    return bytes + std::string(pad, '\0');
}

TEST(XwdImage, ReadsTrueColourDumpsInBothByteOrders)
{
    const std::vector<uint32_t> pixels = {0x123456, 0xFF00FF, 0x000001};
    for (const auto& [bits, order] : {std::pair{32u, 0u}, {32u, 1u}, {24u, 0u}, {24u, 1u}}) {
        SCOPED_TRACE(testing::Message() << bits << " bits, byte order " << order);
        const ScreenImage image = readXwd(dump(bits, order, pixels, 3));
        EXPECT_EQ(image.width, 3);
        EXPECT_EQ(image.height, 1);
        EXPECT_EQ(image.pixels, pixels);
    }
}

TEST(XwdImage, RefusesWhatItCannotRead)
{
    const std::string good = dump(32, 0, {1, 2});
    std::string paletted = good;
    paletted[47] = 8;  // bits per pixel
    std::string wide = good;
    wide[16] = 0x7F;  // width far beyond the data
    for (const std::string& bytes : {good.substr(0, 99), good.substr(0, good.size() - 1), paletted, wide})
        EXPECT_TRUE(readXwd(bytes).pixels.empty());
}

}  // namespace
