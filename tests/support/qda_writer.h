// Builds data archives with plain items for tests.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using QdaItem = std::pair<std::string, std::vector<uint8_t>>;

inline std::vector<uint8_t> makePlainQda(const std::vector<QdaItem>& items, uint32_t compression = 0)
{
    std::vector<uint8_t> out(256 + items.size() * 268, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put32(0, compression);
    std::copy_n("QDA0", 4, out.begin() + 4);
    put32(8, static_cast<uint32_t>(items.size()));
    for (size_t i = 0; i < items.size(); ++i) {
        const size_t entry = 256 + i * 268;
        put32(entry, static_cast<uint32_t>(out.size()));
        put32(entry + 4, static_cast<uint32_t>(items[i].second.size()));
        put32(entry + 8, static_cast<uint32_t>(items[i].second.size()));
        std::copy(items[i].first.begin(), items[i].first.end(), out.begin() + static_cast<std::ptrdiff_t>(entry + 12));
        out.insert(out.end(), items[i].second.begin(), items[i].second.end());
    }
    return out;
}
