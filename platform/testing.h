// Hooks for tests of what stands on the platform layers: failures to inject into
// the 2-D and 3-D layers, the display drivers and 3-D device kinds they offer, and
// the screen's mode list and palette record. Beyond the layers, which consult the
// injected failures, only tests use these.
#pragma once

#include "platform/ddraw.h"
#include "platform/screen.h"

#include <array>
#include <vector>

// Calls a test can make fail. GetCaps is the surface's, DirectDrawGetCaps the device's.
enum class DDCall {
    DirectDrawCreateEx,
    CreateSurface,
    GetSurfaceDesc,
    GetCaps,
    SetColorKey,
    Lock,
    Unlock,
    Blt,
    BltFast,
    GetDC,
    ReleaseDC,
    Restore,
    DirectDrawEnumerateA,
    DirectDrawGetCaps,
    SetCooperativeLevel,
    SetDisplayMode,
    RestoreDisplayMode,
    EnumDisplayModes,
    FlipToGDISurface,
    CreateClipper,
    CreatePalette,
    SetHWnd,
    GetHWnd,
    SetEntries,
    GetEntries,
    SetClipper,
    SetPalette,
    GetAttachedSurface,
    AddAttachedSurface,
    DeleteAttachedSurface,
    // The 3-D stand-ins (platform/d3d.h).
    DirectDrawQueryInterface,
    Direct3DRMCreate,
    Direct3DRMQueryInterface,
    EnumZBufferFormats,
    CreateDevice,
    CreateDeviceFromClipper,
    CreateFrame,
    CreateViewport,
    SetBack,
};

class DDFaultInjection {
public:
    // The call fails with code once, after `after` successful calls of its kind.
    static void failCall(DDCall call, HRESULT code, int after = 0);
    static void reset();
    // Consulted by the layer at the start of each call; DD_OK when it may go on.
    static HRESULT take(DDCall call);
};

// The display drivers besides the primary one, and the primary one's capabilities.
class DirectDrawDrivers {
public:
    // The primary display driver ("Primary Display Driver", "display"): a blitter
    // without 3-D. Tests may change its capabilities.
    static DirectDrawDriver& primary();
    static void add(const DirectDrawDriver& driver);
    // Only the primary display driver again, as it was.
    static void reset();
};

// The 3-D device kinds that can be made and the depth formats they list.
class Direct3DDevices {
public:
    // Whether a kind can be made. By default all but MMX and Ramp, which Direct3D 7
    // no longer offers; the hardware kinds do not look at the driver's DDCAPS_3D.
    static void setAvailable(const GUID& kind, bool available);
    // The depth formats listed for every kind. By default 16-bit Z, 24-bit Z with
    // 8-bit stencil, 24-bit Z in 32 bits and 32-bit Z, in this order.
    static void setZBufferFormats(std::vector<DDPIXELFORMAT> formats);
    static void reset();
};

// The screen's modes (Screen::modes) from now on.
void setScreenModes(std::vector<DisplayMode> modes);
// The screen as a run starts: 1920 x 1080 at 32 bits per pixel, the default modes,
// the system palette's static colours, the screen saver on, no palette realised.
void resetScreen();

// A logical palette realised for a window (null: the screen).
struct RealizedPalette {
    HWND window = nullptr;
    std::array<PALETTEENTRY, 256> entries;
};
// Every realisation (Screen::realizePalette), in order.
const std::vector<RealizedPalette>& realizedPalettes();
