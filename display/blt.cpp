// Copies between display surfaces: Blt and BltFast, with the overflow-safe clipping
// of a stretching or unscaled copy against the destination's clip region.
#include "display/dddd.h"

#include <algorithm>
#include <utility>

namespace {

void normalise(Rect& r)
{
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
}

// Right left of left, or bottom above top.
bool inverted(const Rect& r) { return r.left > r.right || r.top > r.bottom; }

// a * b / c for 0 <= a <= c, 0 <= b, c > 0, exact where the product would not fit
// in 64 bits.
int64_t scale(int64_t a, int64_t b, int64_t c)
{
    const int64_t whole = b / c;
    const auto rest = static_cast<uint64_t>(b % c);
    return a * whole + static_cast<int64_t>(static_cast<uint64_t>(a) * rest / static_cast<uint64_t>(c));
}

// Clips one axis of a stretching copy: destination d0..d1 from source s0..s1 against
// the clip interval c0..c1. Touching edges count as overlap; the source follows the
// destination in proportion, with divisions truncating toward zero. False when the
// destination misses the clip interval.
bool clipStretchAxis(int32_t& d0, int32_t& d1, int32_t& s0, int32_t& s1, int32_t c0, int32_t c1)
{
    if (c1 < d0 || c0 > d1) return false;
    const int64_t ls = int64_t{s1} - s0;
    const int64_t ld = int64_t{d1} - d0;
    const int32_t s1Before = s1;
    const int32_t d1Before = d1;
    if (c1 < d1) {
        s1 = static_cast<int32_t>(s0 + scale(int64_t{c1} - d0, ls, ld));
        d1 = c1;
    }
    if (c0 > d0) {
        s0 = static_cast<int32_t>(s1Before - scale(int64_t{d1Before} - c0, ls, ld));
        d0 = c0;
    }
    return true;
}

// Clips one axis of an unscaled copy placed at p with source s0..s1.
bool clipPointAxis(int32_t& p, int32_t& s0, int32_t& s1, int32_t c0, int32_t c1)
{
    const int64_t w = int64_t{s1} - s0;
    const int64_t end = p + w;
    if (c1 < p || c0 > end) return false;
    const int32_t s1Before = s1;
    if (c1 < end) s1 = static_cast<int32_t>(int64_t{c1} + s0 - p);
    if (c0 > p) {
        s0 = static_cast<int32_t>(s1Before - (end - c0));
        p = c0;
    }
    return true;
}

}  // namespace

// The clip rectangle, normalised and kept within the surface, or the whole surface.
// A clip rectangle wholly outside the surface comes out inverted.
Rect TDDDDGenSurface::clipRegion() const
{
    const Rect whole{0, 0, Width, Height};
    if (!UseClip) return whole;
    Rect clip = ClipRect;
    normalise(clip);
    return Rect{std::max(clip.left, 0), std::max(clip.top, 0), std::min(clip.right, Width),
                std::min(clip.bottom, Height)};
}

HRESULT TDDDDGenSurface::Blt(TDDDDGenSurface* Source, const Rect& DestRect, const Rect& SourceRect, uint32_t Flags,
                             const DDBLTFX& Effects)
{
    Rect dest = DestRect;
    Rect source = SourceRect;
    IDirectDrawSurface7* sourceSurface = Source ? Source->DDSurface.get() : nullptr;
    if (!DDSurface) return DDERR_INVALIDOBJECT;
    // The window's clipper clips copies onto the screen.
    if (DDDD && this == DDDD->Primary.get()) return DDSurface->Blt(&dest, sourceSurface, &source, Flags, &Effects);

    const Rect clip = clipRegion();
    if (inverted(clip)) return DD_OK;
    normalise(dest);
    normalise(source);
    if (!clipStretchAxis(dest.left, dest.right, source.left, source.right, clip.left, clip.right)) return DD_OK;
    if (!clipStretchAxis(dest.top, dest.bottom, source.top, source.bottom, clip.top, clip.bottom)) return DD_OK;
    // With a clip of zero width or height, truncation can cross the source's edges
    // over; there is nothing to draw then.
    if (inverted(source)) return DD_OK;

    // A mirrored copy takes its source part mirrored about the whole source surface.
    if (Source && Effects.dwDDFX == DDBLTFX_MIRRORLEFTRIGHT)
        source = Rect{Source->Width - source.right, source.top, Source->Width - source.left, source.bottom};
    else if (Source && Effects.dwDDFX == DDBLTFX_MIRRORUPDOWN)
        source = Rect{source.left, Source->Height - source.bottom, source.right, Source->Height - source.top};

    return DDSurface->Blt(&dest, sourceSurface, &source, Flags, &Effects);
}

HRESULT TDDDDGenSurface::BltFast(TDDDDGenSurface* Source, int32_t X, int32_t Y, const Rect& SourceRect, uint32_t Flags)
{
    if (!DDSurface || !Source) return DDERR_INVALIDOBJECT;
    Rect source = SourceRect;
    const Rect clip = clipRegion();
    if (inverted(clip)) return DD_OK;
    normalise(source);
    if (!clipPointAxis(X, source.left, source.right, clip.left, clip.right)) return DD_OK;
    if (!clipPointAxis(Y, source.top, source.bottom, clip.top, clip.bottom)) return DD_OK;
    return DDSurface->BltFast(static_cast<uint32_t>(X), static_cast<uint32_t>(Y), Source->DDSurface.get(), &source,
                              Flags);
}
