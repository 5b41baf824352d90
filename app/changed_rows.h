// Rows of a picture compared with a copy of them as last shown, so that only the band
// of rows that changed is repainted: most frame cycles show the same frame again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// The rows from first to last; first is -1 when none changed.
struct RowBand {
    int first = -1;
    int last = -1;
    bool empty() const { return first < 0; }
    int count() const { return last - first + 1; }
};

// Compares rows rows of width pixels of picture with those of shown (each with its own
// stride in pixels); every row that differs, or every row when all is set, is copied
// into shown and handed to changed(y). Returns the band of the rows handed.
template <typename Changed>
RowBand copyChangedRows(const uint32_t* picture, size_t pictureStride, uint32_t* shown, size_t shownStride,
                        size_t width, int rows, bool all, Changed&& changed)
{
    RowBand band;
    const size_t rowBytes = width * sizeof(uint32_t);
    for (int y = 0; y < rows; ++y) {
        const uint32_t* row = picture + static_cast<size_t>(y) * pictureStride;
        uint32_t* shownRow = shown + static_cast<size_t>(y) * shownStride;
        if (!all && std::memcmp(row, shownRow, rowBytes) == 0) continue;
        std::memcpy(shownRow, row, rowBytes);
        changed(y);
        if (band.empty()) band.first = y;
        band.last = y;
    }
    return band;
}
