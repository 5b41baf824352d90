// Off-screen surfaces: where they are placed, their creation with its retry in system
// memory, and the keeper that restores, rebuilds and releases them.
#include "display/dddd.h"
#include "display/debug_log.h"
#include "platform/string_format.h"

namespace {

void logPlacement(uint32_t caps)
{
    if ((caps & DDSCAPS_VIDEOMEMORY) && (caps & DDSCAPS_NONLOCALVIDMEM))
        DetailLog("サーフェスをノンローカルビデオメモリに配置します");
    else if (caps & DDSCAPS_VIDEOMEMORY)
        DetailLog("サーフェスをビデオメモリに配置します");
    else if (caps & DDSCAPS_SYSTEMMEMORY)
        DetailLog("サーフェスをシステムメモリに配置します");
    else
        DetailLog("サーフェスをドライバのデフォルトの位置(おそらくビデオメモリ)に配置します");
}

uint32_t placementCaps(const TDDDD& dddd)
{
    switch (dddd.SurfaceLocation) {
    case smtDefault: {
        DDSCAPS2 caps;
        const bool backBufferInVideo = dddd.BackBuffer && dddd.BackBuffer->DDSurface &&
                                       dddd.BackBuffer->DDSurface->GetCaps(&caps) == DD_OK &&
                                       (caps.dwCaps & DDSCAPS_VIDEOMEMORY);
        return backBufferInVideo ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY;
    }
    case smtCompatible: return dddd.FullScreen ? 0 : DDSCAPS_SYSTEMMEMORY;
    case smtSystemMemory: return DDSCAPS_SYSTEMMEMORY;
    case smtVideoMemory: return DDSCAPS_VIDEOMEMORY;
    case smtNonLocalVideoMemory: return DDSCAPS_VIDEOMEMORY | DDSCAPS_NONLOCALVIDMEM;
    }
    return DDSCAPS_SYSTEMMEMORY;
}

// Creates the platform surface of desc; when the device refuses, once more in
// system memory. The second result goes to CheckResult.
RefPtr<IDirectDrawSurface7> createWithRetry(TDDDD& dddd, DDSURFACEDESC2& desc, const char* retryMessage)
{
    RefPtr<IDirectDrawSurface7> surface;
    if (!dddd.DirectDraw) {
        CheckResult(DDERR_INVALIDOBJECT, "サーフェスを作れませんでした");
        return nullptr;
    }
    if (dddd.DirectDraw->CreateSurface(&desc, surface.put(), nullptr) == DD_OK) return surface;
    if (retryMessage) DetailLog(retryMessage);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    CheckResult(dddd.DirectDraw->CreateSurface(&desc, surface.put(), nullptr), "サーフェスを作れませんでした");
    return surface;
}

void readDescription(TDDDDGenSurface& surface)
{
    if (!surface.DDSurface) return;
    surface.SurfaceDesc.dwSize = sizeof(DDSURFACEDESC2);
    CheckResult(surface.DDSurface->GetSurfaceDesc(&surface.SurfaceDesc), "サーフェス情報の取得に失敗しました");
}

}  // namespace

TDDDDSurface::TDDDDSurface(TDDDD* DDDD_, int32_t Width_, int32_t Height_, uint32_t ColorKey_)
{
    DDDD = DDDD_;
    SurfaceDesc = DDSURFACEDESC2{};
    SurfaceDesc.dwSize = sizeof(DDSURFACEDESC2);
    SurfaceDesc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    SurfaceDesc.dwHeight = static_cast<uint32_t>(Height_);
    SurfaceDesc.dwWidth = static_cast<uint32_t>(Width_);
    SurfaceDesc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | placementCaps(*DDDD);
    logPlacement(SurfaceDesc.ddsCaps.dwCaps);

    DDSurface = createWithRetry(*DDDD, SurfaceDesc, nullptr);
    if (DDSurface) {
        const DDCOLORKEY key{ColorKey_, ColorKey_};
        DDSurface->SetColorKey(DDCKEY_SRCBLT, &key);
    }
    readDescription(*this);
    Width = Width_;
    Height = Height_;
    ColorKey = ColorKey_;
    UseClip = false;
    ClipRect = Rect{0, 0, Width, Height};
    DDDD->RegisterSurface(this);
    SetPixelFormat(SurfaceDesc.ddpfPixelFormat);
}

TDDDDSurface::~TDDDDSurface()
{
    UseClip = false;
    // A release that leaves references counts as a failure; one of nothing leaves none.
    CheckResult(static_cast<int32_t>(DDSurface.reset()), "サーフェスの解放に失敗しました");
    DDDD->UnregisterSurface(this);
}

void TDDDDSurface::LoadBMP(const std::string& FileName_)
{
    FileName = FileName_;
    FromArchive = false;
    TDDDDGenSurface::LoadBMP(FileName_);
}

void TDDDDSurface::LoadBMP(const std::string& ArchiveName_, const std::string& ItemName_)
{
    ArchiveName = ArchiveName_;
    ItemName = ItemName_;
    FromArchive = true;
    TDDDDGenSurface::LoadBMP(ArchiveName_, ItemName_);
}

// ---- keeper ----

TDDDDSurfaceKeeper::TDDDDSurfaceKeeper(TDDDD* DDDD_, TDDDDSurface* Surface_, Kind kind)
        : DDDD(DDDD_),
          Surface(Surface_),
          Width(Surface_->Width),
          Height(Surface_->Height),
          ScreenBits(DDDD_->DisplayBitDepth()),
          kind_(kind)
{
}

void TDDDDSurfaceKeeper::reloadPicture()
{
    if (Surface->FromArchive) {
        if (!Surface->ArchiveName.empty()) Surface->LoadBMP(Surface->ArchiveName, Surface->ItemName);
    } else if (!Surface->FileName.empty()) {
        Surface->LoadBMP(Surface->FileName);
    }
}

void TDDDDSurfaceKeeper::RestoreSurface()
{
    if (!Surface->IsLost()) return;
    Surface->Restore();
    DetailLog("サーフェスを復元します");
    reloadPicture();
}

void TDDDDSurfaceKeeper::RebuildSurface(int index)
{
    DetailLog(stringFormat(kind_ == Kind::Texture ? "%d番のテクスチャを再構築します" : "%d番のサーフェスを再構築します",
                           index));
    Surface->SurfaceDesc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    Surface->DDSurface = createWithRetry(*DDDD, Surface->SurfaceDesc, "システムメモリにサーフェスを再構築します");
    if (Surface->DDSurface) {
        const DDCOLORKEY key{Surface->ColorKey, Surface->ColorKey};
        Surface->DDSurface->SetColorKey(DDCKEY_SRCBLT, &key);
    }
    readDescription(*Surface);
    // The new device may have another pixel format; the picture is packed in that one.
    Surface->SetPixelFormat(Surface->SurfaceDesc.ddpfPixelFormat);
    reloadPicture();
}

void TDDDDSurfaceKeeper::ReleaseSurface(int index)
{
    DetailLog(stringFormat(kind_ == Kind::Texture ? "DirectDrawオブジェクトの解放に伴い、%d番のテクスチャを解放します"
                                                  : "DirectDrawオブジェクトの解放に伴い、%d番のサーフェスを解放します",
                           index));
    Surface->DDSurface.reset();
}
