// Data archives, which the window never reads pictures from: the reader's bounds on
// damaged archives and compressed blocks, at the edge of each.
#include "display/qdarc.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes withU32(Bytes bytes, size_t at, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    return bytes;
}

// Pair tables as stored: a count byte k up to 127 is followed by k + 1 entries; one
// above 127 skips k - 127 codes, which stay literals, before one entry. An entry is
// its code's left byte and, unless that is the code itself (a literal), its right byte.
const Bytes Nested = {0xFF, 'a', 'b', 0x01, 'c', 'd', 0x80, 0x81, 0xFC};  // 128 ab, 129 cd, 130 = 128 129
const Bytes Loops = {0xFF, 0x81, 'a', 0x01, 0x80, 'b', 'c', 0x82, 0xFC};  // 128 = 129 a, 129 = 128 b, 130 = c 130

// 1..255 each stand for the code below and a 0, in runs of 1, 128 and 126 entries.
Bytes chainTable()
{
    Bytes table = {0x80, 0, 0};
    for (int code = 2; code < 256; ++code) {
        if (code == 2 || code == 130) table.push_back(code == 2 ? 127 : 125);
        table.insert(table.end(), {static_cast<uint8_t>(code - 1), 0});
    }
    return table;
}

// A block: its pair table, the packed size (4 bytes little-endian) and the packed bytes.
Bytes block(Bytes table, const Bytes& packed)
{
    const size_t at = table.size();
    table.resize(at + 4);
    table = withU32(std::move(table), at, static_cast<uint32_t>(packed.size()));
    table.insert(table.end(), packed.begin(), packed.end());
    return table;
}

// Where the data offset, the stored size and the item size of item "a" lie.
constexpr size_t Offset = 256, Stored = 260, Size = 264;

// An archive of item "a" alone, its bytes stored after the header and the one directory entry.
Bytes archiveOf(const Bytes& item, uint32_t compression = 0)
{
    const auto length = static_cast<uint32_t>(item.size());
    Bytes out = withU32(withU32(withU32(Bytes(256 + 268, 0), 0, compression), 8, 1), Offset, 256 + 268);
    std::copy_n("QDA0", 4, out.begin() + 4);
    out = withU32(withU32(out, Stored, length), Size, length);
    out[256 + 12] = 'a';
    out.insert(out.end(), item.begin(), item.end());
    return out;
}

// An archive of item "a" compressed: its blocks stored, size its length before packing.
Bytes compressed(const Bytes& stored, uint32_t size) { return withU32(archiveOf(stored, 1), Size, size); }

// The bytes of item "a", which must start at position 0, or the message of the EQDAError raised instead.
std::string loaded(const Bytes& archive)
{
    MemoryStream stream(archive);
    try {
        const std::unique_ptr<MemoryStream> item = QDALoadFromStream(stream, "a");
        EXPECT_EQ(item->position(), 0);
        return std::string(item->bytes().begin(), item->bytes().end());
    } catch (const EQDAError& error) {
        return error.message();
    }
}

TEST(QDArcTest, ReadsItemsAndRejectsDamagedArchivesAndBlocks)
{
    const auto damaged = [](const std::string& reason) { return "アーカイブのデータが壊れています（" + reason + "）"; };
    const std::string notArchive = "Rezadedur E Archiveの扱えるデータではありません";
    const std::string directoryCut = damaged("ディレクトリが途中で切れています");
    const std::string itemCut = damaged("項目のデータが途中で切れています");
    const std::string tooDeep = damaged("ペア表の入れ子が深すぎます");
    const std::string cut = damaged("圧縮ブロックが途中で切れています");
    const std::string badTable = damaged("ペア表が不正です");
    const Bytes plain = archiveOf({'d', 'a', 't', 'a'});
    const Bytes packed = compressed(block(Nested, {0x82, 'x'}), 5);
    const struct {
        Bytes archive;
        std::string outcome;
    } cases[] = {
        {plain, "data"},
        {withU32(plain, 4, 0x31414451), notArchive},  // "QDA1"
        {Bytes(plain.begin(), plain.begin() + 255), notArchive},
        {withU32(plain, 8, 0xFFFFFFFF), directoryCut},
        {Bytes(plain.begin(), plain.begin() + 256 + 267), directoryCut},
        {withU32(plain, Offset, 0xFFFFFFFF), itemCut},
        {withU32(plain, Size, 5), itemCut},
        {withU32(plain, Size, 0xFFFFFFFF), itemCut},
        {packed, "abcdx"},  // left before right, at every level
        {withU32(packed, Size, 4), damaged("展開したデータが項目のサイズを越えています")},
        {withU32(packed, Stored, 0xFFFFFFFF), itemCut},
        {withU32(packed, Size, 0xFFFFFFFF), damaged("項目のサイズが大きすぎます")},
        {compressed(block(chainTable(), {0xFF, 0x02}), 300), std::string(256 + 3, '\0')},  // 255 levels deep
        {compressed(block(Loops, {0x80}), 100000), tooDeep},  // a loop through the left bytes
        {compressed(block(Loops, {0x82}), 100000), tooDeep},  // through the right byte: the stack stays small
        {compressed({0x00, 0x05}, 10), cut},  // the right byte of code 0 missing
        {compressed({0xFF, 'a', 'b', 0xFE, 2, 0, 0, 0, 'a'}, 10), cut},  // one packed byte of two
        {compressed({0xFF, 0x80, 0xFF}, 10), badTable},  // skips to code 257
        {compressed({0xFF, 0x80, 0x7F}, 10), badTable},  // a run of 128 codes from 129
    };
    for (const auto& c : cases) EXPECT_EQ(loaded(c.archive), c.outcome) << "case " << &c - cases;
}

}  // namespace
