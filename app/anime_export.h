// Export of one anime as an animated GIF or a sprite sheet: the settings, the frames
// played for it, and the choice of format by the output's extension.
#pragma once

#include "app/export_settings.h"
#include "chr/qpchr.h"
#include "display/offscreen_display.h"

#include <QImage>

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

// The most pixels held for all frames together, and the largest picture written.
inline constexpr int64_t maxExportPixels = int64_t{1} << 26;
inline constexpr int32_t maxExportSide = 32767;

// The frames of one anime as --render draws them, each shown frameTime milliseconds.
struct AnimeClip {
    int32_t anime = 0;
    std::vector<QImage> frames;  // viewwidth x 271, RGB32
    int32_t frameTime = 0;  // framewait, 0 when negative
    bool loops = true;  // false for a one-shot anime that returns when it ends
};

// Starts the anime on the engine and plays its frames. Raises Exception when the
// frames would take more than maxExportPixels.
AnimeClip playClip(Tqpchr& chr, OffscreenDisplay& display, int32_t anime);

// The clip's pictures scaled by scale must fit in width x height of at most
// maxExportSide; otherwise raises Exception.
void checkExportSize(int64_t width, int64_t height);

// True when the path's extension is the given one (".gif", ".png") in any case.
bool hasExtension(const std::filesystem::path& path, std::string_view extension);

// Plays the anime and writes settings.out: a GIF for ".gif", a sheet with its JSON
// for ".png" (either case). Raises Exception.
void exportAnime(Tqpchr& chr, OffscreenDisplay& display, const ExportSettings& settings);
