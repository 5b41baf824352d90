// The 3-D stand-ins, depth surfaces, and the fault injection of every call of the
// device side of the 2-D layer and of the 3-D stand-ins.
#include "platform/d3d.h"
#include "platform/screen.h"
#include "support/fake_window_host.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

namespace {

// Releases what a successful call made; made is read after the call.
template <typename Object> HRESULT releasing(HRESULT result, Object*& made)
{
    if (made) made->Release();
    return result;
}

// The references an object has, left as they were.
template <typename Object> uint32_t references(Object* object)
{
    object->AddRef();
    return object->Release();
}

class Direct3DTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset();
        ASSERT_EQ(DirectDrawCreateEx(nullptr, &device, &IID_IDirectDraw7, nullptr), DD_OK);
        ASSERT_EQ(device->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&direct3D)), DD_OK);
        target = makeSurface(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, 64, 48);
        ASSERT_EQ(device->CreateClipper(0, &clipper, nullptr), DD_OK);
        ASSERT_EQ(clipper->SetHWnd(0, window.handle()), DD_OK);
    }
    void TearDown() override
    {
        clipper->Release();
        target->Release();
        direct3D->Release();
        EXPECT_EQ(device->Release(), 0u);
        reset();
    }
    static void reset()
    {
        DDFaultInjection::reset();
        Direct3DDevices::reset();
        Screen::reset();
    }

    IDirectDrawSurface7* makeSurface(uint32_t caps, uint32_t width, uint32_t height, const DDPIXELFORMAT* format = nullptr)
    {
        DDSURFACEDESC2 desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | (format ? DDSD_PIXELFORMAT : 0);
        desc.dwWidth = width;
        desc.dwHeight = height;
        desc.ddsCaps.dwCaps = caps;
        if (format) desc.ddpfPixelFormat = *format;
        IDirectDrawSurface7* surface = nullptr;
        EXPECT_EQ(device->CreateSurface(&desc, &surface, nullptr), DD_OK);
        return surface;
    }
    IDirectDrawSurface7* makeDepth(uint32_t width, uint32_t height)
    {
        const DDPIXELFORMAT z16 = pixelFormatDepth(16, 0xFFFF);
        return makeSurface(DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY, width, height, &z16);
    }
    HRESULT tryDevice(const GUID& kind, IDirectDrawSurface7* on)
    {
        IDirect3DDevice7* made = nullptr;
        return releasing(direct3D->CreateDevice(kind, on, &made), made);
    }
    IDirect3DRM3* makeRetainedMode()
    {
        IDirect3DRM* first = nullptr;
        EXPECT_EQ(Direct3DRMCreate(&first), DD_OK);
        IDirect3DRM3* rm = nullptr;
        EXPECT_EQ(first->QueryInterface(IID_IDirect3DRM3, reinterpret_cast<void**>(&rm)), DD_OK);
        EXPECT_EQ(first->Release(), 0u);
        return rm;
    }

    FakeWindowHost window;
    IDirectDraw7* device = nullptr;
    IDirect3D7* direct3D = nullptr;
    IDirectDrawSurface7* target = nullptr;
    IDirectDrawClipper* clipper = nullptr;
};

TEST_F(Direct3DTest, TheImmediateModeObjectHoldsItsDeviceAndADeviceItsTargetAndItsObject)
{
    EXPECT_EQ(references(device), 2u);  // the test's and the 3-D object's
    IDirect3DDevice7* made = nullptr;
    ASSERT_EQ(direct3D->CreateDevice(IID_IDirect3DHALDevice, target, &made), DD_OK);
    EXPECT_EQ(references(target), 2u);
    EXPECT_EQ(references(direct3D), 2u);
    EXPECT_EQ(made->Release(), 0u);
    EXPECT_EQ(references(target), 1u);
    EXPECT_EQ(references(direct3D), 1u);
    void* other = &made;
    EXPECT_EQ(device->QueryInterface(IID_IDirect3DRM, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
}

TEST_F(Direct3DTest, OnlyAvailableKindsMakeDevicesAndOnlyOn3DSurfaces)
{
    const HRESULT byDefault[] = {DD_OK, DD_OK, D3DERR_INVALID_DEVICE, DD_OK, D3DERR_INVALID_DEVICE, DD_OK};
    for (size_t kind = 0; kind < direct3DDeviceKinds.size(); ++kind) EXPECT_EQ(tryDevice(direct3DDeviceKinds[kind], target), byDefault[kind]) << kind;
    Direct3DDevices::setAvailable(IID_IDirect3DTnLHalDevice, false);
    Direct3DDevices::setAvailable(IID_IDirect3DMMXDevice, true);
    EXPECT_EQ(tryDevice(IID_IDirect3DTnLHalDevice, target), D3DERR_INVALID_DEVICE);
    EXPECT_EQ(tryDevice(IID_IDirect3DMMXDevice, target), DD_OK);
    EXPECT_EQ(tryDevice(IID_IDirect3D7, target), D3DERR_INVALID_DEVICE);
    IDirectDrawSurface7* flat = makeSurface(DDSCAPS_OFFSCREENPLAIN, 8, 8);
    EXPECT_EQ(tryDevice(IID_IDirect3DRGBDevice, flat), DDERR_INVALIDCAPS);
    flat->Release();
}

TEST_F(Direct3DTest, DepthFormatsAreListedForKnownKindsUntilCancelled)
{
    std::vector<DDPIXELFORMAT> formats;
    const auto collect = [](DDPIXELFORMAT* format, void* context) {
        auto* list = static_cast<std::vector<DDPIXELFORMAT>*>(context);
        list->push_back(*format);
        return list->size() == 5 ? D3DENUMRET_CANCEL : D3DENUMRET_OK;
    };
    ASSERT_EQ(direct3D->EnumZBufferFormats(IID_IDirect3DHALDevice, collect, &formats), DD_OK);
    ASSERT_EQ(direct3D->EnumZBufferFormats(IID_IDirect3DRefDevice, collect, &formats), DD_OK);  // cancelled after one
    ASSERT_EQ(formats.size(), 5u);
    EXPECT_EQ(formats[0].dwZBufferBitDepth, 16u);
    EXPECT_EQ(formats[1].dwFlags, DDPF_ZBUFFER | DDPF_STENCILBUFFER);
    EXPECT_EQ(direct3D->EnumZBufferFormats(IID_IDirect3D7, collect, &formats), DDERR_INVALIDPARAMS);
}

TEST_F(Direct3DTest, OnlyADepthSurfaceOfTheSameSizeAttachesAndIsHeldWhileAttached)
{
    IDirectDrawSurface7* small = makeDepth(32, 48);
    EXPECT_EQ(target->AddAttachedSurface(small), DDERR_CANNOTATTACHSURFACE);
    EXPECT_EQ(small->Release(), 0u);
    EXPECT_EQ(target->AddAttachedSurface(target), DDERR_INVALIDPARAMS);
    IDirectDrawSurface7* other = makeSurface(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, 64, 48);
    EXPECT_EQ(target->AddAttachedSurface(other), DDERR_CANNOTATTACHSURFACE);

    IDirectDrawSurface7* depth = makeDepth(64, 48);
    ASSERT_EQ(target->AddAttachedSurface(depth), DD_OK);
    EXPECT_EQ(target->AddAttachedSurface(depth), DDERR_SURFACEALREADYATTACHED);
    const DDSCAPS2 wanted{DDSCAPS_ZBUFFER};
    IDirectDrawSurface7* found = nullptr;
    ASSERT_EQ(target->GetAttachedSurface(&wanted, &found), DD_OK);
    EXPECT_EQ(found, depth);
    EXPECT_EQ(found->Release(), 2u);  // the test's and the attachment's
    ASSERT_EQ(target->DeleteAttachedSurface(0, depth), DD_OK);
    EXPECT_EQ(target->DeleteAttachedSurface(0, depth), DDERR_SURFACENOTATTACHED);
    EXPECT_EQ(references(depth), 1u);
    // A surface lets go of what is attached when it goes.
    ASSERT_EQ(other->AddAttachedSurface(depth), DD_OK);
    EXPECT_EQ(other->Release(), 0u);
    EXPECT_EQ(depth->Release(), 0u);
}

TEST_F(Direct3DTest, RetainedModeDevicesHoldTheirClipperAndViewportsTheirDeviceAndCamera)
{
    IDirect3DRM3* rm = makeRetainedMode();
    IDirect3DRMDevice3* rmDevice = nullptr;
    ASSERT_EQ(rm->CreateDeviceFromClipper(clipper, &IID_IDirect3DRGBDevice, 64, 48, &rmDevice), DD_OK);
    EXPECT_EQ(rmDevice->GetWidth(), 64u);
    EXPECT_EQ(rmDevice->GetHeight(), 48u);
    EXPECT_EQ(references(clipper), 2u);
    IDirect3DRMFrame3* camera = nullptr;
    ASSERT_EQ(rm->CreateFrame(nullptr, &camera), DD_OK);
    IDirect3DRMViewport2* viewport = nullptr;
    EXPECT_EQ(rm->CreateViewport(rmDevice, camera, 1, 0, 64, 48, &viewport), D3DRMERR_BADVALUE);
    EXPECT_EQ(rm->CreateViewport(rmDevice, camera, 0, 1, 64, 48, &viewport), D3DRMERR_BADVALUE);
    ASSERT_EQ(rm->CreateViewport(rmDevice, camera, 0, 0, 64, 48, &viewport), DD_OK);
    EXPECT_EQ(rmDevice->Release(), 1u);  // the viewport holds it
    EXPECT_EQ(camera->Release(), 1u);
    EXPECT_EQ(viewport->Release(), 0u);
    EXPECT_EQ(references(clipper), 1u);

    IDirect3DRMDevice3* none = nullptr;
    Direct3DDevices::setAvailable(IID_IDirect3DRGBDevice, false);
    EXPECT_EQ(rm->CreateDeviceFromClipper(clipper, &IID_IDirect3DRGBDevice, 8, 8, &none), D3DRMERR_BADDEVICE);
    for (const GUID& kind : direct3DDeviceKinds) Direct3DDevices::setAvailable(kind, false);
    EXPECT_EQ(rm->CreateDeviceFromClipper(clipper, nullptr, 8, 8, &none), D3DRMERR_BADDEVICE);
    EXPECT_EQ(rm->Release(), 0u);
}

TEST_F(Direct3DTest, EveryCallOfTheDeviceAndThe3DStandInsCanBeMadeToFail)
{
    IDirectDrawPalette* palette = nullptr;
    PALETTEENTRY entries[256] = {};
    ASSERT_EQ(device->CreatePalette(DDPCAPS_8BIT, entries, &palette, nullptr), DD_OK);
    const DDPIXELFORMAT indexed = pixelFormatPalette8();
    IDirectDrawSurface7* paletteSurface = makeSurface(DDSCAPS_OFFSCREENPLAIN, 4, 4, &indexed);
    IDirectDrawSurface7* depth = makeDepth(64, 48);
    IDirect3DRM* firstRm = nullptr;
    ASSERT_EQ(Direct3DRMCreate(&firstRm), DD_OK);
    IDirect3DRM3* rm = makeRetainedMode();
    IDirect3DRMDevice3* rmDevice = nullptr;
    ASSERT_EQ(rm->CreateDeviceFromClipper(clipper, nullptr, 64, 48, &rmDevice), DD_OK);
    IDirect3DRMFrame3* camera = nullptr;
    ASSERT_EQ(rm->CreateFrame(nullptr, &camera), DD_OK);
    IDirect3DRMViewport2* viewport = nullptr;
    ASSERT_EQ(rm->CreateViewport(rmDevice, camera, 0, 0, 8, 8, &viewport), DD_OK);

    struct Case {
        DDCall call;
        std::function<HRESULT()> run;
    };
    const DDSCAPS2 depthCaps{DDSCAPS_ZBUFFER};
    // Leaves the depth surface unattached whatever the call did.
    const auto detachingAfter = [&](HRESULT result) {
        target->DeleteAttachedSurface(0, depth);
        return result;
    };
    const std::vector<Case> cases{
        {DDCall::DirectDrawEnumerateA, [] { return DirectDrawEnumerateA([](GUID*, char*, char*, void*) -> BOOL { return 1; }, nullptr); }},
        {DDCall::DirectDrawGetCaps, [&] { DDCAPS caps; return device->GetCaps(&caps, nullptr); }},
        {DDCall::SetCooperativeLevel, [&] { return device->SetCooperativeLevel(window.handle(), DDSCL_NORMAL); }},
        {DDCall::SetDisplayMode, [&] { return device->SetDisplayMode(640, 480, 32, 60, 0); }},
        {DDCall::RestoreDisplayMode, [&] { return device->RestoreDisplayMode(); }},
        {DDCall::EnumDisplayModes, [&] { return device->EnumDisplayModes(0, nullptr, nullptr, [](DDSURFACEDESC2*, void*) { return DDENUMRET_OK; }); }},
        {DDCall::FlipToGDISurface, [&] { return device->FlipToGDISurface(); }},
        {DDCall::CreateClipper, [&] { IDirectDrawClipper* made = nullptr; return releasing(device->CreateClipper(0, &made, nullptr), made); }},
        {DDCall::CreatePalette, [&] { IDirectDrawPalette* made = nullptr; return releasing(device->CreatePalette(DDPCAPS_8BIT, entries, &made, nullptr), made); }},
        {DDCall::SetHWnd, [&] { return clipper->SetHWnd(0, window.handle()); }},
        {DDCall::GetHWnd, [&] { HWND bound; return clipper->GetHWnd(&bound); }},
        {DDCall::SetEntries, [&] { return palette->SetEntries(0, 0, 256, entries); }},
        {DDCall::GetEntries, [&] { return palette->GetEntries(0, 0, 256, entries); }},
        {DDCall::SetClipper, [&] { return target->SetClipper(clipper); }},
        {DDCall::SetPalette, [&] { return paletteSurface->SetPalette(palette); }},
        {DDCall::AddAttachedSurface, [&] { return detachingAfter(target->AddAttachedSurface(depth)); }},
        {DDCall::GetAttachedSurface, [&] {
             target->AddAttachedSurface(depth);
             IDirectDrawSurface7* found = nullptr;
             return detachingAfter(releasing(target->GetAttachedSurface(&depthCaps, &found), found));
         }},
        {DDCall::DeleteAttachedSurface, [&] {
             target->AddAttachedSurface(depth);
             const HRESULT result = target->DeleteAttachedSurface(0, depth);
             return result == DD_OK ? result : detachingAfter(result);
         }},
        {DDCall::DirectDrawQueryInterface, [&] { IDirect3D7* made = nullptr; return releasing(device->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&made)), made); }},
        {DDCall::Direct3DRMCreate, [&] { IDirect3DRM* made = nullptr; return releasing(Direct3DRMCreate(&made), made); }},
        {DDCall::Direct3DRMQueryInterface, [&] { IDirect3DRM3* made = nullptr; return releasing(firstRm->QueryInterface(IID_IDirect3DRM3, reinterpret_cast<void**>(&made)), made); }},
        {DDCall::EnumZBufferFormats, [&] { return direct3D->EnumZBufferFormats(IID_IDirect3DRGBDevice, [](DDPIXELFORMAT*, void*) { return D3DENUMRET_OK; }, nullptr); }},
        {DDCall::CreateDevice, [&] { return tryDevice(IID_IDirect3DRGBDevice, target); }},
        {DDCall::CreateDeviceFromClipper, [&] { IDirect3DRMDevice3* made = nullptr; return releasing(rm->CreateDeviceFromClipper(clipper, nullptr, 8, 8, &made), made); }},
        {DDCall::CreateFrame, [&] { IDirect3DRMFrame3* made = nullptr; return releasing(rm->CreateFrame(nullptr, &made), made); }},
        {DDCall::CreateViewport, [&] { IDirect3DRMViewport2* made = nullptr; return releasing(rm->CreateViewport(rmDevice, camera, 0, 0, 8, 8, &made), made); }},
        {DDCall::SetBack, [&] { return viewport->SetBack(5000.0f); }},
    };
    // One case for each call from DirectDrawEnumerateA on, none twice.
    std::set<DDCall> covered;
    for (const Case& c : cases) covered.insert(c.call);
    EXPECT_EQ(covered.size(), cases.size());
    EXPECT_EQ(cases.size(), static_cast<size_t>(static_cast<int>(DDCall::SetBack) - static_cast<int>(DDCall::DirectDrawEnumerateA) + 1));

    const HRESULT injected = makeDDResult(999);
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.call));
        DDFaultInjection::failCall(c.call, injected, 1);
        EXPECT_EQ(c.run(), DD_OK);
        EXPECT_EQ(c.run(), injected);
        EXPECT_EQ(c.run(), DD_OK);
    }

    EXPECT_EQ(device->flipsToGDISurface(), 2);  // not the failed one
    target->SetClipper(nullptr);
    EXPECT_EQ(viewport->Release(), 0u);
    EXPECT_EQ(camera->Release(), 0u);
    EXPECT_EQ(rmDevice->Release(), 0u);
    EXPECT_EQ(rm->Release(), 0u);
    EXPECT_EQ(firstRm->Release(), 0u);
    EXPECT_EQ(depth->Release(), 0u);
    EXPECT_EQ(paletteSurface->Release(), 0u);
    EXPECT_EQ(palette->Release(), 0u);
}

}  // namespace
