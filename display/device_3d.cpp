// The display's 3-D device: the depth or stencil buffer attached to the back buffer,
// and the choice among the device kinds the options allow.
#include "display/dddd.h"

#include "platform/string_format.h"

#include <array>

namespace {

struct KindMessages {
    const char* used;
    const char* noDepthBuffer;  // logged when its depth buffer cannot be made
    const char* refused;  // logged with the error code when the device cannot be made
};

constexpr std::array<KindMessages, 6> kindMessages{{
    {"T&L HALデバイスを使用します", "T&L HALデバイス用Zバッファが作れません", "T&L HALデバイスが作れません"},
    {"HALデバイスを使用します", "HALデバイス用Zバッファが作れません", "HALデバイスが作れません"},
    {"MMXエミュレーションデバイスを使用します", nullptr, nullptr},
    {"RGBエミュレーションデバイスを使用します", nullptr, nullptr},
    {"Rampエミュレーションデバイスを使用します", nullptr, nullptr},
    {"リファレンスラスタライザを使用します", nullptr, nullptr},
}};

// The option that keeps a kind out, if any.
bool excluded(const TD3DOptions& options, int kind)
{
    switch (kind) {
    case 0: return options.contains(DontUseTnLHAL);
    case 1: return options.contains(DontUseHAL);
    case 2: return options.contains(DontUseMMX);
    case 3: return options.contains(DontUseRGBEmulation);
    default: return false;
    }
}

struct FormatSearch {
    uint32_t flags;
    DDPIXELFORMAT found;
    bool matched = false;
};

HRESULT findFormat(DDPIXELFORMAT* format, void* context)
{
    auto* search = static_cast<FormatSearch*>(context);
    if (format->dwFlags != search->flags) return D3DENUMRET_OK;
    search->found = *format;
    search->matched = true;
    return D3DENUMRET_CANCEL;
}

}  // namespace

void TDDDD::releaseDepthBuffer()
{
    RefPtr<IDirectDrawSurface7> depth = ZBuffer ? std::move(ZBuffer->DDSurface) : nullptr;
    ZBuffer.reset();
    if (!depth) return;
    if (BackBuffer && BackBuffer->DDSurface) BackBuffer->DDSurface->DeleteAttachedSurface(0, depth.get());
}

bool TDDDD::CreateDepthBuffer(int Kind, bool Hardware)
{
    releaseDepthBuffer();
    const bool stencil = D3DOptions.contains(MakeStencilBuffer);
    if (!stencil && !D3DOptions.contains(MakeZBuffer)) return true;

    DDSURFACEDESC2 desc;
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    desc.dwWidth = static_cast<uint32_t>(ScreenWidth);
    desc.dwHeight = static_cast<uint32_t>(ScreenHeight);
    desc.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | (Hardware ? 0 : DDSCAPS_SYSTEMMEMORY);
    desc.ddpfPixelFormat = DDPIXELFORMAT{};

    FormatSearch search{stencil ? DDPF_ZBUFFER | DDPF_STENCILBUFFER : DDPF_ZBUFFER, {}};
    if (Direct3D) Direct3D->EnumZBufferFormats(direct3DDeviceKinds[static_cast<size_t>(Kind)], findFormat, &search);
    if (search.matched) {
        const DDPIXELFORMAT& f = search.found;
        DetailLog(stringFormat(
            stencil ? "列挙されたステンシルバッファのフォーマット...ZDepth=%d SDepth=%d Mask=(Z:%.8x S:%.8x L:%.8x)"
                    : "列挙されたZバッファのフォーマット...ZDepth=%d SDepth=%d Mask=(Z:%.8x S:%.8x L:%.8x)",
            static_cast<int>(f.dwZBufferBitDepth), static_cast<int>(f.dwStencilBitDepth), f.dwZBitMask,
            f.dwStencilBitMask, f.dwRGBAlphaBitMask));
        desc.ddpfPixelFormat = f;
    }
    RefPtr<IDirectDrawSurface7> depth;
    if (!DirectDraw || DirectDraw->CreateSurface(&desc, depth.put(), nullptr) != DD_OK) {
        DetailLog(stencil ? "ステンシルバッファの作成に失敗しました" : "Zバッファの作成に失敗しました");
        return false;
    }
    if (!BackBuffer || !BackBuffer->DDSurface || BackBuffer->DDSurface->AddAttachedSurface(depth.get()) != DD_OK) {
        depth.reset();
        DetailLog(stencil ? "ステンシルバッファのアタッチに失敗しました" : "Zバッファのアタッチに失敗しました");
        return false;
    }
    ZBuffer = std::make_unique<TDDDDGenSurface>(this, std::move(depth), ScreenWidth, ScreenHeight);
    DetailLog(stencil ? "ステンシルバッファを作成しました" : "Zバッファを作成しました");
    return true;
}

void TDDDD::setUp3DDevice(int32_t Width, int32_t Height)
{
    if (!DirectDraw) return;
    CheckResult(DirectDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(Direct3D.put())),
                "Direct3Dオブジェクトの作成に失敗しました");
    if (!Direct3DRM) {
        RefPtr<IDirect3DRM> first;  // let go of once the version 3 interface is had
        CheckResult(Direct3DRMCreate(first.put()), "Direct3DRMオブジェクトの作成に失敗しました");
        if (first)
            CheckResult(first->QueryInterface(IID_IDirect3DRM3, reinterpret_cast<void**>(Direct3DRM.put())),
                        "Direct3DRM3オブジェクトの作成に失敗しました");
    }
    HardwareDevice = false;
    bool found = false;
    for (int kind = 0; kind < 6 && !found; ++kind) {
        const bool hardware = kind <= 1;
        if (excluded(D3DOptions, kind) || (hardware && !Hardware3D)) continue;
        const KindMessages& messages = kindMessages[static_cast<size_t>(kind)];
        if (!CreateDepthBuffer(kind, hardware)) {
            if (messages.noDepthBuffer) DetailLog(messages.noDepthBuffer);
            continue;
        }
        const HRESULT result =
            Direct3D ? Direct3D->CreateDevice(direct3DDeviceKinds[static_cast<size_t>(kind)],
                                              BackBuffer ? BackBuffer->DDSurface.get() : nullptr, Direct3DDevice.put())
                     : DDERR_INVALIDOBJECT;
        if (result == DD_OK) {
            DeviceKind = kind;
            found = true;
            DetailLog(messages.used);
            HardwareDevice = hardware;
        } else if (messages.refused) {
            DetailLog(stringFormat("%s%.16llX", messages.refused,
                                   static_cast<unsigned long long>(static_cast<uint32_t>(result))));
        }
    }
    if (!FullScreen && DeviceKind != 0 && Direct3DRM) {
        const GUID* kind = found ? &direct3DDeviceKinds[static_cast<size_t>(DeviceKind)] : nullptr;
        CheckResult(Direct3DRM->CreateDeviceFromClipper(Clipper.get(), kind, Width, Height, RMDevice.put()),
                    "Diret3DRMデバイスの作成に失敗しました");
        if (Camera && RMDevice) {
            CheckResult(Direct3DRM->CreateViewport(RMDevice.get(), Camera.get(), 0, 0, RMDevice->GetWidth(),
                                                   RMDevice->GetHeight(), RMViewport.put()),
                        "Viewportの作成に失敗しました");
            if (RMViewport) RMViewport->SetBack(5000.0f);
        }
    }
    DetailLog(HardwareDevice ? "ハードウェアアクセラレーション可" : "ハードウェアアクセラレーション不可");
}
