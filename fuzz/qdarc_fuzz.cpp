// Feeds arbitrary bytes to the data archive reader: as an archive, asked for the ID of
// its first directory entry (as written and upper-cased, so matching and both item
// kinds are reached), and as compressed blocks on their own.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "display/qdarc.h"
#include "platform/text.h"

namespace {

constexpr size_t FirstIdOffset = 256 + 12;
constexpr size_t IdSize = 256;
constexpr int64_t ExpandSize = 1 << 20;

std::string firstEntryId(const uint8_t* data, size_t size)
{
    if (size <= FirstIdOffset) return "a";
    const auto* begin = reinterpret_cast<const char*>(data + FirstIdOffset);
    const auto* end = begin + std::min(IdSize, size - FirstIdOffset);
    return std::string(begin, std::find(begin, end, '\0'));
}

void loadQuietly(const std::vector<uint8_t>& bytes, const std::string& id)
{
    MemoryStream stream(bytes);
    try {
        QDALoadFromStream(stream, id);
    } catch (const EQDAError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<uint8_t> bytes(data, data + size);
    const std::string id = firstEntryId(data, size);
    loadQuietly(bytes, id);
    loadQuietly(bytes, cp932UpperCase(id));

    MemoryStream blocks(bytes);
    try {
        QDAExpand(blocks, ExpandSize);
    } catch (const EQDAError&) {
    }
    return 0;
}
