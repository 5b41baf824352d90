#include "platform/bitmap_reader.h"

#include "support/bmp_writer.h"

#include <gtest/gtest.h>

namespace {

using Pixels = std::vector<uint32_t>;

// The pixels of a file, none when it is refused.
Pixels decoded(const std::vector<uint8_t>& bytes)
{
    MemoryStream stream(bytes);
    const auto bitmap = readBitmap(stream);
    return bitmap ? bitmap->pixels : Pixels{};
}

TEST(BitmapReaderTest, DecodesEveryDepthTopDown)
{
    EXPECT_EQ(decoded(makeBmp({2, 2, 24, {}, {0x010203, 0x040506, 0x070809, 0x0A0B0C}})),
              (Pixels{0x010203, 0x040506, 0x070809, 0x0A0B0C}));
    EXPECT_EQ(decoded(makeBmp({1, -2, 8, {0x112233, 0x445566}, {1, 0}})), (Pixels{0x445566, 0x112233}));
    EXPECT_EQ(decoded(makeBmp({1, 1, 16, {}, {0x7C00}})), (Pixels{0xFF0000}));
    // 1 and 4 bits: the row of a 3-pixel, 8-bit file written over by hand.
    auto packed = makeBmp({3, 1, 8, {0, 0xFFFFFF, 0x30}, {0, 0, 0}});
    setBmpBitCount(packed, 1);
    packed[54 + 12] = 0b10100000;  // after the three palette entries
    EXPECT_EQ(decoded(packed), (Pixels{0xFFFFFF, 0, 0xFFFFFF}));
    setBmpBitCount(packed, 4);
    packed[54 + 12] = 0x21;
    packed[54 + 13] = 0x02;
    EXPECT_EQ(decoded(packed), (Pixels{0x30, 0xFFFFFF, 0}));
}

TEST(BitmapReaderTest, RefusesWhatIsNoWholeBitmapAndReadsTheHeaderAlone)
{
    const auto good = makeBmp({4, 4, 24, {}, Pixels(16, 1)});
    EXPECT_EQ(decoded(std::vector<uint8_t>(good.begin(), good.end() - 1)), Pixels{});
    auto bad = good;
    setBmpWidth(bad, 0x7F000004);  // near 2^31
    EXPECT_EQ(decoded(bad), Pixels{});
    bad = good;
    setBmpCompression(bad, 1);
    EXPECT_EQ(decoded(bad), Pixels{});
    bad = good;
    setBmpHeight(bad, 0);
    EXPECT_EQ(decoded(bad), Pixels{});
    auto claimsMillions = makeBmp({1, 1, 24, {}, {0}});  // the headers alone, claiming 1 x 67,108,864
    claimsMillions.resize(54);
    setBmpHeight(claimsMillions, 67'108'864);
    EXPECT_EQ(decoded(claimsMillions), Pixels{});
    const auto topDown = makeBmp({1, -2, 8, {0x112233}, {0, 0}});
    MemoryStream header(std::vector<uint8_t>(topDown.begin(), topDown.begin() + 54));
    const auto size = readBitmapHeader(header);
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, 1);
    EXPECT_EQ(size->height, 2);  // rows counted up
    EXPECT_EQ(size->bitCount, 8u);
}

}  // namespace
