// The 2-D layer's failure injection, drivers, device, clipper and palette; its
// surfaces are in ddraw_surface.cpp.
#include "platform/ddraw.h"

#include "platform/screen.h"
#include "platform/testing.h"

#include <algorithm>
#include <map>

namespace {

struct PendingFailure {
    int after;
    HRESULT code;
};
std::multimap<DDCall, PendingFailure> pendingFailures;

// Depth surfaces take depth formats, all others colour formats.
bool validFormat(const DDPIXELFORMAT& f, bool depth)
{
    const bool wholeBytes = f.dwRGBBitCount == 16 || f.dwRGBBitCount == 24 || f.dwRGBBitCount == 32;
    if (depth) return (f.dwFlags & DDPF_ZBUFFER) && wholeBytes;
    if (f.dwFlags & DDPF_ZBUFFER) return false;
    if (f.dwFlags & DDPF_PALETTEINDEXED8) return f.dwRGBBitCount == 8 || f.dwRGBBitCount == 0;
    return (f.dwFlags & DDPF_RGB) && wholeBytes;
}

PaletteColor colorOf(const PALETTEENTRY& e) { return {e.peRed, e.peGreen, e.peBlue, e.peFlags}; }

DirectDrawDriver makePrimaryDriver()
{
    DirectDrawDriver driver;
    driver.description = "Primary Display Driver";
    driver.name = "display";
    driver.caps = DDCAPS_BLT | DDCAPS_BLTSTRETCH | DDCAPS_PALETTE | DDCAPS_COLORKEY | DDCAPS_BLTCOLORFILL;
    driver.surfaceCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX |
                         DDSCAPS_BACKBUFFER | DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
    return driver;
}

DirectDrawDriver& primaryDriver()
{
    static DirectDrawDriver driver = makePrimaryDriver();
    return driver;
}

std::vector<DirectDrawDriver>& addedDrivers()
{
    static std::vector<DirectDrawDriver> drivers;
    return drivers;
}

}  // namespace

void DDFaultInjection::failCall(DDCall call, HRESULT code, int after) { pendingFailures.insert({call, {after, code}}); }
void DDFaultInjection::reset() { pendingFailures.clear(); }

HRESULT DDFaultInjection::take(DDCall call)
{
    auto [first, last] = pendingFailures.equal_range(call);
    HRESULT result = DD_OK;
    for (auto it = first; it != last;) {
        if (it->second.after == 0 && result == DD_OK) {
            result = it->second.code;
            it = pendingFailures.erase(it);
        } else {
            if (it->second.after > 0) --it->second.after;
            ++it;
        }
    }
    return result;
}

// ---- drivers ----

DirectDrawDriver& DirectDrawDrivers::primary() { return primaryDriver(); }
void DirectDrawDrivers::add(const DirectDrawDriver& driver) { addedDrivers().push_back(driver); }

void DirectDrawDrivers::reset()
{
    primaryDriver() = makePrimaryDriver();
    addedDrivers().clear();
}

HRESULT DirectDrawEnumerateA(LPDDENUMCALLBACKA callback, void* context)
{
    if (!callback) return DDERR_INVALIDPARAMS;
    if (HRESULT failure = DDFaultInjection::take(DDCall::DirectDrawEnumerateA)) return failure;
    std::vector<DirectDrawDriver> drivers{primaryDriver()};
    drivers.insert(drivers.end(), addedDrivers().begin(), addedDrivers().end());
    for (DirectDrawDriver& driver : drivers) {
        GUID* identifier = driver.identifier ? &*driver.identifier : nullptr;
        if (!callback(identifier, driver.description.data(), driver.name.data(), context)) break;
    }
    return DD_OK;
}

// ---- device ----

HRESULT DirectDrawCreateEx(const GUID* guid, IDirectDraw7** directDraw, const void* /*iid*/, void* /*outer*/)
{
    if (!directDraw) return DDERR_INVALIDPARAMS;
    *directDraw = nullptr;
    if (HRESULT failure = DDFaultInjection::take(DDCall::DirectDrawCreateEx)) return failure;
    const DirectDrawDriver* driver = &primaryDriver();
    if (guid) {
        const auto& added = addedDrivers();
        const auto found =
            std::find_if(added.begin(), added.end(), [&](const DirectDrawDriver& d) { return d.identifier == *guid; });
        if (found == added.end()) return DDERR_INVALIDDIRECTDRAWGUID;
        driver = &*found;
    }
    *directDraw = new IDirectDraw7(*driver);
    return DD_OK;
}

IDirectDraw7::~IDirectDraw7()
{
    for (IDirectDrawSurface7* surface : surfaces_) {
        surface->markLost();
        surface->device_ = nullptr;
    }
}

HRESULT IDirectDraw7::CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** surface, void* /*outer*/)
{
    if (!desc || !surface) return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    if (HRESULT failure = DDFaultInjection::take(DDCall::CreateSurface)) return failure;
    if (!(desc->dwFlags & DDSD_CAPS)) return DDERR_INVALIDPARAMS;
    const uint32_t caps = desc->ddsCaps.dwCaps;
    if (!(caps & DDSCAPS_PRIMARYSURFACE)) {
        const uint32_t size = DDSD_WIDTH | DDSD_HEIGHT;
        if ((desc->dwFlags & size) != size || !(caps & (DDSCAPS_OFFSCREENPLAIN | DDSCAPS_ZBUFFER)))
            return DDERR_INVALIDPARAMS;
        return makeSurface(*desc, surface);
    }

    // The primary surface is the screen.
    if (desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT)) return DDERR_INVALIDPARAMS;
    const bool chain = (caps & DDSCAPS_FLIP) != 0;
    if (chain) {
        if (!(caps & DDSCAPS_COMPLEX) || !(desc->dwFlags & DDSD_BACKBUFFERCOUNT) || desc->dwBackBufferCount != 1)
            return DDERR_INVALIDPARAMS;
        if ((cooperativeLevel_ & (DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN)) != (DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN))
            return DDERR_NOEXCLUSIVEMODE;
    }
    DDSURFACEDESC2 screen = *desc;
    screen.dwFlags |= DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    screen.dwWidth = static_cast<uint32_t>(Screen::width());
    screen.dwHeight = static_cast<uint32_t>(Screen::height());
    screen.ddpfPixelFormat = screenPixelFormat();
    screen.ddsCaps.dwCaps = caps & ~(DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY | DDSCAPS_NONLOCALVIDMEM);
    RefPtr<IDirectDrawSurface7> primary;
    if (HRESULT result = makeSurface(screen, primary.put())) return result;
    if (chain) {
        DDSURFACEDESC2 back = screen;
        back.dwFlags &= ~DDSD_BACKBUFFERCOUNT;
        back.dwBackBufferCount = 0;
        back.ddsCaps.dwCaps = DDSCAPS_BACKBUFFER | DDSCAPS_FLIP | DDSCAPS_COMPLEX | (caps & DDSCAPS_3DDEVICE);
        RefPtr<IDirectDrawSurface7> backBuffer;
        if (HRESULT result = makeSurface(back, backBuffer.put())) return result;
        primary->attached_.push_back(std::move(backBuffer));
    }
    *surface = primary.leak();
    return DD_OK;
}

// Makes the surface desc describes, with its size given.
HRESULT IDirectDraw7::makeSurface(const DDSURFACEDESC2& desc, IDirectDrawSurface7** surface)
{
    if (desc.dwWidth == 0 || desc.dwHeight == 0 || desc.dwWidth > INT32_MAX || desc.dwHeight > INT32_MAX)
        return DDERR_INVALIDPARAMS;
    DDSURFACEDESC2 made = desc;
    const bool depth = (desc.ddsCaps.dwCaps & DDSCAPS_ZBUFFER) != 0;
    if (!(desc.dwFlags & DDSD_PIXELFORMAT) && !depth) made.ddpfPixelFormat = screenPixelFormat();
    if (!validFormat(made.ddpfPixelFormat, depth)) return DDERR_INVALIDPIXELFORMAT;
    // Memory placement: kept as asked; with no preference the driver picks video memory.
    uint32_t& caps = made.ddsCaps.dwCaps;
    if (caps & DDSCAPS_VIDEOMEMORY)
        caps |= (caps & DDSCAPS_NONLOCALVIDMEM) ? 0 : DDSCAPS_LOCALVIDMEM;
    else if (!(caps & DDSCAPS_SYSTEMMEMORY))
        caps |= DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;

    const int64_t pitch = pitchOf(made.dwWidth, made.ddpfPixelFormat);
    if (pitch > INT32_MAX || pitch * made.dwHeight > maxSurfaceBytes) return DDERR_OUTOFMEMORY;

    auto madeSurface =
        RefPtr<IDirectDrawSurface7>::adopt(new IDirectDrawSurface7(this, made, static_cast<int32_t>(pitch)));
    if (!madeSurface->allocate()) return DDERR_OUTOFMEMORY;
    surfaces_.push_back(madeSurface.get());
    *surface = madeSurface.leak();
    return DD_OK;
}

HRESULT IDirectDraw7::GetCaps(DDCAPS* driverCaps, DDCAPS* helCaps)
{
    if (!driverCaps && !helCaps) return DDERR_INVALIDPARAMS;
    if (HRESULT failure = DDFaultInjection::take(DDCall::DirectDrawGetCaps)) return failure;
    if (driverCaps) {
        *driverCaps = DDCAPS{};
        driverCaps->dwCaps = driver_.caps;
        driverCaps->ddsCaps.dwCaps = driver_.surfaceCaps;
    }
    if (helCaps) {
        // The emulation layer is this software blitter.
        const DirectDrawDriver& software = makePrimaryDriver();
        *helCaps = DDCAPS{};
        helCaps->dwCaps = software.caps;
        helCaps->ddsCaps.dwCaps = software.surfaceCaps;
    }
    return DD_OK;
}

HRESULT IDirectDraw7::SetCooperativeLevel(HWND window, uint32_t flags)
{
    if (HRESULT failure = DDFaultInjection::take(DDCall::SetCooperativeLevel)) return failure;
    const bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
    const bool normal = (flags & DDSCL_NORMAL) != 0;
    if (normal == exclusive) return DDERR_INVALIDPARAMS;
    if (exclusive && (!(flags & DDSCL_FULLSCREEN) || !window)) return DDERR_INVALIDPARAMS;
    cooperativeLevel_ = flags;
    cooperativeWindow_ = window;
    return DD_OK;
}

// The screen takes the mode; every surface of the device loses its memory.
void IDirectDraw7::changeMode(uint32_t width, uint32_t height, uint32_t bitsPerPixel)
{
    Screen::setSize(static_cast<int32_t>(width), static_cast<int32_t>(height));
    Screen::setBitDepth(static_cast<int32_t>(bitsPerPixel));
    markAllSurfacesLost();
}

HRESULT IDirectDraw7::SetDisplayMode(uint32_t width, uint32_t height, uint32_t bitsPerPixel, uint32_t refreshRate,
                                     uint32_t /*flags*/)
{
    if (HRESULT failure = DDFaultInjection::take(DDCall::SetDisplayMode)) return failure;
    const auto& modes = Screen::modes();
    const bool listed = std::any_of(modes.begin(), modes.end(), [&](const DisplayMode& m) {
        return m.width == width && m.height == height && m.bitsPerPixel == bitsPerPixel &&
               (refreshRate == 0 || m.refreshRate == refreshRate);
    });
    if (!listed) return DDERR_INVALIDMODE;
    if (!modeBeforeChange_)
        modeBeforeChange_ = Mode{static_cast<uint32_t>(Screen::width()), static_cast<uint32_t>(Screen::height()),
                                 static_cast<uint32_t>(Screen::bitDepth())};
    changeMode(width, height, bitsPerPixel);
    return DD_OK;
}

HRESULT IDirectDraw7::RestoreDisplayMode()
{
    if (HRESULT failure = DDFaultInjection::take(DDCall::RestoreDisplayMode)) return failure;
    if (!modeBeforeChange_) return DD_OK;
    changeMode(modeBeforeChange_->width, modeBeforeChange_->height, modeBeforeChange_->bitsPerPixel);
    modeBeforeChange_.reset();
    return DD_OK;
}

HRESULT IDirectDraw7::EnumDisplayModes(uint32_t flags, const DDSURFACEDESC2* filter, void* context,
                                       LPDDENUMMODESCALLBACK2 callback)
{
    if (!callback || filter) return DDERR_INVALIDPARAMS;
    if (HRESULT failure = DDFaultInjection::take(DDCall::EnumDisplayModes)) return failure;
    const bool withRates = (flags & DDEDM_REFRESHRATES) != 0;
    std::vector<DisplayMode> listed;
    for (DisplayMode mode : Screen::modes()) {
        if (!withRates) mode.refreshRate = 0;
        if (std::find(listed.begin(), listed.end(), mode) != listed.end()) continue;
        listed.push_back(mode);
        DDSURFACEDESC2 desc;
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
        desc.dwWidth = mode.width;
        desc.dwHeight = mode.height;
        desc.dwRefreshRate = mode.refreshRate;
        desc.ddpfPixelFormat = pixelFormatOfDepth(mode.bitsPerPixel);
        desc.lPitch = static_cast<int32_t>(pitchOf(mode.width, desc.ddpfPixelFormat));
        if (callback(&desc, context) == DDENUMRET_CANCEL) break;
    }
    return DD_OK;
}

HRESULT IDirectDraw7::FlipToGDISurface()
{
    if (HRESULT failure = DDFaultInjection::take(DDCall::FlipToGDISurface)) return failure;
    ++flipsToGDISurface_;
    return DD_OK;
}

HRESULT IDirectDraw7::CreateClipper(uint32_t /*flags*/, IDirectDrawClipper** clipper, void* /*outer*/)
{
    if (!clipper) return DDERR_INVALIDPARAMS;
    *clipper = nullptr;
    if (HRESULT failure = DDFaultInjection::take(DDCall::CreateClipper)) return failure;
    *clipper = new IDirectDrawClipper();
    return DD_OK;
}

HRESULT IDirectDraw7::CreatePalette(uint32_t flags, const PALETTEENTRY* entries, IDirectDrawPalette** palette,
                                    void* /*outer*/)
{
    if (!palette) return DDERR_INVALIDPARAMS;
    *palette = nullptr;
    if (HRESULT failure = DDFaultInjection::take(DDCall::CreatePalette)) return failure;
    if (!(flags & DDPCAPS_8BIT) || !entries) return DDERR_INVALIDPARAMS;
    auto* made = new IDirectDrawPalette();
    std::transform(entries, entries + 256, made->colors_.begin(), colorOf);
    *palette = made;
    return DD_OK;
}

void IDirectDraw7::markAllSurfacesLost()
{
    for (IDirectDrawSurface7* surface : surfaces_) surface->markLost();
}

// ---- clipper and palette ----

HRESULT IDirectDrawClipper::SetHWnd(uint32_t /*flags*/, HWND window)
{
    if (HRESULT failure = DDFaultInjection::take(DDCall::SetHWnd)) return failure;
    if (window && !windowFromHandle(window)) return DDERR_INVALIDPARAMS;
    window_ = window;
    return DD_OK;
}

HRESULT IDirectDrawClipper::GetHWnd(HWND* window)
{
    if (!window) return DDERR_INVALIDPARAMS;
    if (HRESULT failure = DDFaultInjection::take(DDCall::GetHWnd)) return failure;
    *window = window_;
    return DD_OK;
}

HRESULT IDirectDrawPalette::SetEntries(uint32_t /*flags*/, uint32_t start, uint32_t count, const PALETTEENTRY* entries)
{
    if (!entries || start > 256 || count > 256 - start) return DDERR_INVALIDPARAMS;
    if (HRESULT failure = DDFaultInjection::take(DDCall::SetEntries)) return failure;
    std::transform(entries, entries + count, colors_.begin() + start, colorOf);
    return DD_OK;
}

HRESULT IDirectDrawPalette::GetEntries(uint32_t /*flags*/, uint32_t start, uint32_t count, PALETTEENTRY* entries)
{
    if (!entries || start > 256 || count > 256 - start) return DDERR_INVALIDPARAMS;
    if (HRESULT failure = DDFaultInjection::take(DDCall::GetEntries)) return failure;
    std::transform(colors_.begin() + start, colors_.begin() + start + count, entries, [](const PaletteColor& c) {
        return PALETTEENTRY{c.red, c.green, c.blue, c.flags};
    });
    return DD_OK;
}
