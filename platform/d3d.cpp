// The software stand-in for the 3-D objects: which device kinds and depth formats
// are offered, and the immediate- and retained-mode objects.
#include "platform/d3d.h"

#include "platform/testing.h"

#include <algorithm>
#include <utility>

namespace {

struct Direct3DState {
    std::array<bool, 6> available{true, true, false, true, false, true};
    std::vector<DDPIXELFORMAT> zBufferFormats{pixelFormatDepth(16, 0xFFFF),
                                              pixelFormatDepth(24, 0xFFFFFF00, 8, 0x000000FF),
                                              pixelFormatDepth(32, 0xFFFFFF00), pixelFormatDepth(32, 0xFFFFFFFF)};
};

Direct3DState& state()
{
    static Direct3DState direct3D;
    return direct3D;
}

// The kind's number 0 to 5, or -1 for an identifier that names no kind.
int kindIndex(const GUID& kind)
{
    const auto found = std::find(direct3DDeviceKinds.begin(), direct3DDeviceKinds.end(), kind);
    return found == direct3DDeviceKinds.end() ? -1 : static_cast<int>(found - direct3DDeviceKinds.begin());
}

bool available(const GUID& kind)
{
    const int index = kindIndex(kind);
    return index >= 0 && state().available[index];
}

}  // namespace

void Direct3DDevices::setAvailable(const GUID& kind, bool available)
{
    if (const int index = kindIndex(kind); index >= 0) state().available[index] = available;
}

void Direct3DDevices::setZBufferFormats(std::vector<DDPIXELFORMAT> formats)
{
    state().zBufferFormats = std::move(formats);
}
void Direct3DDevices::reset() { state() = Direct3DState{}; }

// ---- immediate mode ----

HRESULT IDirectDraw7::QueryInterface(const GUID& iid, void** object)
{
    if (!object) return DDERR_INVALIDPARAMS;
    *object = nullptr;
    if (HRESULT failure = DDFaultInjection::take(DDCall::DirectDrawQueryInterface)) return failure;
    if (iid != IID_IDirect3D7) return E_NOINTERFACE;
    *object = new IDirect3D7(this);
    return DD_OK;
}

IDirect3D7::IDirect3D7(IDirectDraw7* directDraw) : directDraw_(directDraw) {}

HRESULT IDirect3D7::EnumZBufferFormats(const GUID& kind, LPD3DENUMPIXELFORMATSCALLBACK callback, void* context)
{
    if (!callback || kindIndex(kind) < 0) return DDERR_INVALIDPARAMS;
    if (HRESULT failure = DDFaultInjection::take(DDCall::EnumZBufferFormats)) return failure;
    for (DDPIXELFORMAT format : state().zBufferFormats)
        if (callback(&format, context) == D3DENUMRET_CANCEL) break;
    return DD_OK;
}

HRESULT IDirect3D7::CreateDevice(const GUID& kind, IDirectDrawSurface7* target, IDirect3DDevice7** device)
{
    if (!target || !device) return DDERR_INVALIDPARAMS;
    *device = nullptr;
    if (HRESULT failure = DDFaultInjection::take(DDCall::CreateDevice)) return failure;
    if (!available(kind)) return D3DERR_INVALID_DEVICE;
    if (!(target->caps().dwCaps & DDSCAPS_3DDEVICE)) return DDERR_INVALIDCAPS;
    *device = new IDirect3DDevice7(this, target);
    return DD_OK;
}

IDirect3DDevice7::IDirect3DDevice7(IDirect3D7* direct3D, IDirectDrawSurface7* target)
        : direct3D_(direct3D),
          target_(target)
{
}

// ---- retained mode ----

HRESULT Direct3DRMCreate(IDirect3DRM** rm)
{
    if (!rm) return DDERR_INVALIDPARAMS;
    *rm = nullptr;
    if (HRESULT failure = DDFaultInjection::take(DDCall::Direct3DRMCreate)) return failure;
    *rm = new IDirect3DRM();
    return DD_OK;
}

HRESULT IDirect3DRM::QueryInterface(const GUID& iid, void** object)
{
    if (!object) return DDERR_INVALIDPARAMS;
    *object = nullptr;
    if (HRESULT failure = DDFaultInjection::take(DDCall::Direct3DRMQueryInterface)) return failure;
    if (iid != IID_IDirect3DRM3) return E_NOINTERFACE;
    *object = new IDirect3DRM3();
    return DD_OK;
}

HRESULT IDirect3DRM3::CreateDeviceFromClipper(IDirectDrawClipper* clipper, const GUID* kind, int width, int height,
                                              IDirect3DRMDevice3** device)
{
    if (!clipper || !device || width <= 0 || height <= 0) return DDERR_INVALIDPARAMS;
    *device = nullptr;
    if (HRESULT failure = DDFaultInjection::take(DDCall::CreateDeviceFromClipper)) return failure;
    const bool usable =
        kind ? available(*kind) : std::any_of(direct3DDeviceKinds.begin(), direct3DDeviceKinds.end(), available);
    if (!usable) return D3DRMERR_BADDEVICE;
    *device = new IDirect3DRMDevice3(clipper, static_cast<uint32_t>(width), static_cast<uint32_t>(height));
    return DD_OK;
}

HRESULT IDirect3DRM3::CreateFrame(IDirect3DRMFrame3* /*parent*/, IDirect3DRMFrame3** frame)
{
    if (!frame) return DDERR_INVALIDPARAMS;
    *frame = nullptr;
    if (HRESULT failure = DDFaultInjection::take(DDCall::CreateFrame)) return failure;
    *frame = new IDirect3DRMFrame3();
    return DD_OK;
}

HRESULT IDirect3DRM3::CreateViewport(IDirect3DRMDevice3* device, IDirect3DRMFrame3* camera, uint32_t x, uint32_t y,
                                     uint32_t width, uint32_t height, IDirect3DRMViewport2** viewport)
{
    if (!device || !camera || !viewport) return DDERR_INVALIDPARAMS;
    *viewport = nullptr;
    if (HRESULT failure = DDFaultInjection::take(DDCall::CreateViewport)) return failure;
    if (x > device->width_ || width > device->width_ - x || y > device->height_ || height > device->height_ - y)
        return D3DRMERR_BADVALUE;
    *viewport = new IDirect3DRMViewport2(device, camera);
    return DD_OK;
}

IDirect3DRMDevice3::IDirect3DRMDevice3(IDirectDrawClipper* clipper, uint32_t width, uint32_t height)
        : clipper_(clipper),
          width_(width),
          height_(height)
{
}

IDirect3DRMViewport2::IDirect3DRMViewport2(IDirect3DRMDevice3* device, IDirect3DRMFrame3* camera)
        : device_(device),
          camera_(camera)
{
}

HRESULT IDirect3DRMViewport2::SetBack(D3DVALUE back)
{
    if (HRESULT failure = DDFaultInjection::take(DDCall::SetBack)) return failure;
    back_ = back;
    return DD_OK;
}
