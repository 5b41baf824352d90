// An anime clip as an animated GIF through giflib.
#pragma once

#include "app/anime_export.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The delays of count frames of frameTime milliseconds each in the GIF's centiseconds:
// frame i ends at round(i * frameTime / 10), so the rounding never adds up.
std::vector<uint16_t> gifDelays(int32_t frameTime, size_t count);

// The GIF file's bytes: the frames scaled by scale (nearest neighbour), with one
// palette, played for ever when the clip loops and once otherwise. Raises Exception.
std::string encodeGif(const AnimeClip& clip, int32_t scale);

// Writes encodeGif under a temporary name beside path and renames it into place.
void writeGif(const AnimeClip& clip, int32_t scale, const std::filesystem::path& path);
