// The surface wrapper's pixel format, colour packing, single-pixel reads, colour key
// and loss.
#include "display/dddd.h"
#include "display/debug_log.h"
#include "platform/scope_guard.h"
#include "platform/string_format.h"

namespace {

// Shift and loss of one channel mask: zero bits below the mask (32 for none), and
// 8 less the mask's run of one bits, counting at most 8.
TDDDDGenSurface::Channel channelOf(uint32_t mask)
{
    TDDDDGenSurface::Channel channel;
    channel.Mask = mask;
    if (mask == 0) return channel;
    uint32_t shift = 0;
    while (!(mask & (1u << shift))) ++shift;
    uint32_t ones = 0;
    while (ones < 8 && shift + ones < 32 && (mask & (1u << (shift + ones)))) ++ones;
    channel.Shift = shift;
    channel.Loss = 8 - ones;
    return channel;
}

uint32_t packChannel(uint8_t value, const TDDDDGenSurface::Channel& channel)
{
    if (channel.Shift >= 32) return 0;
    return (static_cast<uint32_t>(value) >> channel.Loss) << channel.Shift;
}

}  // namespace

TDDDDGenSurface::TDDDDGenSurface(TDDDD* DDDD_, RefPtr<IDirectDrawSurface7> DDSurface_, int32_t Width_, int32_t Height_)
        : DDSurface(std::move(DDSurface_)),
          Width(Width_),
          Height(Height_),
          DDDD(DDDD_)
{
    if (DDSurface) {
        SurfaceDesc.dwSize = sizeof(DDSURFACEDESC2);
        DDSurface->GetSurfaceDesc(&SurfaceDesc);
    } else {
        SurfaceDesc = DDSURFACEDESC2{};
        SurfaceDesc.dwSize = sizeof(DDSURFACEDESC2);
        SurfaceDesc.dwFlags = DDSD_ALL;
    }
    SetPixelFormat(SurfaceDesc.ddpfPixelFormat);
    Locked = false;
}

void TDDDDGenSurface::SetPixelFormat(const DDPIXELFORMAT& Format)
{
    Alpha = channelOf(Format.dwRGBAlphaBitMask);
    Red = channelOf(Format.dwRBitMask);
    Green = channelOf(Format.dwGBitMask);
    Blue = channelOf(Format.dwBBitMask);
    DetailLog(stringFormat("PixelFormat: AMask=%.8x RMask=%.8x GMask=%.8x BMask=%.8x", Alpha.Mask, Red.Mask, Green.Mask,
                           Blue.Mask));
}

uint32_t TDDDDGenSurface::MakeColor(uint8_t A, uint8_t R, uint8_t G, uint8_t B) const
{
    return packChannel(A, Alpha) | packChannel(R, Red) | packChannel(G, Green) | packChannel(B, Blue);
}

uint32_t TDDDDGenSurface::GetPixel(int32_t X, int32_t Y)
{
    if (X < 0 || X > Width - 1 || Y < 0 || Y > Height - 1) {
        DebugLog("サーフェス外のピクセルを参照しようとしました");
        return 0;
    }
    if (!DDSurface) return 0;
    DDSURFACEDESC2 desc;
    desc.dwSize = sizeof desc;
    const bool lockHere = !Locked;
    if (lockHere && DDSurface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr) != DD_OK) return 0;
    if (!lockHere) desc = LockDesc;
    const ScopeGuard unlock([&] {
        if (lockHere) DDSurface->Unlock(nullptr);
    });
    uint32_t value = 0;
    // The wrapper's size may differ from the platform surface's; never read past the latter.
    if (static_cast<uint32_t>(X) < desc.dwWidth && static_cast<uint32_t>(Y) < desc.dwHeight) {
        const int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
        const auto* p = static_cast<const uint8_t*>(desc.lpSurface) + static_cast<int64_t>(Y) * desc.lPitch +
                        static_cast<int64_t>(X) * bytes;
        for (int i = 0; i < bytes && i < 4; ++i) value |= static_cast<uint32_t>(p[i]) << (8 * i);
    }
    return value;
}

void TDDDDGenSurface::SetColorKey(uint32_t Color)
{
    ColorKey = Color;
    if (!DDSurface) return;
    const DDCOLORKEY key{Color, Color};
    DDSurface->SetColorKey(DDCKEY_SRCBLT, &key);
}

bool TDDDDGenSurface::IsLost() { return DDSurface && DDSurface->IsLost() != DD_OK; }

// The primary surface may come back in the screen's new size.
void TDDDDGenSurface::Restore()
{
    if (!IsLost() || DDSurface->Restore() != DD_OK) return;
    Width = DDSurface->width();
    Height = DDSurface->height();
}
