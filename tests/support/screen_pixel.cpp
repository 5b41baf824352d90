// Reading one pixel of the root window through Xlib.
#include "support/screen_pixel.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

ScreenPixel::ScreenPixel() : display_(XOpenDisplay(nullptr)) {}

ScreenPixel::~ScreenPixel()
{
    if (display_) XCloseDisplay(display_);
}

std::optional<uint32_t> ScreenPixel::at(int32_t x, int32_t y) const
{
    // A request outside the root window would be a protocol error, which ends the
    // process under Xlib's default handler.
    if (!display_ || x < 0 || y < 0 || x >= DisplayWidth(display_, DefaultScreen(display_)) ||
        y >= DisplayHeight(display_, DefaultScreen(display_)))
        return std::nullopt;
    XImage* image = XGetImage(display_, DefaultRootWindow(display_), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return std::nullopt;
    const auto pixel = static_cast<uint32_t>(XGetPixel(image, 0, 0) & 0xFFFFFF);
    XDestroyImage(image);
    return pixel;
}
