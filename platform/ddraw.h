// The software 2-D graphics layer: a DirectDraw 7 stand-in whose surfaces live in
// memory. Names, flags and result codes are DirectDraw's published ones, so the
// display component reads as it would against the real interface. Every call that
// can fail can be made to fail by a test (DDFaultInjection), and surfaces can be
// marked lost.
#pragma once

#include "platform/bitmap_reader.h"
#include "platform/pixel_loops.h"
#include "platform/rect.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

using HRESULT = int32_t;

constexpr HRESULT makeDDResult(uint32_t code) { return static_cast<HRESULT>(0x88760000u | code); }

inline constexpr HRESULT DD_OK = 0;
inline constexpr HRESULT DDERR_GENERIC = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT DDERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT DDERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT DDERR_INVALIDPARAMS = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT DDERR_INVALIDOBJECT = makeDDResult(130);
inline constexpr HRESULT DDERR_INVALIDPIXELFORMAT = makeDDResult(145);
inline constexpr HRESULT DDERR_INVALIDRECT = makeDDResult(150);
inline constexpr HRESULT DDERR_SURFACEBUSY = makeDDResult(430);
inline constexpr HRESULT DDERR_SURFACELOST = makeDDResult(450);
inline constexpr HRESULT DDERR_NOTLOCKED = makeDDResult(584);

// Surface description flags.
inline constexpr uint32_t DDSD_CAPS = 0x00000001;
inline constexpr uint32_t DDSD_HEIGHT = 0x00000002;
inline constexpr uint32_t DDSD_WIDTH = 0x00000004;
inline constexpr uint32_t DDSD_PITCH = 0x00000008;
inline constexpr uint32_t DDSD_BACKBUFFERCOUNT = 0x00000020;
inline constexpr uint32_t DDSD_LPSURFACE = 0x00000800;
inline constexpr uint32_t DDSD_PIXELFORMAT = 0x00001000;
inline constexpr uint32_t DDSD_CKSRCBLT = 0x00010000;
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

struct DDPIXELFORMAT {
    uint32_t dwSize = sizeof(DDPIXELFORMAT);
    uint32_t dwFlags = 0;
    uint32_t dwFourCC = 0;
    uint32_t dwRGBBitCount = 0;
    uint32_t dwRBitMask = 0;
    uint32_t dwGBitMask = 0;
    uint32_t dwBBitMask = 0;
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

// Pixel formats of the layer.
DDPIXELFORMAT pixelFormatPalette8();
DDPIXELFORMAT pixelFormatRgb(uint32_t bits, uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha = 0);
inline DDPIXELFORMAT pixelFormatRgb565() { return pixelFormatRgb(16, 0xF800, 0x07E0, 0x001F); }
inline DDPIXELFORMAT pixelFormatRgb555() { return pixelFormatRgb(16, 0x7C00, 0x03E0, 0x001F); }
inline DDPIXELFORMAT pixelFormatRgb888() { return pixelFormatRgb(24, 0xFF0000, 0x00FF00, 0x0000FF); }
inline DDPIXELFORMAT pixelFormatXrgb8888() { return pixelFormatRgb(32, 0xFF0000, 0x00FF00, 0x0000FF); }
inline DDPIXELFORMAT pixelFormatArgb8888() { return pixelFormatRgb(32, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000); }

// The screen's pixel format: surfaces created without one get it.
void setScreenPixelFormat(const DDPIXELFORMAT& format);
DDPIXELFORMAT screenPixelFormat();

// Calls a test can make fail.
enum class DDCall { DirectDrawCreateEx, CreateSurface, GetSurfaceDesc, GetCaps, SetColorKey, Lock, Unlock, Blt, BltFast, GetDC, ReleaseDC, Restore };

class DDFaultInjection {
public:
    // The call fails with code once, after `after` successful calls of its kind.
    static void failCall(DDCall call, HRESULT code, int after = 0);
    static void reset();
    // Consulted by the layer at the start of each call; DD_OK when it may go on.
    static HRESULT take(DDCall call);
};

class IDirectDraw7;
struct PaletteColor {
    uint8_t red = 0, green = 0, blue = 0, flags = 0;
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

class IDirectDrawSurface7 {
public:
    uint32_t AddRef() { return ++references_; }
    // Returns the references left; the surface is gone at 0.
    uint32_t Release();

    HRESULT Lock(const Rect* rect, DDSURFACEDESC2* desc, uint32_t flags, void* event);
    HRESULT Unlock(const Rect* rect);
    HRESULT GetSurfaceDesc(DDSURFACEDESC2* desc);
    HRESULT GetCaps(DDSCAPS2* caps);
    HRESULT SetColorKey(uint32_t flags, const DDCOLORKEY* key);
    HRESULT GetColorKey(uint32_t flags, DDCOLORKEY* key);
    // Stretching copy of srcRect of src (whole surface when null) into destRect (whole
    // surface when null); src may be null with DDBLT_COLORFILL.
    HRESULT Blt(const Rect* destRect, IDirectDrawSurface7* src, const Rect* srcRect, uint32_t flags, const DDBLTFX* fx);
    // Unscaled copy of srcRect of src to (x, y).
    HRESULT BltFast(uint32_t x, uint32_t y, IDirectDrawSurface7* src, const Rect* srcRect, uint32_t flags);
    HRESULT IsLost();
    HRESULT Restore();
    HRESULT GetDC(DrawingContext** context);
    HRESULT ReleaseDC(DrawingContext* context);

    // Tests and the device: the surface memory is taken away.
    void markLost();

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    int32_t pitch() const { return pitch_; }
    const DDPIXELFORMAT& pixelFormat() const { return format_; }
    int bytesPerPixel() const { return bytesPerPixel_; }
    uint8_t* row(int32_t y) { return reinterpret_cast<uint8_t*>(memory_.get()) + static_cast<int64_t>(y) * pitch_; }
    const std::array<PaletteColor, 256>& palette() const;

private:
    friend class IDirectDraw7;
    IDirectDrawSurface7(IDirectDraw7* device, const DDSURFACEDESC2& desc, int32_t pitch);
    ~IDirectDrawSurface7() = default;
    bool allocate();
    HRESULT checkUsable() const;
    HRESULT copyFrom(const Rect& dest, IDirectDrawSurface7& src, const Rect& source, pixel_loops::Stretch how);

    IDirectDraw7* device_;
    uint32_t references_ = 1;
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
    std::unique_ptr<DrawingContext> context_;
    std::unique_ptr<uint32_t[]> memory_;  // words, so that 32-bit pixels are read as what they are
};

class IDirectDraw7 {
public:
    uint32_t AddRef() { return ++references_; }
    // Returns the references left; at 0 the device goes, and surfaces it made that are
    // still alive lose their memory.
    uint32_t Release();
    HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** surface, void* outer);

    // Tests: every surface of this device loses its memory.
    void markAllSurfacesLost();

private:
    friend HRESULT DirectDrawCreateEx(const void* guid, IDirectDraw7** directDraw, const void* iid, void* outer);
    friend class IDirectDrawSurface7;
    IDirectDraw7() = default;
    ~IDirectDraw7() = default;

    uint32_t references_ = 1;
    std::vector<IDirectDrawSurface7*> surfaces_;
};

// Creates the device; guid null is the primary display driver.
HRESULT DirectDrawCreateEx(const void* guid, IDirectDraw7** directDraw, const void* iid, void* outer);
