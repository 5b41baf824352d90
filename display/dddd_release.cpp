// ReleaseAll: the display's platform objects let go of in their fixed order, and
// the same release without the log lines for a display whose start never ran.
#include "display/dddd.h"

void TDDDD::ReleaseAll()
{
    Busy = true;
    if (NotStarted) return;
    releaseObjects(true);
}

void TDDDD::releaseObjects(bool logged)
{
    const auto note = [logged](const char* message) {
        if (logged) DetailLog(message);
    };
    // A release that leaves references counts as a failure; one of nothing leaves none.
    const auto check = [logged](uint32_t referencesLeft, const char* message) {
        if (logged) CheckResult(static_cast<int32_t>(referencesLeft), message);
    };
    note("…DirectDraw/3D関連オブジェクトを全て解放します…");
    if (Started) {
        ReleaseAllSurfaces();
        note("オフスクリーンサーフェスを全て解放しました");
        if (OnCleanUp) OnCleanUp(this);
    }
    if (Use3D) {
        RMViewport.reset();
        note("RM用ViewPortを解放しました");
        check(RMDevice.reset(), "Direct3DRMDeviceの解放に失敗しました");
        note("Direct3DRMDeviceを解放しました");
        check(Direct3DDevice.reset(), "Direct3DDeviceの解放に失敗しました");
        note("Direct3DDeviceを解放しました");
    }
    note("パレットを解放しました");
    Palette.reset();
    if (Use3D) {
        if (Destroying) {
            check(Direct3DRM.reset(), "Direct3DRM3の解放に失敗しました");
            note("Direct3DRM3を解放しました");
        }
        releaseDepthBuffer();
        note("Zバッファを解放しました");
        Direct3D.reset();
        note("Direct3Dを解放しました");
    }
    Clipper.reset();
    note("クリッパーを解放しました");
    BackBuffer.reset();
    note("バックバッファを解放しました");
    Primary.reset();
    note("プライマリサーフェスを解放しました");
    if (DirectDraw && FullScreen) DirectDraw->RestoreDisplayMode();
    check(DirectDraw.reset(), "DirectDrawの解放に失敗しました");
    note("DirectDrawを解放しました");
    note("…DirectDraw/3D関連オブジェクト、解放終了しました…");
}
