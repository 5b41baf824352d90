// The display component on a fake window: its start sequence, the modes and devices
// the window never asks for, its message procedure and its release.
#include "support/display_fixture.h"
#include "support/fake_window_host.h"

#include <algorithm>

namespace {

using Strings = std::vector<std::string>;

// Made while the window is built, settings read; the window's creation runs the start sequence.
class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetPlatform();
        newLog();
        Screen::setScreenSaverActive(true);
        window.setCreateHandler([this](void*) { events.push_back("FormCreate"); });
        window.setPaintHandler([this](void*) { events.push_back("FormPaint"); });
        dddd = std::make_unique<TDDDD>(&window);
        dddd->setDebugOption({ddoDebugMessage, ddoDetailedLog});
        dddd->Loaded();  // the settings read: the window's creation starts it
        dddd->OnInit = [this](void*, bool) { events.push_back("OnInit"); };
        dddd->OnRestore = [this](TDDDD*) { events.push_back("OnRestore"); };
    }
    void TearDown() override
    {
        dddd.reset();
        ApplyDebugOption({});
        resetPlatform();
    }
    static void resetPlatform()
    {
        DDFaultInjection::reset();
        DirectDrawDrivers::reset();
        Direct3DDevices::reset();
        resetScreen();
    }
    // Another display of the window, as after its start sequence, logging to a new log.
    std::unique_ptr<TDDDD> device(bool use3D, TDDDDDebugOptions options = {ddoDebugMessage})
    {
        auto made = std::make_unique<TDDDD>(&window);
        made->setDebugOption(options);
        made->NotStarted = false;
        made->Use3D = use3D;
        newLog();
        return made;
    }
    // A new log: the next line written starts the file anew as number 1.
    void newLog() const { setDebugLogPath((scratch / "dddd.debug").string()); }
    Strings log() const { return debugLogMessages(scratch / "dddd.debug"); }
    size_t count(const std::string& message) const { return static_cast<size_t>(std::ranges::count(log(), message)); }

    ScratchFolder scratch;
    FakeWindowHost window{{0, 0, 640, 480}};
    Strings events;
    std::unique_ptr<TDDDD> dddd;
};

// From construction to destruction, painting with lost surfaces in between.
TEST_F(DeviceTest, TheMainWindowsRunFromConstructionToDestruction)
{
    const Strings releaseLines = {"…DirectDraw/3D関連オブジェクトを全て解放します…",
                                  "…DirectDraw/3D関連オブジェクト、解放終了しました…"};
    dddd->setDebugOption({ddoHaltOnError, ddoDebugMessage, ddoDetailedLog});
    window.create();
    EXPECT_FALSE(Screen::screenSaverActive());
    EXPECT_EQ(count(releaseLines[0]), 1u);  // the first set-up starts from nothing
    EXPECT_EQ(window.deliver(WM_MOVE, 0, 0x00100010), 0);  // the procedure is hooked and passes on
    window.deliver(WM_ENTERMENULOOP);
    EXPECT_EQ(dddd->DirectDraw->flipsToGDISurface(), 1);  // menus get the screen
    auto surface = std::make_unique<TDDDDSurface>(dddd.get(), 2, 1, 0);
    dddd->DirectDraw->markAllSurfacesLost();
    window.isActive = false;
    window.paint();
    window.isActive = true;
    dddd->Busy = true;
    window.paint();
    EXPECT_TRUE(surface->IsLost());
    dddd->Busy = false;
    window.paint();
    EXPECT_EQ(events, (Strings{"FormCreate", "OnInit", "FormPaint", "FormPaint", "OnRestore"}));  // inactive: no restore
    EXPECT_FALSE(surface->IsLost() || dddd->Primary->IsLost());
    surface.reset();
    dddd->BackColor = 0x00ABCDEF;
    dddd->ScreenWidth = 10;  // only this much is cleared
    dddd->ClearBackBuffer();
    EXPECT_EQ(dddd->BackBuffer->GetPixel(9, 479), 0x00ABCDEFu);
    EXPECT_EQ(dddd->BackBuffer->GetPixel(10, 0), 0u);
    newLog();
    dddd.reset();
    EXPECT_TRUE(Screen::screenSaverActive());
    EXPECT_EQ((Strings{log().front(), log().back()}), releaseLines);
    window.deliver(WM_MOVE);
    EXPECT_EQ(window.ownMessages.size(), 3u);  // the window has its own procedure back
}

TEST_F(DeviceTest, ADisplayThatNeverStartedReleasesWhatItMadeWithoutAWord)
{
    Screen::setBitDepth(8);  // a palette too
    dddd->InitializeDisplayMode(false, 64, 64, 8, 0, "");  // a set-up without the start sequence
    // Each object, held here as well, must be left with this one reference.
    IDirectDraw7* directDraw = dddd->DirectDraw.get();
    IDirectDrawClipper* clipper = dddd->Clipper.get();
    IDirectDrawPalette* palette = dddd->Palette.get();
    IDirectDrawSurface7* primary = dddd->Primary->DDSurface.get();
    IDirectDrawSurface7* back = dddd->BackBuffer->DDSurface.get();
    ASSERT_TRUE(directDraw && clipper && palette && primary && back);
    for (auto addRef : {directDraw->AddRef(), clipper->AddRef(), palette->AddRef(), primary->AddRef(), back->AddRef()})
        EXPECT_GT(addRef, 1u);
    std::filesystem::remove(scratch / "dddd.debug");
    newLog();
    dddd.reset();
    EXPECT_FALSE(std::filesystem::exists(scratch / "dddd.debug"));
    // The surfaces first: they hold the clipper and the palette.
    for (uint32_t left :
         {primary->Release(), back->Release(), clipper->Release(), palette->Release(), directDraw->Release()})
        EXPECT_EQ(left, 0u);
}

// What the window never asks for: full screen, mode changes, palettes and the 3-D device.
TEST_F(DeviceTest, ModesAndDevicesTheWindowNeverAsksForAreMadeAsAsked)
{
    // Without automatic set-up, or in a full-screen mode the platform does not list, the small one stays.
    for (auto [automatic, width] : {std::pair{false, 640}, {true, 700}}) {
        SCOPED_TRACE(width);
        FakeWindowHost host{{0, 0, 640, 480}};
        TDDDD made(&host);
        made.AutoDisplayModeInitialize = automatic;
        made.InitializeFullScreen = true;
        made.InitialScreenWidth = width;
        made.Loaded();
        host.create();
        EXPECT_EQ(made.BackBuffer->Width, 128);
    }
    dddd->InitialBitDepth = 8;
    EXPECT_EXIT(window.create(), ::testing::ExitedWithCode(EXIT_FAILURE), "");  // in a window: the colour depth warning
    dddd->InitializeFullScreen = true;
    window.create();
    EXPECT_EQ(Screen::bitDepth(), 8);
    window.setBounds({30, 40, 640, 480});
    window.deliver(WM_MOVE, 0, 0x00280030);
    EXPECT_EQ(window.calls.back(), "setBounds 0 0 640 480");  // a full-screen window stays in place
    TDDDDSurface surface(dddd.get(), 8, 8, 0);
    dddd->InitializeDisplayMode(false, 320, 240, 0, 0, "");
    EXPECT_EQ(Screen::bitDepth(), 32);  // a later set-up: the mode found at start is back
    EXPECT_TRUE(surface.DDSurface && !surface.IsLost());  // and the surfaces are made again
    Screen::setBitDepth(8);
    dddd->InitializeDisplayMode(false, 640, 480, 8, 0, "");  // a window on an 8-bit screen
    dddd->PaletteEntries[100] = {10, 20, 30, 0};
    window.deliver(WM_QUERYNEWPALETTE);
    ASSERT_EQ(realizedPalettes().size(), 2u);
    EXPECT_EQ(realizedPalettes()[1].entries[100], (PALETTEENTRY{10, 20, 30, 0}));
    Screen::setBitDepth(32);
    DirectDrawDrivers::primary().caps = DDCAPS_3D;
    auto hardware = device(true, {ddoDebugMessage, ddoDetailedLog});
    hardware->D3DOptions = {};  // hardware first
    hardware->InitializeDisplayMode(false, 640, 480, 32, 0, "");
    EXPECT_EQ(count("T&L HALデバイスを使用します"), 1u);
    EXPECT_FALSE(hardware->RMDevice || hardware->ZBuffer);
    hardware.reset();
    auto reference = device(true, {ddoDebugMessage, ddoDetailedLog});
    reference->D3DOptions = {MakeZBuffer, DontUseTnLHAL, DontUseHAL, DontUseRGBEmulation};
    reference->InitializeDisplayMode(false, 640, 480, 32, 0, "");
    EXPECT_EQ(count("リファレンスラスタライザを使用します"), 1u);
    EXPECT_TRUE(reference->RMDevice && reference->ZBuffer);
}

// A failed call of each stage of the set-up is logged with its code; after: successful calls of its kind first.
TEST_F(DeviceTest, CheckedCallsLogTheirMessageWhenTheyFail)
{
    const struct {
        DDCall call;
        int after;
        const char* message;
        bool fullScreen = false, use3D = false;
        int bitDepth = 32, times = 1;  // times: failures in a row
    } cases[] = {
        {DDCall::DirectDrawCreateEx, 0, "DirectDrawオブジェクトが作成できません"},
        {DDCall::CreateSurface, 0, "プライマリ・サーフェスの作成に失敗しました"},
        {DDCall::CreateSurface, 1, "バックバッファの作成に失敗しました", false, false, 32, 2},  // and its retry
        {DDCall::SetHWnd, 0, "Clipperのフォームへの割り当てに失敗しました"},
        {DDCall::SetDisplayMode, 0, "画面モード640x480x32の初期化に失敗しました", true},
        {DDCall::CreatePalette, 0, "DirectDrawPaletteの作成に失敗しました", false, false, 8},
        {DDCall::DirectDrawQueryInterface, 0, "Direct3Dオブジェクトの作成に失敗しました", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        resetPlatform();
        Screen::setBitDepth(c.bitDepth);
        for (int i = 0; i < c.times; ++i) DDFaultInjection::failCall(c.call, DDERR_GENERIC, c.after);
        device(c.use3D)->InitializeDisplayMode(c.fullScreen, 640, 480, c.bitDepth, 0, "");
        EXPECT_EQ(count(std::string(c.message) + "(Error Code(80004005))"), 1u);
    }
}

// Leaks show: a release that leaves a reference is logged as a failure with the count left.
TEST_F(DeviceTest, AReleaseThatLeavesAReferenceIsAFailure)
{
    auto made = device(true);
    made->InitializeDisplayMode(false, 640, 480, 32, 0, "");
    const RefPtr<IDirectDraw7> directDraw = made->DirectDraw;
    newLog();
    made->ReleaseAll();
    EXPECT_EQ(log(), Strings{"DirectDrawの解放に失敗しました(Error Code(1))"});
}

}  // namespace
