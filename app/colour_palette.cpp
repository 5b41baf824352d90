// The median cut that reduces the colours of a set of pictures to one palette of at most 256.
#include "app/colour_palette.h"

#include <algorithm>
#include <array>
#include <limits>
#include <span>

namespace {

struct ColourCount {
    uint32_t rgb;
    uint64_t count;
};

int channel(uint32_t rgb, int which) { return static_cast<int>((rgb >> (16 - 8 * which)) & 0xFFu); }

// The channel (0 red, 1 green, 2 blue) along which the colours spread most, and how far.
std::pair<int, int> widestChannel(std::span<const ColourCount> box)
{
    std::pair<int, int> widest{0, -1};
    for (int which = 0; which < 3; ++which) {
        const auto [low, high] =
            std::minmax_element(box.begin(), box.end(), [which](const ColourCount& a, const ColourCount& b) {
                return channel(a.rgb, which) < channel(b.rgb, which);
            });
        const int spread = channel(high->rgb, which) - channel(low->rgb, which);
        if (spread > widest.second) widest = {which, spread};
    }
    return widest;
}

uint32_t meanColour(std::span<const ColourCount> box)
{
    std::array<uint64_t, 3> sums{};
    uint64_t total = 0;
    for (const ColourCount& entry : box) {
        for (int which = 0; which < 3; ++which)
            sums[static_cast<size_t>(which)] += entry.count * static_cast<uint64_t>(channel(entry.rgb, which));
        total += entry.count;
    }
    uint32_t rgb = 0;
    for (int which = 0; which < 3; ++which)
        rgb = rgb << 8 | static_cast<uint32_t>((sums[static_cast<size_t>(which)] + total / 2) / total);
    return rgb;
}

// Median cut: the box of the widest spread is split at the median of its pixels along
// that channel until there are enough boxes or every box holds one colour.
std::vector<uint32_t> medianCut(std::vector<ColourCount>& colours, size_t wanted)
{
    struct Box {
        size_t begin, end;
        std::pair<int, int> spread;  // widestChannel of its colours
    };
    const auto makeBox = [&colours](size_t begin, size_t end) {
        return Box{begin, end, widestChannel(std::span(colours).subspan(begin, end - begin))};
    };
    std::vector<Box> boxes{makeBox(0, colours.size())};
    while (boxes.size() < wanted) {
        const auto widest = std::max_element(
            boxes.begin(), boxes.end(), [](const Box& a, const Box& b) { return a.spread.second < b.spread.second; });
        if (widest->spread.second <= 0) break;
        const Box box = *widest;
        const int which = box.spread.first;
        const auto first = colours.begin() + static_cast<ptrdiff_t>(box.begin);
        std::sort(first, colours.begin() + static_cast<ptrdiff_t>(box.end),
                  [which](const ColourCount& a, const ColourCount& b) {
                      return channel(a.rgb, which) < channel(b.rgb, which);
                  });
        uint64_t total = 0;
        for (size_t i = box.begin; i < box.end; ++i) total += colours[i].count;
        // The colour that passes half the pixels ends the first box; both keep one at least.
        uint64_t seen = colours[box.begin].count;
        size_t last = box.begin;
        while (last + 2 < box.end && seen < total / 2) seen += colours[++last].count;
        *widest = makeBox(box.begin, last + 1);
        boxes.push_back(makeBox(last + 1, box.end));
    }
    std::vector<uint32_t> palette;
    for (const Box& box : boxes)
        palette.push_back(meanColour(std::span(colours).subspan(box.begin, box.end - box.begin)));
    return palette;
}

int distance(uint32_t a, uint32_t b)
{
    int sum = 0;
    for (int which = 0; which < 3; ++which) {
        const int difference = channel(a, which) - channel(b, which);
        sum += difference * difference;
    }
    return sum;
}

}  // namespace

ColourPalette::ColourPalette(const std::vector<QImage>& pictures)
{
    std::unordered_map<uint32_t, uint64_t> counts;
    for (const QImage& picture : pictures)
        for (int y = 0; y < picture.height(); ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(picture.constScanLine(y));
            for (int x = 0; x < picture.width(); ++x) ++counts[row[x] & 0xFFFFFFu];
        }
    std::vector<ColourCount> colours;
    colours.reserve(counts.size());
    for (const auto& [rgb, count] : counts) colours.push_back({rgb, count});
    // In colour order, so the palette does not depend on the hash table's order.
    std::sort(colours.begin(), colours.end(), [](const ColourCount& a, const ColourCount& b) { return a.rgb < b.rgb; });

    exact_ = colours.size() <= maxColours;
    if (exact_) {
        for (const ColourCount& entry : colours) {
            index_.emplace(entry.rgb, static_cast<uint8_t>(colours_.size()));
            colours_.push_back(entry.rgb);
        }
        return;
    }
    colours_ = medianCut(colours, maxColours);
    for (const ColourCount& entry : colours) {
        size_t nearest = 0;
        int nearestDistance = std::numeric_limits<int>::max();
        for (size_t i = 0; i < colours_.size() && nearestDistance > 0; ++i)
            if (const int d = distance(entry.rgb, colours_[i]); d < nearestDistance) {
                nearest = i;
                nearestDistance = d;
            }
        index_.emplace(entry.rgb, static_cast<uint8_t>(nearest));
    }
}
