#include "platform/bitmap_reader.h"

#include "support/bmp_writer.h"

#include <gtest/gtest.h>

namespace {

std::optional<DecodedBitmap> decode(const std::vector<uint8_t>& bytes)
{
    MemoryStream stream(bytes);
    return readBitmap(stream);
}

TEST(BitmapReaderTest, DecodesTrueColourAndPaletteFilesTopDown)
{
    const auto rgb = decode(makeBmp({2, 2, 24, {}, {0x010203, 0x040506, 0x070809, 0x0A0B0C}}));
    ASSERT_TRUE(rgb);
    EXPECT_EQ(rgb->pixels, (std::vector<uint32_t>{0x010203, 0x040506, 0x070809, 0x0A0B0C}));
    const auto indexed = decode(makeBmp({2, -1, 8, {0x112233, 0x445566}, {1, 0}}));
    ASSERT_TRUE(indexed);
    EXPECT_EQ(indexed->pixels, (std::vector<uint32_t>{0x445566, 0x112233}));
    const auto word = decode(makeBmp({1, 1, 16, {}, {0x7C00}}));
    ASSERT_TRUE(word);
    EXPECT_EQ(word->pixels[0], 0xFF0000u);
}

TEST(BitmapReaderTest, DecodesOneAndFourBitRows)
{
    // 1 bit: 10 pixels alternating; 4 bits: 3 pixels. Rows written by hand.
    auto one = makeBmp({1, 1, 8, {0, 0xFFFFFF}, {0}});
    one[28] = 1;
    one[54 + 8] = 0b10100000;  // pixel data after the two palette entries
    const auto bits = decode(one);
    ASSERT_TRUE(bits);
    EXPECT_EQ(bits->pixels[0], 0xFFFFFFu);
    auto four = makeBmp({1, 1, 8, {0x10, 0x20, 0x30}, {0}});
    four[28] = 4;
    four[54 + 12] = 0x21;
    const auto nibbles = decode(four);
    ASSERT_TRUE(nibbles);
    EXPECT_EQ(nibbles->pixels[0], 0x30u);
}

TEST(BitmapReaderTest, RefusesWhatIsNoWholeBitmap)
{
    auto good = makeBmp({4, 4, 24, {}, std::vector<uint32_t>(16, 1)});
    EXPECT_FALSE(decode(std::vector<uint8_t>(good.begin(), good.end() - 1)));
    auto huge = good;
    huge[21] = 0x7F;  // width near 2^31
    EXPECT_FALSE(decode(huge));
    auto compressed = good;
    compressed[30] = 1;
    EXPECT_FALSE(decode(compressed));
    auto zero = good;
    zero[22] = 0;
    EXPECT_FALSE(decode(zero));
    MemoryStream header(std::vector<uint8_t>(good.begin(), good.begin() + 54));
    const auto size = readBitmapHeader(header);
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, 4);
    EXPECT_EQ(size->height, 4);
    EXPECT_EQ(size->bitCount, 24u);
}

}  // namespace
