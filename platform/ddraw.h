// The software 2-D graphics layer: a DirectDraw 7 stand-in whose surfaces live in
// memory. Names, flags and result codes are DirectDraw's published ones
// (platform/ddraw_types.h), so the display component reads as it would against the
// real interface. Every call that can fail can be made to fail by a test, and the
// drivers it offers can be changed (platform/testing.h); surfaces can be marked lost.
//
// The primary surface is the screen (platform/screen.h): with a clipper bound to a
// window, whatever a copy changes on it inside the window's client area is shown
// in that window's frame buffer (platform/window_host.h).
#pragma once

#include "platform/bitmap_reader.h"
#include "platform/ddraw_types.h"
#include "platform/pixel_format.h"
#include "platform/pixel_loops.h"
#include "platform/rect.h"
#include "platform/ref_ptr.h"
#include "platform/window_host.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The screen's pixel format: surfaces created without one get it. The rest of the
// screen's state is in platform/screen.h.
void setScreenPixelFormat(const DDPIXELFORMAT& format);
DDPIXELFORMAT screenPixelFormat();

// The display drivers DirectDrawEnumerateA lists and DirectDrawCreateEx opens: the
// primary display driver first (no identifier), then those a test added
// (platform/testing.h).
struct DirectDrawDriver {
    std::optional<GUID> identifier;
    std::string description;
    std::string name;
    uint32_t caps = 0;  // the hardware's DDCAPS_*
    uint32_t surfaceCaps = 0;  // the hardware's DDSCAPS_* (DDSCAPS_TEXTURE: textures)
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

    // The surface memory is taken away: by the device, a change of the desktop, tests.
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
    HRESULT bltWithin(const Rect& dest, IDirectDrawSurface7* src, const Rect* srcRect, uint32_t flags,
                      const DDBLTFX* fx);
    HRESULT bltClipped(const Rect& dest, const Rect& visible, IDirectDrawSurface7* src, const Rect* srcRect,
                       uint32_t flags, const DDBLTFX* fx);
    HRESULT copyFrom(const Rect& dest, IDirectDrawSurface7& src, const Rect& source, pixel_loops::Stretch how);
    void showOnWindow(const Rect& area);
    std::vector<RefPtr<IDirectDrawSurface7>>::iterator findAttached(const IDirectDrawSurface7* surface);

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
    RefPtr<IDirectDrawClipper> clipper_;
    RefPtr<IDirectDrawPalette> palette_;
    std::vector<RefPtr<IDirectDrawSurface7>> attached_;
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
    HRESULT SetDisplayMode(uint32_t width, uint32_t height, uint32_t bitsPerPixel, uint32_t refreshRate,
                           uint32_t flags);
    HRESULT RestoreDisplayMode();
    // Each mode of the screen's list; without DDEDM_REFRESHRATES each size and depth
    // once, with refresh rate 0. No filter is supported: filter must be null.
    HRESULT EnumDisplayModes(uint32_t flags, const DDSURFACEDESC2* filter, void* context,
                             LPDDENUMMODESCALLBACK2 callback);
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
