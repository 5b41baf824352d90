// The window a display component hooks: its handle, where its client area lies on
// the screen and what that area shows (a 32-bit frame buffer), its placement and
// state, and the handlers and message procedure the component replaces. Message
// numbers are the Windows ones. The application's window implements it; tests use
// a fake.
#pragma once

#include "platform/rect.h"

#include <cstdint>
#include <functional>
#include <string>

// A window handle: an opaque pointer-sized value.
using HWND = struct HWND__*;

struct POINT {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const POINT&) const = default;
};

// The record WM_GETMINMAXINFO's second parameter points to.
struct MINMAXINFO {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
};

inline constexpr uint32_t WM_MOVE = 0x0003;
inline constexpr uint32_t WM_SIZE = 0x0005;
inline constexpr uint32_t WM_GETMINMAXINFO = 0x0024;
inline constexpr uint32_t WM_ENTERMENULOOP = 0x0211;
inline constexpr uint32_t WM_EXITMENULOOP = 0x0212;
inline constexpr uint32_t WM_QUERYNEWPALETTE = 0x030F;

// Receives a message with its number and two parameters; returns its result.
using WindowProcedure = std::function<intptr_t(uint32_t message, uintptr_t wParam, intptr_t lParam)>;
// A create or paint handler; sender is the window.
using WindowHandler = std::function<void(void* sender)>;

// The window's outer rectangle on the screen.
struct WindowBounds {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const WindowBounds&) const = default;
};

class WindowHost {
public:
    virtual ~WindowHost() = default;

    // The window's handle; the window is created if it has none yet. A re-created
    // window has a new handle.
    virtual HWND handle() = 0;

    // The client area: its top-left corner in screen coordinates, its size, and its
    // pixels (0x00RRGGBB, clientWidth() to a row, rows top to bottom), which is what
    // the window shows. frameBufferChanged tells the window that an area of it (in
    // client coordinates) has new pixels.
    virtual POINT clientOrigin() const = 0;
    virtual int32_t clientWidth() const = 0;
    virtual int32_t clientHeight() const = 0;
    virtual uint32_t* frameBuffer() = 0;
    virtual void frameBufferChanged(const Rect& area) = 0;

    virtual void show() = 0;
    virtual void bringToFront() = 0;
    virtual void bringToTop() = 0;
    virtual WindowBounds bounds() const = 0;
    virtual void setBounds(const WindowBounds& bounds) = 0;
    virtual bool maximized() const = 0;
    virtual void setNormalState() = 0;
    virtual void drawMenuBar() = 0;
    virtual void redrawFrame() = 0;

    // A modal box with a warning icon, the title, the text and one "OK" button;
    // returns when it is closed.
    virtual void showWarning(const std::string& title, const std::string& text) = 0;

    virtual int32_t screenWidth() const = 0;
    virtual int32_t screenHeight() const = 0;
    // Whether this window is the application's active window.
    virtual bool isActiveWindow() const = 0;

    virtual WindowProcedure windowProcedure() const = 0;
    virtual void setWindowProcedure(WindowProcedure procedure) = 0;
    virtual WindowHandler createHandler() const = 0;
    virtual void setCreateHandler(WindowHandler handler) = 0;
    virtual WindowHandler paintHandler() const = 0;
    virtual void setPaintHandler(WindowHandler handler) = 0;
};

// Handles name windows to the 2-D layer (a clipper is bound to a handle): a host
// announces each handle it gets and takes it back when that window goes.
void registerWindowHandle(HWND handle, WindowHost* window);
void unregisterWindowHandle(HWND handle);
// The window of a handle; null for a handle no window has.
WindowHost* windowFromHandle(HWND handle);
