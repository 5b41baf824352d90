// The device side of the 2-D layer: drivers, modes, the primary surface as the
// screen shown through a window, flipping chains, clippers and palettes.
#include "platform/screen.h"
#include "support/fake_window_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr GUID secondCard{0x12345678, 0x1111, 0x2222, {1, 2, 3, 4, 5, 6, 7, 8}};

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset();
        ASSERT_EQ(DirectDrawCreateEx(nullptr, &device, &IID_IDirectDraw7, nullptr), DD_OK);
    }
    void TearDown() override
    {
        device->Release();
        reset();
    }
    static void reset()
    {
        DDFaultInjection::reset();
        DirectDrawDrivers::reset();
        Screen::reset();
    }

    IDirectDrawSurface7* makePrimary()
    {
        DDSURFACEDESC2 desc;
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        IDirectDrawSurface7* primary = nullptr;
        EXPECT_EQ(device->CreateSurface(&desc, &primary, nullptr), DD_OK);
        return primary;
    }
    IDirectDrawSurface7* makeOffscreen(uint32_t width, uint32_t height)
    {
        DDSURFACEDESC2 desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = width;
        desc.dwHeight = height;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        IDirectDrawSurface7* surface = nullptr;
        EXPECT_EQ(device->CreateSurface(&desc, &surface, nullptr), DD_OK);
        return surface;
    }
    // A primary surface clipped to window.
    IDirectDrawSurface7* makeWindowPrimary(FakeWindowHost& window)
    {
        IDirectDrawSurface7* primary = makePrimary();
        IDirectDrawClipper* clipper = nullptr;
        EXPECT_EQ(device->CreateClipper(0, &clipper, nullptr), DD_OK);
        EXPECT_EQ(clipper->SetHWnd(0, window.handle()), DD_OK);
        EXPECT_EQ(primary->SetClipper(clipper), DD_OK);
        EXPECT_EQ(clipper->Release(), 1u);  // the primary keeps it
        return primary;
    }
    // Every pixel gets a value of its own: x + 1000 * y + 0x100000.
    static void fillPattern(IDirectDrawSurface7* s)
    {
        DDSURFACEDESC2 desc;
        ASSERT_EQ(s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        for (int32_t y = 0; y < s->height(); ++y)
            for (int32_t x = 0; x < s->width(); ++x)
                reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch)[x] = pattern(x, y);
        s->Unlock(nullptr);
    }
    static uint32_t pattern(int32_t x, int32_t y) { return static_cast<uint32_t>(x + 1000 * y + 0x100000); }
    static uint32_t get32(IDirectDrawSurface7* s, int32_t x, int32_t y) { return reinterpret_cast<const uint32_t*>(s->row(y))[x]; }

    IDirectDraw7* device = nullptr;
};

struct Listed {
    bool hasIdentifier;
    std::string description;
    std::string name;
};

BOOL listDriver(GUID* guid, char* description, char* name, void* context)
{
    auto* listed = static_cast<std::vector<Listed>*>(context);
    listed->push_back({guid != nullptr, description, name});
    return listed->size() < 2;
}

TEST_F(DeviceTest, EnumerationListsThePrimaryDriverFirstAndStopsWhenTheCallbackSaysSo)
{
    DirectDrawDrivers::add({secondCard, "3-D card", "card3d", DDCAPS_3D, DDSCAPS_TEXTURE});
    DirectDrawDrivers::add({GUID{9}, "Third card", "card3", 0, 0});
    std::vector<Listed> listed;
    ASSERT_EQ(DirectDrawEnumerateA(listDriver, &listed), DD_OK);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_FALSE(listed[0].hasIdentifier);
    EXPECT_EQ(listed[0].description, "Primary Display Driver");
    EXPECT_EQ(listed[0].name, "display");
    EXPECT_TRUE(listed[1].hasIdentifier);
    EXPECT_EQ(listed[1].description + " (" + listed[1].name + ")", "3-D card (card3d)");
}

TEST_F(DeviceTest, ADeviceIsMadeForAKnownIdentifierAndReportsItsDriversCaps)
{
    DirectDrawDrivers::add({secondCard, "3-D card", "card3d", DDCAPS_3D | DDCAPS_BLT, DDSCAPS_TEXTURE});
    IDirectDraw7* card = nullptr;
    ASSERT_EQ(DirectDrawCreateEx(&secondCard, &card, &IID_IDirectDraw7, nullptr), DD_OK);
    DDCAPS hardware, emulation;
    ASSERT_EQ(card->GetCaps(&hardware, &emulation), DD_OK);
    EXPECT_EQ(hardware.dwCaps, DDCAPS_3D | DDCAPS_BLT);
    EXPECT_EQ(hardware.ddsCaps.dwCaps, DDSCAPS_TEXTURE);
    EXPECT_EQ(emulation.dwCaps & DDCAPS_3D, 0u);
    EXPECT_NE(emulation.dwCaps & DDCAPS_BLTSTRETCH, 0u);
    EXPECT_EQ(card->Release(), 0u);

    ASSERT_EQ(device->GetCaps(&hardware, nullptr), DD_OK);
    EXPECT_EQ(hardware.dwCaps & DDCAPS_3D, 0u);
    constexpr GUID unknown{0xdead};
    EXPECT_EQ(DirectDrawCreateEx(&unknown, &card, &IID_IDirectDraw7, nullptr), DDERR_INVALIDDIRECTDRAWGUID);
    EXPECT_EQ(card, nullptr);
}

TEST_F(DeviceTest, CooperativeLevelsAreRecordedAndMixedLevelsRefused)
{
    FakeWindowHost window;
    ASSERT_EQ(device->SetCooperativeLevel(window.handle(), DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(device->cooperativeLevel(), DDSCL_NORMAL);
    const uint32_t full = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_ALLOWMODEX;
    ASSERT_EQ(device->SetCooperativeLevel(window.handle(), full), DD_OK);
    EXPECT_EQ(device->cooperativeLevel(), full);
    EXPECT_EQ(device->cooperativeWindow(), window.handle());
    EXPECT_EQ(device->SetCooperativeLevel(window.handle(), DDSCL_NORMAL | DDSCL_EXCLUSIVE), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->SetCooperativeLevel(window.handle(), DDSCL_EXCLUSIVE), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->cooperativeLevel(), full);
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

TEST_F(DeviceTest, TheDefaultModesComeWithRefreshRatesOrOncePerSizeAndDepth)
{
    ModeList all;
    ASSERT_EQ(device->EnumDisplayModes(DDEDM_REFRESHRATES, nullptr, &all, collectMode), DD_OK);
    EXPECT_EQ(all.modes.size(), 48u);
    EXPECT_EQ(all.modes[0], (DisplayMode{640, 480, 8, 60}));
    EXPECT_EQ(all.modes[7], (DisplayMode{640, 480, 32, 75}));
    EXPECT_EQ(all.modes.back(), (DisplayMode{1920, 1080, 32, 75}));
    ModeList once;
    ASSERT_EQ(device->EnumDisplayModes(0, nullptr, &once, collectMode), DD_OK);
    EXPECT_EQ(once.modes.size(), 24u);
    EXPECT_EQ(once.modes[1], (DisplayMode{640, 480, 16, 0}));
}

TEST_F(DeviceTest, AReplacedModeListMayHoldMoreThan256ModesAndTheCallbackCancels)
{
    std::vector<DisplayMode> many;
    for (uint32_t i = 0; i < 300; ++i) many.push_back({320 + i, 200, 16, 60});
    Screen::setModes(many);
    ModeList all;
    ASSERT_EQ(device->EnumDisplayModes(DDEDM_REFRESHRATES, nullptr, &all, collectMode), DD_OK);
    EXPECT_EQ(all.modes, many);
    ModeList some;
    some.cancelAt = 257;
    ASSERT_EQ(device->EnumDisplayModes(DDEDM_REFRESHRATES, nullptr, &some, collectMode), DD_OK);
    EXPECT_EQ(some.modes.size(), 257u);
}

TEST_F(DeviceTest, SettingAModeChangesTheScreenAndRestoringPutsBackTheFirst)
{
    IDirectDrawSurface7* before = makeOffscreen(4, 4);
    ASSERT_EQ(device->SetDisplayMode(800, 600, 8, 0, 0), DD_OK);
    EXPECT_EQ(Screen::bitDepth(), 8);
    EXPECT_EQ(Screen::width(), 800);
    EXPECT_EQ(Screen::height(), 600);
    EXPECT_NE(screenPixelFormat().dwFlags & DDPF_PALETTEINDEXED8, 0u);
    EXPECT_EQ(before->IsLost(), DDERR_SURFACELOST);
    ASSERT_EQ(device->SetDisplayMode(1024, 768, 16, 75, 0), DD_OK);
    EXPECT_EQ(device->SetDisplayMode(1000, 700, 16, 0, 0), DDERR_INVALIDMODE);
    EXPECT_EQ(device->SetDisplayMode(1024, 768, 16, 85, 0), DDERR_INVALIDMODE);
    EXPECT_EQ(Screen::bitDepth(), 16);
    EXPECT_EQ(screenPixelFormat().dwGBitMask, 0x07E0u);
    ASSERT_EQ(device->RestoreDisplayMode(), DD_OK);
    EXPECT_EQ(Screen::bitDepth(), 32);
    EXPECT_EQ(Screen::width(), 1920);
    EXPECT_EQ(Screen::height(), 1080);
    before->Release();
}

TEST_F(DeviceTest, ACopyToThePrimaryLandsInTheWindowsClientAreaOnly)
{
    FakeWindowHost window({100, 80, 320, 240});
    IDirectDrawSurface7* primary = makeWindowPrimary(window);
    IDirectDrawSurface7* back = makeOffscreen(640, 480);
    fillPattern(back);
    // Reaches 40 left of and 30 above the client area.
    const Rect dest{60, 50, 160, 130};
    const Rect source{0, 0, 100, 80};
    ASSERT_EQ(primary->Blt(&dest, back, &source, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(window.pixel(0, 0), pattern(40, 30));
    EXPECT_EQ(window.pixel(59, 49), pattern(99, 79));
    EXPECT_EQ(window.pixel(60, 0), 0u);
    EXPECT_EQ(window.pixel(0, 50), 0u);
    EXPECT_EQ(window.changedAreas, (std::vector<Rect>{{0, 0, 60, 50}}));
    EXPECT_EQ(get32(primary, 100, 80), pattern(40, 30));
    EXPECT_EQ(get32(primary, 99, 80), 0u);  // the screen outside the window is left alone
    EXPECT_EQ(get32(primary, 100, 79), 0u);

    // Wholly inside: lands at the client offset.
    const Rect inside{200, 150, 210, 160};
    ASSERT_EQ(primary->Blt(&inside, back, &inside, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(window.pixel(100, 70), pattern(200, 150));
    EXPECT_EQ(window.pixel(109, 79), pattern(209, 159));
    // Wholly outside: nothing happens.
    const Rect away{0, 0, 50, 50};
    ASSERT_EQ(primary->Blt(&away, back, &away, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(get32(primary, 0, 0), 0u);
    EXPECT_EQ(primary->BltFast(100, 80, back, &away, DDBLTFAST_WAIT), DDERR_BLTFASTCANTCLIP);
    back->Release();
    primary->Release();
}

TEST_F(DeviceTest, AClippedStretchShowsWhatTheWholeStretchWouldHaveShown)
{
    FakeWindowHost window({0, 0, 50, 40});
    IDirectDrawSurface7* primary = makeWindowPrimary(window);
    IDirectDrawSurface7* back = makeOffscreen(64, 48);
    fillPattern(back);
    const DDCOLORKEY key{pattern(3, 3), pattern(3, 3)};
    back->SetColorKey(DDCKEY_SRCBLT, &key);
    IDirectDrawSurface7* whole = makeOffscreen(90, 70);
    const Rect source{1, 1, 31, 21};
    const Rect target{0, 0, 90, 70};
    DDBLTFX fx;
    fx.dwDDFX = DDBLTFX_MIRRORLEFTRIGHT;
    const uint32_t flags = DDBLT_WAIT | DDBLT_KEYSRC | DDBLT_DDFX;
    ASSERT_EQ(whole->Blt(&target, back, &source, flags, &fx), DD_OK);
    const Rect onScreen{-20, -10, 70, 60};
    ASSERT_EQ(primary->Blt(&onScreen, back, &source, flags, &fx), DD_OK);
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 50; ++x) ASSERT_EQ(window.pixel(x, y), get32(whole, x + 20, y + 10)) << x << "," << y;
    whole->Release();
    back->Release();
    primary->Release();
}

TEST_F(DeviceTest, ThePrimaryIsTheScreenAndWithoutAClipperACopyOutsideItIsRefused)
{
    Screen::setSize(640, 480);
    Screen::setBitDepth(16);
    IDirectDrawSurface7* primary = makePrimary();
    EXPECT_EQ(primary->width(), 640);
    EXPECT_EQ(primary->height(), 480);
    EXPECT_EQ(primary->pixelFormat().dwRGBBitCount, 16u);
    IDirectDrawSurface7* back = makeOffscreen(100, 100);
    const Rect dest{600, 0, 700, 100};
    EXPECT_EQ(primary->Blt(&dest, back, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    back->Release();
    primary->Release();
}

TEST_F(DeviceTest, APrimaryOfAnotherDepthShowsItsColoursInTheWindow)
{
    Screen::setBitDepth(16);
    FakeWindowHost window({10, 10, 20, 20});
    IDirectDrawSurface7* primary = makeWindowPrimary(window);
    DDBLTFX fx;
    fx.dwFillColor = 0xF800;
    const Rect dest{0, 0, 15, 15};
    ASSERT_EQ(primary->Blt(&dest, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    EXPECT_EQ(window.pixel(4, 4), 0xFF0000u);
    EXPECT_EQ(window.pixel(5, 5), 0u);
    primary->Release();

    Screen::setBitDepth(8);
    primary = makeWindowPrimary(window);
    PALETTEENTRY entries[256] = {};
    entries[7] = {10, 20, 30, 0};
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(device->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr), DD_OK);
    ASSERT_EQ(primary->SetPalette(palette), DD_OK);
    fx.dwFillColor = 7;
    ASSERT_EQ(primary->Blt(&dest, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    EXPECT_EQ(window.pixel(0, 0), 0x0A141Eu);
    palette->Release();
    primary->Release();
}

TEST_F(DeviceTest, AFlippingChainNeedsExclusiveModeAndHandsOutItsBackBuffer)
{
    FakeWindowHost window;
    DDSURFACEDESC2 desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    IDirectDrawSurface7* primary = nullptr;
    ASSERT_EQ(device->SetCooperativeLevel(window.handle(), DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(device->CreateSurface(&desc, &primary, nullptr), DDERR_NOEXCLUSIVEMODE);
    ASSERT_EQ(device->SetCooperativeLevel(window.handle(), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(device->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
    ASSERT_EQ(device->CreateSurface(&desc, &primary, nullptr), DD_OK);

    const DDSCAPS2 wanted{DDSCAPS_BACKBUFFER};
    IDirectDrawSurface7* back = nullptr;
    ASSERT_EQ(primary->GetAttachedSurface(&wanted, &back), DD_OK);
    EXPECT_EQ(back->width(), 640);
    EXPECT_EQ(back->pixelFormat().dwRGBBitCount, 16u);
    DDSCAPS2 caps;
    back->GetCaps(&caps);
    EXPECT_NE(caps.dwCaps & DDSCAPS_3DDEVICE, 0u);
    const DDSCAPS2 depth{DDSCAPS_ZBUFFER};
    IDirectDrawSurface7* none = nullptr;
    EXPECT_EQ(primary->GetAttachedSurface(&depth, &none), DDERR_NOTFOUND);
    EXPECT_EQ(back->AddRef(), 3u);  // the chain's, GetAttachedSurface's and this one
    EXPECT_EQ(back->Release(), 2u);
    EXPECT_EQ(primary->Release(), 0u);
    EXPECT_EQ(back->Release(), 0u);
}

TEST_F(DeviceTest, PaletteEntriesReachTheDrawingContextOfAPaletteSurface)
{
    Screen::setBitDepth(8);
    IDirectDrawSurface7* surface = makeOffscreen(2, 1);
    PALETTEENTRY entries[256] = {};
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(device->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr), DD_OK);
    const PALETTEENTRY orange[2] = {{255, 128, 0, 4}, {0, 0, 255, 4}};
    ASSERT_EQ(palette->SetEntries(0, 200, 2, orange), DD_OK);
    EXPECT_EQ(palette->SetEntries(0, 255, 2, orange), DDERR_INVALIDPARAMS);
    PALETTEENTRY read[2];
    ASSERT_EQ(palette->GetEntries(0, 200, 2, read), DD_OK);
    EXPECT_EQ(read[0], orange[0]);
    ASSERT_EQ(surface->SetPalette(palette), DD_OK);
    EXPECT_EQ(palette->AddRef(), 3u);
    EXPECT_EQ(palette->Release(), 2u);

    DrawingContext* context = nullptr;
    ASSERT_EQ(surface->GetDC(&context), DD_OK);
    context->drawBitmap({2, 1, {0xFF8000, 0x0000FF}}, 0, 0);
    surface->ReleaseDC(context);
    EXPECT_EQ(surface->row(0)[0], 200);
    EXPECT_EQ(surface->row(0)[1], 201);

    Screen::setBitDepth(32);
    IDirectDrawSurface7* trueColour = makeOffscreen(2, 1);
    EXPECT_EQ(trueColour->SetPalette(palette), DDERR_NOTPALETTIZED);
    trueColour->Release();
    EXPECT_EQ(surface->Release(), 0u);
    EXPECT_EQ(palette->Release(), 0u);
}

TEST_F(DeviceTest, AClipperIsBoundToAKnownWindowOnly)
{
    FakeWindowHost window;
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(device->CreateClipper(0, &clipper, nullptr), DD_OK);
    EXPECT_EQ(clipper->SetHWnd(0, reinterpret_cast<HWND>(uintptr_t{0x42})), DDERR_INVALIDPARAMS);
    ASSERT_EQ(clipper->SetHWnd(0, window.handle()), DD_OK);
    HWND bound = nullptr;
    ASSERT_EQ(clipper->GetHWnd(&bound), DD_OK);
    EXPECT_EQ(bound, window.handle());
    EXPECT_EQ(clipper->Release(), 0u);
}

TEST(ScreenTest, RealisingAPaletteKeepsTheStaticColoursAndIsRecorded)
{
    Screen::reset();
    EXPECT_EQ(Screen::systemPalette()[255], (PALETTEENTRY{255, 255, 255, 0}));
    std::array<PALETTEENTRY, 256> entries;
    entries.fill({1, 2, 3, 4});
    Screen::realizePalette(nullptr, entries);
    EXPECT_EQ(Screen::systemPalette()[9], (PALETTEENTRY{166, 202, 240, 0}));
    EXPECT_EQ(Screen::systemPalette()[10], (PALETTEENTRY{1, 2, 3, 4}));
    EXPECT_EQ(Screen::systemPalette()[246], (PALETTEENTRY{255, 251, 240, 0}));
    ASSERT_EQ(Screen::realizedPalettes().size(), 1u);
    EXPECT_EQ(Screen::realizedPalettes()[0].window, nullptr);
    EXPECT_TRUE(Screen::screenSaverActive());
    Screen::setScreenSaverActive(false);
    EXPECT_FALSE(Screen::screenSaverActive());
    Screen::reset();
}

}  // namespace
