// The display component's life and lists: construction and destruction, settings,
// display-mode queries and the surface list through which every surface is restored,
// rebuilt and released.
#include "display/dddd.h"

#include "platform/screen.h"
#include "platform/string_format.h"

#include <algorithm>

namespace {

BOOL listDriver(GUID* /*guid*/, char* description, char* name, void* context)
{
    auto* list = static_cast<std::vector<std::string>*>(context);
    const std::string text = stringFormat("%s (%s)", description, name);
    DetailLog("Enumerated DDraw Driver ... " + text);
    list->push_back(text);
    return 1;
}

}  // namespace

TDDDD::TDDDD(WindowHost* Owner) : owner_(Owner)
{
    Destroying = false;
    NotStarted = true;
    Started = false;
    if (owner_) {
        SavedOnPaint = owner_->paintHandler();
        owner_->setPaintHandler([this](void* sender) { HookFormPaint(sender); });
        SavedOnCreate = owner_->createHandler();
        owner_->setCreateHandler([this](void* sender) { startSequence(sender); });
    }
    ScreenSaverWasActive = Screen::screenSaverActive();
    DirectDrawEnumerateA(listDriver, &DriverList);
}

TDDDD::~TDDDD()
{
    Destroying = true;
    DriverList.clear();
    setDisableScreenSaver(!ScreenSaverWasActive);
    if (OnDestroy) OnDestroy(this);
    // What a set-up made goes also when the start sequence never ran, but only a
    // display that started logs its release.
    if (NotStarted)
        releaseObjects(false);
    else
        ReleaseAll();
    if (owner_ && OldWndProc) owner_->setWindowProcedure(OldWndProc);
    WndProcInstance = nullptr;
    TextureList.clear();
    SurfaceList.clear();
}

void TDDDD::Loaded()
{
    setDisableScreenSaver(disableScreenSaver_);
    setDebugOption(debugOption_);
}

void TDDDD::setDebugOption(TDDDDDebugOptions value)
{
    debugOption_ = value;
    ApplyDebugOption(value);
}

void TDDDD::setDisableScreenSaver(bool value)
{
    disableScreenSaver_ = value;
    Screen::setScreenSaverActive(!value);
}

int32_t TDDDD::DisplayBitDepth() const { return Screen::bitDepth(); }

namespace {

struct ModeSearch {
    std::vector<DDSURFACEDESC2> modes;
};

HRESULT collectMode(DDSURFACEDESC2* mode, void* context)
{
    auto* search = static_cast<ModeSearch*>(context);
    search->modes.push_back(*mode);
    return search->modes.size() < 256 ? DDENUMRET_OK : DDENUMRET_CANCEL;
}

}  // namespace

bool TDDDD::DisplayModeAvailable(int32_t Width, int32_t Height, int32_t BitDepth, int32_t RefreshRate)
{
    if (!DirectDraw) return false;
    ModeSearch search;
    DirectDraw->EnumDisplayModes(DDEDM_REFRESHRATES, nullptr, &search, collectMode);
    const auto matches = [](int32_t wanted, uint32_t value) {
        return wanted == 0 || static_cast<uint32_t>(wanted) == value;
    };
    return std::any_of(search.modes.begin(), search.modes.end(), [&](const DDSURFACEDESC2& mode) {
        return matches(Width, mode.dwWidth) && matches(Height, mode.dwHeight) &&
               matches(BitDepth, mode.ddpfPixelFormat.dwRGBBitCount) && matches(RefreshRate, mode.dwRefreshRate);
    });
}

int TDDDD::surfaceIndex(const TDDDDSurface* Surface) const
{
    const auto found = std::find_if(SurfaceList.begin(), SurfaceList.end(),
                                    [&](const auto& keeper) { return keeper->Surface == Surface; });
    return found == SurfaceList.end() ? -1 : static_cast<int>(found - SurfaceList.begin());
}

void TDDDD::RegisterSurface(TDDDDSurface* Surface)
{
    if (const int index = surfaceIndex(Surface); index >= 0) SurfaceList.erase(SurfaceList.begin() + index);
    SurfaceList.push_back(std::make_unique<TDDDDSurfaceKeeper>(this, Surface));
    DetailLog(stringFormat("サーフェスリストの%d番に追加しました", static_cast<int>(SurfaceList.size()) - 1));
}

void TDDDD::UnregisterSurface(TDDDDSurface* Surface)
{
    const int index = surfaceIndex(Surface);
    if (index < 0) return;
    // The list no longer keeps the surface: its platform surface goes with it.
    Surface->DDSurface.reset();
    SurfaceList.erase(SurfaceList.begin() + index);
    DetailLog(stringFormat("サーフェスリストの%d番が解放されました", index));
}

void TDDDD::RestoreAllSurfaces()
{
    for (auto& keeper : SurfaceList) keeper->RestoreSurface();
    for (auto& keeper : TextureList) keeper->RestoreSurface();
}

void TDDDD::RebuildAllSurfaces()
{
    for (size_t i = 0; i < TextureList.size(); ++i) TextureList[i]->RebuildSurface(static_cast<int>(i));
    for (size_t i = 0; i < SurfaceList.size(); ++i) SurfaceList[i]->RebuildSurface(static_cast<int>(i));
}

void TDDDD::ReleaseAllSurfaces()
{
    for (size_t i = 0; i < TextureList.size(); ++i) TextureList[i]->ReleaseSurface(static_cast<int>(i));
    for (size_t i = 0; i < SurfaceList.size(); ++i) SurfaceList[i]->ReleaseSurface(static_cast<int>(i));
}
