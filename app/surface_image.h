// A surface's pixels as a Qt image, for the pictures the program writes and shows.
#pragma once

#include <QImage>

class TDDDDGenSurface;

// The pixels of the surface in any of its pixel formats: opaque RGB32, or ARGB32 with
// the pixels of its colour key transparent when keyed. A null image when the surface
// cannot be read.
QImage surfaceImage(TDDDDGenSurface& surface, bool keyed);
