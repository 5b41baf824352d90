// A palette of at most 256 colours for a set of pictures: their own colours when they
// hold no more, else a median cut of their colours weighted by how often each occurs.
#pragma once

#include <QImage>

#include <cstdint>
#include <unordered_map>
#include <vector>

class ColourPalette {
public:
    static constexpr size_t maxColours = 256;

    // The palette of the RGB32 pictures.
    explicit ColourPalette(const std::vector<QImage>& pictures);

    // The entries, 0xRRGGBB.
    const std::vector<uint32_t>& colours() const { return colours_; }
    // True when every colour of the pictures is an entry.
    bool exact() const { return exact_; }
    // The entry of a colour of the pictures (0xRRGGBB): itself, or the nearest entry.
    uint8_t indexOf(uint32_t rgb) const { return index_.at(rgb); }

private:
    std::vector<uint32_t> colours_;
    std::unordered_map<uint32_t, uint8_t> index_;
    bool exact_ = true;
};
