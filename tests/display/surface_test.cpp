// Display surfaces: creation failures, pixels, the surface list, and restoring their pictures.
#include "support/bmp_writer.h"
#include "support/display_fixture.h"

namespace {

using SurfaceTest = DisplayTest;

uint32_t capsOf(TDDDDGenSurface& surface)
{
    DDSCAPS2 caps;
    surface.DDSurface->GetCaps(&caps);
    return caps.dwCaps;
}

TEST_F(SurfaceTest, ARefusedSurfaceIsRetriedInSystemMemoryAndASecondRefusalLeavesNoSurface)
{
    dddd.setDebugOption({ddoDebugMessage});
    DDFaultInjection::failCall(DDCall::CreateSurface, DDERR_OUTOFMEMORY);
    TDDDDSurface retried(&dddd, 8, 8, 0);
    EXPECT_EQ(capsOf(retried) & (DDSCAPS_VIDEOMEMORY | DDSCAPS_SYSTEMMEMORY), DDSCAPS_SYSTEMMEMORY);
    DDFaultInjection::failCall(DDCall::CreateSurface, DDERR_OUTOFMEMORY);
    DDFaultInjection::failCall(DDCall::CreateSurface, DDERR_OUTOFMEMORY, 1);
    TDDDDSurface failed(&dddd, 8, 8, 0);
    EXPECT_EQ(failed.DDSurface, nullptr);
    EXPECT_EQ(failed.GetPixel(0, 0), 0u);
    // The retry that worked logged nothing.
    EXPECT_EQ(logMessages(), std::vector<std::string>{"サーフェスを作れませんでした(Error Code(8007000E))"});
}

TEST_F(SurfaceTest, GetPixelReadsLittleEndianAndRefusesOutside)
{
    setScreenPixelFormat(pixelFormatRgb888());
    TDDDDSurface surface(&dddd, 3, 2, 0);
    DDBLTFX fill;
    fill.dwFillColor = 0xABCDEF;
    const Rect last{2, 1, 3, 2};
    surface.DDSurface->Blt(&last, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill);
    startNewLog();
    EXPECT_EQ(surface.GetPixel(2, 1), 0xABCDEFu);
    EXPECT_EQ(surface.GetPixel(0, 0), 0u);
    for (auto [x, y] : {std::pair{3, 0}, {0, 2}, {-1, 0}, {0, -1}}) surface.GetPixel(x, y);
    EXPECT_EQ(logMessages(), std::vector<std::string>(4, "サーフェス外のピクセルを参照しようとしました"));
    DDFaultInjection::failCall(DDCall::Lock, DDERR_SURFACEBUSY);
    EXPECT_EQ(surface.GetPixel(2, 1), 0u);
    EXPECT_EQ(surface.GetPixel(2, 1), 0xABCDEFu);  // the refused lock left nothing held
    TDDDDGenSurface wrapper(&dddd, surface.DDSurface, 640, 480);  // a wrapper may claim more than the surface has
    EXPECT_EQ(wrapper.GetPixel(639, 479), 0u);
}

// Registering again moves a surface's one keeper to the end; unregistering lets its platform surface go, once.
TEST_F(SurfaceTest, ASurfaceHasOneKeeperAtTheEndOfTheList)
{
    TDDDDSurface first(&dddd, 4, 4, 0);
    TDDDDSurface second(&dddd, 4, 4, 0);
    dddd.RegisterSurface(&first);
    ASSERT_EQ(dddd.SurfaceList.size(), 2u);
    EXPECT_EQ(dddd.SurfaceList[1]->Surface, &first);
    dddd.UnregisterSurface(&second);
    dddd.UnregisterSurface(&second);  // no longer listed: nothing happens
    EXPECT_EQ(second.DDSurface, nullptr);
    EXPECT_EQ(dddd.SurfaceList.size(), 1u);
}

// Lost pictures come back from their file; blank surfaces are made again.
TEST_F(SurfaceTest, RestoreReloadsThePicturesOfTheirSurfaces)
{
    const std::vector<uint8_t> bitmap = makeBmp({2, 1, 24, {}, {0x102030, 0x405060}});
    TDDDDSurface fromFile(&dddd, 2, 1, 7), blank(&dddd, 2, 1, 0), intact(&dddd, 2, 1, 0);
    fromFile.LoadBMP(scratch.write("cg.bmp", bitmap).string());
    intact.LoadBMP((folder / "cg.bmp").string());
    for (TDDDDSurface* surface : {&fromFile, &blank}) surface->DDSurface->markLost();
    dddd.RestoreAllSurfaces();
    for (TDDDDSurface* surface : {&fromFile, &blank}) EXPECT_FALSE(surface->IsLost());
    EXPECT_EQ(fromFile.GetPixel(1, 0), 0x405060u);
    EXPECT_EQ(intact.GetPixel(1, 0), 0x405060u);
}

}  // namespace
