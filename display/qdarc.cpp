// QDArc: the reader of the data archives that hold bitmaps, with their
// byte-pair-encoded items.
#include "display/qdarc.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>
#include <span>
#include <string_view>
#include <vector>

#include "platform/little_endian.h"
#include "platform/text.h"

namespace {

// The archive's integers are 32-bit little-endian. They are read unsigned, so a count,
// offset or size that would be negative as a signed number is simply very large and
// fails the range checks.
constexpr int64_t HeaderSize = 256;
constexpr size_t CompressionAt = 0;
constexpr size_t EntryCountAt = 8;
constexpr int64_t EntrySize = 268;
constexpr size_t DataOffsetAt = 0;
constexpr size_t StoredSizeAt = 4;
constexpr size_t ItemSizeAt = 8;
constexpr size_t IdOffset = 12;
constexpr size_t IdSize = 256;
// The most bytes one compressed item may expand to. Item sizes come from the file,
// and a small hostile archive could otherwise make us build gigabytes; the bitmaps
// these archives hold are far smaller.
constexpr int64_t MaxExpandedSize = int64_t{256} << 20;

// Reasons given with a damaged archive.
constexpr std::string_view DirectoryCut = "ディレクトリが途中で切れています";
constexpr std::string_view ItemDataCut = "項目のデータが途中で切れています";
constexpr std::string_view BlockCut = "圧縮ブロックが途中で切れています";
constexpr std::string_view BadPairTable = "ペア表が不正です";
constexpr std::string_view PairsTooDeep = "ペア表の入れ子が深すぎます";
constexpr std::string_view ExpandedTooLong = "展開したデータが項目のサイズを越えています";
constexpr std::string_view ItemTooLarge = "項目のサイズが大きすぎます";

[[noreturn]] void throwDamaged(std::string_view reason)
{
    throw EQDAError("アーカイブのデータが壊れています（" + std::string(reason) + "）");
}

// Reads count bytes from the stream's position; all of them must lie before its end.
std::vector<uint8_t> readBytes(Stream& stream, int64_t count, std::string_view reasonWhenCut)
{
    if (count > stream.size() - stream.position()) throwDamaged(reasonWhenCut);
    std::vector<uint8_t> bytes(static_cast<size_t>(count));
    if (!stream.readExact(bytes.data(), count)) throwDamaged(reasonWhenCut);
    return bytes;
}

// The first directory entry whose ID equals the requested one, ignoring letter case.
const uint8_t* findEntry(const std::vector<uint8_t>& directory, const std::string& id)
{
    const std::string wanted = cp932LowerCase(id);
    for (size_t at = 0; at < directory.size(); at += EntrySize) {
        // The ID field is zero-terminated, or all 256 bytes when it holds no zero.
        const auto* field = reinterpret_cast<const char*>(directory.data() + at + IdOffset);
        const std::string_view entryId(field, std::find(field, field + IdSize, '\0') - field);
        if (cp932LowerCase(entryId) == wanted) return directory.data() + at;
    }
    return nullptr;
}

// A cursor over compressed bytes; running out of them means a block is cut short.
class BlockReader {
public:
    explicit BlockReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    bool atEnd() const { return bytes_.empty(); }
    uint8_t byte() { return take(1)[0]; }
    uint32_t u32() { return readLE32(take(4).data()); }
    std::span<const uint8_t> take(size_t count)
    {
        if (count > bytes_.size()) throwDamaged(BlockCut);
        const auto taken = bytes_.first(count);
        bytes_ = bytes_.subspan(count);
        return taken;
    }

private:
    std::span<const uint8_t> bytes_;
};

// A block's codes: a literal stands for itself (its left byte is the code), any other
// code for the pair left, right.
struct PairTable {
    std::array<uint8_t, 256> left;
    std::array<uint8_t, 256> right{};

    bool isLiteral(uint8_t code) const { return left[code] == code; }
};

// The table is stored in runs: a count byte k, then k + 1 entries for the codes from
// the next one on, each its left byte followed by its right byte unless it is a
// literal. A count byte above 127 first skips k - 127 codes, which stay literals, and
// is then followed by one entry.
PairTable readPairTable(BlockReader& in)
{
    PairTable table;
    std::iota(table.left.begin(), table.left.end(), uint8_t{0});
    int code = 0;
    while (code < 256) {
        int count = in.byte();
        if (count > 127) {
            code += count - 127;
            count = 0;
            if (code == 256) break;
        }
        if (code + count > 255) throwDamaged(BadPairTable);
        for (const int last = code + count; code <= last; ++code) {
            table.left[code] = in.byte();
            if (!table.isLiteral(static_cast<uint8_t>(code))) table.right[code] = in.byte();
        }
    }
    return table;
}

// Appends the expansion of one packed byte to out, left byte before right, through a
// stack. Every stack entry carries its nesting depth: 256 codes cannot nest 255 deep
// without one of them repeating, so a code that would be expanded at that depth lies
// on a loop and would expand forever. Rejecting it also keeps the stack within 256
// entries (at most one pending right byte per level above, plus the pushed pair).
void expandPacked(const PairTable& table, uint8_t packed, std::vector<uint8_t>& out, int64_t size)
{
    struct Pending {
        uint8_t code;
        uint8_t depth;
    };
    std::array<Pending, 256> stack;
    size_t top = 0;
    stack[top++] = {packed, 0};
    while (top > 0) {
        const Pending pending = stack[--top];
        if (table.isLiteral(pending.code)) {
            if (static_cast<int64_t>(out.size()) >= size) throwDamaged(ExpandedTooLong);
            out.push_back(pending.code);
        } else {
            if (pending.depth == 255) throwDamaged(PairsTooDeep);
            const auto depth = static_cast<uint8_t>(pending.depth + 1);
            stack[top++] = {table.right[pending.code], depth};
            stack[top++] = {table.left[pending.code], depth};
        }
    }
}

// Each block: its pair table, its packed size (4 bytes) and the packed bytes. The
// output grows as bytes are written, so a large item size costs nothing up front.
std::unique_ptr<MemoryStream> expandBlocks(std::span<const uint8_t> data, int64_t size)
{
    if (size > MaxExpandedSize) throwDamaged(ItemTooLarge);
    BlockReader in(data);
    std::vector<uint8_t> out;
    while (!in.atEnd()) {
        const PairTable table = readPairTable(in);
        for (const uint8_t packed : in.take(in.u32())) expandPacked(table, packed, out, size);
    }
    return std::make_unique<MemoryStream>(std::move(out));
}

}  // namespace

std::unique_ptr<MemoryStream> QDALoadFromFile(const std::string& ArchiveName, const std::string& ID)
{
    const auto file = FileStream::openRead(ArchiveName);
    if (!file) throw EFileOpenError(displayText(ArchiveName));
    return QDALoadFromStream(*file, ID);
}

std::unique_ptr<MemoryStream> QDALoadFromStream(Stream& Stream, const std::string& ID)
{
    // A stream too short to hold a header is no archive of this kind either.
    uint8_t header[HeaderSize];
    if (!Stream.readExact(header, HeaderSize) || !IsQDAHeader(header))
        throw EQDAError("Rezadedur E Archiveの扱えるデータではありません");
    const bool compressed = readLE32(header + CompressionAt) == 1;
    const std::vector<uint8_t> directory = readBytes(Stream, readLE32(header + EntryCountAt) * EntrySize, DirectoryCut);

    // Data offset 0 is the mark for "not found", so an item stored at 0 cannot be found.
    const uint8_t* entry = findEntry(directory, ID);
    if (!entry || readLE32(entry + DataOffsetAt) == 0)
        throw EQDAError("アーカイブ内には指定されたID '" + ID + "' を持つデータが見つかりません");

    Stream.setPosition(readLE32(entry + DataOffsetAt));
    const uint32_t itemSize = readLE32(entry + ItemSizeAt);
    if (!compressed) return std::make_unique<MemoryStream>(readBytes(Stream, itemSize, ItemDataCut));
    return expandBlocks(readBytes(Stream, readLE32(entry + StoredSizeAt), ItemDataCut), itemSize);
}

bool IsQDAHeader(const uint8_t* Header) { return std::memcmp(Header + 4, "QDA0", 4) == 0; }

std::unique_ptr<MemoryStream> QDAExpand(Stream& Source, int64_t Size)
{
    const int64_t remaining = std::max<int64_t>(0, Source.size() - Source.position());
    return expandBlocks(readBytes(Source, remaining, BlockCut), Size);
}
