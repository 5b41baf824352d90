// An anime clip as a sprite sheet: one PNG picture of every frame in a grid, and a
// JSON file beside it in the "frames" array form of sprite packers and editors.
#pragma once

#include "app/anime_export.h"

#include <QImage>

#include <filesystem>
#include <string>

struct Sheet {
    QImage picture;
    std::string json;
};

// The frames scaled by scale (nearest neighbour) left to right in rows of columns
// frames, and the JSON describing them for a picture named imageName. Raises Exception.
Sheet makeSheet(const AnimeClip& clip, int32_t scale, int32_t columns, const std::string& imageName);

// Writes the sheet's picture to path and its JSON to path with ".json" in place of its
// extension, each under a temporary name renamed into place. Raises Exception.
void writeSheet(const AnimeClip& clip, int32_t scale, int32_t columns, const std::filesystem::path& path);
