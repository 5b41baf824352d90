// The settings of the --render mode.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

struct RenderSettings {
    std::optional<int32_t> anime;  // default: the anime playing after load (1)
    std::optional<int32_t> frames;  // default: the length of that anime
    std::filesystem::path folder = ".";
    // Told (images written, images to write) after each image, when set.
    std::function<void(int32_t, int32_t)> progress;
};

// Four digits in the image names keep them in order.
inline constexpr int32_t maxRenderFrames = 9999;
