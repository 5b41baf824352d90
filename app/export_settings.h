// The settings of the --export mode and of the window's export menu.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

struct ExportSettings {
    int32_t anime = 1;
    std::filesystem::path out;  // NAME.gif, or NAME.png with NAME.json beside it
    int32_t scale = 1;  // each pixel drawn scale x scale
    std::optional<int32_t> columns;  // of the sheet; default: every frame in one row
};

inline constexpr int32_t maxExportScale = 16;
