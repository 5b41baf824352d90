#include "platform/screen.h"
#include "platform/string_format.h"
#include "support/display_fixture.h"
#include "support/fake_window_host.h"

#include <algorithm>

namespace {

// The display component on a fake window: made while the window is built, settings
// read, then the window's creation runs the start sequence.
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
        dddd->OnInit = [this](void*, bool needChange) { events.push_back(needChange ? "OnInit needChange" : "OnInit"); };
        dddd->OnRestore = [this](TDDDD*) { events.push_back("OnRestore"); };
        dddd->OnChangeDisplayMode = [this](TDDDD*) { events.push_back("OnChangeDisplayMode"); };
        dddd->OnCleanUp = [this](TDDDD*) { events.push_back("OnCleanUp"); };
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
    // Another display of the window, as after its start sequence (each set-up releases
    // the one before), logging to a new log.
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
    std::vector<std::string> log() const { return debugLogMessages(folder / "dddd.debug"); }
    size_t count(const std::string& message) const { return static_cast<size_t>(std::ranges::count(log(), message)); }
    // The messages appear in the log in this order (others may stand between them).
    void expectInOrder(const std::vector<std::string>& messages) const
    {
        const auto lines = log();
        auto at = lines.begin();
        for (const auto& message : messages) {
            at = std::find(at, lines.end(), message);
            ASSERT_NE(at, lines.end()) << "missing or out of order: " << message;
            ++at;
        }
    }

    ScratchFolder scratch;
    const std::filesystem::path& folder = scratch.path();
    FakeWindowHost window{{0, 0, 640, 480}};
    std::vector<std::string> events;
    std::unique_ptr<TDDDD> dddd;
};

TEST_F(DeviceTest, TheMainWindowsRunFromConstructionToDestruction)
{
    dddd->setDebugOption({ddoHaltOnError, ddoDebugMessage, ddoDetailedLog});
    start();
    EXPECT_FALSE(Screen::screenSaverActive());
    EXPECT_EQ(events, (std::vector<std::string>{"FormCreate", "OnInit"}));
    EXPECT_EQ(dddd->BackBuffer->Width, 640);
    EXPECT_FALSE(dddd->Busy);
    expectInOrder({"Enumerated DDraw Driver ... Primary Display Driver (display)", "スクリーンモード128 x 128 x 32 として初期化を開始します",
                   "ウィンドウモードで初期化を開始します", "DirectDrawオブジェクトを作成しました", "バックバッファをビデオメモリに配置します",
                   "スクリーンモード640 x 480 x 0 として初期化を開始します", "…DirectDraw/3D関連オブジェクトを全て解放します…",
                   "パレットを解放しました", "クリッパーを解放しました", "バックバッファを解放しました", "プライマリサーフェスを解放しました",
                   "DirectDrawを解放しました", "…DirectDraw/3D関連オブジェクト、解放終了しました…", "ウィンドウモードで初期化を開始します"});
    EXPECT_EQ(count("…DirectDraw/3D関連オブジェクトを全て解放します…"), 1u);  // the first set-up starts from nothing
    EXPECT_EQ(window.deliver(WM_MOVE, 0, 0x00100010), 0);  // the procedure is hooked and passes on
    ASSERT_EQ(window.ownMessages.size(), 1u);

    newLog();
    dddd.reset();
    EXPECT_TRUE(Screen::screenSaverActive());
    EXPECT_EQ(log(), (std::vector<std::string>{"…DirectDraw/3D関連オブジェクトを全て解放します…", "オフスクリーンサーフェスを全て解放しました",
                                               "パレットを解放しました", "クリッパーを解放しました", "バックバッファを解放しました",
                                               "プライマリサーフェスを解放しました", "DirectDrawを解放しました",
                                               "…DirectDraw/3D関連オブジェクト、解放終了しました…"}));
    window.deliver(WM_MOVE);
    EXPECT_EQ(window.ownMessages.size(), 2u);  // the window has its own procedure back
}

TEST_F(DeviceTest, ADisplayThatNeverStartedReleasesWhatItMadeWithoutAWord)
{
    std::filesystem::remove(folder / "dddd.debug");
    dddd.reset();  // made nothing
    EXPECT_FALSE(std::filesystem::exists(folder / "dddd.debug"));

    Screen::setBitDepth(8);  // a palette too
    dddd = std::make_unique<TDDDD>(&window);
    dddd->setDebugOption({ddoDebugMessage, ddoDetailedLog});
    dddd->InitializeDisplayMode(false, 64, 64, 8, 0, "");  // a set-up without the start sequence
    // Each object, held here as well, must be left with this one reference.
    IDirectDraw7* directDraw = dddd->DirectDraw.get();
    IDirectDrawClipper* clipper = dddd->Clipper.get();
    IDirectDrawPalette* palette = dddd->Palette.get();
    IDirectDrawSurface7* primary = dddd->Primary->DDSurface.get();
    IDirectDrawSurface7* back = dddd->BackBuffer->DDSurface.get();
    ASSERT_TRUE(directDraw && clipper && palette && primary && back);
    for (auto addRef : {directDraw->AddRef(), clipper->AddRef(), palette->AddRef(), primary->AddRef(), back->AddRef()}) EXPECT_GT(addRef, 1u);
    std::filesystem::remove(folder / "dddd.debug");
    newLog();
    dddd.reset();
    EXPECT_FALSE(std::filesystem::exists(folder / "dddd.debug"));
    // The surfaces first: they hold the clipper and the palette.
    for (uint32_t left : {primary->Release(), back->Release(), clipper->Release(), palette->Release(), directDraw->Release()}) EXPECT_EQ(left, 0u);
}

TEST_F(DeviceTest, AnUnwritableLogIsToldOnceAndTheReleaseGoesOn)
{
    start();
    const auto unwritable = folder / "missing-folder" / "dddd.debug";
    setDebugLogPath(unwritable.string());
    ::testing::internal::CaptureStderr();
    dddd.reset();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "pomelune: ログファイル " + unwritable.string() + " に書き込めません: No such file or directory\n");
    window.deliver(WM_MOVE);
    EXPECT_EQ(window.ownMessages.size(), 1u);  // the window has its own procedure back
}

TEST_F(DeviceTest, WithoutAutomaticSetUpTheSmallWindowSetUpStays)
{
    dddd->AutoDisplayModeInitialize = false;
    start();
    EXPECT_EQ(events, (std::vector<std::string>{"FormCreate", "OnInit needChange"}));
    EXPECT_EQ(dddd->BackBuffer->Width, 128);
}

TEST_F(DeviceTest, AFullScreenModeThePlatformDoesNotListIsNotSet)
{
    dddd->InitializeFullScreen = true;
    dddd->InitialScreenWidth = 700;
    start();
    EXPECT_EQ(events.back(), "OnInit needChange");
    EXPECT_EQ(dddd->BackBuffer->Width, 128);
}

TEST_F(DeviceTest, FullScreenTakesTheScreenAndGivesItBack)
{
    dddd->InitializeFullScreen = true;
    dddd->InitialBitDepth = 16;  // no reason for the colour depth warning in full screen
    start();
    EXPECT_EQ(events.back(), "OnInit");
    EXPECT_EQ(Screen::bitDepth(), 16);
    EXPECT_EQ(Screen::width(), 640);
    EXPECT_EQ(dddd->DirectDraw->cooperativeLevel(), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_ALLOWMODEX);
    DDSCAPS2 caps;
    dddd->BackBuffer->DDSurface->GetCaps(&caps);
    EXPECT_TRUE(caps.dwCaps & DDSCAPS_BACKBUFFER);
    EXPECT_NE(std::ranges::find(window.calls, "setBounds 0 0 640 480"), window.calls.end());
    dddd->InitializeDisplayMode(false, 320, 240, 0, 0, "");
    EXPECT_EQ(Screen::bitDepth(), 32);  // the mode found at start is back
}

TEST_F(DeviceTest, TheColourDepthWarningEndsTheProgram)
{
    dddd->InitialBitDepth = 16;
    EXPECT_EXIT(start(), ::testing::ExitedWithCode(EXIT_FAILURE), "");
}

TEST_F(DeviceTest, ALaterSetUpRebuildsEverySurfaceBeforeTellingTheApplication)
{
    start();
    TDDDDSurface surface(dddd.get(), 8, 8, 0);
    dddd->OnChangeDisplayMode = [&](TDDDD*) {
        events.push_back("OnChangeDisplayMode");
        EXPECT_NE(surface.DDSurface, nullptr);
        EXPECT_EQ(log().back(), "PixelFormat: AMask=00000000 RMask=00ff0000 GMask=0000ff00 BMask=000000ff");
    };
    dddd->InitializeDisplayMode(false, 320, 240, 0, 0, "");
    EXPECT_EQ(events, (std::vector<std::string>{"FormCreate", "OnInit", "OnCleanUp", "OnChangeDisplayMode"}));
    EXPECT_FALSE(surface.IsLost());
    expectInOrder({"DirectDrawオブジェクトの解放に伴い、0番のサーフェスを解放します", "0番のサーフェスを再構築します"});
}

TEST_F(DeviceTest, DisplayModesAreSearchedAmongTheFirst256)
{
    start();
    EXPECT_TRUE(dddd->DisplayModeAvailable(0, 0, 0, 0));
    EXPECT_TRUE(dddd->DisplayModeAvailable(1024, 768, 16, 75));
    EXPECT_FALSE(dddd->DisplayModeAvailable(1024, 768, 15, 0));
    std::vector<DisplayMode> modes;
    for (uint32_t i = 0; i < 300; ++i) modes.push_back({800 + i, 600, 32, 60});
    setScreenModes(modes);
    EXPECT_TRUE(dddd->DisplayModeAvailable(1055, 600, 32, 60));  // the 256th
    EXPECT_FALSE(dddd->DisplayModeAvailable(1056, 600, 32, 60));  // the 257th
}

TEST_F(DeviceTest, TheMessageProcedureKeepsAFullScreenWindowInPlace)
{
    window.ownResult = 42;
    start();
    MINMAXINFO info;
    EXPECT_EQ(window.deliver(WM_GETMINMAXINFO, 0, reinterpret_cast<intptr_t>(&info)), 42);
    EXPECT_EQ(info.ptMaxSize, (POINT{}));  // window mode: untouched
    window.isMaximized = true;
    window.calls.clear();
    window.deliver(WM_SIZE);
    window.deliver(WM_MOVE, 0, 0x00050005);
    EXPECT_TRUE(window.calls.empty());

    dddd->FullScreen = true;
    EXPECT_EQ(window.deliver(WM_GETMINMAXINFO, 0, reinterpret_cast<intptr_t>(&info)), 42);
    const POINT screen{Screen::width(), Screen::height()};
    EXPECT_EQ(info.ptMaxSize, screen);
    EXPECT_EQ(info.ptMinTrackSize, screen);
    EXPECT_EQ(info.ptMaxTrackSize, screen);
    window.setBounds({30, 40, 640, 480});
    window.calls.clear();
    window.deliver(WM_MOVE, 0, 0);  // no new position: left alone
    window.deliver(WM_MOVE, 0, 0x00280030);
    window.deliver(WM_SIZE);
    const std::string height = std::to_string(Screen::height()), width = std::to_string(Screen::width());
    EXPECT_EQ(window.calls, (std::vector<std::string>{"setBounds 0 40 640 480", "setBounds 0 0 640 480", "setNormalState",
                                                      "setBounds 0 0 640 " + height, "setBounds 0 0 " + width + " " + height}));
    EXPECT_EQ(window.ownMessages.size(), 7u);  // every message reached the window's own procedure
}

TEST_F(DeviceTest, MenusHandTheScreenBackToTheWindowSystem)
{
    start();
    dddd->OnEnterMenuLoop = [this](TDDDD*) { events.push_back("enter"); };
    dddd->OnExitMenuLoop = [this](TDDDD*) { events.push_back("exit"); };
    window.calls.clear();
    window.deliver(WM_ENTERMENULOOP);
    window.deliver(WM_EXITMENULOOP);
    EXPECT_EQ(dddd->DirectDraw->flipsToGDISurface(), 1);
    EXPECT_EQ(window.calls, (std::vector<std::string>{"drawMenuBar", "redrawFrame"}));
    EXPECT_EQ(events, (std::vector<std::string>{"FormCreate", "OnInit", "enter", "exit"}));
}

TEST_F(DeviceTest, ClearBackBufferFillsTheScreenSizeWithTheRawValue)
{
    start();
    dddd->BackColor = 0x00ABCDEF;
    dddd->ScreenWidth = 10;  // only this much is cleared
    dddd->ClearBackBuffer();
    EXPECT_EQ(dddd->BackBuffer->GetPixel(9, 479), 0x00ABCDEFu);
    EXPECT_EQ(dddd->BackBuffer->GetPixel(10, 0), 0u);
}

TEST_F(DeviceTest, PaintsRestoreLostSurfacesOfTheActiveWindowOnly)
{
    start();
    TDDDDSurface surface(dddd.get(), 2, 1, 0);
    dddd->DirectDraw->markAllSurfacesLost();
    events.clear();
    window.isActive = false;
    window.paint();
    EXPECT_TRUE(events.empty());
    window.isActive = true;
    dddd->Busy = true;
    window.paint();
    EXPECT_EQ(events, std::vector<std::string>{"FormPaint"});
    EXPECT_TRUE(surface.IsLost());
    dddd->Busy = false;
    window.paint();
    EXPECT_EQ(events, (std::vector<std::string>{"FormPaint", "FormPaint", "OnRestore"}));
    EXPECT_FALSE(surface.IsLost());
    EXPECT_FALSE(dddd->Primary->IsLost());
}

TEST_F(DeviceTest, EightBitScreensGetThePalette)
{
    Screen::setBitDepth(8);
    start();
    ASSERT_NE(dddd->Palette, nullptr);
    dddd->PaletteEntries[100] = {10, 20, 30, 0};
    dddd->PaletteEntries[5] = {1, 2, 3, 0};
    window.deliver(WM_QUERYNEWPALETTE);
    const auto& realized = realizedPalettes();
    ASSERT_EQ(realized.size(), 2u);
    EXPECT_EQ(realized[1].window, window.handle());
    EXPECT_EQ(realized[1].entries[100], (PALETTEENTRY{10, 20, 30, 0}));
    EXPECT_EQ(realized[1].entries[5], Screen::systemPalette()[5]);
}

TEST_F(DeviceTest, EveryCheckedCallLogsItsMessageWhenItFails)
{
    struct Case {
        DDCall call;
        int after;  // successful calls of its kind first
        const char* message;
        bool fullScreen = false;
        int bitDepth = 32;
        bool use3D = false;
        int times = 1;
    };
    const Case cases[] = {
        {DDCall::DirectDrawCreateEx, 0, "DirectDrawオブジェクトが作成できません"},
        {DDCall::SetCooperativeLevel, 0, "協調レベルの設定に失敗しました"},
        {DDCall::CreateSurface, 0, "プライマリ・サーフェスの作成に失敗しました"},
        {DDCall::CreateSurface, 1, "バックバッファの作成に失敗しました", false, 32, false, 2},  // and its retry
        {DDCall::CreateClipper, 0, "Clipperオブジェクトの作成に失敗しました"},
        {DDCall::SetHWnd, 0, "Clipperのフォームへの割り当てに失敗しました"},
        {DDCall::SetClipper, 0, "Clipperのプライマリサーフェスへの割り当てに失敗しました"},
        {DDCall::SetDisplayMode, 0, "画面モード640x480x32の初期化に失敗しました", true},
        {DDCall::GetAttachedSurface, 0, "バックバッファの作成に失敗しました", true},
        {DDCall::CreatePalette, 0, "DirectDrawPaletteの作成に失敗しました", false, 8},
        {DDCall::SetPalette, 0, "DirectDrawPaletteのFrontBufferへの割り当てに失敗しました", false, 8},
        {DDCall::SetPalette, 1, "DirectDrawPaletteのBackBufferへの割り当てに失敗しました", false, 8},
        {DDCall::DirectDrawQueryInterface, 0, "Direct3Dオブジェクトの作成に失敗しました", false, 32, true},
        {DDCall::Direct3DRMCreate, 0, "Direct3DRMオブジェクトの作成に失敗しました", false, 32, true},
        {DDCall::Direct3DRMQueryInterface, 0, "Direct3DRM3オブジェクトの作成に失敗しました", false, 32, true},
        {DDCall::CreateDeviceFromClipper, 0, "Diret3DRMデバイスの作成に失敗しました", false, 32, true},
    };
    for (const Case& c : cases) {
        resetPlatform();
        Screen::setBitDepth(c.bitDepth);
        for (int i = 0; i < c.times; ++i) DDFaultInjection::failCall(c.call, DDERR_GENERIC, c.after);
        auto made = device(c.use3D);
        made->InitializeDisplayMode(c.fullScreen, 640, 480, c.bitDepth, 0, "");
        EXPECT_EQ(count(std::string(c.message) + "(Error Code(80004005))"), 1u) << c.message;
    }
}

TEST_F(DeviceTest, ReleasesThatLeaveReferencesAndFailedPaletteAndViewportCallsAreFailures)
{
    Screen::setBitDepth(8);
    auto made = device(true);
    made->InitializeDisplayMode(false, 640, 480, 8, 0, "");
    made->Direct3DRM->CreateFrame(nullptr, made->Camera.put());
    DDFaultInjection::failCall(DDCall::CreateViewport, DDERR_GENERIC);
    made->InitializeDisplayMode(false, 640, 480, 8, 0, "");
    EXPECT_EQ(count("Viewportの作成に失敗しました(Error Code(80004005))"), 1u);
    made->InitializeDisplayMode(false, 640, 480, 8, 0, "");
    ASSERT_NE(made->RMViewport, nullptr);
    EXPECT_EQ(made->RMViewport->GetBack(), 5000.0f);
    IDirectDraw7* directDraw = made->DirectDraw.get();
    IDirect3DDevice7* direct3DDevice = made->Direct3DDevice.get();
    IDirect3DRMDevice3* retainedDevice = made->RMDevice.get();
    IDirect3DRM3* retainedMode = made->Direct3DRM.get();
    directDraw->AddRef();
    direct3DDevice->AddRef();
    retainedDevice->AddRef();
    retainedMode->AddRef();
    newLog();
    made->ReleaseAll();
    // DirectDraw: ours, and the one of the Direct3D object that the device we still hold keeps.
    EXPECT_EQ(log(), (std::vector<std::string>{"Direct3DRMDeviceの解放に失敗しました(Error Code(1))", "Direct3DDeviceの解放に失敗しました(Error Code(1))",
                                               "DirectDrawの解放に失敗しました(Error Code(2))"}));
    retainedDevice->Release();
    direct3DDevice->Release();
    directDraw->Release();
    made->InitializeDisplayMode(true, 640, 480, 8, 0, "");
    DDFaultInjection::failCall(DDCall::SetEntries, DDERR_GENERIC);
    made->UpdatePalette();
    EXPECT_EQ(count("パレットが更新できませんでした(Error Code(80004005))"), 1u);
    made->Destroying = true;
    made->ReleaseAll();  // only destruction lets the retained-mode object go
    EXPECT_EQ(count("Direct3DRM3の解放に失敗しました(Error Code(1))"), 1u);
    retainedMode->Release();
    DDFaultInjection::failCall(DDCall::CreateSurface, DDERR_OUTOFMEMORY);
    dddd->setDebugOption({ddoHaltOnError});
    EXPECT_EXIT(dddd->InitializeDisplayMode(false, 64, 64, 0, 0, ""), ::testing::ExitedWithCode(EXIT_FAILURE), "");
}

TEST_F(DeviceTest, FullScreenDriversAreFoundByNameOrBy3DSupport)
{
    DirectDrawDrivers::add({GUID{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}}, "Second Card", "card2", DDCAPS_3D, DDSCAPS_TEXTURE});
    auto made = device(false, {ddoDebugMessage, ddoDetailedLog});
    EXPECT_EQ(made->DriverList, (std::vector<std::string>{"Primary Display Driver (display)", "Second Card (card2)"}));
    made->InitializeDisplayMode(true, 640, 480, 32, 0, "Second Card (card2)");
    expectInOrder({"指定されたドライバ Second Card (card2) を使用します", "DirectDrawオブジェクトを作成しました"});
    EXPECT_EQ(count("Created DDraw Driver ... Second Card (card2) " + stringFormat("%p", static_cast<void*>(made->DirectDraw.get()))), 1u);
    const std::string fallBack = "指定されたドライバが見つからなかったので、デフォルトのドライバを使用します";
    made->InitializeDisplayMode(true, 640, 480, 32, 0, "No Such (card)");
    EXPECT_EQ(count(fallBack), 1u);
    made->InitializeDisplayMode(false, 640, 480, 32, 0, "No Such (card)");  // window mode ignores the name
    EXPECT_EQ(count(fallBack), 1u);
    made->Use3D = true;
    made->InitializeDisplayMode(true, 640, 480, 32, 0, "");
    expectInOrder({"デフォルトのドライバを使用します", "Enumerated DDraw Driver ... Second Card", "DirectDrawオブジェクトをテスト作成しました",
                   "テスト作成されたDirectDrawオブジェクトを採用します"});
    DDFaultInjection::failCall(DDCall::DirectDrawCreateEx, DDERR_GENERIC);
    made->InitializeDisplayMode(true, 640, 480, 32, 0, "");
    EXPECT_EQ(count("DirectDrawオブジェクトの作成に失敗しました(Error Code(80004005))"), 1u);
}

TEST_F(DeviceTest, ThreeDDevicesFollowHardwareAndOptions)
{
    struct Case {
        bool hardware;
        TD3DOptions options;
        bool fullScreen;
        const char* used;
        bool retainedMode;
    };
    const Case cases[] = {
        {true, {MakeZBuffer}, false, "T&L HALデバイスを使用します", false},
        {true, {MakeZBuffer, DontUseTnLHAL}, false, "HALデバイスを使用します", true},
        {false, {MakeZBuffer}, false, "RGBエミュレーションデバイスを使用します", true},
        {true, {MakeZBuffer, DontUseTnLHAL, DontUseHAL, DontUseRGBEmulation}, false, "リファレンスラスタライザを使用します", true},
        {true, {MakeZBuffer, DontUseTnLHAL}, true, "HALデバイスを使用します", false},
    };
    for (const Case& c : cases) {
        DirectDrawDrivers::primary().caps = c.hardware ? DDCAPS_3D : 0;
        auto made = device(true, {ddoDebugMessage, ddoDetailedLog});
        made->D3DOptions = c.options;
        made->InitializeDisplayMode(c.fullScreen, 640, 480, 32, 0, "");
        EXPECT_EQ(count(c.used), 1u) << c.used;
        EXPECT_EQ(made->RMDevice != nullptr, c.retainedMode) << c.used;
        EXPECT_NE(made->ZBuffer, nullptr);
        const bool accelerated = c.hardware && std::string(c.used).find("HAL") != std::string::npos;
        EXPECT_EQ(count(accelerated ? "ハードウェアアクセラレーション可" : "ハードウェアアクセラレーション不可"), 1u);
    }
    DirectDrawDrivers::primary().caps = DDCAPS_3D;
    auto made = device(true, {ddoDebugMessage, ddoDetailedLog});
    made->D3DOptions = {MakeZBuffer, MakeStencilBuffer};
    made->InitializeDisplayMode(false, 640, 480, 32, 0, "");
    expectInOrder({"列挙されたステンシルバッファのフォーマット...ZDepth=32 SDepth=8 Mask=(Z:ffffff00 S:000000ff L:00000000)",
                   "ステンシルバッファを作成しました", "T&L HALデバイスを使用します"});
    made->D3DOptions = {};
    made->InitializeDisplayMode(false, 640, 480, 32, 0, "");
    EXPECT_EQ(made->ZBuffer, nullptr);
}

}  // namespace
