// The display component at run time: the window's paint handler and message
// procedure, restoring lost surfaces, the palette, clearing the back buffer, menus.
#include "display/dddd.h"

#include "platform/screen.h"

void TDDDD::HookFormPaint(void* Sender)
{
    if (!owner_ || !owner_->isActiveWindow()) return;
    if (SavedOnPaint) SavedOnPaint(Sender);
    if (Busy) return;
    RestoreSurfaces();
    UpdatePalette();
    if (OnRestore) OnRestore(this);
}

void TDDDD::RestoreSurfaces()
{
    if (Primary) Primary->Restore();
    if (!FullScreen && BackBuffer) BackBuffer->Restore();
    if (Use3D && ZBuffer) ZBuffer->Restore();
    RestoreAllSurfaces();
}

void TDDDD::UpdatePalette()
{
    if (ScreenBitDepth != 8) return;
    if (FullScreen) {
        const HRESULT result = Palette ? Palette->SetEntries(0, 0, 256, PaletteEntries.data()) : DDERR_INVALIDOBJECT;
        CheckResult(result, "パレットが更新できませんでした");
        return;
    }
    // Window mode: a logical palette on the screen, then the window's, whose entries
    // 10 to 245 are the component's and the rest the system's.
    std::array<PALETTEENTRY, 256> logical;
    logical.fill(PALETTEENTRY{0, 0, 0, 4});
    Screen::realizePalette(nullptr, logical);
    logical = Screen::systemPalette();
    for (int i = 10; i <= 245; ++i) logical[i] = PaletteEntries[i];
    Screen::realizePalette(WindowHandle, logical);
}

void TDDDD::ClearBackBuffer()
{
    if (!BackBuffer || !BackBuffer->DDSurface) return;
    DDBLTFX fill;
    fill.dwFillColor = BackColor;
    const Rect all{0, 0, ScreenWidth, ScreenHeight};
    BackBuffer->DDSurface->Blt(&all, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill);
}

void TDDDD::EnterMenuLoop()
{
    if (DirectDraw) DirectDraw->FlipToGDISurface();
    if (owner_) {
        owner_->drawMenuBar();
        owner_->redrawFrame();
    }
}

intptr_t TDDDD::HookWndProc(uint32_t Message, uintptr_t WParam, intptr_t LParam)
{
    switch (Message) {
    case WM_ENTERMENULOOP:
        EnterMenuLoop();
        if (OnEnterMenuLoop) OnEnterMenuLoop(this);
        break;
    case WM_EXITMENULOOP:
        if (OnExitMenuLoop) OnExitMenuLoop(this);
        break;
    case WM_MOVE:
        if (FullScreen && LParam != 0) {
            WindowBounds bounds = owner_->bounds();
            bounds.left = 0;
            owner_->setBounds(bounds);
            bounds.top = 0;
            owner_->setBounds(bounds);
        }
        break;
    case WM_SIZE:
        if (FullScreen && owner_->maximized()) {
            owner_->setNormalState();
            WindowBounds bounds = owner_->bounds();
            bounds.height = owner_->screenHeight();
            owner_->setBounds(bounds);
            bounds.width = owner_->screenWidth();
            owner_->setBounds(bounds);
        }
        break;
    case WM_GETMINMAXINFO:
        if (FullScreen) {
            auto* info = reinterpret_cast<MINMAXINFO*>(LParam);
            const POINT screen{owner_->screenWidth(), owner_->screenHeight()};
            info->ptMaxSize = screen;
            info->ptMaxPosition = POINT{0, 0};
            info->ptMinTrackSize = screen;
            info->ptMaxTrackSize = screen;
        }
        break;
    case WM_QUERYNEWPALETTE: UpdatePalette(); break;
    default: break;
    }
    return OldWndProc ? OldWndProc(Message, WParam, LParam) : 0;
}
