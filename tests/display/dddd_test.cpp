// The display component on a fake window: its start sequence, the modes and devices
// the window never asks for, its message procedure and its release.
#include "platform/screen.h"
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
        ApplyDebugOption({ddoDebugMessage, ddoDetailedLog});
        Screen::setScreenSaverActive(true);
        window.setCreateHandler([this](void*) { events.push_back("FormCreate"); });
        window.setPaintHandler([this](void*) { events.push_back("FormPaint"); });
        dddd = std::make_unique<TDDDD>(&window);
        dddd->setDebugOption({ddoDebugMessage, ddoDetailedLog});
        dddd->OnInit = [this](void*, bool needChange) {
            events.push_back(needChange ? "OnInit needChange" : "OnInit");
        };
        for (auto [handler, name] : {std::pair{&TDDDD::OnRestore, "OnRestore"},
                                     {&TDDDD::OnCleanUp, "OnCleanUp"},
                                     {&TDDDD::OnEnterMenuLoop, "enter"},
                                     {&TDDDD::OnExitMenuLoop, "exit"}})
            (*dddd).*handler = [this, name = std::string(name)](TDDDD*) { events.push_back(name); };
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
    void start()
    {
        dddd->Loaded();
        window.create();
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
    void newLog() const { setDebugLogPath((folder / "dddd.debug").string()); }
    Strings log() const { return debugLogMessages(folder / "dddd.debug"); }
    size_t count(const std::string& message) const { return static_cast<size_t>(std::ranges::count(log(), message)); }

    ScratchFolder scratch;
    const std::filesystem::path& folder = scratch.path();
    FakeWindowHost window{{0, 0, 640, 480}};
    Strings events;
    std::unique_ptr<TDDDD> dddd;
};

TEST_F(DeviceTest, TheMainWindowsRunFromConstructionToDestruction)
{
    const Strings releaseLines = {"…DirectDraw/3D関連オブジェクトを全て解放します…",
                                  "…DirectDraw/3D関連オブジェクト、解放終了しました…"};
    dddd->setDebugOption({ddoHaltOnError, ddoDebugMessage, ddoDetailedLog});
    start();
    EXPECT_FALSE(Screen::screenSaverActive());
    EXPECT_EQ(events, (Strings{"FormCreate", "OnInit"}));
    EXPECT_EQ(dddd->BackBuffer->Width, 640);
    EXPECT_EQ(count(releaseLines[0]), 1u);  // the first set-up starts from nothing
    EXPECT_EQ(window.deliver(WM_MOVE, 0, 0x00100010), 0);  // the procedure is hooked and passes on
    ASSERT_EQ(window.ownMessages.size(), 1u);
    newLog();
    dddd.reset();
    EXPECT_TRUE(Screen::screenSaverActive());
    EXPECT_EQ((Strings{log().front(), log().back()}), releaseLines);
    window.deliver(WM_MOVE);
    EXPECT_EQ(window.ownMessages.size(), 2u);  // the window has its own procedure back
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
    std::filesystem::remove(folder / "dddd.debug");
    newLog();
    dddd.reset();
    EXPECT_FALSE(std::filesystem::exists(folder / "dddd.debug"));
    // The surfaces first: they hold the clipper and the palette.
    for (uint32_t left :
         {primary->Release(), back->Release(), clipper->Release(), palette->Release(), directDraw->Release()})
        EXPECT_EQ(left, 0u);
}

// Full screen and mode changes, which the window never asks for.
TEST_F(DeviceTest, TheStartTakesTheModeAskedForWhenItCanAndALaterSetUpRebuildsTheSurfaces)
{
    const struct {
        const char* name;
        bool automatic, fullScreen;
        int32_t width, bitDepth;
        const char* lastEvent;
        int32_t backWidth, screenDepth;
    } cases[] = {
        // clang-format off
        {"without automatic set-up the small one stays", false, false, 640, 0, "OnInit needChange", 128, 32},
        {"a full-screen mode the platform does not list", true, true, 700, 0, "OnInit needChange", 128, 32},
        {"full screen takes the screen", true, true, 640, 16, "OnInit", 640, 16},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        resetPlatform();
        FakeWindowHost host{{0, 0, 640, 480}};
        Strings started;
        TDDDD made(&host);
        made.OnInit = [&](void*, bool needChange) { started.push_back(needChange ? "OnInit needChange" : "OnInit"); };
        made.AutoDisplayModeInitialize = c.automatic;
        made.InitializeFullScreen = c.fullScreen;
        made.InitialScreenWidth = c.width;
        made.InitialBitDepth = c.bitDepth;  // no reason for the colour depth warning in full screen
        made.Loaded();
        host.create();
        EXPECT_EQ(started, Strings{c.lastEvent});
        EXPECT_EQ(made.BackBuffer->Width, c.backWidth);
        EXPECT_EQ(Screen::bitDepth(), c.screenDepth);
        if (c.screenDepth != 16) continue;
        EXPECT_NE(std::ranges::find(host.calls, "setBounds 0 0 640 480"), host.calls.end());
        made.InitializeDisplayMode(false, 320, 240, 0, 0, "");
        EXPECT_EQ(Screen::bitDepth(), 32);  // the mode found at start is back
    }
    start();
    TDDDDSurface surface(dddd.get(), 8, 8, 0);
    dddd->OnChangeDisplayMode = [&](TDDDD*) { events.push_back(surface.DDSurface ? "rebuilt" : "not rebuilt"); };
    dddd->InitializeDisplayMode(false, 320, 240, 0, 0, "");
    EXPECT_EQ(events, (Strings{"FormCreate", "OnInit", "OnCleanUp", "rebuilt"}));
    EXPECT_FALSE(surface.IsLost());
    EXPECT_TRUE(dddd->DisplayModeAvailable(1024, 768, 16, 75));
    EXPECT_FALSE(dddd->DisplayModeAvailable(1024, 768, 15, 0));
    std::vector<DisplayMode> modes;
    for (uint32_t i = 0; i < 300; ++i) modes.push_back({800 + i, 600, 32, 60});
    setScreenModes(modes);
    EXPECT_TRUE(dddd->DisplayModeAvailable(1055, 600, 32, 60));  // the 256th
    EXPECT_FALSE(dddd->DisplayModeAvailable(1056, 600, 32, 60));  // the 257th is not searched
}

TEST_F(DeviceTest, InAWindowTheColourDepthWarningEndsTheProgram)
{
    dddd->InitialBitDepth = 16;
    EXPECT_EXIT(start(), ::testing::ExitedWithCode(EXIT_FAILURE), "");
}

TEST_F(DeviceTest, TheMessageProcedureKeepsAFullScreenWindowInPlaceAndMenusGetTheScreen)
{
    window.ownResult = 42;
    start();
    MINMAXINFO info;
    EXPECT_EQ(window.deliver(WM_GETMINMAXINFO, 0, reinterpret_cast<intptr_t>(&info)), 42);
    EXPECT_EQ(info.ptMaxSize, (POINT{}));  // window mode: untouched
    window.calls.clear();
    window.deliver(WM_ENTERMENULOOP);
    window.deliver(WM_EXITMENULOOP);
    EXPECT_EQ(dddd->DirectDraw->flipsToGDISurface(), 1);
    EXPECT_EQ(window.calls, (Strings{"drawMenuBar", "redrawFrame"}));
    EXPECT_EQ(events, (Strings{"FormCreate", "OnInit", "enter", "exit"}));
    dddd->FullScreen = true;
    window.deliver(WM_GETMINMAXINFO, 0, reinterpret_cast<intptr_t>(&info));
    EXPECT_EQ(info.ptMaxTrackSize, (POINT{Screen::width(), Screen::height()}));
    window.setBounds({30, 40, 640, 480});
    window.calls.clear();
    window.deliver(WM_MOVE, 0, 0x00280030);
    EXPECT_EQ(window.calls, (Strings{"setBounds 0 40 640 480", "setBounds 0 0 640 480"}));
    EXPECT_EQ(window.ownMessages.size(), 5u);  // every message reached the window's own procedure
}

TEST_F(DeviceTest, PaintsRestoreLostSurfacesOfTheActiveWindowOnlyAndClearsFillTheScreenSize)
{
    start();
    TDDDDSurface surface(dddd.get(), 2, 1, 0);
    dddd->DirectDraw->markAllSurfacesLost();
    events.clear();
    window.isActive = false;
    window.paint();
    window.isActive = true;
    dddd->Busy = true;
    window.paint();
    EXPECT_TRUE(surface.IsLost());
    dddd->Busy = false;
    window.paint();
    EXPECT_EQ(events, (Strings{"FormPaint", "FormPaint", "OnRestore"}));  // an inactive window paints nothing
    EXPECT_FALSE(surface.IsLost() || dddd->Primary->IsLost());
    dddd->BackColor = 0x00ABCDEF;
    dddd->ScreenWidth = 10;  // only this much is cleared
    dddd->ClearBackBuffer();
    EXPECT_EQ(dddd->BackBuffer->GetPixel(9, 479), 0x00ABCDEFu);
    EXPECT_EQ(dddd->BackBuffer->GetPixel(10, 0), 0u);
}

TEST_F(DeviceTest, EightBitScreensGetThePalette)
{
    Screen::setBitDepth(8);
    start();
    dddd->PaletteEntries[100] = {10, 20, 30, 0};
    window.deliver(WM_QUERYNEWPALETTE);
    ASSERT_EQ(realizedPalettes().size(), 2u);
    EXPECT_EQ(realizedPalettes()[1].entries[100], (PALETTEENTRY{10, 20, 30, 0}));
}

// A failed call of each stage of the set-up is logged with its code; after: successful calls of its kind first.
TEST_F(DeviceTest, CheckedCallsLogTheirMessageWhenTheyFail)
{
    const struct {
        DDCall call;
        int after;
        const char* message;
        bool fullScreen = false;
        int bitDepth = 32;
        bool use3D = false;
        int times = 1;  // failures in a row
    } cases[] = {
        // clang-format off
        {DDCall::DirectDrawCreateEx, 0, "DirectDrawオブジェクトが作成できません"},
        {DDCall::CreateSurface, 0, "プライマリ・サーフェスの作成に失敗しました"},
        {DDCall::CreateSurface, 1, "バックバッファの作成に失敗しました", false, 32, false, 2},  // and its retry
        {DDCall::SetHWnd, 0, "Clipperのフォームへの割り当てに失敗しました"},
        {DDCall::SetDisplayMode, 0, "画面モード640x480x32の初期化に失敗しました", true},
        {DDCall::CreatePalette, 0, "DirectDrawPaletteの作成に失敗しました", false, 8},
        {DDCall::DirectDrawQueryInterface, 0, "Direct3Dオブジェクトの作成に失敗しました", false, 32, true},
        // clang-format on
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
TEST_F(DeviceTest, AReleaseThatLeavesAReferenceIsAFailureAndHaltEndsTheProgram)
{
    auto made = device(true);
    made->InitializeDisplayMode(false, 640, 480, 32, 0, "");
    const RefPtr<IDirectDraw7> directDraw = made->DirectDraw;
    newLog();
    made->ReleaseAll();
    EXPECT_EQ(log(), Strings{"DirectDrawの解放に失敗しました(Error Code(1))"});
    DDFaultInjection::failCall(DDCall::CreateSurface, DDERR_OUTOFMEMORY);
    dddd->setDebugOption({ddoHaltOnError});
    EXPECT_EXIT(dddd->InitializeDisplayMode(false, 64, 64, 0, 0, ""), ::testing::ExitedWithCode(EXIT_FAILURE), "");
}

// The 3-D device, which the window never asks for: hardware first unless the options forbid it.
TEST_F(DeviceTest, ThreeDDevicesFollowHardwareAndOptions)
{
    // clang-format off
    const struct { TD3DOptions options; const char* used; bool retainedMode, depthBuffer; } cases[] = {
        {{}, "T&L HALデバイスを使用します", false, false},
        {{MakeZBuffer, DontUseTnLHAL, DontUseHAL, DontUseRGBEmulation}, "リファレンスラスタライザを使用します", true, true},
        // clang-format on
    };
    DirectDrawDrivers::primary().caps = DDCAPS_3D;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.used);
        auto made = device(true, {ddoDebugMessage, ddoDetailedLog});
        made->D3DOptions = c.options;
        made->InitializeDisplayMode(false, 640, 480, 32, 0, "");
        EXPECT_EQ(count(c.used), 1u);
        EXPECT_EQ(made->RMDevice != nullptr, c.retainedMode);
        EXPECT_EQ(made->ZBuffer != nullptr, c.depthBuffer);
    }
}

}  // namespace
