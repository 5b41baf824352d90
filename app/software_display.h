// A display component on the software device for the modes that run without a
// window and for exports beside the window: a device and an off-screen back buffer,
// every surface 32-bit X8R8G8B8.
#pragma once

#include "display/dddd.h"

class SoftwareDisplay {
public:
    // The device with a back buffer of 640 x 480, the size the window's device uses.
    SoftwareDisplay();
    SoftwareDisplay(const SoftwareDisplay&) = delete;
    SoftwareDisplay& operator=(const SoftwareDisplay&) = delete;

    TDDDD& dddd() { return dddd_; }
    // A new back buffer of width x height pixels in place of the previous one.
    TDDDDGenSurface& makeBackBuffer(int32_t width, int32_t height);

private:
    // The display layer's switches and the screen's pixel format hold for the whole
    // process; this display sets them for itself and puts back what the window's
    // display relies on when it goes.
    class ProcessSettings {
    public:
        ProcessSettings();
        ~ProcessSettings();
        ProcessSettings(const ProcessSettings&) = delete;
        ProcessSettings& operator=(const ProcessSettings&) = delete;

    private:
        TDDDDDebugOptions debugOption_;
        DDPIXELFORMAT screenFormat_;
    };

    ProcessSettings settings_;  // before dddd_, so it is put back after dddd_ goes
    TDDDD dddd_;
};
