// The surfaces of the 2-D layer: lock, description, colour key, copies with their
// clipping through a window, drawing contexts, attachments, loss and restore.
#include "platform/ddraw.h"

#include "platform/pixel_loops.h"
#include "platform/screen.h"
#include "platform/testing.h"

#include <algorithm>
#include <bit>
#include <new>

namespace {

bool inside(const Rect& r, int32_t width, int32_t height)
{
    return r.left >= 0 && r.top >= 0 && r.left <= r.right && r.top <= r.bottom && r.right <= width &&
           r.bottom <= height;
}

bool wellFormed(const Rect& r) { return r.left <= r.right && r.top <= r.bottom; }

Rect intersection(const Rect& a, const Rect& b)
{
    const Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    return wellFormed(r) ? r : Rect{};
}

bool empty(const Rect& r) { return r.left >= r.right || r.top >= r.bottom; }

// Widens the bits of mask in value to 8 bits.
uint32_t expandChannel(uint32_t value, uint32_t mask)
{
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const uint32_t range = mask >> shift;
    return ((value & mask) >> shift) * 255 / range;
}

// A pixel of a colour format as the window shows it, 0x00RRGGBB.
uint32_t toWindowColor(uint32_t value, const DDPIXELFORMAT& f, const std::array<PaletteColor, 256>& palette)
{
    if (f.dwFlags & DDPF_PALETTEINDEXED8) {
        const PaletteColor& c = palette[value & 255];
        return (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue;
    }
    return (expandChannel(value, f.dwRBitMask) << 16) | (expandChannel(value, f.dwGBitMask) << 8) |
           expandChannel(value, f.dwBBitMask);
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

IDirectDrawSurface7::IDirectDrawSurface7(IDirectDraw7* device, const DDSURFACEDESC2& desc, int32_t pitch)
        : device_(device),
          width_(static_cast<int32_t>(desc.dwWidth)),
          height_(static_cast<int32_t>(desc.dwHeight)),
          pitch_(pitch),
          bytesPerPixel_(bytesPerPixelOf(desc.ddpfPixelFormat)),
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

IDirectDrawSurface7::~IDirectDrawSurface7()
{
    if (device_) std::erase(device_->surfaces_, this);
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
    // The primary surface is the screen: restored, it takes the screen's size of now,
    // so it follows screens that came or went while it was lost.
    if (caps_.dwCaps & DDSCAPS_PRIMARYSURFACE) {
        width_ = Screen::width();
        height_ = Screen::height();
        pitch_ = static_cast<int32_t>(pitchOf(width_, format_));
    }
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
    out.dwFlags =
        DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT | (hasSourceKey_ ? DDSD_CKSRCBLT : 0);
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
    lockedArea_ = area;
    return DD_OK;
}

HRESULT IDirectDrawSurface7::Unlock(const Rect* /*rect*/)
{
    if (HRESULT failure = DDFaultInjection::take(DDCall::Unlock)) return failure;
    if (lost_) return DDERR_SURFACELOST;
    if (!locked_) return DDERR_NOTLOCKED;
    locked_ = false;
    showOnWindow(lockedArea_);
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
    showOnWindow({0, 0, width_, height_});
    return DD_OK;
}

const std::array<PaletteColor, 256>& IDirectDrawSurface7::palette() const
{
    static const std::array<PaletteColor, 256> defaultPalette = makeDefaultPalette();
    return palette_ ? palette_->colors_ : defaultPalette;
}

HRESULT IDirectDrawSurface7::SetClipper(IDirectDrawClipper* clipper)
{
    if (HRESULT failure = DDFaultInjection::take(DDCall::SetClipper)) return failure;
    clipper_ = RefPtr<IDirectDrawClipper>(clipper);
    return DD_OK;
}

HRESULT IDirectDrawSurface7::SetPalette(IDirectDrawPalette* palette)
{
    if (HRESULT failure = DDFaultInjection::take(DDCall::SetPalette)) return failure;
    if (palette && !(format_.dwFlags & DDPF_PALETTEINDEXED8)) return DDERR_NOTPALETTIZED;
    palette_ = RefPtr<IDirectDrawPalette>(palette);
    return DD_OK;
}

HRESULT IDirectDrawSurface7::GetAttachedSurface(const DDSCAPS2* caps, IDirectDrawSurface7** surface)
{
    if (!caps || !surface) return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    if (HRESULT failure = DDFaultInjection::take(DDCall::GetAttachedSurface)) return failure;
    const auto found = std::find_if(attached_.begin(), attached_.end(), [&](const RefPtr<IDirectDrawSurface7>& s) {
        return (s->caps_.dwCaps & caps->dwCaps) == caps->dwCaps;
    });
    if (found == attached_.end()) return DDERR_NOTFOUND;
    *surface = RefPtr<IDirectDrawSurface7>(*found).leak();
    return DD_OK;
}

std::vector<RefPtr<IDirectDrawSurface7>>::iterator IDirectDrawSurface7::findAttached(const IDirectDrawSurface7* surface)
{
    return std::find_if(attached_.begin(), attached_.end(),
                        [&](const RefPtr<IDirectDrawSurface7>& s) { return s.get() == surface; });
}

HRESULT IDirectDrawSurface7::AddAttachedSurface(IDirectDrawSurface7* surface)
{
    if (!surface || surface == this) return DDERR_INVALIDPARAMS;
    if (HRESULT failure = DDFaultInjection::take(DDCall::AddAttachedSurface)) return failure;
    if (findAttached(surface) != attached_.end()) return DDERR_SURFACEALREADYATTACHED;
    if (!(surface->caps_.dwCaps & DDSCAPS_ZBUFFER) || surface->width_ != width_ || surface->height_ != height_)
        return DDERR_CANNOTATTACHSURFACE;
    attached_.push_back(RefPtr<IDirectDrawSurface7>(surface));
    return DD_OK;
}

HRESULT IDirectDrawSurface7::DeleteAttachedSurface(uint32_t /*flags*/, IDirectDrawSurface7* surface)
{
    if (!surface) return DDERR_INVALIDPARAMS;
    if (HRESULT failure = DDFaultInjection::take(DDCall::DeleteAttachedSurface)) return failure;
    const auto found = findAttached(surface);
    if (found == attached_.end()) return DDERR_SURFACENOTATTACHED;
    attached_.erase(found);
    return DD_OK;
}

Rect IDirectDrawSurface7::visibleArea() const
{
    const Rect whole{0, 0, width_, height_};
    const WindowHost* window = clipper_ ? windowFromHandle(clipper_->window_) : nullptr;
    if (!window) return whole;
    const POINT origin = window->clientOrigin();
    return intersection(whole, movedBy({0, 0, window->clientWidth(), window->clientHeight()}, origin.x, origin.y));
}

// What changed in area of the primary surface, as far as it is visible, goes to the
// window of its clipper.
void IDirectDrawSurface7::showOnWindow(const Rect& area)
{
    WindowHost* window = clipper_ ? windowFromHandle(clipper_->window_) : nullptr;
    if (!window || !(caps_.dwCaps & DDSCAPS_PRIMARYSURFACE)) return;
    const Rect shown = intersection(area, visibleArea());
    if (empty(shown)) return;
    const POINT origin = window->clientOrigin();
    uint32_t* frame = window->frameBuffer();
    const int64_t stride = window->clientWidth();
    const auto& colors = palette();
    // A screen in the window's own format (X8R8G8B8) is copied without widening each
    // channel, which the window's every frame would otherwise pay for.
    const bool windowFormat = bytesPerPixel_ == 4 && format_.dwRBitMask == 0xFF0000u && format_.dwGBitMask == 0xFF00u &&
                              format_.dwBBitMask == 0xFFu && !(format_.dwFlags & DDPF_PALETTEINDEXED8);
    pixel_loops::dispatchBytes(bytesPerPixel_, [&]<int Bytes>() {
        for (int32_t y = shown.top; y < shown.bottom; ++y) {
            const uint8_t* from = row(y) + int64_t{shown.left} * Bytes;
            uint32_t* to = frame + (y - origin.y) * stride + (shown.left - origin.x);
            if (windowFormat) {
                for (int32_t i = 0; i < shown.width(); ++i)
                    to[i] = pixel_loops::Pixel<Bytes>::load(from + i * Bytes) & 0xFFFFFFu;
            } else {
                for (int32_t i = 0; i < shown.width(); ++i)
                    to[i] = toWindowColor(pixel_loops::Pixel<Bytes>::load(from + i * Bytes), format_, colors);
            }
        }
    });
    window->frameBufferChanged(movedBy(shown, -origin.x, -origin.y));
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
    if (!clipper_) return bltWithin(dest, src, srcRect, flags, fx);
    if (!wellFormed(dest)) return DDERR_INVALIDRECT;
    const Rect visible = intersection(dest, visibleArea());
    if (empty(visible)) return DD_OK;
    const HRESULT result =
        visible == dest ? bltWithin(dest, src, srcRect, flags, fx) : bltClipped(dest, visible, src, srcRect, flags, fx);
    if (result == DD_OK) showOnWindow(visible);
    return result;
}

// A copy the clipper cuts: made whole on a scratch surface of the destination's
// size that holds this surface's pixels under its visible part, which is then
// copied back.
HRESULT IDirectDrawSurface7::bltClipped(const Rect& dest, const Rect& visible, IDirectDrawSurface7* src,
                                        const Rect* srcRect, uint32_t flags, const DDBLTFX* fx)
{
    if (flags & DDBLT_COLORFILL) return bltWithin(visible, src, srcRect, flags, fx);
    if (HRESULT busy = checkUsable()) return busy;
    const int64_t width = int64_t{dest.right} - dest.left;
    const int64_t height = int64_t{dest.bottom} - dest.top;
    const int64_t pitch = pitchOf(width, format_);
    if (pitch > INT32_MAX || height > INT32_MAX || pitch * height > maxSurfaceBytes) return DDERR_OUTOFMEMORY;
    DDSURFACEDESC2 desc;
    desc.dwWidth = static_cast<uint32_t>(width);
    desc.dwHeight = static_cast<uint32_t>(height);
    desc.ddpfPixelFormat = format_;
    IDirectDrawSurface7 scratch(nullptr, desc, static_cast<int32_t>(pitch));
    if (!scratch.allocate()) return DDERR_OUTOFMEMORY;
    const Rect part = movedBy(visible, -dest.left, -dest.top);
    scratch.copyFrom(part, *this, visible, {});  // cannot fail: both are usable and of one format
    if (HRESULT result = scratch.bltWithin({0, 0, scratch.width_, scratch.height_}, src, srcRect, flags, fx))
        return result;
    return copyFrom(visible, scratch, part, {});
}

// A Blt whose destination must lie within the surface.
HRESULT IDirectDrawSurface7::bltWithin(const Rect& dest, IDirectDrawSurface7* src, const Rect* srcRect, uint32_t flags,
                                       const DDBLTFX* fx)
{
    if (flags & DDBLT_COLORFILL) {
        if (HRESULT busy = checkUsable()) return busy;
        if (!inside(dest, width_, height_)) return DDERR_INVALIDRECT;
        if (!fx) return DDERR_INVALIDPARAMS;
        pixel_loops::dispatchBytes(
            bytesPerPixel_, [&]<int Bytes>() { pixel_loops::fill<Bytes>(blockOf(*this, dest), fx->dwFillColor); });
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

HRESULT IDirectDrawSurface7::BltFast(uint32_t x, uint32_t y, IDirectDrawSurface7* src, const Rect* srcRect,
                                     uint32_t flags)
{
    if (HRESULT failure = DDFaultInjection::take(DDCall::BltFast)) return failure;
    if (!src) return DDERR_INVALIDPARAMS;
    if (clipper_) return DDERR_BLTFASTCANTCLIP;
    const Rect source = srcRect ? *srcRect : Rect{0, 0, src->width_, src->height_};
    if (!inside(source, src->width_, src->height_)) return DDERR_INVALIDRECT;
    const int64_t right = int64_t{x} + source.width();
    const int64_t bottom = int64_t{y} + source.height();
    if (right > width_ || bottom > height_) return DDERR_INVALIDRECT;
    const Rect dest{static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(right),
                    static_cast<int32_t>(bottom)};
    pixel_loops::Stretch how;
    how.keyed = (flags & DDBLTFAST_SRCCOLORKEY) != 0;
    return copyFrom(dest, *src, source, how);
}

HRESULT IDirectDrawSurface7::copyFrom(const Rect& dest, IDirectDrawSurface7& src, const Rect& source,
                                      pixel_loops::Stretch how)
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
    const bool unscaled =
        dest.width() == source.width() && dest.height() == source.height() && !how.mirrorX && !how.mirrorY;
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
