#include "app/software_display.h"

#include <gtest/gtest.h>

namespace {

TEST(SoftwareDisplay, ThirtyTwoBitSurfacesAndNoHaltOnError)
{
    setScreenPixelFormat(pixelFormatRgb565());
    SoftwareDisplay display;
    TDDDD& dddd = display.dddd();
    EXPECT_EQ(dddd.DebugOption(), TDDDDDebugOptions{});
    ASSERT_TRUE(dddd.BackBuffer);
    EXPECT_EQ(dddd.BackBuffer->Width, 640);
    EXPECT_EQ(dddd.DisplayBitDepth(), 32);

    TDDDDGenSurface& target = display.makeBackBuffer(9, 271);
    EXPECT_EQ(&target, dddd.BackBuffer.get());
    EXPECT_EQ(target.DDSurface->width(), 9);
    EXPECT_EQ(target.DDSurface->height(), 271);
    EXPECT_EQ(target.DDSurface->pixelFormat().dwRGBBitCount, 32u);
    EXPECT_EQ(target.MakeColor(0, 0x12, 0x34, 0x56), 0x123456u);

    TDDDDSurface cell(&dddd, 4, 4, 0);
    EXPECT_EQ(cell.DDSurface->pixelFormat().dwRBitMask, 0xFF0000u);
}

}  // namespace
