// The display component's start sequence: the window hooks, the choice of driver,
// and InitializeDisplayMode with its windowed and full-screen surfaces and palette.
#include "display/dddd.h"

#include "platform/screen.h"
#include "platform/string_format.h"

#include <cstdlib>

namespace {

// The "%s (%s)" text of a driver, as DriverList holds it.
std::string driverText(const char* description, const char* name) { return stringFormat("%s (%s)", description, name); }

struct DriverSearch {
    std::string wanted;
    RefPtr<IDirectDraw7> found;
};

BOOL tryNamedDriver(GUID* guid, char* description, char* name, void* context)
{
    auto* search = static_cast<DriverSearch*>(context);
    const std::string text = driverText(description, name);
    if (text != search->wanted) return 1;
    RefPtr<IDirectDraw7> made;
    if (DirectDrawCreateEx(guid, made.put(), &IID_IDirectDraw7, nullptr) != DD_OK) return 1;
    DetailLog("DirectDrawオブジェクトを作成しました");
    DetailLog(stringFormat("Created DDraw Driver ... %s %p", text.c_str(), static_cast<void*>(made.get())));
    search->found = std::move(made);
    return 0;
}

BOOL try3DDriver(GUID* guid, char* description, char* /*name*/, void* context)
{
    auto* found = static_cast<RefPtr<IDirectDraw7>*>(context);
    DetailLog(stringFormat("Enumerated DDraw Driver ... %s", description));
    if (!guid) return 1;
    RefPtr<IDirectDraw7> test;
    CheckResult(DirectDrawCreateEx(guid, test.put(), &IID_IDirectDraw7, nullptr),
                "DirectDrawオブジェクトの作成に失敗しました");
    if (!test) return 1;
    DetailLog("DirectDrawオブジェクトをテスト作成しました");
    DDCAPS caps;
    if (test->GetCaps(&caps, nullptr) == DD_OK && (caps.dwCaps & DDCAPS_3D) &&
        (caps.ddsCaps.dwCaps & DDSCAPS_TEXTURE)) {
        *found = std::move(test);
        DetailLog("テスト作成されたDirectDrawオブジェクトを採用します");
        return 0;
    }
    test.reset();
    DetailLog("テスト用DirectDrawオブジェクトを解放しました");
    return 1;
}

void logPlacement(uint32_t caps)
{
    if (caps & DDSCAPS_VIDEOMEMORY)
        DetailLog("バックバッファをビデオメモリに配置します");
    else if (caps & DDSCAPS_SYSTEMMEMORY)
        DetailLog("バックバッファをシステムメモリに配置します");
    else
        DetailLog("バックバッファをドライバのデフォルトの位置(おそらくビデオメモリ)に配置します");
}

}  // namespace

void TDDDD::startSequence(void* Sender)
{
    WindowHandle = owner_->handle();
    if (AutoDisplayModeInitialize && !InitializeFullScreen && InitialBitDepth != 0 &&
        DisplayBitDepth() != InitialBitDepth) {
        owner_->showWarning("警告",
                            stringFormat("画面モードが不適切です。色数を %d ビットに設定して、起動しなおしてください。",
                                         InitialBitDepth));
        std::exit(EXIT_FAILURE);
    }
    InitializeDisplayMode(false, 128, 128, DisplayBitDepth(), 0, "");
    if (AutoDisplayModeInitialize) {
        ScreenWidth = InitialScreenWidth;
        ScreenHeight = InitialScreenHeight;
        FullScreen = InitializeFullScreen;
        ScreenBitDepth = InitialBitDepth;
    }
    if (!NotStarted) return;
    NotStarted = false;
    bool needChange = false;
    if (!AutoDisplayModeInitialize)
        needChange = true;
    else if (FullScreen)
        needChange = !DisplayModeAvailable(ScreenWidth, ScreenHeight, ScreenBitDepth, 0);
    if (!needChange) InitializeDisplayMode(FullScreen, ScreenWidth, ScreenHeight, ScreenBitDepth, 0, "");
    if (SavedOnCreate) SavedOnCreate(Sender);
    Started = true;
    if (OnInit) OnInit(Sender, needChange);
    hookWindowProcedure();
}

void TDDDD::hookWindowProcedure()
{
    WndProcInstance = [this](uint32_t message, uintptr_t wParam, intptr_t lParam) {
        return HookWndProc(message, wParam, lParam);
    };
    OldWndProc = owner_->windowProcedure();
    owner_->setWindowProcedure(WndProcInstance);
}

void TDDDD::createDefaultDirectDraw()
{
    CheckResult(DirectDrawCreateEx(nullptr, DirectDraw.put(), &IID_IDirectDraw7, nullptr),
                "DirectDrawオブジェクトが作成できません");
    DetailLog("DirectDrawオブジェクトを作成しました");
}

RefPtr<IDirectDraw7> TDDDD::findDriver(const std::string& DriverName)
{
    DriverSearch search{DriverName, nullptr};
    DirectDrawEnumerateA(tryNamedDriver, &search);
    return std::move(search.found);
}

RefPtr<IDirectDraw7> TDDDD::choose3DDriver()
{
    RefPtr<IDirectDraw7> found;
    DirectDrawEnumerateA(try3DDriver, &found);
    return found;
}

void TDDDD::InitializeDisplayMode(bool FullScreen_, int32_t Width, int32_t Height, int32_t BitDepth,
                                  int32_t RefreshRate_, const std::string& DriverName)
{
    DetailLog(stringFormat("スクリーンモード%d x %d x %d として初期化を開始します", Width, Height, BitDepth));
    if (FullScreen_ && owner_) {
        owner_->show();
        owner_->bringToFront();
    }
    Busy = true;
    ReleaseAll();
    if (owner_ && owner_->handle() != WindowHandle) {
        WindowHandle = owner_->handle();
        OldWndProc = owner_->windowProcedure();
        owner_->setWindowProcedure(WndProcInstance);
    }

    if (!FullScreen_) {
        DetailLog("ウィンドウモードで初期化を開始します");
        createDefaultDirectDraw();
    } else {
        DetailLog("フルスクリーンで初期化を開始します");
        if (!DriverName.empty()) {
            DetailLog("指定されたドライバ " + DriverName + " を使用します");
            DirectDraw = findDriver(DriverName);
            if (!DirectDraw) {
                DetailLog("指定されたドライバが見つからなかったので、デフォルトのドライバを使用します");
                createDefaultDirectDraw();
            }
        } else {
            DetailLog("デフォルトのドライバを使用します");
            if (Use3D) DirectDraw = choose3DDriver();
            if (!DirectDraw) createDefaultDirectDraw();
        }
    }
    DDCAPS hardware;
    DDCAPS emulation;
    if (DirectDraw) DirectDraw->GetCaps(&hardware, &emulation);
    DetailLog(stringFormat("Caps:%.16llX", static_cast<unsigned long long>(hardware.dwCaps)));

    PlatformSurfaces surfaces;
    if (DirectDraw)
        surfaces = FullScreen_ ? setUpFullScreen(hardware.dwCaps, Width, Height, BitDepth, RefreshRate_)
                               : setUpWindowMode(hardware.dwCaps, Width, Height);
    IDirectDrawSurface7* primary = surfaces.primary.get();
    IDirectDrawSurface7* back = surfaces.back.get();
    if (DirectDraw) {
        CheckResult(DirectDraw->CreateClipper(0, Clipper.put(), nullptr), "Clipperオブジェクトの作成に失敗しました");
        if (Clipper) CheckResult(Clipper->SetHWnd(0, WindowHandle), "Clipperのフォームへの割り当てに失敗しました");
        if (primary)
            CheckResult(primary->SetClipper(Clipper.get()), "Clipperのプライマリサーフェスへの割り当てに失敗しました");
    }

    ScreenBitDepth = DisplayBitDepth();
    FullScreen = FullScreen_;
    RefreshRate = RefreshRate_;
    ScreenWidth = Width;
    ScreenHeight = Height;
    Primary = std::make_unique<TDDDDGenSurface>(this, std::move(surfaces.primary), Width, Height);
    BackBuffer = std::make_unique<TDDDDGenSurface>(this, std::move(surfaces.back), Width, Height);

    preparePalette();
    if (DisplayBitDepth() == 8 && DirectDraw) {
        CheckResult(
            DirectDraw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, PaletteEntries.data(), Palette.put(), nullptr),
            "DirectDrawPaletteの作成に失敗しました");
        if (primary)
            CheckResult(primary->SetPalette(Palette.get()), "DirectDrawPaletteのFrontBufferへの割り当てに失敗しました");
        if (back)
            CheckResult(back->SetPalette(Palette.get()), "DirectDrawPaletteのBackBufferへの割り当てに失敗しました");
    }
    if (Use3D) setUp3DDevice(Width, Height);
    Busy = false;
    if (!NotStarted && Started) {
        RebuildAllSurfaces();
        if (OnChangeDisplayMode) OnChangeDisplayMode(this);
    }
}

TDDDD::PlatformSurfaces TDDDD::setUpFullScreen(uint32_t hardwareCaps, int32_t Width, int32_t Height, int32_t BitDepth,
                                               int32_t RefreshRate_)
{
    if (owner_) owner_->setBounds({0, 0, Width, Height});
    CheckResult(DirectDraw->SetCooperativeLevel(WindowHandle, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT |
                                                                  DDSCL_ALLOWMODEX),
                "協調レベルの設定に失敗しました");
    CheckResult(DirectDraw->SetDisplayMode(static_cast<uint32_t>(Width), static_cast<uint32_t>(Height),
                                           static_cast<uint32_t>(BitDepth), static_cast<uint32_t>(RefreshRate_), 0),
                stringFormat("画面モード%dx%dx%dの初期化に失敗しました", Width, Height, BitDepth));
    Hardware3D = (hardwareCaps & DDCAPS_3D) && DisplayBitDepth() > 8;

    DDSURFACEDESC2 desc;
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | (Use3D ? DDSCAPS_3DDEVICE : 0);
    PlatformSurfaces surfaces;
    CheckResult(DirectDraw->CreateSurface(&desc, surfaces.primary.put(), nullptr),
                "プライマリ・サーフェスの作成に失敗しました");
    if (surfaces.primary) {
        DDSCAPS2 backCaps;
        backCaps.dwCaps = DDSCAPS_BACKBUFFER;
        CheckResult(surfaces.primary->GetAttachedSurface(&backCaps, surfaces.back.put()),
                    "バックバッファの作成に失敗しました");
    }
    if (owner_) {
        owner_->setBounds({0, 0, owner_->screenWidth(), owner_->screenHeight()});
        owner_->bringToTop();
    }
    return surfaces;
}

TDDDD::PlatformSurfaces TDDDD::setUpWindowMode(uint32_t hardwareCaps, int32_t Width, int32_t Height)
{
    CheckResult(DirectDraw->SetCooperativeLevel(WindowHandle, DDSCL_NORMAL), "協調レベルの設定に失敗しました");
    Hardware3D = (hardwareCaps & DDCAPS_3D) && DisplayBitDepth() > 8;
    DDSURFACEDESC2 desc;
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    PlatformSurfaces surfaces;
    CheckResult(DirectDraw->CreateSurface(&desc, surfaces.primary.put(), nullptr),
                "プライマリ・サーフェスの作成に失敗しました");

    // With the 3-D device, default and compatible placement ask for video memory only
    // when hardware 3-D may be used.
    const bool hardwareMayRender =
        Hardware3D && !(D3DOptions.contains(DontUseTnLHAL) && D3DOptions.contains(DontUseHAL));
    bool video = BackBufferLocationAtWindowed == bmtVideoMemory;
    if (BackBufferLocationAtWindowed == bmtDefault) video = Use3D ? hardwareMayRender : true;
    if (BackBufferLocationAtWindowed == bmtCompatible) video = Use3D && hardwareMayRender;
    DDSURFACEDESC2 back;
    back.dwSize = sizeof back;
    back.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    back.dwWidth = static_cast<uint32_t>(Width);
    back.dwHeight = static_cast<uint32_t>(Height);
    back.ddsCaps.dwCaps =
        DDSCAPS_OFFSCREENPLAIN | (video ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY) | (Use3D ? DDSCAPS_3DDEVICE : 0);
    if (DirectDraw->CreateSurface(&back, surfaces.back.put(), nullptr) != DD_OK) {
        back.ddsCaps.dwCaps &= ~DDSCAPS_VIDEOMEMORY;
        CheckResult(DirectDraw->CreateSurface(&back, surfaces.back.put(), nullptr),
                    "バックバッファの作成に失敗しました");
    }
    logPlacement(back.ddsCaps.dwCaps);
    return surfaces;
}

void TDDDD::preparePalette()
{
    Palette.reset();
    if (!Use3D) {
        for (PALETTEENTRY& entry : PaletteEntries) entry.peFlags = 4;  // no collapse
    } else if (FullScreen) {
        for (int i = 0; i < 256; ++i)
            PaletteEntries[i] = {static_cast<uint8_t>(((i >> 5) & 7) * 255 / 7),
                                 static_cast<uint8_t>(((i >> 2) & 7) * 255 / 7),
                                 static_cast<uint8_t>((i & 3) * 255 / 3), 64};
    } else {
        PaletteEntries = Screen::systemPalette();
        for (int i = 0; i < 256; ++i) PaletteEntries[i].peFlags = (i < 10 || i > 245) ? 64 : 1;
    }
}
