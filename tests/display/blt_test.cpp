// Copies between display surfaces: clipping and fills.
#include "support/display_fixture.h"

namespace {

// Copies onto a destination surface, checked against the platform blitter given
// the rectangles the clipping must arrive at.
class BltTest : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        source = std::make_unique<TDDDDSurface>(&dddd, 32, 16, 0xFFFFFFFF);
        // Every source pixel distinct: column in the low byte, row above it.
        DDSURFACEDESC2 desc;
        source->DDSurface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 32; ++x)
                reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch)[x] =
                    0x010000 + y * 256 + x;
        source->DDSurface->Unlock(nullptr);
        clear();
    }
    // Fresh, black destination and expectation; the destination clipped to clip.
    void clear(Rect clip = {0, 0, 40, 20}, int32_t width = 40, int32_t height = 20)
    {
        dest = std::make_unique<TDDDDSurface>(&dddd, width, height, 0);
        expected = std::make_unique<TDDDDSurface>(&dddd, width, height, 0);
        dest->UseClip = true;
        dest->ClipRect = clip;
    }
    std::unique_ptr<TDDDDSurface> source, dest, expected;
    DDBLTFX fx;
};

TEST_F(BltTest, CopiesAreClippedWithTheSourceFollowing)
{
    // fast: BltFast at dest.left, dest.top.
    // clang-format off
    const struct { Rect clip; bool fast; Rect dest, source, platformDest, platformSource; } cases[] = {
        {{5, 0, 40, 20}, false, {0, 0, 20, 4}, {0, 0, 10, 4}, {5, 0, 20, 4}, {3, 0, 10, 4}},  // 3 = 10 - 15 * 10 / 20, truncated
        {{0, 0, 4, 20}, false, {0, 0, 10, 2}, {0, 0, 30, 2}, {0, 0, 4, 2}, {0, 0, 12, 2}},  // a reduction: (4 - 0) * 30 / 10
        // Both edges from the original ends. x: s1 = 7 * 3 / 9 = 2, s0 = 3 - (9 - 2) * 3 / 9 = 1;
        // y: s1 = 3, s0 = 4 - (4 - 1) * 4 / 4 = 1.
        {{2, 1, 7, 3}, false, {0, 0, 9, 4}, {0, 0, 3, 4}, {2, 1, 7, 3}, {1, 1, 2, 3}},
        {{0, 0, 40, 20}, false, {6, 4, 0, 0}, {3, 2, 0, 0}, {0, 0, 6, 4}, {0, 0, 3, 2}},  // reversed rectangles are normalised
        {{0, 0, 60, 30}, false, {30, 10, 50, 30}, {0, 0, 20, 20}, {30, 10, 40, 20}, {0, 0, 10, 10}},  // the clip stays on the surface
        {{10, 2, 40, 20}, true, {4, 0}, {0, 0, 20, 5}, {10, 2, 24, 5}, {6, 2, 20, 5}},  // left of the clip: shifted to its edge
        {{0, 0, 30, 20}, true, {25, 1}, {2, 0, 12, 3}, {25, 1, 30, 4}, {2, 0, 7, 3}},  // past the right
        // clang-format on
    };
    for (const auto& c : cases) {
        clear(c.clip);
        EXPECT_EQ(c.fast ? dest->BltFast(source.get(), c.dest.left, c.dest.top, c.source, DDBLTFAST_WAIT)
                         : dest->Blt(source.get(), c.dest, c.source, DDBLT_WAIT, fx),
                  DD_OK);
        ASSERT_EQ(
            expected->DDSurface->Blt(&c.platformDest, source->DDSurface.get(), &c.platformSource, DDBLT_WAIT, nullptr),
            DD_OK);
        EXPECT_EQ(pixels(*dest), pixels(*expected)) << c.platformDest.left << "," << c.platformDest.top;
    }
}

TEST_F(BltTest, OnlyCopiesThatKeepSomethingReachThePlatform)
{
    // clang-format off
    const struct { Rect clip; bool fast; Rect dest, source; bool reaches; } cases[] = {
        {{10, 0, 30, 20}, false, {0, 0, 9, 4}, {0, 0, 9, 4}, false},  // misses the clip
        {{10, 0, 30, 20}, false, {0, 0, 10, 4}, {0, 0, 10, 4}, true},  // touches it: zero width
        {{10, 0, 30, 20}, true, {31, 0}, {0, 0, 4, 4}, false},
        {{10, 0, 30, 20}, true, {30, 0}, {0, 0, 4, 4}, true},
        // Clips wholly outside the 39 x 11 surface come out inverted: nothing to draw.
        {{35, 17, 38, 21}, false, {23, 6, 49, 28}, {0, 0, 26, 10}, false},
        {{35, 17, 38, 21}, true, {23, 6}, {0, 0, 26, 10}, false},
        // A clip of zero width inside a 3:1 reduction would take the source (2, 1): inverted.
        {{4, 0, 4, 11}, false, {0, 0, 9, 4}, {0, 0, 3, 4}, false},
        // clang-format on
    };
    for (const auto& c : cases) {
        clear(c.clip, 39, 11);
        DDFaultInjection::reset();
        DDFaultInjection::failCall(c.fast ? DDCall::BltFast : DDCall::Blt, DDERR_GENERIC);
        const HRESULT result = c.fast ? dest->BltFast(source.get(), c.dest.left, c.dest.top, c.source, DDBLTFAST_WAIT)
                                      : dest->Blt(source.get(), c.dest, c.source, DDBLT_WAIT, fx);
        EXPECT_EQ(result, c.reaches ? DDERR_GENERIC : DD_OK)
            << c.clip.left << "," << c.clip.top << (c.fast ? " fast" : "");
    }
}

// Keyed copies are checked where the character is drawn.
TEST_F(BltTest, FillsNeedNoSource)
{
    fx.dwFillColor = 0x123456;
    dest->Blt(nullptr, {1, 10, 3, 11}, {}, DDBLT_COLORFILL | DDBLT_WAIT, fx);
    EXPECT_EQ(dest->GetPixel(2, 10), 0x123456u);
    EXPECT_EQ(dest->GetPixel(3, 10), 0u);
}

TEST_F(BltTest, ThePrimarySurfaceLeavesClippingToThePlatform)
{
    const Rect partlyOutside{-5, 0, 5, 4};
    EXPECT_EQ(dest->Blt(source.get(), partlyOutside, {0, 0, 10, 4}, DDBLT_WAIT, fx), DD_OK);
    dddd.Primary = std::make_unique<TDDDDGenSurface>(&dddd, dest->DDSurface, dest->Width, dest->Height);
    dddd.Primary->UseClip = true;
    EXPECT_EQ(dddd.Primary->Blt(source.get(), partlyOutside, {0, 0, 10, 4}, DDBLT_WAIT, fx), DDERR_INVALIDRECT);
    dddd.Primary.reset();
}

TEST_F(BltTest, ExtremeRectanglesNeitherOverflowNorReachOutside)
{
    const int32_t big = INT32_MAX, small = INT32_MIN;
    EXPECT_NE(dest->Blt(source.get(), {small, small, big, big}, {small, small, big, big}, DDBLT_WAIT, fx), DD_OK);
    EXPECT_EQ(dest->Blt(source.get(), {big - 1, 0, big, 1}, {0, 0, 1, 1}, DDBLT_WAIT, fx), DD_OK);
    EXPECT_NE(dest->BltFast(source.get(), small, small, {small, small, big, big}, DDBLTFAST_WAIT), DD_OK);
    EXPECT_EQ(pixels(*dest), std::vector<uint32_t>(40 * 20, 0));
}

}  // namespace
