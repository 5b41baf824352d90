// Reads the images --render writes back with Qt.
#pragma once

#include <QImage>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <vector>

// The RGB values of every pixel of a PNG file, row by row; empty when it cannot be read.
inline std::vector<uint32_t> pngPixels(const std::filesystem::path& path)
{
    const QImage image(QString::fromStdString(path.string()), "PNG");
    std::vector<uint32_t> pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) pixels.push_back(image.pixel(x, y) & 0xFFFFFFu);
    return pixels;
}

// The colour inside the character cell of a rendered view, which tells the frame.
inline uint32_t cellColour(const std::filesystem::path& path)
{
    const QImage image(QString::fromStdString(path.string()), "PNG");
    return image.isNull() ? 0xFFFFFFFFu : image.pixel(2, 2) & 0xFFFFFFu;
}
