#include "platform/ddraw.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class DDrawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DDFaultInjection::reset();
        ASSERT_EQ(DirectDrawCreateEx(nullptr, &device, nullptr, nullptr), DD_OK);
    }
    void TearDown() override
    {
        for (auto* s : made) s->Release();
        device->Release();
        DDFaultInjection::reset();
    }
    // A request for a plain off-screen surface in the screen's format.
    static DDSURFACEDESC2 plainRequest(uint32_t width, uint32_t height)
    {
        DDSURFACEDESC2 desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = width;
        desc.dwHeight = height;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        return desc;
    }
    IDirectDrawSurface7* create(const DDPIXELFORMAT& format, uint32_t width, uint32_t height, uint32_t memory = DDSCAPS_SYSTEMMEMORY)
    {
        DDSURFACEDESC2 desc = plainRequest(width, height);
        desc.dwFlags |= DDSD_PIXELFORMAT;
        desc.ddpfPixelFormat = format;
        desc.ddsCaps.dwCaps |= memory;
        IDirectDrawSurface7* surface = nullptr;
        EXPECT_EQ(device->CreateSurface(&desc, &surface, nullptr), DD_OK);
        if (surface) made.push_back(surface);
        return surface;
    }
    static void put(IDirectDrawSurface7* s, int x, int y, uint32_t value)
    {
        const Rect r{x, y, x + 1, y + 1};
        DDBLTFX fx;
        fx.dwFillColor = value;
        ASSERT_EQ(s->Blt(&r, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    }
    static uint32_t get(IDirectDrawSurface7* s, int x, int y)
    {
        DDSURFACEDESC2 desc;
        EXPECT_EQ(s->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr), DD_OK);
        const auto* p = static_cast<const uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * s->bytesPerPixel();
        uint32_t v = 0;
        for (int i = 0; i < s->bytesPerPixel(); ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
        s->Unlock(nullptr);
        return v;
    }
    // Row y of the surface as pixel values.
    static std::vector<uint32_t> row(IDirectDrawSurface7* s, int y)
    {
        std::vector<uint32_t> out;
        for (int x = 0; x < s->width(); ++x) out.push_back(get(s, x, y));
        return out;
    }

    IDirectDraw7* device = nullptr;
    std::vector<IDirectDrawSurface7*> made;
};

TEST_F(DDrawTest, SurfacesReportSizePitchFormatAndPlacement)
{
    auto* s = create(pixelFormatRgb888(), 5, 3, DDSCAPS_VIDEOMEMORY | DDSCAPS_NONLOCALVIDMEM);
    DDSURFACEDESC2 desc;
    ASSERT_EQ(s->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.dwWidth, 5u);
    EXPECT_EQ(desc.dwHeight, 3u);
    EXPECT_EQ(desc.lPitch, 16);  // 15 bytes rounded up to whole words
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 24u);
    EXPECT_EQ(desc.ddsCaps.dwCaps & (DDSCAPS_VIDEOMEMORY | DDSCAPS_NONLOCALVIDMEM | DDSCAPS_LOCALVIDMEM),
              DDSCAPS_VIDEOMEMORY | DDSCAPS_NONLOCALVIDMEM);
    auto* unplaced = create(pixelFormatRgb565(), 1, 1, 0);
    DDSCAPS2 caps;
    unplaced->GetCaps(&caps);
    EXPECT_EQ(caps.dwCaps & (DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM), DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM);
}

TEST_F(DDrawTest, BadRequestsAreRefused)
{
    DDSURFACEDESC2 desc = plainRequest(0, 4);
    IDirectDrawSurface7* s = nullptr;
    EXPECT_EQ(device->CreateSurface(&desc, &s, nullptr), DDERR_INVALIDPARAMS);
    desc.dwWidth = 100000;
    desc.dwHeight = 100000;
    EXPECT_EQ(device->CreateSurface(&desc, &s, nullptr), DDERR_OUTOFMEMORY);
    desc.dwWidth = 4;
    desc.dwFlags |= DDSD_PIXELFORMAT;
    desc.ddpfPixelFormat = pixelFormatRgb(12, 0xF00, 0xF0, 0xF);
    EXPECT_EQ(device->CreateSurface(&desc, &s, nullptr), DDERR_INVALIDPIXELFORMAT);
    EXPECT_EQ(s, nullptr);
}

TEST_F(DDrawTest, InjectedFailuresHitTheChosenCall)
{
    DDFaultInjection::failCall(DDCall::CreateSurface, DDERR_OUTOFMEMORY, 1);
    EXPECT_NE(create(pixelFormatRgb565(), 1, 1), nullptr);
    DDSURFACEDESC2 desc = plainRequest(1, 1);
    IDirectDrawSurface7* s = nullptr;
    EXPECT_EQ(device->CreateSurface(&desc, &s, nullptr), DDERR_OUTOFMEMORY);
    EXPECT_NE(create(pixelFormatRgb565(), 1, 1), nullptr);  // once only
    DDFaultInjection::failCall(DDCall::DirectDrawCreateEx, DDERR_GENERIC);
    IDirectDraw7* other = nullptr;
    EXPECT_EQ(DirectDrawCreateEx(nullptr, &other, nullptr, nullptr), DDERR_GENERIC);
    EXPECT_EQ(other, nullptr);
}

TEST_F(DDrawTest, ReferencesAreCountedAndTheDeviceTakesItsSurfacesMemoryWithIt)
{
    auto* s = create(pixelFormatXrgb8888(), 2, 2);
    EXPECT_EQ(s->AddRef(), 2u);
    EXPECT_EQ(s->Release(), 1u);
    IDirectDraw7* second = nullptr;
    ASSERT_EQ(DirectDrawCreateEx(nullptr, &second, nullptr, nullptr), DD_OK);
    DDSURFACEDESC2 desc = plainRequest(2, 2);
    IDirectDrawSurface7* orphan = nullptr;
    ASSERT_EQ(second->CreateSurface(&desc, &orphan, nullptr), DD_OK);
    EXPECT_EQ(second->AddRef(), 2u);
    EXPECT_EQ(second->Release(), 1u);
    EXPECT_EQ(second->Release(), 0u);
    EXPECT_EQ(orphan->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(orphan->Restore(), DDERR_SURFACELOST);
    EXPECT_EQ(orphan->Release(), 0u);
}

TEST_F(DDrawTest, LostSurfacesRefuseWorkUntilRestored)
{
    auto* a = create(pixelFormatXrgb8888(), 2, 2);
    auto* b = create(pixelFormatXrgb8888(), 2, 2);
    put(a, 0, 0, 5);
    a->markLost();
    DDSURFACEDESC2 desc;
    EXPECT_EQ(a->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(b->Blt(nullptr, a, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(a->Restore(), DD_OK);
    EXPECT_EQ(a->IsLost(), DD_OK);
    EXPECT_EQ(get(a, 0, 0), 0u);  // the picture is gone
}

TEST_F(DDrawTest, LocksAreExclusive)
{
    auto* s = create(pixelFormatXrgb8888(), 2, 2);
    DDSURFACEDESC2 desc;
    ASSERT_EQ(s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    DDSURFACEDESC2 again;
    EXPECT_EQ(s->Lock(nullptr, &again, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(s->Blt(nullptr, s, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(s->Unlock(nullptr), DD_OK);
    EXPECT_EQ(s->Unlock(nullptr), DDERR_NOTLOCKED);
    const Rect outside{1, 1, 3, 2};
    EXPECT_EQ(s->Lock(&outside, &desc, DDLOCK_WAIT, nullptr), DDERR_INVALIDRECT);
}

TEST_F(DDrawTest, FillAndCopyInEveryPixelSize)
{
    for (const DDPIXELFORMAT& format : {pixelFormatPalette8(), pixelFormatRgb565(), pixelFormatRgb888(), pixelFormatXrgb8888()}) {
        auto* src = create(format, 3, 1);
        auto* dst = create(format, 3, 1);
        const uint32_t mask = format.dwRGBBitCount == 32 ? 0xFFFFFFFF : (1u << format.dwRGBBitCount) - 1;
        put(src, 0, 0, 0x11223344 & mask);
        put(src, 1, 0, 0x55667788 & mask);
        put(src, 2, 0, 0x99AABBCC & mask);
        const DDCOLORKEY key{0x55667788 & mask, 0x55667788 & mask};
        src->SetColorKey(DDCKEY_SRCBLT, &key);
        put(dst, 1, 0, 7);
        ASSERT_EQ(dst->BltFast(0, 0, src, nullptr, DDBLTFAST_SRCCOLORKEY), DD_OK);
        EXPECT_EQ(row(dst, 0), (std::vector<uint32_t>{0x11223344 & mask, 7, 0x99AABBCC & mask})) << format.dwRGBBitCount;
        ASSERT_EQ(dst->BltFast(0, 0, src, nullptr, DDBLTFAST_NOCOLORKEY), DD_OK);
        EXPECT_EQ(row(dst, 0), row(src, 0));
    }
}

TEST_F(DDrawTest, StretchSamplesPixelCentresAndMirrorsOnRequest)
{
    auto* src = create(pixelFormatXrgb8888(), 4, 1);
    for (int x = 0; x < 4; ++x) put(src, x, 0, 10 + x);
    auto* dst = create(pixelFormatXrgb8888(), 8, 1);
    ASSERT_EQ(dst->Blt(nullptr, src, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(row(dst, 0), (std::vector<uint32_t>{10, 10, 11, 11, 12, 12, 13, 13}));
    DDBLTFX fx;
    fx.dwDDFX = DDBLTFX_MIRRORLEFTRIGHT;
    const Rect half{0, 0, 2, 1};
    ASSERT_EQ(dst->Blt(&half, src, nullptr, DDBLT_WAIT | DDBLT_DDFX, &fx), DD_OK);
    EXPECT_EQ(get(dst, 0, 0), 12u);  // 4 to 2: centres 1 and 3, read from the right
    EXPECT_EQ(get(dst, 1, 0), 10u);
    fx.dwDDFX = 0;
    ASSERT_EQ(dst->Blt(&half, src, nullptr, DDBLT_WAIT, &fx), DD_OK);
    EXPECT_EQ(get(dst, 0, 0), 11u);
    EXPECT_EQ(get(dst, 1, 0), 13u);
}

TEST_F(DDrawTest, ARectangleOutsideEitherSurfaceIsRefused)
{
    auto* src = create(pixelFormatXrgb8888(), 4, 4);
    auto* dst = create(pixelFormatXrgb8888(), 4, 4);
    const Rect tooWide{0, 0, 5, 4};
    const Rect whole{0, 0, 4, 4};
    EXPECT_EQ(dst->Blt(&tooWide, src, &whole, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(dst->Blt(&whole, src, &tooWide, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(dst->BltFast(1, 0, src, &whole, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
    EXPECT_EQ(dst->BltFast(0xFFFFFFFF, 0, src, &whole, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
    auto* other = create(pixelFormatRgb565(), 4, 4);
    EXPECT_EQ(dst->Blt(nullptr, other, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPIXELFORMAT);
}

TEST_F(DDrawTest, DrawingContextsMapColoursToThePalette)
{
    auto* indexed = create(pixelFormatPalette8(), 2, 1);
    DrawingContext* context = nullptr;
    ASSERT_EQ(indexed->GetDC(&context), DD_OK);
    DDSURFACEDESC2 desc;
    EXPECT_EQ(indexed->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
    context->drawBitmap({3, 1, {0x00FF00, 0x202020, 0xFFFFFF}}, -1, 0);  // the first column falls outside
    EXPECT_EQ(indexed->ReleaseDC(context), DD_OK);
    EXPECT_EQ(row(indexed, 0), (std::vector<uint32_t>{0x24, 0xFF}));  // dark grey is nearest to 1-1-0 in 3-3-2
}

}  // namespace
