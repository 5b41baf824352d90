// The display component on the software device without a window, as the
// command-line modes, the exports beside the window, tests, benchmarks and fuzz
// targets use it: a device and an off-screen back buffer, no primary surface and
// no clipper.
#pragma once

#include "display/dddd.h"

// Creates the device and a back buffer of width x height in the screen's pixel
// format, placed in memory (video memory unless stated otherwise). Returns false
// when the device refuses either.
bool setUpOffscreenDisplay(TDDDD& dddd, int32_t width, int32_t height, uint32_t memory = DDSCAPS_VIDEOMEMORY);

// A display of its own beside the window's, every surface 32-bit X8R8G8B8, that
// neither logs to a file nor ends the program: its user reports every error.
class OffscreenDisplay {
public:
    // The device with a back buffer of 640 x 480, the size the window's device uses.
    OffscreenDisplay();
    OffscreenDisplay(const OffscreenDisplay&) = delete;
    OffscreenDisplay& operator=(const OffscreenDisplay&) = delete;

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
