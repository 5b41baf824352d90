// The 3-D stand-ins, depth surfaces, and the fault injection of every call of the
// device side of the 2-D layer and of the 3-D stand-ins.
#include "platform/d3d.h"
#include "platform/testing.h"
#include "support/fake_window_host.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

namespace {

// Releases what a successful call made.
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

// Every test ends with each object of the fixture at its last reference.
class Direct3DTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(DirectDrawCreateEx(nullptr, &device, &IID_IDirectDraw7, nullptr), DD_OK);
        ASSERT_EQ(device->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&direct3D)), DD_OK);
        target = makeSurface(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
        ASSERT_EQ(device->CreateClipper(0, &clipper, nullptr), DD_OK);
        ASSERT_EQ(clipper->SetHWnd(0, window.handle()), DD_OK);
        ASSERT_EQ(Direct3DRMCreate(&firstRm), DD_OK);
        ASSERT_EQ(firstRm->QueryInterface(IID_IDirect3DRM3, reinterpret_cast<void**>(&rm)), DD_OK);  // an object of its own
    }
    void TearDown() override
    {
        for (uint32_t left : {rm->Release(), firstRm->Release(), target->Release(), clipper->Release(), direct3D->Release(), device->Release()})
            EXPECT_EQ(left, 0u);
        DDFaultInjection::reset();
        Direct3DDevices::reset();
        resetScreen();
    }
    // 64 × 48 unless narrower.
    IDirectDrawSurface7* makeSurface(uint32_t caps, const DDPIXELFORMAT& format = {}, uint32_t width = 64)
    {
        DDSURFACEDESC2 desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | (format.dwFlags ? DDSD_PIXELFORMAT : 0);
        desc.dwWidth = width;
        desc.dwHeight = 48;
        desc.ddpfPixelFormat = format;
        desc.ddsCaps.dwCaps = caps;
        IDirectDrawSurface7* surface = nullptr;
        EXPECT_EQ(device->CreateSurface(&desc, &surface, nullptr), DD_OK);
        return surface;
    }
    IDirectDrawSurface7* makeDepth(uint32_t width = 64) { return makeSurface(DDSCAPS_ZBUFFER, pixelFormatDepth(16, 0xFFFF), width); }
    HRESULT tryDevice(const GUID& kind, IDirectDrawSurface7* on)
    {
        IDirect3DDevice7* made = nullptr;
        return releasing(direct3D->CreateDevice(kind, on, &made), made);
    }

    FakeWindowHost window;
    IDirectDraw7* device = nullptr;
    IDirect3D7* direct3D = nullptr;
    IDirectDrawSurface7* target = nullptr;
    IDirectDrawClipper* clipper = nullptr;
    IDirect3DRM* firstRm = nullptr;
    IDirect3DRM3* rm = nullptr;
};

TEST_F(Direct3DTest, DevicesOfAvailableKindsOn3DSurfacesHoldTheirTargetAndImmediateModeObject)
{
    EXPECT_EQ(references(device), 2u);  // the test's and the 3-D object's
    IDirect3DDevice7* made = nullptr;
    ASSERT_EQ(direct3D->CreateDevice(IID_IDirect3DHALDevice, target, &made), DD_OK);
    EXPECT_EQ(references(target), 2u);
    EXPECT_EQ(references(direct3D), 2u);
    EXPECT_EQ(made->Release(), 0u);  // letting both go, as the fixture checks
    void* other = &made;
    EXPECT_EQ(device->QueryInterface(IID_IDirect3DRM, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);

    const HRESULT byDefault[] = {DD_OK, DD_OK, D3DERR_INVALID_DEVICE, DD_OK, D3DERR_INVALID_DEVICE, DD_OK};
    for (size_t kind = 0; kind < direct3DDeviceKinds.size(); ++kind) EXPECT_EQ(tryDevice(direct3DDeviceKinds[kind], target), byDefault[kind]) << kind;
    Direct3DDevices::setAvailable(IID_IDirect3DTnLHalDevice, false);
    Direct3DDevices::setAvailable(IID_IDirect3DMMXDevice, true);
    EXPECT_EQ(tryDevice(IID_IDirect3DTnLHalDevice, target), D3DERR_INVALID_DEVICE);
    EXPECT_EQ(tryDevice(IID_IDirect3DMMXDevice, target), DD_OK);
    EXPECT_EQ(tryDevice(IID_IDirect3D7, target), D3DERR_INVALID_DEVICE);
    IDirectDrawSurface7* flat = makeSurface(DDSCAPS_OFFSCREENPLAIN);
    EXPECT_EQ(tryDevice(IID_IDirect3DRGBDevice, flat), DDERR_INVALIDCAPS);
    EXPECT_EQ(flat->Release(), 0u);

    // Depth formats are listed for known kinds only, until the callback cancels.
    std::vector<DDPIXELFORMAT> formats;
    const auto collectOne = [](DDPIXELFORMAT* format, void* context) {
        static_cast<std::vector<DDPIXELFORMAT>*>(context)->push_back(*format);
        return D3DENUMRET_CANCEL;
    };
    ASSERT_EQ(direct3D->EnumZBufferFormats(IID_IDirect3DHALDevice, collectOne, &formats), DD_OK);
    ASSERT_EQ(formats.size(), 1u);
    EXPECT_EQ(formats[0].dwZBufferBitDepth, 16u);
    EXPECT_EQ(direct3D->EnumZBufferFormats(IID_IDirect3D7, collectOne, &formats), DDERR_INVALIDPARAMS);
}

TEST_F(Direct3DTest, OnlyADepthSurfaceOfTheSameSizeAttachesAndIsHeldWhileAttached)
{
    IDirectDrawSurface7* narrow = makeDepth(32);
    EXPECT_EQ(target->AddAttachedSurface(narrow), DDERR_CANNOTATTACHSURFACE);
    EXPECT_EQ(narrow->Release(), 0u);
    EXPECT_EQ(target->AddAttachedSurface(target), DDERR_INVALIDPARAMS);
    IDirectDrawSurface7* other = makeSurface(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
    EXPECT_EQ(target->AddAttachedSurface(other), DDERR_CANNOTATTACHSURFACE);

    IDirectDrawSurface7* depth = makeDepth();
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

TEST_F(Direct3DTest, EveryCallOfTheDeviceAndThe3DStandInsCanBeMadeToFail)
{
    IDirectDrawPalette* palette = nullptr;
    PALETTEENTRY entries[256] = {};
    ASSERT_EQ(device->CreatePalette(DDPCAPS_8BIT, entries, &palette, nullptr), DD_OK);
    IDirectDrawSurface7* indexed = makeSurface(DDSCAPS_OFFSCREENPLAIN, pixelFormatPalette8());
    IDirectDrawSurface7* depth = makeDepth();
    IDirect3DRMDevice3* rmDevice = nullptr;
    ASSERT_EQ(rm->CreateDeviceFromClipper(clipper, nullptr, 64, 48, &rmDevice), DD_OK);
    IDirect3DRMFrame3* camera = nullptr;
    ASSERT_EQ(rm->CreateFrame(nullptr, &camera), DD_OK);
    IDirect3DRMViewport2* viewport = nullptr;
    EXPECT_EQ(rm->CreateViewport(rmDevice, camera, 1, 0, 64, 48, &viewport), D3DRMERR_BADVALUE);  // past the device
    ASSERT_EQ(rm->CreateViewport(rmDevice, camera, 0, 0, 8, 8, &viewport), DD_OK);
    EXPECT_EQ(references(rmDevice), 2u);  // the viewport holds its device and camera, the device its clipper
    EXPECT_EQ(references(camera), 2u);
    EXPECT_EQ(references(clipper), 2u);

    const DDSCAPS2 depthCaps{DDSCAPS_ZBUFFER};
    // In order: each call fails once, then succeeds; so Add, Get and Delete attach, find and detach.
    const std::vector<std::pair<DDCall, std::function<HRESULT()>>> cases{
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
        {DDCall::SetPalette, [&] { return indexed->SetPalette(palette); }},
        {DDCall::AddAttachedSurface, [&] { return target->AddAttachedSurface(depth); }},
        {DDCall::GetAttachedSurface, [&] { IDirectDrawSurface7* found = nullptr; return releasing(target->GetAttachedSurface(&depthCaps, &found), found); }},
        {DDCall::DeleteAttachedSurface, [&] { return target->DeleteAttachedSurface(0, depth); }},
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
    const HRESULT injected = makeDDResult(999);
    std::set<DDCall> covered;
    for (const auto& [call, run] : cases) {
        SCOPED_TRACE(static_cast<int>(call));
        EXPECT_TRUE(covered.insert(call).second);
        DDFaultInjection::failCall(call, injected);
        EXPECT_EQ(run(), injected);
        EXPECT_EQ(run(), DD_OK);
    }
    EXPECT_EQ(covered.size(), static_cast<size_t>(DDCall::SetBack) - static_cast<size_t>(DDCall::DirectDrawEnumerateA) + 1);
    // A failure may wait for calls of its kind to succeed first; a failed call does nothing.
    DDFaultInjection::failCall(DDCall::FlipToGDISurface, injected, 1);
    EXPECT_EQ(device->FlipToGDISurface(), DD_OK);
    EXPECT_EQ(device->FlipToGDISurface(), injected);
    EXPECT_EQ(device->flipsToGDISurface(), 2);

    for (uint32_t left : {viewport->Release(), camera->Release(), rmDevice->Release(), depth->Release(), indexed->Release(), palette->Release()})
        EXPECT_EQ(left, 0u);
}

}  // namespace
