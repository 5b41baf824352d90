// The 3-D stand-ins: Direct3D 7's immediate mode (the IDirect3D7 object a
// DirectDraw device gives, its depth formats and devices on a surface) and its
// retained mode (IDirect3DRM3: a device from a clipper, frames and viewports).
// Nothing is drawn: these objects exist, hold their references and fail where a
// test says. Which device kinds can be made and which depth formats are listed is
// set by tests, and every call can be made to fail (platform/testing.h).
#pragma once

#include "platform/ddraw.h"

#include <array>
#include <cstdint>
#include <vector>

inline constexpr GUID IID_IDirect3D7{0xf5049e77, 0x4861, 0x11d2, {0xa4, 0x07, 0x00, 0xa0, 0xc9, 0x06, 0x29, 0xa8}};
inline constexpr GUID IID_IDirect3DRM{0x2bc49361, 0x8327, 0x11cf, {0xac, 0x4a, 0x00, 0x00, 0xc0, 0x38, 0x25, 0xa1}};
inline constexpr GUID IID_IDirect3DRM3{0x4516ec83, 0x8f20, 0x11d0, {0x9b, 0x6d, 0x00, 0x00, 0xc0, 0x78, 0x1b, 0xc3}};

// The device kinds.
inline constexpr GUID IID_IDirect3DTnLHalDevice{
    0xf5049e78, 0x4861, 0x11d2, {0xa4, 0x07, 0x00, 0xa0, 0xc9, 0x06, 0x29, 0xa8}};
inline constexpr GUID IID_IDirect3DHALDevice{
    0x84e63de0, 0x46aa, 0x11cf, {0x81, 0x6f, 0x00, 0x00, 0xc0, 0x20, 0x15, 0x6e}};
inline constexpr GUID IID_IDirect3DMMXDevice{
    0x881949a1, 0xd6f3, 0x11d0, {0x89, 0xab, 0x00, 0xa0, 0xc9, 0x05, 0x41, 0x29}};
inline constexpr GUID IID_IDirect3DRGBDevice{
    0xa4665c60, 0x2673, 0x11cf, {0xa3, 0x1a, 0x00, 0xaa, 0x00, 0xb9, 0x33, 0x56}};
inline constexpr GUID IID_IDirect3DRampDevice{
    0xf2086b20, 0x259f, 0x11cf, {0xa3, 0x1a, 0x00, 0xaa, 0x00, 0xb9, 0x33, 0x56}};
inline constexpr GUID IID_IDirect3DRefDevice{
    0x50936643, 0x13e9, 0x11d1, {0x89, 0xaa, 0x00, 0xa0, 0xc9, 0x05, 0x41, 0x29}};
// Kinds 0 to 5: T&L hardware, hardware, MMX, RGB, Ramp, reference rasteriser.
inline constexpr std::array<GUID, 6> direct3DDeviceKinds{IID_IDirect3DTnLHalDevice, IID_IDirect3DHALDevice,
                                                         IID_IDirect3DMMXDevice,    IID_IDirect3DRGBDevice,
                                                         IID_IDirect3DRampDevice,   IID_IDirect3DRefDevice};

inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT D3DERR_INVALID_DEVICE = makeDDResult(705);
inline constexpr HRESULT D3DRMERR_BADDEVICE = makeDDResult(789);
inline constexpr HRESULT D3DRMERR_BADVALUE = makeDDResult(790);

inline constexpr HRESULT D3DENUMRET_CANCEL = 0;
inline constexpr HRESULT D3DENUMRET_OK = 1;

using D3DVALUE = float;
using LPD3DENUMPIXELFORMATSCALLBACK = HRESULT (*)(DDPIXELFORMAT* format, void* context);

class IDirect3D7;

// An immediate-mode device; holds its render target.
class IDirect3DDevice7 : public RefCounted<IDirect3DDevice7> {
private:
    friend class RefCounted<IDirect3DDevice7>;
    friend class IDirect3D7;
    IDirect3DDevice7(IDirect3D7* direct3D, IDirectDrawSurface7* target);
    ~IDirect3DDevice7() = default;

    RefPtr<IDirect3D7> direct3D_;
    RefPtr<IDirectDrawSurface7> target_;
};

// The immediate-mode object of a DirectDraw device (IDirectDraw7::QueryInterface
// with IID_IDirect3D7); holds that device.
class IDirect3D7 : public RefCounted<IDirect3D7> {
public:
    // Each depth format of the kind, until the callback returns D3DENUMRET_CANCEL.
    HRESULT EnumZBufferFormats(const GUID& kind, LPD3DENUMPIXELFORMATSCALLBACK callback, void* context);
    // A device of an available kind on a surface made with DDSCAPS_3DDEVICE.
    HRESULT CreateDevice(const GUID& kind, IDirectDrawSurface7* target, IDirect3DDevice7** device);

private:
    friend class RefCounted<IDirect3D7>;
    friend class IDirectDraw7;
    explicit IDirect3D7(IDirectDraw7* directDraw);
    ~IDirect3D7() = default;

    RefPtr<IDirectDraw7> directDraw_;
};

// A retained-mode frame: what a viewport looks through as its camera.
class IDirect3DRMFrame3 : public RefCounted<IDirect3DRMFrame3> {
private:
    friend class RefCounted<IDirect3DRMFrame3>;
    friend class IDirect3DRM3;
    IDirect3DRMFrame3() = default;
    ~IDirect3DRMFrame3() = default;
};

// A retained-mode device drawing into a clipper's window; holds the clipper.
class IDirect3DRMDevice3 : public RefCounted<IDirect3DRMDevice3> {
public:
    uint32_t GetWidth() const { return width_; }
    uint32_t GetHeight() const { return height_; }

private:
    friend class RefCounted<IDirect3DRMDevice3>;
    friend class IDirect3DRM3;
    IDirect3DRMDevice3(IDirectDrawClipper* clipper, uint32_t width, uint32_t height);
    ~IDirect3DRMDevice3() = default;

    RefPtr<IDirectDrawClipper> clipper_;
    uint32_t width_;
    uint32_t height_;
};

// A viewport on a retained-mode device; holds the device and its camera.
class IDirect3DRMViewport2 : public RefCounted<IDirect3DRMViewport2> {
public:
    HRESULT SetBack(D3DVALUE back);
    D3DVALUE GetBack() const { return back_; }

private:
    friend class RefCounted<IDirect3DRMViewport2>;
    friend class IDirect3DRM3;
    IDirect3DRMViewport2(IDirect3DRMDevice3* device, IDirect3DRMFrame3* camera);
    ~IDirect3DRMViewport2() = default;

    RefPtr<IDirect3DRMDevice3> device_;
    RefPtr<IDirect3DRMFrame3> camera_;
    D3DVALUE back_ = 100.0f;
};

class IDirect3DRM3 : public RefCounted<IDirect3DRM3> {
public:
    // kind null: the first available kind.
    HRESULT CreateDeviceFromClipper(IDirectDrawClipper* clipper, const GUID* kind, int width, int height,
                                    IDirect3DRMDevice3** device);
    HRESULT CreateFrame(IDirect3DRMFrame3* parent, IDirect3DRMFrame3** frame);
    // A viewport within the device's width and height.
    HRESULT CreateViewport(IDirect3DRMDevice3* device, IDirect3DRMFrame3* camera, uint32_t x, uint32_t y,
                           uint32_t width, uint32_t height, IDirect3DRMViewport2** viewport);

private:
    friend class RefCounted<IDirect3DRM3>;
    friend class IDirect3DRM;
    IDirect3DRM3() = default;
    ~IDirect3DRM3() = default;
};

// The first retained-mode interface; its only use is the query for IDirect3DRM3,
// a separate object.
class IDirect3DRM : public RefCounted<IDirect3DRM> {
public:
    HRESULT QueryInterface(const GUID& iid, void** object);

private:
    friend class RefCounted<IDirect3DRM>;
    friend HRESULT Direct3DRMCreate(IDirect3DRM** rm);
    IDirect3DRM() = default;
    ~IDirect3DRM() = default;
};

HRESULT Direct3DRMCreate(IDirect3DRM** rm);
