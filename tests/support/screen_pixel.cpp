// Reading the pixels of the root window through Xlib.
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

ScreenImage ScreenPixel::screenshot() const
{
    if (!display_) return {};
    const int screen = DefaultScreen(display_);
    ScreenImage shot{DisplayWidth(display_, screen), DisplayHeight(display_, screen), {}};
    XImage* image = XGetImage(display_, DefaultRootWindow(display_), 0, 0, static_cast<unsigned>(shot.width),
                              static_cast<unsigned>(shot.height), AllPlanes, ZPixmap);
    if (!image) return {};
    shot.pixels.reserve(static_cast<size_t>(shot.width) * static_cast<size_t>(shot.height));
    for (int32_t y = 0; y < shot.height; ++y)
        for (int32_t x = 0; x < shot.width; ++x) shot.pixels.push_back(static_cast<uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF));
    XDestroyImage(image);
    return shot;
}
