#include "platform/ddraw.h"

#include "platform/pixel_loops.h"

#include <algorithm>
#include <map>
#include <new>

namespace {

DDPIXELFORMAT screenFormat = pixelFormatXrgb8888();

struct PendingFailure {
    int after;
    HRESULT code;
};
std::multimap<DDCall, PendingFailure> pendingFailures;

// Surfaces larger than this are refused as out of memory.
constexpr int64_t maxSurfaceBytes = int64_t{1} << 30;

bool validFormat(const DDPIXELFORMAT& f)
{
    if (f.dwFlags & DDPF_PALETTEINDEXED8) return f.dwRGBBitCount == 8 || f.dwRGBBitCount == 0;
    return (f.dwFlags & DDPF_RGB) && (f.dwRGBBitCount == 16 || f.dwRGBBitCount == 24 || f.dwRGBBitCount == 32);
}

int bytesOf(const DDPIXELFORMAT& f) { return (f.dwFlags & DDPF_PALETTEINDEXED8) ? 1 : static_cast<int>(f.dwRGBBitCount / 8); }

bool inside(const Rect& r, int32_t width, int32_t height)
{
    return r.left >= 0 && r.top >= 0 && r.left <= r.right && r.top <= r.bottom && r.right <= width && r.bottom <= height;
}

// The palette of palette-indexed surfaces that have none of their own: 3 bits of
// red, 3 of green and 2 of blue.
std::array<PaletteColor, 256> makeDefaultPalette()
{
    std::array<PaletteColor, 256> palette;
    for (int i = 0; i < 256; ++i) {
        palette[i].red = static_cast<uint8_t>(((i >> 5) & 7) * 255 / 7);
        palette[i].green = static_cast<uint8_t>(((i >> 2) & 7) * 255 / 7);
        palette[i].blue = static_cast<uint8_t>((i & 3) * 255 / 3);
    }
    return palette;
}

}  // namespace

DDPIXELFORMAT pixelFormatPalette8()
{
    DDPIXELFORMAT f;
    f.dwFlags = DDPF_PALETTEINDEXED8 | DDPF_RGB;
    f.dwRGBBitCount = 8;
    return f;
}

DDPIXELFORMAT pixelFormatRgb(uint32_t bits, uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha)
{
    DDPIXELFORMAT f;
    f.dwFlags = DDPF_RGB | (alpha ? DDPF_ALPHAPIXELS : 0);
    f.dwRGBBitCount = bits;
    f.dwRBitMask = red;
    f.dwGBitMask = green;
    f.dwBBitMask = blue;
    f.dwRGBAlphaBitMask = alpha;
    return f;
}

void setScreenPixelFormat(const DDPIXELFORMAT& format) { screenFormat = format; }
DDPIXELFORMAT screenPixelFormat() { return screenFormat; }

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

// ---- device ----

HRESULT DirectDrawCreateEx(const void* /*guid*/, IDirectDraw7** directDraw, const void* /*iid*/, void* /*outer*/)
{
    if (!directDraw) return DDERR_INVALIDPARAMS;
    *directDraw = nullptr;
    if (HRESULT failure = DDFaultInjection::take(DDCall::DirectDrawCreateEx)) return failure;
    *directDraw = new IDirectDraw7();
    return DD_OK;
}

uint32_t IDirectDraw7::Release()
{
    if (--references_ > 0) return references_;
    for (IDirectDrawSurface7* surface : surfaces_) {
        surface->markLost();
        surface->device_ = nullptr;
    }
    delete this;
    return 0;
}

HRESULT IDirectDraw7::CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** surface, void* /*outer*/)
{
    if (!desc || !surface) return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    if (HRESULT failure = DDFaultInjection::take(DDCall::CreateSurface)) return failure;
    const uint32_t need = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    if ((desc->dwFlags & need) != need || !(desc->ddsCaps.dwCaps & DDSCAPS_OFFSCREENPLAIN)) return DDERR_INVALIDPARAMS;
    if (desc->dwWidth == 0 || desc->dwHeight == 0 || desc->dwWidth > INT32_MAX || desc->dwHeight > INT32_MAX)
        return DDERR_INVALIDPARAMS;

    DDSURFACEDESC2 made = *desc;
    if (!(desc->dwFlags & DDSD_PIXELFORMAT)) made.ddpfPixelFormat = screenFormat;
    if (!validFormat(made.ddpfPixelFormat)) return DDERR_INVALIDPIXELFORMAT;
    // Memory placement: kept as asked; with no preference the driver picks video memory.
    uint32_t& caps = made.ddsCaps.dwCaps;
    if (caps & DDSCAPS_VIDEOMEMORY)
        caps |= (caps & DDSCAPS_NONLOCALVIDMEM) ? 0 : DDSCAPS_LOCALVIDMEM;
    else if (!(caps & DDSCAPS_SYSTEMMEMORY))
        caps |= DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;

    const int64_t rowBytes = static_cast<int64_t>(made.dwWidth) * bytesOf(made.ddpfPixelFormat);
    const int64_t pitch = (rowBytes + 3) & ~int64_t{3};
    if (pitch > INT32_MAX || pitch * made.dwHeight > maxSurfaceBytes) return DDERR_OUTOFMEMORY;

    auto* made_surface = new IDirectDrawSurface7(this, made, static_cast<int32_t>(pitch));
    if (!made_surface->allocate()) {
        delete made_surface;
        return DDERR_OUTOFMEMORY;
    }
    surfaces_.push_back(made_surface);
    *surface = made_surface;
    return DD_OK;
}

void IDirectDraw7::markAllSurfacesLost()
{
    for (IDirectDrawSurface7* surface : surfaces_) surface->markLost();
}

// ---- surface ----

IDirectDrawSurface7::IDirectDrawSurface7(IDirectDraw7* device, const DDSURFACEDESC2& desc, int32_t pitch)
    : device_(device),
      width_(static_cast<int32_t>(desc.dwWidth)),
      height_(static_cast<int32_t>(desc.dwHeight)),
      pitch_(pitch),
      bytesPerPixel_(bytesOf(desc.ddpfPixelFormat)),
      format_(desc.ddpfPixelFormat),
      caps_(desc.ddsCaps),
      sourceKey_(desc.ddckCKSrcBlt),
      hasSourceKey_((desc.dwFlags & DDSD_CKSRCBLT) != 0)
{
}

bool IDirectDrawSurface7::allocate()
{
    const auto words = static_cast<size_t>((static_cast<int64_t>(pitch_) * height_) / 4);
    memory_.reset(new (std::nothrow) uint32_t[words]());
    return memory_ != nullptr;
}

uint32_t IDirectDrawSurface7::Release()
{
    if (--references_ > 0) return references_;
    if (device_) std::erase(device_->surfaces_, this);
    delete this;
    return 0;
}

HRESULT IDirectDrawSurface7::checkUsable() const
{
    if (lost_) return DDERR_SURFACELOST;
    if (locked_ || context_) return DDERR_SURFACEBUSY;
    return DD_OK;
}

void IDirectDrawSurface7::markLost()
{
    lost_ = true;
    locked_ = false;
    context_.reset();
    memory_.reset();
}

HRESULT IDirectDrawSurface7::IsLost() { return lost_ ? DDERR_SURFACELOST : DD_OK; }

HRESULT IDirectDrawSurface7::Restore()
{
    if (HRESULT failure = DDFaultInjection::take(DDCall::Restore)) return failure;
    if (!lost_) return DD_OK;
    if (!device_) return DDERR_SURFACELOST;  // its device is gone: nothing to restore on
    if (!allocate()) return DDERR_OUTOFMEMORY;
    lost_ = false;
    return DD_OK;
}

HRESULT IDirectDrawSurface7::GetSurfaceDesc(DDSURFACEDESC2* desc)
{
    if (!desc) return DDERR_INVALIDPARAMS;
    if (HRESULT failure = DDFaultInjection::take(DDCall::GetSurfaceDesc)) return failure;
    DDSURFACEDESC2 out;
    out.dwSize = sizeof(DDSURFACEDESC2);
    out.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT | (hasSourceKey_ ? DDSD_CKSRCBLT : 0);
    out.dwWidth = static_cast<uint32_t>(width_);
    out.dwHeight = static_cast<uint32_t>(height_);
    out.lPitch = pitch_;
    out.ddckCKSrcBlt = sourceKey_;
    out.ddpfPixelFormat = format_;
    out.ddsCaps = caps_;
    *desc = out;
    return DD_OK;
}

HRESULT IDirectDrawSurface7::GetCaps(DDSCAPS2* caps)
{
    if (!caps) return DDERR_INVALIDPARAMS;
    if (HRESULT failure = DDFaultInjection::take(DDCall::GetCaps)) return failure;
    *caps = caps_;
    return DD_OK;
}

HRESULT IDirectDrawSurface7::SetColorKey(uint32_t flags, const DDCOLORKEY* key)
{
    if (HRESULT failure = DDFaultInjection::take(DDCall::SetColorKey)) return failure;
    if (!(flags & DDCKEY_SRCBLT)) return DDERR_UNSUPPORTED;
    hasSourceKey_ = key != nullptr;
    if (key) sourceKey_ = *key;
    return DD_OK;
}

HRESULT IDirectDrawSurface7::GetColorKey(uint32_t flags, DDCOLORKEY* key)
{
    if (!key || !(flags & DDCKEY_SRCBLT)) return DDERR_INVALIDPARAMS;
    if (!hasSourceKey_) return DDERR_GENERIC;
    *key = sourceKey_;
    return DD_OK;
}

HRESULT IDirectDrawSurface7::Lock(const Rect* rect, DDSURFACEDESC2* desc, uint32_t /*flags*/, void* /*event*/)
{
    if (!desc) return DDERR_INVALIDPARAMS;
    if (HRESULT failure = DDFaultInjection::take(DDCall::Lock)) return failure;
    if (HRESULT busy = checkUsable()) return busy;
    const Rect whole{0, 0, width_, height_};
    const Rect area = rect ? *rect : whole;
    if (!inside(area, width_, height_)) return DDERR_INVALIDRECT;
    GetSurfaceDesc(desc);
    desc->dwFlags |= DDSD_LPSURFACE;
    desc->lpSurface = row(area.top) + static_cast<int64_t>(area.left) * bytesPerPixel_;
    locked_ = true;
    return DD_OK;
}

HRESULT IDirectDrawSurface7::Unlock(const Rect* /*rect*/)
{
    if (HRESULT failure = DDFaultInjection::take(DDCall::Unlock)) return failure;
    if (lost_) return DDERR_SURFACELOST;
    if (!locked_) return DDERR_NOTLOCKED;
    locked_ = false;
    return DD_OK;
}

HRESULT IDirectDrawSurface7::GetDC(DrawingContext** context)
{
    if (!context) return DDERR_INVALIDPARAMS;
    *context = nullptr;
    if (HRESULT failure = DDFaultInjection::take(DDCall::GetDC)) return failure;
    if (HRESULT busy = checkUsable()) return busy;
    context_ = std::make_unique<DrawingContext>(*this);
    *context = context_.get();
    return DD_OK;
}

HRESULT IDirectDrawSurface7::ReleaseDC(DrawingContext* context)
{
    if (HRESULT failure = DDFaultInjection::take(DDCall::ReleaseDC)) return failure;
    if (!context || context != context_.get()) return DDERR_INVALIDPARAMS;
    context_.reset();
    return DD_OK;
}

const std::array<PaletteColor, 256>& IDirectDrawSurface7::palette() const
{
    static const std::array<PaletteColor, 256> defaultPalette = makeDefaultPalette();
    return defaultPalette;
}

namespace {

pixel_loops::Block blockOf(IDirectDrawSurface7& s, const Rect& r)
{
    return {s.row(r.top) + static_cast<int64_t>(r.left) * s.bytesPerPixel(), s.pitch(), r.width(), r.height()};
}

}  // namespace

HRESULT IDirectDrawSurface7::Blt(const Rect* destRect, IDirectDrawSurface7* src, const Rect* srcRect, uint32_t flags,
                                 const DDBLTFX* fx)
{
    if (HRESULT failure = DDFaultInjection::take(DDCall::Blt)) return failure;
    const Rect dest = destRect ? *destRect : Rect{0, 0, width_, height_};
    if (flags & DDBLT_COLORFILL) {
        if (HRESULT busy = checkUsable()) return busy;
        if (!inside(dest, width_, height_)) return DDERR_INVALIDRECT;
        if (!fx) return DDERR_INVALIDPARAMS;
        pixel_loops::dispatchBytes(bytesPerPixel_, [&]<int Bytes>() { pixel_loops::fill<Bytes>(blockOf(*this, dest), fx->dwFillColor); });
        return DD_OK;
    }
    if (!src) return DDERR_INVALIDPARAMS;
    pixel_loops::Stretch how;
    if ((flags & DDBLT_DDFX) && fx) {
        how.mirrorX = (fx->dwDDFX & DDBLTFX_MIRRORLEFTRIGHT) != 0;
        how.mirrorY = (fx->dwDDFX & DDBLTFX_MIRRORUPDOWN) != 0;
    }
    how.keyed = (flags & DDBLT_KEYSRC) != 0;
    return copyFrom(dest, *src, srcRect ? *srcRect : Rect{0, 0, src->width_, src->height_}, how);
}

HRESULT IDirectDrawSurface7::BltFast(uint32_t x, uint32_t y, IDirectDrawSurface7* src, const Rect* srcRect, uint32_t flags)
{
    if (HRESULT failure = DDFaultInjection::take(DDCall::BltFast)) return failure;
    if (!src) return DDERR_INVALIDPARAMS;
    const Rect source = srcRect ? *srcRect : Rect{0, 0, src->width_, src->height_};
    if (!inside(source, src->width_, src->height_)) return DDERR_INVALIDRECT;
    const int64_t right = int64_t{x} + source.width();
    const int64_t bottom = int64_t{y} + source.height();
    if (right > width_ || bottom > height_) return DDERR_INVALIDRECT;
    const Rect dest{static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
    pixel_loops::Stretch how;
    how.keyed = (flags & DDBLTFAST_SRCCOLORKEY) != 0;
    return copyFrom(dest, *src, source, how);
}

HRESULT IDirectDrawSurface7::copyFrom(const Rect& dest, IDirectDrawSurface7& src, const Rect& source, pixel_loops::Stretch how)
{
    if (HRESULT busy = checkUsable()) return busy;
    if (&src != this) {
        if (HRESULT busy = src.checkUsable()) return busy;
    }
    if (!inside(dest, width_, height_) || !inside(source, src.width_, src.height_)) return DDERR_INVALIDRECT;
    if (src.bytesPerPixel_ != bytesPerPixel_) return DDERR_INVALIDPIXELFORMAT;
    if (dest.width() == 0 || dest.height() == 0 || source.width() == 0 || source.height() == 0) return DD_OK;

    // Keyed copies leave out the source pixels equal to the source's key, if it has one.
    how.keyed = how.keyed && src.hasSourceKey_;
    how.key = src.sourceKey_.dwColorSpaceLowValue;
    const auto d = blockOf(*this, dest);
    const auto s = blockOf(src, source);
    const pixel_loops::ConstBlock from{s.rows, s.pitch, s.width, s.height};
    const bool unscaled = dest.width() == source.width() && dest.height() == source.height() && !how.mirrorX && !how.mirrorY;
    pixel_loops::dispatchBytes(bytesPerPixel_, [&]<int Bytes>() {
        if (unscaled && how.keyed)
            pixel_loops::copyKeyed<Bytes>(d, from, how.key);
        else if (unscaled)
            pixel_loops::copy(d, from, Bytes);
        else
            pixel_loops::stretch<Bytes>(d, from, how);
    });
    return DD_OK;
}
