// The 2-D layer: surfaces and their copies, drivers, modes, the primary surface as
// the screen shown through a window, flipping chains and clippers.
#include "platform/screen.h"
#include "support/fake_window_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class DDrawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset();
        ASSERT_EQ(DirectDrawCreateEx(nullptr, &device, &IID_IDirectDraw7, nullptr), DD_OK);
    }
    void TearDown() override
    {
        for (auto* s : made) s->Release();
        device->Release();
        reset();
    }
    static void reset()
    {
        DDFaultInjection::reset();
        DirectDrawDrivers::reset();
        Screen::reset();
    }
    IDirectDrawSurface7* create(const DDPIXELFORMAT& format, uint32_t width, uint32_t height, uint32_t memory = DDSCAPS_SYSTEMMEMORY)
    {
        DDSURFACEDESC2 desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        desc.dwWidth = width;
        desc.dwHeight = height;
        desc.ddpfPixelFormat = format;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | memory;
        IDirectDrawSurface7* surface = nullptr;
        EXPECT_EQ(device->CreateSurface(&desc, &surface, nullptr), DD_OK);
        if (surface) made.push_back(surface);
        return surface;
    }
    // The primary surface with a clipper bound to window.
    IDirectDrawSurface7* makeWindowPrimary(FakeWindowHost& window)
    {
        DDSURFACEDESC2 desc;
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        IDirectDrawSurface7* primary = nullptr;
        EXPECT_EQ(device->CreateSurface(&desc, &primary, nullptr), DD_OK);
        IDirectDrawClipper* clipper = nullptr;
        EXPECT_EQ(device->CreateClipper(0, &clipper, nullptr), DD_OK);
        EXPECT_EQ(clipper->SetHWnd(0, window.handle()), DD_OK);
        EXPECT_EQ(primary->SetClipper(clipper), DD_OK);
        EXPECT_EQ(clipper->Release(), 1u);  // the primary keeps it
        return made.emplace_back(primary);
    }
    // Every pixel of a 32-bit surface gets a value of its own.
    static void fillPattern(IDirectDrawSurface7* s)
    {
        for (int32_t y = 0; y < s->height(); ++y)
            for (int32_t x = 0; x < s->width(); ++x) reinterpret_cast<uint32_t*>(s->row(y))[x] = pattern(x, y);
    }
    static uint32_t pattern(int32_t x, int32_t y) { return static_cast<uint32_t>(x + 1000 * y + 0x100000); }
    static void put(IDirectDrawSurface7* s, int x, int y, uint32_t value)
    {
        const Rect r{x, y, x + 1, y + 1};
        DDBLTFX fx;
        fx.dwFillColor = value;
        ASSERT_EQ(s->Blt(&r, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    }
    static uint32_t get(IDirectDrawSurface7* s, int x, int y)
    {
        uint32_t v = 0;
        for (int i = 0; i < s->bytesPerPixel(); ++i) v |= uint32_t{s->row(y)[x * s->bytesPerPixel() + i]} << (8 * i);
        return v;
    }
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
    DDSURFACEDESC2 desc;
    ASSERT_EQ(create(pixelFormatRgb888(), 5, 3, DDSCAPS_VIDEOMEMORY | DDSCAPS_NONLOCALVIDMEM)->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.dwWidth, 5u);
    EXPECT_EQ(desc.dwHeight, 3u);
    EXPECT_EQ(desc.lPitch, 16);  // 15 bytes rounded up to whole words
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 24u);
    const uint32_t placement = DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY | DDSCAPS_NONLOCALVIDMEM | DDSCAPS_LOCALVIDMEM;
    EXPECT_EQ(desc.ddsCaps.dwCaps & placement, DDSCAPS_VIDEOMEMORY | DDSCAPS_NONLOCALVIDMEM);
    DDSCAPS2 caps;
    ASSERT_EQ(create(pixelFormatRgb565(), 1, 1, 0)->GetCaps(&caps), DD_OK);
    EXPECT_EQ(caps.dwCaps & placement, DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM);  // the driver's pick
}

TEST_F(DDrawTest, BadSurfaceRequestsAreRefused)
{
    struct Case {
        uint32_t flags, width, height, caps;
        DDPIXELFORMAT format;
        HRESULT expected;
    };
    const uint32_t sized = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    const Case cases[] = {
        {sized, 0, 4, DDSCAPS_OFFSCREENPLAIN, {}, DDERR_INVALIDPARAMS},
        {DDSD_CAPS | DDSD_WIDTH, 4, 4, DDSCAPS_OFFSCREENPLAIN, {}, DDERR_INVALIDPARAMS},
        {sized, 4, 4, DDSCAPS_SYSTEMMEMORY, {}, DDERR_INVALIDPARAMS},
        {DDSD_CAPS | DDSD_WIDTH, 4, 4, DDSCAPS_PRIMARYSURFACE, {}, DDERR_INVALIDPARAMS},  // the screen has its size
        {sized, 100000, 100000, DDSCAPS_OFFSCREENPLAIN, {}, DDERR_OUTOFMEMORY},
        {sized | DDSD_PIXELFORMAT, 4, 4, DDSCAPS_OFFSCREENPLAIN, pixelFormatRgb(12, 0xF00, 0xF0, 0xF), DDERR_INVALIDPIXELFORMAT},
        {sized | DDSD_PIXELFORMAT, 4, 4, DDSCAPS_OFFSCREENPLAIN, pixelFormatDepth(16, 0xFFFF), DDERR_INVALIDPIXELFORMAT},
        {sized | DDSD_PIXELFORMAT, 4, 4, DDSCAPS_ZBUFFER, pixelFormatRgb565(), DDERR_INVALIDPIXELFORMAT},
        {sized, 4, 4, DDSCAPS_ZBUFFER, {}, DDERR_INVALIDPIXELFORMAT},
    };
    IDirectDrawSurface7* const existing = create(pixelFormatRgb565(), 1, 1);
    for (const Case& c : cases) {
        DDSURFACEDESC2 desc;
        desc.dwFlags = c.flags;
        desc.dwWidth = c.width;
        desc.dwHeight = c.height;
        desc.ddsCaps.dwCaps = c.caps;
        desc.ddpfPixelFormat = c.format;
        IDirectDrawSurface7* s = existing;  // a refusal clears it
        EXPECT_EQ(device->CreateSurface(&desc, &s, nullptr), c.expected) << &c - cases;
        EXPECT_EQ(s, nullptr);
    }
}

TEST_F(DDrawTest, ReferencesAreCountedAndTheDeviceTakesItsSurfacesMemoryWithIt)
{
    IDirectDraw7* second = nullptr;
    ASSERT_EQ(DirectDrawCreateEx(nullptr, &second, nullptr, nullptr), DD_OK);
    DDSURFACEDESC2 desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = desc.dwHeight = 2;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    IDirectDrawSurface7* orphan = nullptr;
    ASSERT_EQ(second->CreateSurface(&desc, &orphan, nullptr), DD_OK);
    EXPECT_EQ(second->Release(), 0u);  // the surface does not hold its device
    EXPECT_EQ(orphan->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(orphan->Restore(), DDERR_SURFACELOST);
    EXPECT_EQ(orphan->Release(), 0u);
}

TEST_F(DDrawTest, LockedOrLostSurfacesRefuseWork)
{
    auto* a = create(pixelFormatXrgb8888(), 2, 2);
    auto* b = create(pixelFormatXrgb8888(), 2, 2);
    DDSURFACEDESC2 desc;
    const Rect outside{1, 1, 3, 2};
    EXPECT_EQ(a->Lock(&outside, &desc, DDLOCK_WAIT, nullptr), DDERR_INVALIDRECT);
    ASSERT_EQ(a->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(a->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(a->Blt(nullptr, b, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(a->Unlock(nullptr), DD_OK);
    EXPECT_EQ(a->Unlock(nullptr), DDERR_NOTLOCKED);

    put(a, 0, 0, 5);
    a->markLost();
    EXPECT_EQ(a->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(b->Blt(nullptr, a, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(a->Restore(), DD_OK);
    EXPECT_EQ(a->IsLost(), DD_OK);
    EXPECT_EQ(get(a, 0, 0), 0u);  // the picture is gone
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
    EXPECT_EQ(row(dst, 0)[0], 12u);  // 4 to 2: centres 1 and 3, read from the right
    EXPECT_EQ(row(dst, 0)[1], 10u);
    ASSERT_EQ(dst->Blt(&half, src, nullptr, DDBLT_WAIT, &fx), DD_OK);  // effects only with DDBLT_DDFX
    EXPECT_EQ(row(dst, 0)[0], 11u);
    EXPECT_EQ(row(dst, 0)[1], 13u);
}

TEST_F(DDrawTest, ARectangleOutsideEitherSurfaceOrAnotherPixelSizeIsRefused)
{
    auto* src = create(pixelFormatXrgb8888(), 4, 4);
    auto* dst = create(pixelFormatXrgb8888(), 4, 4);
    const Rect tooWide{0, 0, 5, 4};
    const Rect whole{0, 0, 4, 4};
    EXPECT_EQ(dst->Blt(&tooWide, src, &whole, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(dst->Blt(&whole, src, &tooWide, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(dst->BltFast(1, 0, src, &whole, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
    EXPECT_EQ(dst->BltFast(0xFFFFFFFF, 0, src, &whole, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
    EXPECT_EQ(dst->Blt(nullptr, create(pixelFormatRgb565(), 4, 4), nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPIXELFORMAT);
}

TEST_F(DDrawTest, DrawingContextsMapColoursToTheSurfacesPalette)
{
    auto* indexed = create(pixelFormatPalette8(), 2, 1);
    const auto draw = [indexed](const DecodedBitmap& bitmap, int32_t x) {
        DrawingContext* context = nullptr;
        ASSERT_EQ(indexed->GetDC(&context), DD_OK);
        DDSURFACEDESC2 desc;
        EXPECT_EQ(indexed->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
        context->drawBitmap(bitmap, x, 0);
        EXPECT_EQ(indexed->ReleaseDC(context), DD_OK);
    };
    draw({3, 1, {0x00FF00, 0x202020, 0xFFFFFF}}, -1);  // the first column falls outside
    EXPECT_EQ(row(indexed, 0), (std::vector<uint32_t>{0x24, 0xFF}));  // the fixed 3-3-2 palette: dark grey is nearest 1-1-0

    PALETTEENTRY entries[256] = {};
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(device->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr), DD_OK);
    const PALETTEENTRY colours[2] = {{255, 128, 0, 4}, {0, 0, 255, 4}};
    ASSERT_EQ(palette->SetEntries(0, 200, 2, colours), DD_OK);
    EXPECT_EQ(palette->SetEntries(0, 255, 2, colours), DDERR_INVALIDPARAMS);
    PALETTEENTRY read[2];
    ASSERT_EQ(palette->GetEntries(0, 200, 2, read), DD_OK);
    EXPECT_EQ(read[1], colours[1]);
    EXPECT_EQ(create(pixelFormatXrgb8888(), 1, 1)->SetPalette(palette), DDERR_NOTPALETTIZED);
    ASSERT_EQ(indexed->SetPalette(palette), DD_OK);
    EXPECT_EQ(palette->Release(), 1u);  // the surface keeps it
    draw({2, 1, {0xFF8000, 0x0000FF}}, 0);
    EXPECT_EQ(row(indexed, 0), (std::vector<uint32_t>{200, 201}));
}

TEST_F(DDrawTest, DriversAreListedPrimaryFirstUntilTheCallbackStopsAndOpenedByIdentifier)
{
    constexpr GUID secondCard{0x12345678, 0x1111, 0x2222, {1, 2, 3, 4, 5, 6, 7, 8}};
    DirectDrawDrivers::add({secondCard, "3-D card", "card3d", DDCAPS_3D | DDCAPS_BLT, DDSCAPS_TEXTURE});
    DirectDrawDrivers::add({GUID{9}, "Third card", "card3", 0, 0});
    std::vector<std::string> listed;
    const auto list = [](GUID* guid, char* description, char* name, void* context) -> BOOL {
        auto* names = static_cast<std::vector<std::string>*>(context);
        names->push_back(std::string(guid ? "(identified) " : "") + description + " (" + name + ")");
        return names->size() < 2;
    };
    ASSERT_EQ(DirectDrawEnumerateA(list, &listed), DD_OK);
    EXPECT_EQ(listed, (std::vector<std::string>{"Primary Display Driver (display)", "(identified) 3-D card (card3d)"}));

    IDirectDraw7* card = nullptr;
    ASSERT_EQ(DirectDrawCreateEx(&secondCard, &card, &IID_IDirectDraw7, nullptr), DD_OK);
    DDCAPS hardware, emulation;
    ASSERT_EQ(card->GetCaps(&hardware, &emulation), DD_OK);
    EXPECT_EQ(hardware.dwCaps, DDCAPS_3D | DDCAPS_BLT);
    EXPECT_EQ(hardware.ddsCaps.dwCaps, DDSCAPS_TEXTURE);
    EXPECT_EQ(emulation.dwCaps, DirectDrawDrivers::primary().caps);  // the software blitter
    EXPECT_EQ(card->Release(), 0u);
    constexpr GUID unknown{0xdead};
    EXPECT_EQ(DirectDrawCreateEx(&unknown, &card, &IID_IDirectDraw7, nullptr), DDERR_INVALIDDIRECTDRAWGUID);
    EXPECT_EQ(card, nullptr);
}

struct ModeList {
    std::vector<DisplayMode> modes;
    size_t cancelAt = SIZE_MAX;
};

HRESULT collectMode(DDSURFACEDESC2* desc, void* context)
{
    auto* list = static_cast<ModeList*>(context);
    list->modes.push_back({desc->dwWidth, desc->dwHeight, desc->ddpfPixelFormat.dwRGBBitCount, desc->dwRefreshRate});
    return list->modes.size() == list->cancelAt ? DDENUMRET_CANCEL : DDENUMRET_OK;
}

TEST_F(DDrawTest, ModesAreListedWithRefreshRatesOrOncePerSizeAndDepthUntilCancelled)
{
    ModeList withRates, once;
    ASSERT_EQ(device->EnumDisplayModes(DDEDM_REFRESHRATES, nullptr, &withRates, collectMode), DD_OK);
    ASSERT_EQ(device->EnumDisplayModes(0, nullptr, &once, collectMode), DD_OK);
    ASSERT_EQ(withRates.modes.size(), 48u);
    EXPECT_EQ(withRates.modes[7], (DisplayMode{640, 480, 32, 75}));
    ASSERT_EQ(once.modes.size(), 24u);
    EXPECT_EQ(once.modes[1], (DisplayMode{640, 480, 16, 0}));

    std::vector<DisplayMode> many;
    for (uint32_t i = 0; i < 300; ++i) many.push_back({320 + i, 200, 16, 60});
    Screen::setModes(many);
    ModeList all, some;
    some.cancelAt = 257;
    ASSERT_EQ(device->EnumDisplayModes(DDEDM_REFRESHRATES, nullptr, &all, collectMode), DD_OK);
    ASSERT_EQ(device->EnumDisplayModes(DDEDM_REFRESHRATES, nullptr, &some, collectMode), DD_OK);
    EXPECT_EQ(all.modes, many);
    EXPECT_EQ(some.modes.size(), 257u);
}

TEST_F(DDrawTest, OnlyListedModesAreSetLosingEverySurfaceAndRestoringPutsBackTheFirst)
{
    IDirectDrawSurface7* before = create(pixelFormatXrgb8888(), 4, 4);
    EXPECT_EQ(device->SetDisplayMode(1000, 700, 16, 0, 0), DDERR_INVALIDMODE);
    EXPECT_EQ(device->SetDisplayMode(1024, 768, 16, 85, 0), DDERR_INVALIDMODE);
    EXPECT_EQ(before->IsLost(), DD_OK);
    ASSERT_EQ(device->SetDisplayMode(800, 600, 8, 0, 0), DD_OK);
    EXPECT_EQ(before->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(Screen::height(), 600);
    EXPECT_NE(screenPixelFormat().dwFlags & DDPF_PALETTEINDEXED8, 0u);
    ASSERT_EQ(device->SetDisplayMode(1024, 768, 16, 75, 0), DD_OK);
    ASSERT_EQ(device->RestoreDisplayMode(), DD_OK);
    EXPECT_EQ(Screen::width(), 1920);
    EXPECT_EQ(Screen::bitDepth(), 32);
}

TEST_F(DDrawTest, ACopyToThePrimaryLandsInTheWindowsClientAreaOnly)
{
    FakeWindowHost window({100, 80, 320, 240});
    IDirectDrawSurface7* primary = makeWindowPrimary(window);
    IDirectDrawSurface7* back = create(pixelFormatXrgb8888(), 640, 480);
    fillPattern(back);
    const Rect dest{60, 50, 160, 130};  // reaches 40 left of and 30 above the client area
    const Rect source{0, 0, 100, 80};
    ASSERT_EQ(primary->Blt(&dest, back, &source, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(window.pixel(0, 0), pattern(40, 30));
    EXPECT_EQ(window.pixel(59, 49), pattern(99, 79));
    EXPECT_EQ(window.pixel(60, 0), 0u);
    EXPECT_EQ(window.pixel(0, 50), 0u);
    EXPECT_EQ(window.changedAreas, (std::vector<Rect>{{0, 0, 60, 50}}));
    EXPECT_EQ(get(primary, 100, 80), pattern(40, 30));
    EXPECT_EQ(get(primary, 99, 80), 0u);  // the screen outside the window is left alone
    EXPECT_EQ(get(primary, 100, 79), 0u);

    const Rect inside{200, 150, 210, 160};
    ASSERT_EQ(primary->Blt(&inside, back, &inside, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(window.pixel(100, 70), pattern(200, 150));
    EXPECT_EQ(window.pixel(109, 79), pattern(209, 159));
    const Rect away{0, 0, 50, 50};
    ASSERT_EQ(primary->Blt(&away, back, &away, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(get(primary, 0, 0), 0u);
    EXPECT_EQ(primary->BltFast(100, 80, back, &away, DDBLTFAST_WAIT), DDERR_BLTFASTCANTCLIP);
}

TEST_F(DDrawTest, AClippedStretchShowsWhatTheWholeStretchWouldHaveShown)
{
    FakeWindowHost window({0, 0, 50, 40});
    IDirectDrawSurface7* primary = makeWindowPrimary(window);
    IDirectDrawSurface7* back = create(pixelFormatXrgb8888(), 64, 48);
    fillPattern(back);
    const DDCOLORKEY key{pattern(3, 3), pattern(3, 3)};
    back->SetColorKey(DDCKEY_SRCBLT, &key);
    IDirectDrawSurface7* whole = create(pixelFormatXrgb8888(), 90, 70);
    const Rect source{1, 1, 31, 21};
    DDBLTFX fx;
    fx.dwDDFX = DDBLTFX_MIRRORLEFTRIGHT;
    const uint32_t flags = DDBLT_WAIT | DDBLT_KEYSRC | DDBLT_DDFX;
    ASSERT_EQ(whole->Blt(nullptr, back, &source, flags, &fx), DD_OK);
    const Rect onScreen{-20, -10, 70, 60};
    ASSERT_EQ(primary->Blt(&onScreen, back, &source, flags, &fx), DD_OK);
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 50; ++x) ASSERT_EQ(window.pixel(x, y), get(whole, x + 20, y + 10)) << x << "," << y;
}

TEST_F(DDrawTest, ThePrimaryIsTheScreenAndShowsItsColoursInTheWindow)
{
    struct Case {
        int bits;
        uint32_t fill, shown;
    };
    const Case cases[] = {{8, 7, 0x0A141E}, {16, 0xF800, 0xFF0000}, {24, 0x00FF00, 0x00FF00}, {32, 0x123456, 0x123456}};
    PALETTEENTRY entries[256] = {};
    entries[7] = {10, 20, 30, 0};
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(device->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr), DD_OK);
    Screen::setSize(640, 480);
    for (const Case& c : cases) {
        Screen::setBitDepth(c.bits);
        FakeWindowHost window({10, 10, 20, 20});
        IDirectDrawSurface7* primary = makeWindowPrimary(window);
        EXPECT_EQ(primary->width(), 640);
        EXPECT_EQ(primary->height(), 480);
        EXPECT_EQ(primary->pixelFormat().dwRGBBitCount, static_cast<uint32_t>(c.bits));
        EXPECT_EQ(primary->SetPalette(c.bits == 8 ? palette : nullptr), DD_OK);
        DDBLTFX fx;
        fx.dwFillColor = c.fill;
        const Rect dest{0, 0, 15, 15};
        ASSERT_EQ(primary->Blt(&dest, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
        EXPECT_EQ(window.pixel(4, 4), c.shown) << c.bits;
        EXPECT_EQ(window.pixel(5, 5), 0u);
        // Without a clipper, a rectangle reaching off the screen is refused.
        ASSERT_EQ(primary->SetClipper(nullptr), DD_OK);
        const Rect offScreen{630, 0, 650, 10};
        EXPECT_EQ(primary->Blt(&offScreen, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DDERR_INVALIDRECT);
        }
    EXPECT_EQ(palette->Release(), 1u);  // the 8-bit primary keeps it
}

TEST_F(DDrawTest, AFlippingChainNeedsExclusiveModeAndHoldsItsBackBuffer)
{
    FakeWindowHost window;
    DDSURFACEDESC2 desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    IDirectDrawSurface7* primary = nullptr;
    ASSERT_EQ(device->SetCooperativeLevel(window.handle(), DDSCL_NORMAL), DD_OK);
    for (uint32_t mixed : {DDSCL_NORMAL | DDSCL_EXCLUSIVE, DDSCL_EXCLUSIVE, 0u})
        EXPECT_EQ(device->SetCooperativeLevel(window.handle(), mixed), DDERR_INVALIDPARAMS) << mixed;
    EXPECT_EQ(device->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->CreateSurface(&desc, &primary, nullptr), DDERR_NOEXCLUSIVEMODE);  // still normal
    ASSERT_EQ(device->SetCooperativeLevel(window.handle(), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(device->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
    ASSERT_EQ(device->CreateSurface(&desc, &primary, nullptr), DD_OK);

    const DDSCAPS2 wanted{DDSCAPS_BACKBUFFER}, depth{DDSCAPS_ZBUFFER};
    IDirectDrawSurface7* back = nullptr;
    ASSERT_EQ(primary->GetAttachedSurface(&wanted, &back), DD_OK);
    EXPECT_EQ(back->width(), 640);
    EXPECT_EQ(back->pixelFormat().dwRGBBitCount, 16u);
    EXPECT_NE(back->caps().dwCaps & DDSCAPS_3DDEVICE, 0u);
    IDirectDrawSurface7* none = nullptr;
    EXPECT_EQ(primary->GetAttachedSurface(&depth, &none), DDERR_NOTFOUND);
    EXPECT_EQ(back->Release(), 1u);  // the chain's is left
    EXPECT_EQ(back->AddRef(), 2u);
    EXPECT_EQ(primary->Release(), 0u);
    EXPECT_EQ(back->Release(), 0u);
}

TEST_F(DDrawTest, AClipperIsBoundToALiveWindowOnly)
{
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(device->CreateClipper(0, &clipper, nullptr), DD_OK);
    HWND gone = nullptr;
    {
        FakeWindowHost window;
        gone = window.handle();
        ASSERT_EQ(clipper->SetHWnd(0, gone), DD_OK);
        HWND bound = nullptr;
        ASSERT_EQ(clipper->GetHWnd(&bound), DD_OK);
        EXPECT_EQ(bound, gone);
    }
    EXPECT_EQ(clipper->SetHWnd(0, gone), DDERR_INVALIDPARAMS);
    EXPECT_EQ(clipper->Release(), 0u);
}

TEST(ScreenTest, RealisingAPaletteKeepsTheStaticColours)
{
    Screen::reset();
    std::array<PALETTEENTRY, 256> entries;
    entries.fill({1, 2, 3, 4});
    Screen::realizePalette(nullptr, entries);
    EXPECT_EQ(Screen::systemPalette()[9], (PALETTEENTRY{166, 202, 240, 0}));
    EXPECT_EQ(Screen::systemPalette()[10], entries[10]);
    EXPECT_EQ(Screen::systemPalette()[245], entries[245]);
    EXPECT_EQ(Screen::systemPalette()[246], (PALETTEENTRY{255, 251, 240, 0}));
    Screen::reset();
}

}  // namespace
