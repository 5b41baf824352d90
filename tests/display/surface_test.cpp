// Display surfaces: placement, creation failures, pixels, the surface
// list, and restoring their pictures.
#include "support/bmp_writer.h"
#include "support/display_fixture.h"
#include "support/qda_writer.h"

namespace {

using SurfaceTest = DisplayTest;

uint32_t capsOf(TDDDDGenSurface& surface)
{
    DDSCAPS2 caps;
    surface.DDSurface->GetCaps(&caps);
    return caps.dwCaps;
}

// The window's placement, beside the back buffer; the others follow their location the same way.
TEST_F(SurfaceTest, PlacementFollowsTheBackBuffer)
{
    for (uint32_t memory : {DDSCAPS_VIDEOMEMORY, DDSCAPS_SYSTEMMEMORY}) {
        makeBackBuffer(memory);
        TDDDDSurface surface(&dddd, 8, 8, 0);
        EXPECT_EQ(capsOf(surface) & (DDSCAPS_VIDEOMEMORY | DDSCAPS_SYSTEMMEMORY), memory);
    }
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

TEST_F(SurfaceTest, ASurfaceGetsItsKeyAndClipAndOneKeeperAtTheEndOfTheList)
{
    TDDDDSurface first(&dddd, 128, 192, 64);
    TDDDDSurface second(&dddd, 4, 4, 0);
    DDCOLORKEY key;
    ASSERT_EQ(first.DDSurface->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    EXPECT_EQ(key.dwColorSpaceLowValue, 64u);
    EXPECT_EQ(first.ClipRect, (Rect{0, 0, 128, 192}));
    dddd.RegisterSurface(&first);
    ASSERT_EQ(dddd.SurfaceList.size(), 2u);
    EXPECT_EQ(dddd.SurfaceList[0]->Surface, &second);
    EXPECT_EQ(dddd.SurfaceList[1]->Surface, &first);
    TDDDDSurface stranger(&dddd, 4, 4, 0);
    dddd.UnregisterSurface(&stranger);
    dddd.UnregisterSurface(&stranger);  // no longer listed: nothing happens
    EXPECT_EQ(stranger.DDSurface, nullptr);  // the list let its platform surface go
}

// Lost pictures come back from their file or archive item.
TEST_F(SurfaceTest, RestoreReloadsThePicturesOfTheirSurfaces)
{
    const std::vector<uint8_t> bitmap = makeBmp({2, 1, 24, {}, {0x102030, 0x405060}});
    TDDDDSurface fromFile(&dddd, 2, 1, 7), fromArchive(&dddd, 2, 1, 0), blank(&dddd, 2, 1, 0), intact(&dddd, 2, 1, 0);
    fromFile.LoadBMP(writeFile("cg.bmp", bitmap));
    fromArchive.LoadBMP(writeFile("data.qda", makePlainQda({{"CHARA", bitmap}})), "chara");
    intact.LoadBMP((folder / "cg.bmp").string());
    for (TDDDDSurface* surface : {&fromFile, &fromArchive, &blank}) surface->DDSurface->markLost();
    dddd.RestoreAllSurfaces();
    for (TDDDDSurface* surface : {&fromFile, &fromArchive, &blank}) EXPECT_FALSE(surface->IsLost());
    EXPECT_EQ(fromFile.GetPixel(1, 0), 0x405060u);
    EXPECT_EQ(fromArchive.GetPixel(0, 0), 0x102030u);
    EXPECT_EQ(intact.GetPixel(1, 0), 0x405060u);
}

}  // namespace
