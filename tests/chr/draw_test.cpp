// Drawing a frame: the background, the character cell and the layer cell, pixel by pixel.
#include "support/engine_fixture.h"

namespace {

constexpr uint32_t Blue = 0x0000FF, Red = 0xFF0000, Green = 0x00FF00, White = 0xFFFFFF, Black = 0;

// The CG, 40 x 20: the left 10 columns are the blue background; a 4 x 4 red cell at
// (10, 0) whose top-left pixel is green, the key; a 2 x 2 white cell at (20, 0); the
// bottom-right pixel, which keys the CG, is green. Patterns: 1 the background, 2 the red
// cell, 3 the white cell, 4 and 5 placements of 8 x 8 at (3, 2) and (16, 8) of the view.
// The view is 20 wide, drawn at (2, 1) on a black target.
class DrawTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        writeCg("cg.bmp", 40, 20, [](int x, int y) {
            if ((x == 39 && y == 19) || (x == 10 && y == 0)) return Green;
            if (x < 10) return Blue;
            if (x < 14 && y < 4) return Red;
            return x >= 20 && x < 22 && y < 2 ? White : Black;
        });
        target = std::make_unique<TDDDDSurface>(&dddd, 24, 280, 0);
    }
    void play(const std::string& lines, int anime = 1)
    {
        loadDefinition("#SIZE 20\n#CHARBMP cg.bmp\n#1 0 0 10 20\n#2 10 0 4 4\n#3 20 0 2 2\n#4 3 2 8 8\n#5 16 8 8 8\n" +
                       lines);
        chr->start(anime);
        redraw();
    }
    void redraw()
    {
        const DDBLTFX black;
        target->DDSurface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &black);
        chr->draw(*target, 2, 1);
    }
    uint32_t at(int x, int y) { return target->GetPixel(x, y); }
    std::unique_ptr<TDDDDSurface> target;
};

TEST_F(DrawTest, TheBackgroundTheCellAndTheLayer)
{
    struct Pixel {
        int x, y;
        uint32_t colour;
    };
    // The cell's key pixel shows the background; (21, 271) is the view's last pixel. A cut
    // placement, (18, 9)-(26, 17) against the view's edge 22, keeps two source columns.
    // clang-format off
    const struct { const char* name; const char* lines; std::vector<Pixel> pixels; } cases[] = {
        {"point copy at the corner, the single destination unused", "#PATERN 01 02 04\n", {{2, 1, Blue}, {3, 1, Red}, {5, 4, Red}, {6, 1, Blue}, {21, 271, Blue}, {1, 1, Black}, {22, 1, Black}, {2, 0, Black}, {2, 272, Black}}},
        {"stretched into the destination, the key kept out", "#PATERN 01 0202 0404\n", {{5, 3, Blue}, {6, 4, Blue}, {7, 3, Red}, {12, 10, Red}, {13, 3, Blue}, {3, 1, Blue}}},
        {"cut in proportion", "#PATERN 01 0202 0505\n", {{18, 9, Blue}, {19, 10, Blue}, {20, 9, Red}, {21, 16, Red}, {22, 9, Black}}},
        {"layer over the cell", "#PATERN 01 02\n#LAYER 01 03 04\n", {{3, 1, Red}, {5, 3, White}, {12, 10, White}, {13, 10, Blue}}},
        {"view wider than the target", "#SIZE 100\n#PATERN 01 02\n", {{23, 1, Blue}, {3, 1, Red}}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        play(c.lines);
        for (const Pixel& p : c.pixels) EXPECT_EQ(at(p.x, p.y), p.colour) << p.x << "," << p.y;
        EXPECT_FALSE(target->UseClip);
    }
}

// Before any load nothing visible is drawn; after, missing entries draw only what there is.
TEST_F(DrawTest, MissingEntriesDrawOnlyWhatThereIs)
{
    chr->anime = 0;
    chr->draw(*target, 0, 0);
    for (int y = 0; y < 280; y += 7)
        for (int x = 0; x < 24; ++x) ASSERT_EQ(at(x, y), Black);
    play("#PATERN 09 02\n#LAYER 09 0303 0404\n", 9);
    EXPECT_EQ(at(3, 1), Red);
    for (int32_t frame : {2, 600, -1, 0}) {  // 2: the pattern list has ended, the layer has not
        chr->frame = frame;
        redraw();
        EXPECT_EQ(at(3, 1), Blue) << frame;
        EXPECT_EQ(at(5, 3), frame == 2 ? White : Blue) << frame;
    }
    chr->patsrc[9][1] = 7;  // a pattern no line defines: an empty rectangle
    chr->frame = 1;
    chr->draw(*target, 2, 1);
    EXPECT_EQ(at(3, 1), Blue);
}

}  // namespace
