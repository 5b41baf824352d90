// The 3-D stand-ins and depth surfaces: which devices they make and what they hold.
#include "platform/d3d.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

namespace {

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
    }
    void TearDown() override
    {
        for (uint32_t left : {target->Release(), direct3D->Release(), device->Release()}) EXPECT_EQ(left, 0u);
        Direct3DDevices::reset();
    }
    // 64 × 48 unless narrower; a depth surface with the depth format.
    IDirectDrawSurface7* makeSurface(uint32_t caps, uint32_t width = 64)
    {
        DDSURFACEDESC2 desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | (caps == DDSCAPS_ZBUFFER ? DDSD_PIXELFORMAT : 0);
        desc.dwWidth = width;
        desc.dwHeight = 48;
        if (caps == DDSCAPS_ZBUFFER) desc.ddpfPixelFormat = pixelFormatDepth(16, 0xFFFF);
        desc.ddsCaps.dwCaps = caps;
        IDirectDrawSurface7* surface = nullptr;
        EXPECT_EQ(device->CreateSurface(&desc, &surface, nullptr), DD_OK);
        return surface;
    }
    HRESULT tryDevice(const GUID& kind, IDirectDrawSurface7* on)
    {
        IDirect3DDevice7* made = nullptr;
        const HRESULT result = direct3D->CreateDevice(kind, on, &made);
        if (made) {
            EXPECT_EQ(made->Release(), 0u);  // letting go of its target and 3-D object too
        }
        return result;
    }

    IDirectDraw7* device = nullptr;
    IDirect3D7* direct3D = nullptr;
    IDirectDrawSurface7* target = nullptr;
};

TEST_F(Direct3DTest, DevicesOfAvailableKindsOn3DSurfacesHoldTheirTargetAndImmediateModeObject)
{
    EXPECT_EQ(references(device), 2u);  // the test's and the 3-D object's
    IDirect3DDevice7* made = nullptr;
    ASSERT_EQ(direct3D->CreateDevice(IID_IDirect3DHALDevice, target, &made), DD_OK);
    EXPECT_EQ(references(target), 2u);
    EXPECT_EQ(references(direct3D), 2u);
    EXPECT_EQ(made->Release(), 0u);

    const HRESULT byDefault[] = {DD_OK, DD_OK, D3DERR_INVALID_DEVICE, DD_OK, D3DERR_INVALID_DEVICE, DD_OK};
    for (size_t kind = 0; kind < direct3DDeviceKinds.size(); ++kind) EXPECT_EQ(tryDevice(direct3DDeviceKinds[kind], target), byDefault[kind]) << kind;
    Direct3DDevices::setAvailable(IID_IDirect3DTnLHalDevice, false);
    EXPECT_EQ(tryDevice(IID_IDirect3DTnLHalDevice, target), D3DERR_INVALID_DEVICE);
    IDirectDrawSurface7* flat = makeSurface(DDSCAPS_OFFSCREENPLAIN);
    EXPECT_EQ(tryDevice(IID_IDirect3DRGBDevice, flat), DDERR_INVALIDCAPS);
    EXPECT_EQ(flat->Release(), 0u);
}

TEST_F(Direct3DTest, OnlyADepthSurfaceOfTheSameSizeAttachesAndIsHeldWhileAttached)
{
    IDirectDrawSurface7* narrow = makeSurface(DDSCAPS_ZBUFFER, 32);
    EXPECT_EQ(target->AddAttachedSurface(narrow), DDERR_CANNOTATTACHSURFACE);
    EXPECT_EQ(narrow->Release(), 0u);
    IDirectDrawSurface7* depth = makeSurface(DDSCAPS_ZBUFFER);
    ASSERT_EQ(target->AddAttachedSurface(depth), DD_OK);
    EXPECT_EQ(target->AddAttachedSurface(depth), DDERR_SURFACEALREADYATTACHED);
    EXPECT_EQ(references(depth), 2u);  // the test's and the attachment's
    ASSERT_EQ(target->DeleteAttachedSurface(0, depth), DD_OK);
    EXPECT_EQ(references(depth), 1u);
    // A surface lets go of what is attached when it goes.
    IDirectDrawSurface7* other = makeSurface(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
    ASSERT_EQ(other->AddAttachedSurface(depth), DD_OK);
    EXPECT_EQ(other->Release(), 0u);
    EXPECT_EQ(depth->Release(), 0u);
}

}  // namespace
