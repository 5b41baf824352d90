// The --render loop: one PNG image per frame advance of an anime.
#pragma once

#include "app/render_settings.h"
#include "chr/qpchr.h"
#include "display/offscreen_display.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

class QImage;

inline constexpr int32_t maxViewWidth = 16384;

// Starts the anime and writes folder/frame0001.png, frame0002.png, ...: image i is the
// view drawn at (0, 0) on a black viewwidth x 271 back buffer of display after the
// i-th step, each step advancing exactly one frame on a simulated clock. Each image
// is written under a temporary name in the folder and renamed into place, replacing
// whatever had its name. The folder is made when missing. Raises Exception.
void renderFrames(Tqpchr& chr, OffscreenDisplay& display, const RenderSettings& settings);

// Writes the image as a PNG file under a temporary name beside path and renames it
// into place. Raises Exception.
void writePng(const QImage& image, const std::filesystem::path& path);

// The frame on show drawn as the view at (0, 0) on target cleared to black, as an
// opaque RGB32 image of target's size. Raises Exception.
QImage drawView(Tqpchr& chr, TDDDDGenSurface& target);

// The name of image number (from 1) in the folder: "frame0001.png".
std::string frameFileName(int32_t number);

// The images played for an anime by default: its frames up to where the engine
// ends it, and at least 1.
int32_t animeLength(const Tqpchr& chr, int32_t anime);

// The frames renderFrames writes, handed to take as (image, number from 1, count)
// instead: anime and frames as in RenderSettings. Raises Exception.
void playFrames(Tqpchr& chr, OffscreenDisplay& display, std::optional<int32_t> anime, std::optional<int32_t> frames,
                const std::function<void(const QImage&, int32_t, int32_t)>& take);
