// The software 2-D graphics layer: a DirectDraw 7 stand-in whose surfaces live in
// memory. Names, flags and result codes are DirectDraw's published ones, so the
// display component reads as it would against the real interface. Every call that
// can fail can be made to fail by a test (DDFaultInjection), and surfaces can be
// marked lost.
//
// The primary surface is the screen (platform/screen.h): with a clipper bound to a
// window, whatever a copy changes on it inside the window's client area is shown
// in that window's frame buffer (platform/window_host.h).
#pragma once

#include "platform/bitmap_reader.h"
#include "platform/pixel_loops.h"
#include "platform/rect.h"
#include "platform/window_host.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using HRESULT = int32_t;
using BOOL = int32_t;

struct GUID {
    uint32_t Data1 = 0;
    uint16_t Data2 = 0;
    uint16_t Data3 = 0;
    uint8_t Data4[8] = {};
    bool operator==(const GUID&) const = default;
};

inline constexpr GUID IID_IDirectDraw7{0x15e65ec0, 0x3b9c, 0x11d2, {0xb9, 0x2f, 0x00, 0x60, 0x97, 0x97, 0xea, 0x5b}};

constexpr HRESULT makeDDResult(uint32_t code) { return static_cast<HRESULT>(0x88760000u | code); }

inline constexpr HRESULT DD_OK = 0;
inline constexpr HRESULT DDERR_GENERIC = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT DDERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT DDERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT DDERR_INVALIDPARAMS = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT DDERR_CANNOTATTACHSURFACE = makeDDResult(10);
inline constexpr HRESULT DDERR_INVALIDCAPS = makeDDResult(100);
inline constexpr HRESULT DDERR_INVALIDMODE = makeDDResult(120);
inline constexpr HRESULT DDERR_INVALIDOBJECT = makeDDResult(130);
inline constexpr HRESULT DDERR_INVALIDPIXELFORMAT = makeDDResult(145);
inline constexpr HRESULT DDERR_INVALIDRECT = makeDDResult(150);
inline constexpr HRESULT DDERR_NOEXCLUSIVEMODE = makeDDResult(225);
inline constexpr HRESULT DDERR_NOTFOUND = makeDDResult(255);
inline constexpr HRESULT DDERR_SURFACEALREADYATTACHED = makeDDResult(410);
inline constexpr HRESULT DDERR_SURFACEBUSY = makeDDResult(430);
inline constexpr HRESULT DDERR_SURFACELOST = makeDDResult(450);
inline constexpr HRESULT DDERR_SURFACENOTATTACHED = makeDDResult(460);
inline constexpr HRESULT DDERR_INVALIDDIRECTDRAWGUID = makeDDResult(561);
inline constexpr HRESULT DDERR_BLTFASTCANTCLIP = makeDDResult(574);
inline constexpr HRESULT DDERR_NOTLOCKED = makeDDResult(584);
inline constexpr HRESULT DDERR_NOTPALETTIZED = makeDDResult(589);

// Device capabilities (DDCAPS::dwCaps).
inline constexpr uint32_t DDCAPS_3D = 0x00000001;
inline constexpr uint32_t DDCAPS_BLT = 0x00000040;
inline constexpr uint32_t DDCAPS_BLTSTRETCH = 0x00000200;
inline constexpr uint32_t DDCAPS_PALETTE = 0x00008000;
inline constexpr uint32_t DDCAPS_COLORKEY = 0x00400000;
inline constexpr uint32_t DDCAPS_BLTCOLORFILL = 0x04000000;

// Cooperative levels.
inline constexpr uint32_t DDSCL_FULLSCREEN = 0x00000001;
inline constexpr uint32_t DDSCL_ALLOWREBOOT = 0x00000002;
inline constexpr uint32_t DDSCL_NORMAL = 0x00000008;
inline constexpr uint32_t DDSCL_EXCLUSIVE = 0x00000010;
inline constexpr uint32_t DDSCL_ALLOWMODEX = 0x00000040;

// Display mode enumeration.
inline constexpr uint32_t DDEDM_REFRESHRATES = 0x00000001;
inline constexpr HRESULT DDENUMRET_CANCEL = 0;
inline constexpr HRESULT DDENUMRET_OK = 1;

// Palette capabilities.
inline constexpr uint32_t DDPCAPS_8BIT = 0x00000004;
inline constexpr uint32_t DDPCAPS_ALLOW256 = 0x00000040;

// Surface description flags.
inline constexpr uint32_t DDSD_CAPS = 0x00000001;
inline constexpr uint32_t DDSD_HEIGHT = 0x00000002;
inline constexpr uint32_t DDSD_WIDTH = 0x00000004;
inline constexpr uint32_t DDSD_PITCH = 0x00000008;
inline constexpr uint32_t DDSD_BACKBUFFERCOUNT = 0x00000020;
inline constexpr uint32_t DDSD_LPSURFACE = 0x00000800;
inline constexpr uint32_t DDSD_PIXELFORMAT = 0x00001000;
inline constexpr uint32_t DDSD_CKSRCBLT = 0x00010000;
inline constexpr uint32_t DDSD_REFRESHRATE = 0x00040000;
inline constexpr uint32_t DDSD_ALL = 0x00fff9ee;

// Surface capabilities.
inline constexpr uint32_t DDSCAPS_BACKBUFFER = 0x00000004;
inline constexpr uint32_t DDSCAPS_COMPLEX = 0x00000008;
inline constexpr uint32_t DDSCAPS_FLIP = 0x00000010;
inline constexpr uint32_t DDSCAPS_OFFSCREENPLAIN = 0x00000040;
inline constexpr uint32_t DDSCAPS_PRIMARYSURFACE = 0x00000200;
inline constexpr uint32_t DDSCAPS_SYSTEMMEMORY = 0x00000800;
inline constexpr uint32_t DDSCAPS_TEXTURE = 0x00001000;
inline constexpr uint32_t DDSCAPS_3DDEVICE = 0x00002000;
inline constexpr uint32_t DDSCAPS_VIDEOMEMORY = 0x00004000;
inline constexpr uint32_t DDSCAPS_ZBUFFER = 0x00020000;
inline constexpr uint32_t DDSCAPS_NONLOCALVIDMEM = 0x08000000;
inline constexpr uint32_t DDSCAPS_LOCALVIDMEM = 0x10000000;

// Pixel format flags.
inline constexpr uint32_t DDPF_ALPHAPIXELS = 0x00000001;
inline constexpr uint32_t DDPF_PALETTEINDEXED8 = 0x00000020;
inline constexpr uint32_t DDPF_RGB = 0x00000040;
inline constexpr uint32_t DDPF_ZBUFFER = 0x00000400;
inline constexpr uint32_t DDPF_STENCILBUFFER = 0x00004000;

// Lock flags.
inline constexpr uint32_t DDLOCK_SURFACEMEMORYPTR = 0x00000000;
inline constexpr uint32_t DDLOCK_WAIT = 0x00000001;
inline constexpr uint32_t DDLOCK_READONLY = 0x00000010;
inline constexpr uint32_t DDLOCK_WRITEONLY = 0x00000020;

// Colour key flags.
inline constexpr uint32_t DDCKEY_SRCBLT = 0x00000008;

// Blt flags and effects.
inline constexpr uint32_t DDBLT_COLORFILL = 0x00000400;
inline constexpr uint32_t DDBLT_DDFX = 0x00000800;
inline constexpr uint32_t DDBLT_KEYSRC = 0x00008000;
inline constexpr uint32_t DDBLT_WAIT = 0x01000000;
inline constexpr uint32_t DDBLTFX_MIRRORLEFTRIGHT = 0x00000002;
inline constexpr uint32_t DDBLTFX_MIRRORUPDOWN = 0x00000004;

// BltFast flags.
inline constexpr uint32_t DDBLTFAST_NOCOLORKEY = 0x00000000;
inline constexpr uint32_t DDBLTFAST_SRCCOLORKEY = 0x00000001;
inline constexpr uint32_t DDBLTFAST_WAIT = 0x00000010;

struct DDCOLORKEY {
    uint32_t dwColorSpaceLowValue = 0;
    uint32_t dwColorSpaceHighValue = 0;
};

// As published, a depth format reads the same words under its own names.
struct DDPIXELFORMAT {
    uint32_t dwSize = sizeof(DDPIXELFORMAT);
    uint32_t dwFlags = 0;
    uint32_t dwFourCC = 0;
    union {
        uint32_t dwRGBBitCount = 0;
        uint32_t dwZBufferBitDepth;
    };
    union {
        uint32_t dwRBitMask = 0;
        uint32_t dwStencilBitDepth;
    };
    union {
        uint32_t dwGBitMask = 0;
        uint32_t dwZBitMask;
    };
    union {
        uint32_t dwBBitMask = 0;
        uint32_t dwStencilBitMask;
    };
    uint32_t dwRGBAlphaBitMask = 0;
};

struct DDSCAPS2 {
    uint32_t dwCaps = 0;
    uint32_t dwCaps2 = 0;
    uint32_t dwCaps3 = 0;
    uint32_t dwCaps4 = 0;
};

struct DDSURFACEDESC2 {
    uint32_t dwSize = 0;
    uint32_t dwFlags = 0;
    uint32_t dwHeight = 0;
    uint32_t dwWidth = 0;
    int32_t lPitch = 0;
    uint32_t dwBackBufferCount = 0;
    uint32_t dwRefreshRate = 0;
    uint32_t dwAlphaBitDepth = 0;
    uint32_t dwReserved = 0;
    void* lpSurface = nullptr;
    DDCOLORKEY ddckCKDestOverlay;
    DDCOLORKEY ddckCKDestBlt;
    DDCOLORKEY ddckCKSrcOverlay;
    DDCOLORKEY ddckCKSrcBlt;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS2 ddsCaps;
    uint32_t dwTextureStage = 0;
};

// The effects record; 100 bytes, as the record of the 32-bit interface.
struct DDBLTFX {
    uint32_t dwSize = sizeof(DDBLTFX);
    uint32_t dwDDFX = 0;
    uint32_t dwROP = 0;
    uint32_t dwDDROP = 0;
    uint32_t dwRotationAngle = 0;
    uint32_t dwZBufferOpCode = 0;
    uint32_t dwZBufferLow = 0;
    uint32_t dwZBufferHigh = 0;
    uint32_t dwZBufferBaseDest = 0;
    uint32_t dwZDestConstBitDepth = 0;
    uint32_t dwZDestConst = 0;
    uint32_t dwZSrcConstBitDepth = 0;
    uint32_t dwZSrcConst = 0;
    uint32_t dwAlphaEdgeBlendBitDepth = 0;
    uint32_t dwAlphaEdgeBlend = 0;
    uint32_t dwReserved = 0;
    uint32_t dwAlphaDestConstBitDepth = 0;
    uint32_t dwAlphaDestConst = 0;
    uint32_t dwAlphaSrcConstBitDepth = 0;
    uint32_t dwAlphaSrcConst = 0;
    uint32_t dwFillColor = 0;
    DDCOLORKEY ddckDestColorkey;
    DDCOLORKEY ddckSrcColorkey;
};
static_assert(sizeof(DDBLTFX) == 100);

// The device capabilities the layer reports.
struct DDCAPS {
    uint32_t dwSize = sizeof(DDCAPS);
    uint32_t dwCaps = 0;  // DDCAPS_*
    DDSCAPS2 ddsCaps;     // the surfaces the device can make
};

struct PALETTEENTRY {
    uint8_t peRed = 0;
    uint8_t peGreen = 0;
    uint8_t peBlue = 0;
    uint8_t peFlags = 0;
    bool operator==(const PALETTEENTRY&) const = default;
};

// Pixel formats of the layer.
DDPIXELFORMAT pixelFormatPalette8();
DDPIXELFORMAT pixelFormatRgb(uint32_t bits, uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha = 0);
inline DDPIXELFORMAT pixelFormatRgb565() { return pixelFormatRgb(16, 0xF800, 0x07E0, 0x001F); }
inline DDPIXELFORMAT pixelFormatRgb555() { return pixelFormatRgb(16, 0x7C00, 0x03E0, 0x001F); }
inline DDPIXELFORMAT pixelFormatRgb888() { return pixelFormatRgb(24, 0xFF0000, 0x00FF00, 0x0000FF); }
inline DDPIXELFORMAT pixelFormatXrgb8888() { return pixelFormatRgb(32, 0xFF0000, 0x00FF00, 0x0000FF); }
inline DDPIXELFORMAT pixelFormatArgb8888() { return pixelFormatRgb(32, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000); }
// The format a display of this many bits per pixel has: 8, 16 (5-6-5), 24, and
// 32 for any other number.
DDPIXELFORMAT pixelFormatOfDepth(uint32_t bits);
DDPIXELFORMAT pixelFormatDepth(uint32_t depthBits, uint32_t depthMask, uint32_t stencilBits = 0, uint32_t stencilMask = 0);

// The screen's pixel format: surfaces created without one get it. The rest of the
// screen's state is in platform/screen.h.
void setScreenPixelFormat(const DDPIXELFORMAT& format);
DDPIXELFORMAT screenPixelFormat();

// Calls a test can make fail. GetCaps is the surface's, DirectDrawGetCaps the device's.
enum class DDCall {
    DirectDrawCreateEx, CreateSurface, GetSurfaceDesc, GetCaps, SetColorKey, Lock, Unlock, Blt, BltFast, GetDC, ReleaseDC, Restore,
    DirectDrawEnumerateA, DirectDrawGetCaps, SetCooperativeLevel, SetDisplayMode, RestoreDisplayMode, EnumDisplayModes,
    FlipToGDISurface, CreateClipper, CreatePalette, SetHWnd, GetHWnd, SetEntries, GetEntries, SetClipper, SetPalette,
    GetAttachedSurface, AddAttachedSurface, DeleteAttachedSurface,
    // The 3-D stand-ins (platform/d3d.h).
    DirectDrawQueryInterface, Direct3DRMCreate, Direct3DRMQueryInterface, EnumZBufferFormats, CreateDevice,
    CreateDeviceFromClipper, CreateFrame, CreateViewport, SetBack,
};

class DDFaultInjection {
public:
    // The call fails with code once, after `after` successful calls of its kind.
    static void failCall(DDCall call, HRESULT code, int after = 0);
    static void reset();
    // Consulted by the layer at the start of each call; DD_OK when it may go on.
    static HRESULT take(DDCall call);
};

// Reference counting of the layer's objects: Release returns the references left,
// and at 0 the object goes. Each object's destructor lets go of what it holds.
template <typename Object> class RefCounted {
public:
    uint32_t AddRef() { return ++references_; }
    uint32_t Release()
    {
        if (--references_ > 0) return references_;
        delete static_cast<Object*>(this);
        return 0;
    }

protected:
    RefCounted() = default;
    ~RefCounted() = default;

private:
    uint32_t references_ = 1;
};

// The display drivers DirectDrawEnumerateA lists and DirectDrawCreateEx opens: the
// primary display driver first (no identifier), then those a test added.
struct DirectDrawDriver {
    std::optional<GUID> identifier;
    std::string description;
    std::string name;
    uint32_t caps = 0;         // the hardware's DDCAPS_*
    uint32_t surfaceCaps = 0;  // the hardware's DDSCAPS_* (DDSCAPS_TEXTURE: textures)
};

class DirectDrawDrivers {
public:
    // The primary display driver ("Primary Display Driver", "display"): a blitter
    // without 3-D. Tests may change its capabilities.
    static DirectDrawDriver& primary();
    static void add(const DirectDrawDriver& driver);
    // Only the primary display driver again, as it was.
    static void reset();
};

// Called once per driver; the identifier is null for the primary display driver.
// Returning 0 stops the enumeration.
using LPDDENUMCALLBACKA = BOOL (*)(GUID* guid, char* description, char* name, void* context);
HRESULT DirectDrawEnumerateA(LPDDENUMCALLBACKA callback, void* context);

class IDirectDraw7;
struct PaletteColor {
    uint8_t red = 0, green = 0, blue = 0, flags = 0;
};

class IDirectDrawClipper : public RefCounted<IDirectDrawClipper> {
public:
    HRESULT SetHWnd(uint32_t flags, HWND window);
    HRESULT GetHWnd(HWND* window);

private:
    friend class RefCounted<IDirectDrawClipper>;
    friend class IDirectDraw7;
    friend class IDirectDrawSurface7;
    IDirectDrawClipper() = default;
    ~IDirectDrawClipper() = default;

    HWND window_ = nullptr;
};

// A 256-entry palette of an 8-bit surface.
class IDirectDrawPalette : public RefCounted<IDirectDrawPalette> {
public:
    HRESULT SetEntries(uint32_t flags, uint32_t start, uint32_t count, const PALETTEENTRY* entries);
    HRESULT GetEntries(uint32_t flags, uint32_t start, uint32_t count, PALETTEENTRY* entries);

private:
    friend class RefCounted<IDirectDrawPalette>;
    friend class IDirectDraw7;
    friend class IDirectDrawSurface7;
    IDirectDrawPalette() = default;
    ~IDirectDrawPalette() = default;

    std::array<PaletteColor, 256> colors_;
};

class IDirectDrawSurface7;

// A drawing context of a surface: copies pictures into it, mapping their colours
// to the surface's pixel format, or to its palette on palette-indexed surfaces.
class DrawingContext {
public:
    explicit DrawingContext(IDirectDrawSurface7& surface) : surface_(surface) {}
    void drawBitmap(const DecodedBitmap& bitmap, int32_t x, int32_t y);

private:
    IDirectDrawSurface7& surface_;
};

// A surface holds references to its clipper, its palette and the surfaces attached
// to it; a flipping chain's primary holds its back buffer.
class IDirectDrawSurface7 : public RefCounted<IDirectDrawSurface7> {
public:
    HRESULT Lock(const Rect* rect, DDSURFACEDESC2* desc, uint32_t flags, void* event);
    HRESULT Unlock(const Rect* rect);
    HRESULT GetSurfaceDesc(DDSURFACEDESC2* desc);
    HRESULT GetCaps(DDSCAPS2* caps);
    HRESULT SetColorKey(uint32_t flags, const DDCOLORKEY* key);
    HRESULT GetColorKey(uint32_t flags, DDCOLORKEY* key);
    // Stretching copy of srcRect of src (whole surface when null) into destRect (whole
    // surface when null); src may be null with DDBLT_COLORFILL.
    // With a clipper, destRect may reach outside the surface: only its visible part
    // (see visibleArea) changes.
    HRESULT Blt(const Rect* destRect, IDirectDrawSurface7* src, const Rect* srcRect, uint32_t flags, const DDBLTFX* fx);
    // Unscaled copy of srcRect of src to (x, y); refused on a surface with a clipper.
    HRESULT BltFast(uint32_t x, uint32_t y, IDirectDrawSurface7* src, const Rect* srcRect, uint32_t flags);
    HRESULT IsLost();
    HRESULT Restore();
    HRESULT GetDC(DrawingContext** context);
    HRESULT ReleaseDC(DrawingContext* context);
    HRESULT SetClipper(IDirectDrawClipper* clipper);
    HRESULT SetPalette(IDirectDrawPalette* palette);
    // The first attached surface that has all of caps' capabilities, with a reference
    // of its own.
    HRESULT GetAttachedSurface(const DDSCAPS2* caps, IDirectDrawSurface7** surface);
    // Attaches a depth surface of the same size.
    HRESULT AddAttachedSurface(IDirectDrawSurface7* surface);
    HRESULT DeleteAttachedSurface(uint32_t flags, IDirectDrawSurface7* surface);

    // Tests and the device: the surface memory is taken away.
    void markLost();

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    int32_t pitch() const { return pitch_; }
    const DDPIXELFORMAT& pixelFormat() const { return format_; }
    const DDSCAPS2& caps() const { return caps_; }
    int bytesPerPixel() const { return bytesPerPixel_; }
    uint8_t* row(int32_t y) { return reinterpret_cast<uint8_t*>(memory_.get()) + static_cast<int64_t>(y) * pitch_; }
    // The attached palette's colours, else a fixed 3-3-2 palette.
    const std::array<PaletteColor, 256>& palette() const;
    // The part of the surface copies may change: all of it, or with a clipper bound
    // to a window, the part under that window's client area (the surface's
    // coordinates taken as screen coordinates).
    Rect visibleArea() const;

private:
    friend class RefCounted<IDirectDrawSurface7>;
    friend class IDirectDraw7;
    IDirectDrawSurface7(IDirectDraw7* device, const DDSURFACEDESC2& desc, int32_t pitch);
    ~IDirectDrawSurface7();
    bool allocate();
    HRESULT checkUsable() const;
    HRESULT bltWithin(const Rect& dest, IDirectDrawSurface7* src, const Rect* srcRect, uint32_t flags, const DDBLTFX* fx);
    HRESULT bltClipped(const Rect& dest, const Rect& visible, IDirectDrawSurface7* src, const Rect* srcRect, uint32_t flags,
                       const DDBLTFX* fx);
    HRESULT copyFrom(const Rect& dest, IDirectDrawSurface7& src, const Rect& source, pixel_loops::Stretch how);
    void showOnWindow(const Rect& area);

    IDirectDraw7* device_;
    int32_t width_;
    int32_t height_;
    int32_t pitch_;
    int bytesPerPixel_;
    DDPIXELFORMAT format_;
    DDSCAPS2 caps_;
    DDCOLORKEY sourceKey_;
    bool hasSourceKey_ = false;
    bool lost_ = false;
    bool locked_ = false;
    Rect lockedArea_;
    std::unique_ptr<DrawingContext> context_;
    std::unique_ptr<uint32_t[]> memory_;  // words, so that 32-bit pixels are read as what they are
    IDirectDrawClipper* clipper_ = nullptr;
    IDirectDrawPalette* palette_ = nullptr;
    std::vector<IDirectDrawSurface7*> attached_;
};

using LPDDENUMMODESCALLBACK2 = HRESULT (*)(DDSURFACEDESC2* mode, void* context);

// At 0 references the device goes, and surfaces it made that are still alive lose
// their memory.
class IDirectDraw7 : public RefCounted<IDirectDraw7> {
public:
    // Off-screen surfaces (DDSCAPS_OFFSCREENPLAIN) and depth surfaces (DDSCAPS_ZBUFFER,
    // with a DDPF_ZBUFFER format) of a given size; the primary surface
    // (DDSCAPS_PRIMARYSURFACE, no size or format: it is the screen), in exclusive
    // full-screen mode also as a flipping chain (DDSCAPS_FLIP | DDSCAPS_COMPLEX with
    // DDSD_BACKBUFFERCOUNT 1).
    HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** surface, void* outer);
    // Either record may be null: the driver's hardware and the emulation layer's.
    HRESULT GetCaps(DDCAPS* driverCaps, DDCAPS* helCaps);
    HRESULT SetCooperativeLevel(HWND window, uint32_t flags);
    // A mode of the screen's mode list (refresh rate 0: any); the screen takes its size
    // and depth. RestoreDisplayMode puts back the mode found before the first change.
    HRESULT SetDisplayMode(uint32_t width, uint32_t height, uint32_t bitsPerPixel, uint32_t refreshRate, uint32_t flags);
    HRESULT RestoreDisplayMode();
    // Each mode of the screen's list; without DDEDM_REFRESHRATES each size and depth
    // once, with refresh rate 0. No filter is supported: filter must be null.
    HRESULT EnumDisplayModes(uint32_t flags, const DDSURFACEDESC2* filter, void* context, LPDDENUMMODESCALLBACK2 callback);
    HRESULT FlipToGDISurface();
    HRESULT CreateClipper(uint32_t flags, IDirectDrawClipper** clipper, void* outer);
    // An 8-bit palette (DDPCAPS_8BIT) of 256 entries.
    HRESULT CreatePalette(uint32_t flags, const PALETTEENTRY* entries, IDirectDrawPalette** palette, void* outer);
    // IID_IDirect3D7 (platform/d3d.h): the immediate-mode 3-D object, holding this device.
    HRESULT QueryInterface(const GUID& iid, void** object);

    // Tests: every surface of this device loses its memory.
    void markAllSurfacesLost();
    // Tests: what the device was told.
    uint32_t cooperativeLevel() const { return cooperativeLevel_; }
    HWND cooperativeWindow() const { return cooperativeWindow_; }
    int flipsToGDISurface() const { return flipsToGDISurface_; }

private:
    friend HRESULT DirectDrawCreateEx(const GUID* guid, IDirectDraw7** directDraw, const void* iid, void* outer);
    friend class RefCounted<IDirectDraw7>;
    friend class IDirectDrawSurface7;
    explicit IDirectDraw7(const DirectDrawDriver& driver) : driver_(driver) {}
    ~IDirectDraw7();
    HRESULT makeSurface(const DDSURFACEDESC2& desc, IDirectDrawSurface7** surface);
    void changeMode(uint32_t width, uint32_t height, uint32_t bitsPerPixel);

    DirectDrawDriver driver_;
    uint32_t cooperativeLevel_ = 0;
    HWND cooperativeWindow_ = nullptr;
    int flipsToGDISurface_ = 0;
    struct Mode {
        uint32_t width, height, bitsPerPixel;
    };
    std::optional<Mode> modeBeforeChange_;
    std::vector<IDirectDrawSurface7*> surfaces_;
};

// Creates the device of a driver; guid null is the primary display driver.
HRESULT DirectDrawCreateEx(const GUID* guid, IDirectDraw7** directDraw, const void* iid, void* outer);
