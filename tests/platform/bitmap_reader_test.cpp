// The bitmap reader serves only CGs drawn onto 8-bit palettes; here its bounds on damaged files.
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

TEST(BitmapReaderTest, DecodesTopDownAndRefusesWhatIsNoWholeBitmap)
{
    const auto good = makeBmp({2, 2, 24, {}, {0x010203, 0x040506, 0x070809, 0x0A0B0C}});
    EXPECT_EQ(decoded(good), (Pixels{0x010203, 0x040506, 0x070809, 0x0A0B0C}));
    EXPECT_EQ(decoded(std::vector<uint8_t>(good.begin(), good.end() - 1)), Pixels{});
    auto bad = good;
    setBmpWidth(bad, 0x7F000004);  // near 2^31
    EXPECT_EQ(decoded(bad), Pixels{});
    auto claimsMillions = makeBmp({1, 1, 24, {}, {0}});  // the headers alone, claiming 1 x 67,108,864
    claimsMillions.resize(54);
    setBmpHeight(claimsMillions, 67'108'864);
    EXPECT_EQ(decoded(claimsMillions), Pixels{});
}

}  // namespace
