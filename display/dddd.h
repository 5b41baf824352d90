// The display component: owns the platform device, the primary surface, the back
// buffer, the clipper binding the primary to the window, the palette of 8-bit
// screens and the lists through which every off-screen surface is restored,
// rebuilt and released together with the device. It stands in front of its
// window's create and paint handlers and message procedure.
#pragma once

#include "display/debug_log.h"
#include "display/surface.h"
#include "platform/d3d.h"
#include "platform/ddraw.h"
#include "platform/enum_set.h"
#include "platform/window_host.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

enum TDDDDSurfaceMemoryType { smtDefault, smtCompatible, smtSystemMemory, smtVideoMemory, smtNonLocalVideoMemory };
enum TDDDDBackBufferMemoryType { bmtDefault, bmtCompatible, bmtSystemMemory, bmtVideoMemory };
enum TD3DOption { DontUseTnLHAL, DontUseHAL, DontUseMMX, DontUseRGBEmulation, MakeZBuffer, MakeStencilBuffer };
using TD3DOptions = EnumSet<TD3DOption>;

class TDDDD;
using TNotifyEvent = std::function<void(TDDDD* Sender)>;
using TDDDDInitEvent = std::function<void(void* Sender, bool fNeedChange)>;

class TDDDD {
public:
    // Made while its window is being built: it takes the place of the window's
    // create and paint handlers. Without a window it serves off-screen use only.
    explicit TDDDD(WindowHost* Owner = nullptr);
    ~TDDDD();
    TDDDD(const TDDDD&) = delete;
    TDDDD& operator=(const TDDDD&) = delete;

    // The window's stored settings have been read: applies the screen saver and
    // debug switches.
    void Loaded();

    TDDDDDebugOptions DebugOption() const { return debugOption_; }
    void setDebugOption(TDDDDDebugOptions value);
    bool DisableScreenSaver() const { return disableScreenSaver_; }
    void setDisableScreenSaver(bool value);

    void InitializeDisplayMode(bool FullScreen, int32_t Width, int32_t Height, int32_t BitDepth, int32_t RefreshRate,
                               const std::string& DriverName);
    void ReleaseAll();
    bool DisplayModeAvailable(int32_t Width, int32_t Height, int32_t BitDepth, int32_t RefreshRate);
    int32_t DisplayBitDepth() const;

    void RegisterSurface(TDDDDSurface* Surface);
    void UnregisterSurface(TDDDDSurface* Surface);
    void RestoreAllSurfaces();
    void RebuildAllSurfaces();
    void ReleaseAllSurfaces();
    // Index of the surface's keeper in SurfaceList, or -1.
    int surfaceIndex(const TDDDDSurface* Surface) const;

    // Run-time services.
    void HookFormPaint(void* Sender);
    intptr_t HookWndProc(uint32_t Message, uintptr_t WParam, intptr_t LParam);
    void RestoreSurfaces();
    void UpdatePalette();
    void ClearBackBuffer();
    void EnterMenuLoop();

    // The 3-D device's depth buffer for a device kind (0 to 5).
    bool CreateDepthBuffer(int Kind, bool Hardware);

    // Settings, with a new component's values.
    int32_t InitialScreenWidth = 640;
    int32_t InitialScreenHeight = 480;
    int32_t InitialBitDepth = 0;
    bool InitializeFullScreen = false;
    int32_t ScreenBitDepth = 0;
    bool FullScreen = false;
    int32_t ScreenWidth = 0;
    int32_t ScreenHeight = 0;
    int32_t RefreshRate = 0;
    uint32_t BackColor = 0;
    bool AutoDisplayModeInitialize = true;
    TDDDDSurfaceMemoryType SurfaceLocation = smtDefault;
    TDDDDBackBufferMemoryType BackBufferLocationAtWindowed = bmtDefault;
    bool VsyncAtWindowed = true;

    TDDDDInitEvent OnInit;
    TNotifyEvent OnRestore;
    TNotifyEvent OnCleanUp;
    TNotifyEvent OnChangeDisplayMode;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnEnterMenuLoop;
    TNotifyEvent OnExitMenuLoop;

    HWND WindowHandle = nullptr;
    WindowHandler SavedOnPaint;
    WindowHandler SavedOnCreate;
    WindowProcedure OldWndProc;
    WindowProcedure WndProcInstance;
    bool NotStarted = false;
    bool Destroying = false;
    bool Started = false;
    bool Busy = false;
    bool ScreenSaverWasActive = false;
    std::unique_ptr<TDDDDGenSurface> Primary;
    std::unique_ptr<TDDDDGenSurface> BackBuffer;
    RefPtr<IDirectDraw7> DirectDraw;
    RefPtr<IDirectDrawClipper> Clipper;
    std::vector<std::string> DriverList;
    bool Use3D = false;
    RefPtr<IDirect3DRM3> Direct3DRM;
    RefPtr<IDirect3DRMDevice3> RMDevice;
    RefPtr<IDirect3D7> Direct3D;
    RefPtr<IDirect3DDevice7> Direct3DDevice;
    std::unique_ptr<TDDDDGenSurface> ZBuffer;
    int32_t DeviceKind = 0;
    TD3DOptions D3DOptions{MakeZBuffer};
    RefPtr<IDirect3DRMViewport2> RMViewport;
    RefPtr<IDirect3DRMFrame3> Camera;
    bool Hardware3D = false;
    bool HardwareDevice = false;
    std::vector<std::unique_ptr<TDDDDSurfaceKeeper>> SurfaceList;
    std::vector<std::unique_ptr<TDDDDSurfaceKeeper>> TextureList;
    std::array<PALETTEENTRY, 256> PaletteEntries{};
    RefPtr<IDirectDrawPalette> Palette;

private:
    void startSequence(void* Sender);
    void createDefaultDirectDraw();
    RefPtr<IDirectDraw7> findDriver(const std::string& DriverName);
    RefPtr<IDirectDraw7> choose3DDriver();
    struct PlatformSurfaces {
        RefPtr<IDirectDrawSurface7> primary;
        RefPtr<IDirectDrawSurface7> back;
    };
    PlatformSurfaces setUpWindowMode(uint32_t hardwareCaps, int32_t Width, int32_t Height);
    PlatformSurfaces setUpFullScreen(uint32_t hardwareCaps, int32_t Width, int32_t Height, int32_t BitDepth,
                                     int32_t RefreshRate);
    void preparePalette();
    void setUp3DDevice(int32_t Width, int32_t Height);
    void releaseDepthBuffer();
    // The release sequence of ReleaseAll; without its log lines and checks when not logged.
    void releaseObjects(bool logged);
    void hookWindowProcedure();

    WindowHost* owner_;
    TDDDDDebugOptions debugOption_{ddoHaltOnError};
    bool disableScreenSaver_ = true;
};
