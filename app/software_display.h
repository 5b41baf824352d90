// A display component on the software device for the modes that run without a
// window: a device and an off-screen back buffer, every surface 32-bit X8R8G8B8.
#pragma once

#include "display/dddd.h"

class SoftwareDisplay {
public:
    // The device with a back buffer of 640 x 480, the size the window's device uses.
    SoftwareDisplay();

    TDDDD& dddd() { return dddd_; }
    // A new back buffer of width x height pixels in place of the previous one.
    TDDDDGenSurface& makeBackBuffer(int32_t width, int32_t height);

private:
    TDDDD dddd_;
};
