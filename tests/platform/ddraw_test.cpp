// The 2-D layer's primary surface as the screen shown through a window's clipper; the
// display tests reach its other surfaces and refusals.
#include "platform/testing.h"
#include "support/fake_window_host.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class DDrawTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(DirectDrawCreateEx(nullptr, &device, &IID_IDirectDraw7, nullptr), DD_OK); }
    void TearDown() override
    {
        for (auto* s : made) s->Release();
        device->Release();
        resetScreen();
    }
    // Released when the test ends.
    IDirectDrawSurface7* create(DDSURFACEDESC2 desc)
    {
        IDirectDrawSurface7* surface = nullptr;
        EXPECT_EQ(device->CreateSurface(&desc, &surface, nullptr), DD_OK);
        return surface ? made.emplace_back(surface) : nullptr;
    }
    // The primary surface with a clipper bound to window.
    IDirectDrawSurface7* makeWindowPrimary(FakeWindowHost& window)
    {
        DDSURFACEDESC2 desc;
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        IDirectDrawSurface7* primary = create(desc);
        IDirectDrawClipper* clipper = nullptr;
        EXPECT_EQ(device->CreateClipper(0, &clipper, nullptr), DD_OK);
        EXPECT_EQ(clipper->SetHWnd(0, window.handle()), DD_OK);
        EXPECT_EQ(primary->SetClipper(clipper), DD_OK);
        EXPECT_EQ(clipper->Release(), 1u);  // the primary keeps it
        return primary;
    }
    // A 32-bit surface in system memory whose every pixel has a value of its own.
    IDirectDrawSurface7* patterned(uint32_t width, uint32_t height)
    {
        DDSURFACEDESC2 desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        desc.dwWidth = width;
        desc.dwHeight = height;
        desc.ddpfPixelFormat = pixelFormatXrgb8888();
        IDirectDrawSurface7* s = create(desc);
        for (int32_t y = 0; y < s->height(); ++y)
            for (int32_t x = 0; x < s->width(); ++x) reinterpret_cast<uint32_t*>(s->row(y))[x] = pattern(x, y);
        return s;
    }
    static uint32_t pattern(int32_t x, int32_t y) { return static_cast<uint32_t>(x + 1000 * y + 0x100000); }
    static uint32_t get(IDirectDrawSurface7* s, int x, int y) { return reinterpret_cast<uint32_t*>(s->row(y))[x]; }
    IDirectDraw7* device = nullptr;
    std::vector<IDirectDrawSurface7*> made;
};

TEST_F(DDrawTest, ACopyToThePrimaryLandsInTheWindowsClientAreaOnly)
{
    FakeWindowHost window({100, 80, 320, 240});
    IDirectDrawSurface7* primary = makeWindowPrimary(window);
    IDirectDrawSurface7* back = patterned(640, 480);
    const Rect dest{60, 50, 160, 130}, source{0, 0, 100, 80};  // reaches 40 left of and 30 above the client area
    ASSERT_EQ(primary->Blt(&dest, back, &source, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(window.pixel(0, 0), pattern(40, 30));
    EXPECT_EQ(window.pixel(59, 49), pattern(99, 79));
    EXPECT_EQ(window.pixel(60, 0), 0u);
    EXPECT_EQ(window.changedAreas, (std::vector<Rect>{{0, 0, 60, 50}}));
    EXPECT_EQ(get(primary, 100, 80), pattern(40, 30));
    EXPECT_EQ(get(primary, 99, 80), 0u);  // the screen outside the window is left alone
    const Rect away{0, 0, 50, 50};
    ASSERT_EQ(primary->Blt(&away, back, &away, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(get(primary, 0, 0), 0u);
    EXPECT_EQ(primary->BltFast(100, 80, back, &away, DDBLTFAST_WAIT), DDERR_BLTFASTCANTCLIP);
}

// Stretching and keys are checked where the character is drawn.
TEST_F(DDrawTest, AClippedStretchShowsWhatTheWholeStretchWouldHaveShown)
{
    FakeWindowHost window({0, 0, 50, 40});
    IDirectDrawSurface7* primary = makeWindowPrimary(window);
    IDirectDrawSurface7* back = patterned(64, 48);
    IDirectDrawSurface7* whole = patterned(90, 70);
    const Rect source{1, 1, 31, 21}, onScreen{-20, -10, 70, 60};
    ASSERT_EQ(whole->Blt(nullptr, back, &source, DDBLT_WAIT, nullptr), DD_OK);
    ASSERT_EQ(primary->Blt(&onScreen, back, &source, DDBLT_WAIT, nullptr), DD_OK);
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 50; ++x) ASSERT_EQ(window.pixel(x, y), get(whole, x + 20, y + 10)) << x << "," << y;
}

}  // namespace
