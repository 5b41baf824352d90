// The plain types and constants of the 2-D graphics layer: result codes, flags,
// surface and pixel format descriptions, the effects record and palette entries,
// with DirectDraw's published names and values. Headers that only describe
// surfaces or colours need these, not the layer itself (platform/ddraw.h).
#pragma once

#include <cstdint>

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
    DDSCAPS2 ddsCaps;  // the surfaces the device can make
};

struct PALETTEENTRY {
    uint8_t peRed = 0;
    uint8_t peGreen = 0;
    uint8_t peBlue = 0;
    uint8_t peFlags = 0;
    bool operator==(const PALETTEENTRY&) const = default;
};
