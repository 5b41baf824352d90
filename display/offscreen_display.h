// The display component on the software device without a window, as the
// command-line modes, tests, benchmarks and fuzz targets use it: a device and an
// off-screen back buffer, no primary surface and no clipper.
#pragma once

#include "display/dddd.h"

// Creates the device and a back buffer of width x height in the screen's pixel
// format, placed in memory (video memory unless stated otherwise). Returns false
// when the device refuses either.
bool setUpOffscreenDisplay(TDDDD& dddd, int32_t width, int32_t height, uint32_t memory = DDSCAPS_VIDEOMEMORY);
