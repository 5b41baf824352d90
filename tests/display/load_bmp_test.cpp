// LoadBMP: every depth into every surface format, broken and lying files, platform failures.
#include "support/bmp_writer.h"
#include "support/display_fixture.h"

namespace {

class LoadBmpTest : public DisplayTest {
protected:
    // A surface of the given format and size, every pixel filled with 0x777777.
    std::unique_ptr<TDDDDSurface> surface(const DDPIXELFORMAT& format, int32_t width, int32_t height)
    {
        setScreenPixelFormat(format);
        auto made = std::make_unique<TDDDDSurface>(&dddd, width, height, 0);
        DDBLTFX fx;
        fx.dwFillColor = 0x777777;
        made->DDSurface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx);
        return made;
    }
    void load(TDDDDGenSurface& target, const std::vector<uint8_t>& bytes)
    {
        MemoryStream stream(bytes);
        target.LoadBMP(stream);
    }
};

TEST_F(LoadBmpTest, EveryDepthConvertsIntoEveryFormatWithRowsBottomUp)
{
    const BitmapPicture argb32{2, 1, 32, {}, {0x80112233, 0x00445566}};
    const struct {
        const char* name;
        DDPIXELFORMAT format;
        int32_t width, height;
        BitmapPicture file;
        std::vector<uint32_t> pixels;
    } cases[] = {
        // clang-format off
        {"24 to 5-6-5", pixelFormatRgb565(), 2, 2, {2, 2, 24, {}, {0xFF0000, 0x00FF00, 0x0000FF, 0x808080}}, {0xF800, 0x07E0, 0x001F, 0x8410}},
        {"32, one row fills the bottom", pixelFormatXrgb8888(), 2, 2, argb32, {0x777777, 0x777777, 0x112233, 0x445566}},
        {"32 keeps its alpha", pixelFormatArgb8888(), 2, 1, argb32, {0x80112233, 0x00445566}},
        {"24 is opaque; four converted together, one alone", pixelFormatArgb8888(), 5, 1, {5, 1, 24, {}, {0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F}}, {0xFF010203, 0xFF040506, 0xFF070809, 0xFF0A0B0C, 0xFF0D0E0F}},
        {"16 is 5-5-5 with an alpha bit", pixelFormatArgb8888(), 3, 1, {3, 1, 16, {}, {0xFC00, 0x03E0, 0x001F}}, {0xFFFF0000, 0x0000FF00, 0x000000FF}},
        {"8 through its palette", pixelFormatXrgb8888(), 3, 1, {3, 1, 8, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}, {3, 1, 2}}, {0x0000FF, 0xFF0000, 0x00FF00}},
        // Two entries, then the pixel bytes 1, 0 and padding: entry 2 is read from those.
        {"a short palette", pixelFormatXrgb8888(), 2, 1, {2, 1, 8, {0x000010, 0x000020}, {1, 0}}, {0x000020, 0x000010}},
        {"negative height lands upside down", pixelFormatXrgb8888(), 1, 2, {1, -2, 24, {}, {0x111111, 0x222222}}, {0x222222, 0x111111}},
        {"a larger file: its bottom-left", pixelFormatXrgb8888(), 1, 1, {3, 2, 24, {}, {1, 2, 3, 4, 5, 6}}, {4}},
        {"a smaller file fills what both hold", pixelFormatXrgb8888(), 4, 1, {2, 1, 24, {}, {1, 2}}, {1, 2, 0x777777, 0x777777}},
        // clang-format on
    };
    for (const auto& c : cases) {
        auto target = surface(c.format, c.width, c.height);
        load(*target, makeBmp(c.file));
        EXPECT_EQ(pixels(*target), c.pixels) << c.name;
    }
}

TEST_F(LoadBmpTest, BrokenHeadersAreLoggedAndLeaveTheSurface)
{
    auto target = surface(pixelFormatXrgb8888(), 2, 2);
    dddd.setDebugOption({ddoDebugMessage});
    startNewLog();
    auto valid = makeBmp({2, 2, 24, {}, {1, 2, 3, 4}});
    load(*target, std::vector<uint8_t>(valid.begin(), valid.begin() + 10));
    auto bad = valid;
    setBmpField(bad, 0, 'P', 1);
    load(*target, bad);
    load(*target, std::vector<uint8_t>(valid.begin(), valid.begin() + 40));
    bad = valid;
    setBmpBitCount(bad, 4);
    load(*target, bad);
    target->LoadBMP((folder / "missing.bmp").string());
    EXPECT_EQ(logMessages(),
              (std::vector<std::string>{
                  "ビットマップの読みこみ中に、エラーが発生しました", "不正なBMPファイルです",
                  "LoadBMP中に、読み込みエラーが発生しました",
                  "色数が8ビット～32ビットの範囲のビットマップを、LoadBMPには指定してください(Error Code(1))",
                  (folder / "missing.bmp").string() + "が、見つかりません"}));
    EXPECT_EQ(pixels(*target), std::vector<uint32_t>(4, 0x777777));
}

TEST_F(LoadBmpTest, TruncatedAndLyingFilesStayInBounds)
{
    auto target = surface(pixelFormatXrgb8888(), 4, 4);
    auto valid = makeBmp({4, 4, 24, {}, std::vector<uint32_t>(16, 0x123456)});
    // Cut inside the pixel rows: the missing rows keep what the row buffer last held.
    load(*target, std::vector<uint8_t>(valid.begin(), valid.end() - 20));
    EXPECT_EQ(pixels(*target), std::vector<uint32_t>(16, 0x123456));
    // A pixel offset past the end reads nothing: zero rows.
    auto lying = valid;
    setBmpPixelOffset(lying, 0xFFFFFF);
    load(*target, lying);
    EXPECT_EQ(pixels(*target), std::vector<uint32_t>(16, 0));
    // Negative, zero and huge sizes allocate nothing large and write nothing outside;
    // with no pixels to convert, nothing at all.
    for (auto [width, height] : {std::pair{INT32_MIN, 4}, {0, 4}, {4, 0}}) {
        lying = valid;
        setBmpWidth(lying, width);
        setBmpHeight(lying, height);
        load(*target, lying);
    }
    EXPECT_EQ(pixels(*target), std::vector<uint32_t>(16, 0));
    lying = valid;
    setBmpWidth(lying, INT32_MAX);
    load(*target, lying);
    EXPECT_EQ(pixels(*target), std::vector<uint32_t>(16, 0x123456));
    // Narrower than the surface and holding only its bottom row: the rows above repeat
    // it in the file's two columns; the others keep what they had.
    auto wide = surface(pixelFormatXrgb8888(), 4, 3);
    const auto narrow = makeBmp({2, 3, 24, {}, {1, 2, 3, 4, 5, 6}});
    load(*wide, std::vector<uint8_t>(narrow.begin(), narrow.end() - 16));
    EXPECT_EQ(pixels(*wide),
              (std::vector<uint32_t>{5, 6, 0x777777, 0x777777, 5, 6, 0x777777, 0x777777, 5, 6, 0x777777, 0x777777}));
}

// A surface lost while the window is away is left alone until the window restores it.
TEST_F(LoadBmpTest, ALostSurfaceIsLeftAlone)
{
    dddd.setDebugOption({ddoDebugMessage});
    auto target = surface(pixelFormatXrgb8888(), 1, 1);
    target->DDSurface->markLost();
    load(*target, makeBmp({1, 1, 24, {}, {0x040506}}));
    EXPECT_TRUE(target->IsLost());
    EXPECT_EQ(logMessages(), std::vector<std::string>{});  // without a word
}

}  // namespace
