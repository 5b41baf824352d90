// The software display of the command-line modes and exports.
#include "app/software_display.h"

#include "display/offscreen_display.h"
#include "platform/exception.h"

SoftwareDisplay::ProcessSettings::ProcessSettings() : debugOption_(AppliedDebugOption()), screenFormat_(screenPixelFormat())
{
    // Surfaces created without a pixel format take the screen's.
    setScreenPixelFormat(pixelFormatXrgb8888());
}

SoftwareDisplay::ProcessSettings::~ProcessSettings()
{
    ApplyDebugOption(debugOption_);
    setScreenPixelFormat(screenFormat_);
}

SoftwareDisplay::SoftwareDisplay()
{
    // A command-line run reports every error itself and exits with a status: the
    // display layer neither logs to a file nor ends the program.
    dddd_.setDebugOption({});
    makeBackBuffer(640, 480);
}

TDDDDGenSurface& SoftwareDisplay::makeBackBuffer(int32_t width, int32_t height)
{
    if (!setUpOffscreenDisplay(dddd_, width, height, DDSCAPS_SYSTEMMEMORY)) throw Exception("描画先のサーフェスを作れませんでした");
    return *dddd_.BackBuffer;
}
