// The --render loop: one PNG image per frame advance of an anime.
#pragma once

#include "chr/qpchr.h"
#include "display/offscreen_display.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

class QImage;

struct RenderSettings {
    std::optional<int32_t> anime;   // default: the anime playing after load (1)
    std::optional<int32_t> frames;  // default: the length of that anime
    std::filesystem::path folder = ".";
    // Told (images written, images to write) after each image, when set.
    std::function<void(int32_t, int32_t)> progress;
};

// Four digits in the image names keep them in order.
inline constexpr int32_t maxRenderFrames = 9999;
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

// The frames renderFrames writes, handed to take as (image, number from 1, count)
// instead: anime and frames as in RenderSettings. Raises Exception.
void playFrames(Tqpchr& chr, OffscreenDisplay& display, std::optional<int32_t> anime, std::optional<int32_t> frames,
                const std::function<void(const QImage&, int32_t, int32_t)>& take);
