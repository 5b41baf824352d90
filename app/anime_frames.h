// Frame counts of an anime's rows in the engine's frame tables.
#pragma once

#include "chr/qpchr.h"

// The last frame from 1 up whose entry in the anime's row is not -1; 0 when none is.
int32_t lastUsedFrame(const Tqpchr::FrameTable& table, int32_t anime);

// The frames the anime plays before it ends: 1 up to the last frame that has a
// character or a layer cell, and at least 1.
int32_t animeLength(const Tqpchr& chr, int32_t anime);
