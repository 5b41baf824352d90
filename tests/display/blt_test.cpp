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
        dest = std::make_unique<TDDDDSurface>(&dddd, 40, 20, 0);
        expected = std::make_unique<TDDDDSurface>(&dddd, 40, 20, 0);
        // Every source pixel distinct: column in the low byte, row above it.
        DDSURFACEDESC2 desc;
        source->DDSurface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 32; ++x) reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch)[x] = 0x010000 + y * 256 + x;
        source->DDSurface->Unlock(nullptr);
    }
    void expectBlt(Rect destRect, Rect sourceRect, uint32_t flags = DDBLT_WAIT)
    {
        ASSERT_EQ(expected->DDSurface->Blt(&destRect, source->DDSurface, &sourceRect, flags, nullptr), DD_OK);
    }
    std::unique_ptr<TDDDDSurface> source, dest, expected;
    DDBLTFX fx;
};

TEST_F(BltTest, ALeftClipTakesTheSourceStartTruncated)
{
    dest->UseClip = true;
    dest->ClipRect = {5, 0, 40, 20};
    EXPECT_EQ(dest->Blt(source.get(), {0, 0, 20, 4}, {0, 0, 10, 4}, DDBLT_WAIT, fx), DD_OK);
    expectBlt({5, 0, 20, 4}, {3, 0, 10, 4});  // 3 = 10 - 15 * 10 / 20
    EXPECT_EQ(pixels(*dest), pixels(*expected));
    EXPECT_EQ(dest->GetPixel(4, 0), 0u);
}

TEST_F(BltTest, ARightClipOfAReductionKeepsTheTruncatedSourceWidth)
{
    dest->UseClip = true;
    dest->ClipRect = {0, 0, 4, 20};
    dest->Blt(source.get(), {0, 0, 10, 2}, {0, 0, 30, 2}, DDBLT_WAIT, fx);
    expectBlt({0, 0, 4, 2}, {0, 0, 12, 2});  // (4 - 0) * 30 / 10
    EXPECT_EQ(pixels(*dest), pixels(*expected));
}

TEST_F(BltTest, BothEdgesClipFromTheOriginalEnds)
{
    dest->UseClip = true;
    dest->ClipRect = {2, 1, 7, 3};
    dest->Blt(source.get(), {0, 0, 9, 4}, {0, 0, 3, 4}, DDBLT_WAIT, fx);
    // x: right 7 gives s1 = 7 * 3 / 9 = 2; left from the original right: 3 - (9 - 2) * 3 / 9 = 1.
    // y: right 3 gives s1 = 3; left: 4 - (4 - 1) * 4 / 4 = 1.
    expectBlt({2, 1, 7, 3}, {1, 1, 2, 3});
    EXPECT_EQ(pixels(*dest), pixels(*expected));
}

TEST_F(BltTest, ReversedRectanglesAreNormalised)
{
    dest->Blt(source.get(), {6, 4, 0, 0}, {3, 2, 0, 0}, DDBLT_WAIT, fx);
    expectBlt({0, 0, 6, 4}, {0, 0, 3, 2});
    EXPECT_EQ(pixels(*dest), pixels(*expected));
}

TEST_F(BltTest, MirroringTakesTheClippedPartAboutTheWholeSource)
{
    dest->UseClip = true;
    dest->ClipRect = {3, 0, 40, 20};
    fx.dwDDFX = DDBLTFX_MIRRORLEFTRIGHT;
    dest->Blt(source.get(), {0, 0, 10, 2}, {0, 0, 10, 2}, DDBLT_WAIT, fx);
    expectBlt({3, 0, 10, 2}, {22, 0, 29, 2});  // clipped to 3..10, mirrored in a 32-wide source
    EXPECT_EQ(pixels(*dest), pixels(*expected));

    fx.dwDDFX = DDBLTFX_MIRRORUPDOWN;
    dest->Blt(source.get(), {0, 5, 3, 7}, {0, 0, 3, 2}, DDBLT_WAIT, fx);
    expectBlt({3, 5, 3, 7}, {3, 14, 3, 16});  // nothing left in x, but y shows the mirrored rows
    fx.dwDDFX = DDBLTFX_MIRRORLEFTRIGHT | DDBLTFX_MIRRORUPDOWN;  // neither value alone: no mirroring
    dest->Blt(source.get(), {3, 8, 6, 9}, {0, 0, 3, 1}, DDBLT_WAIT, fx);
    expectBlt({3, 8, 6, 9}, {0, 0, 3, 1});
    EXPECT_EQ(pixels(*dest), pixels(*expected));
}

TEST_F(BltTest, TouchingTheClipEdgeStillReachesThePlatform)
{
    dest->UseClip = true;
    dest->ClipRect = {10, 0, 40, 20};
    DDFaultInjection::failCall(DDCall::Blt, DDERR_GENERIC);
    EXPECT_EQ(dest->Blt(source.get(), {0, 0, 9, 4}, {0, 0, 9, 4}, DDBLT_WAIT, fx), DD_OK);  // misses: not passed on
    EXPECT_EQ(dest->Blt(source.get(), {0, 0, 10, 4}, {0, 0, 10, 4}, DDBLT_WAIT, fx), DDERR_GENERIC);  // touches
}

TEST_F(BltTest, KeyedCopiesLeaveKeyPixelsOut)
{
    source->SetColorKey(0x010005);  // row 0, column 5
    dest->Blt(source.get(), {0, 0, 8, 1}, {0, 0, 8, 1}, DDBLT_WAIT | DDBLT_KEYSRC, fx);
    EXPECT_EQ(dest->GetPixel(4, 0), 0x010004u);
    EXPECT_EQ(dest->GetPixel(5, 0), 0u);
    dest->Blt(source.get(), {10, 0, 26, 2}, {0, 0, 8, 1}, DDBLT_WAIT | DDBLT_KEYSRC, fx);  // keyed stretch
    EXPECT_EQ(dest->GetPixel(20, 1), 0u);
    EXPECT_EQ(dest->GetPixel(21, 1), 0u);
    EXPECT_EQ(dest->GetPixel(22, 1), 0x010006u);
    dest->BltFast(source.get(), 0, 5, {0, 0, 8, 1}, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT);
    EXPECT_EQ(dest->GetPixel(5, 5), 0u);
    EXPECT_EQ(dest->GetPixel(6, 5), 0x010006u);
    dest->BltFast(source.get(), 0, 6, {0, 0, 8, 1}, DDBLTFAST_WAIT);
    EXPECT_EQ(dest->GetPixel(5, 6), 0x010005u);
}

TEST_F(BltTest, BltFastLeftOfTheClipShiftsToTheEdge)
{
    dest->UseClip = true;
    dest->ClipRect = {10, 2, 40, 20};
    EXPECT_EQ(dest->BltFast(source.get(), 4, 0, {0, 0, 20, 5}, DDBLTFAST_WAIT), DD_OK);
    expectBlt({10, 2, 24, 5}, {6, 2, 20, 5});
    EXPECT_EQ(pixels(*dest), pixels(*expected));
}

TEST_F(BltTest, BltFastPastTheRightAndMissingTheClip)
{
    dest->UseClip = true;
    dest->ClipRect = {0, 0, 30, 20};
    dest->BltFast(source.get(), 25, 1, {2, 0, 12, 3}, DDBLTFAST_WAIT);
    expectBlt({25, 1, 30, 4}, {2, 0, 7, 3});
    EXPECT_EQ(pixels(*dest), pixels(*expected));
    DDFaultInjection::failCall(DDCall::BltFast, DDERR_GENERIC);
    EXPECT_EQ(dest->BltFast(source.get(), 31, 0, {0, 0, 4, 4}, DDBLTFAST_WAIT), DD_OK);   // wholly outside
    EXPECT_EQ(dest->BltFast(source.get(), 30, 0, {0, 0, 4, 4}, DDBLTFAST_WAIT), DDERR_GENERIC);  // touching
}

TEST_F(BltTest, ColourFillNeedsNoSource)
{
    fx.dwFillColor = 0x123456;
    dest->Blt(nullptr, {1, 1, 3, 2}, {}, DDBLT_COLORFILL | DDBLT_WAIT, fx);
    EXPECT_EQ(dest->GetPixel(2, 1), 0x123456u);
    EXPECT_EQ(dest->GetPixel(3, 1), 0u);
}

TEST_F(BltTest, ThePrimarySurfaceLeavesClippingToThePlatform)
{
    dest->UseClip = true;
    dest->ClipRect = {0, 0, 10, 10};
    const Rect partlyOutside{-5, 0, 5, 4};
    EXPECT_EQ(dest->Blt(source.get(), partlyOutside, {0, 0, 10, 4}, DDBLT_WAIT, fx), DD_OK);
    dddd.Primary = std::make_unique<TDDDDGenSurface>(&dddd, dest->DDSurface, dest->Width, dest->Height);
    dddd.Primary->UseClip = true;
    dddd.Primary->ClipRect = {0, 0, 10, 10};
    EXPECT_EQ(dddd.Primary->Blt(source.get(), partlyOutside, {0, 0, 10, 4}, DDBLT_WAIT, fx), DDERR_INVALIDRECT);
    dddd.Primary->DDSurface = nullptr;
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
