// Data archives, which only restore pictures read from them: finding items by ID,
// expanding pair-table blocks, damaged archives.
#include "display/qdarc.h"
#include "support/qda_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes join(Bytes first, const Bytes& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

Bytes withU32(Bytes bytes, size_t at, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    return bytes;
}

// Where field 0 (data offset), 4 (stored size) or 8 (item size) of an entry lies.
size_t entryField(size_t entry, size_t field) { return 256 + entry * 268 + field; }

// Pair tables as stored: a count byte k up to 127 is followed by k + 1 entries; one
// above 127 skips k - 127 codes, which stay literals, before one entry. An entry is
// its code's left byte and, unless that is the code itself (a literal), its right byte.
const Bytes Literals = {0xFF, 0x80, 0xFE};  // every code stands for itself
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
Bytes block(const Bytes& table, const Bytes& packed)
{
    return join(withU32(join(table, Bytes(4)), table.size(), static_cast<uint32_t>(packed.size())), packed);
}

// The bytes of the stream read, which must start at position 0, or the message of
// the EQDAError raised instead.
template <typename Read>
std::string outcomeOf(Read read)
{
    try {
        const std::unique_ptr<MemoryStream> item = read();
        EXPECT_EQ(item->position(), 0);
        return std::string(item->bytes().begin(), item->bytes().end());
    } catch (const EQDAError& error) {
        return error.message();
    }
}

std::string loaded(const Bytes& archive, const std::string& id)
{
    MemoryStream stream(archive);
    return outcomeOf([&] { return QDALoadFromStream(stream, id); });
}

std::string damaged(const std::string& reason) { return "アーカイブのデータが壊れています（" + reason + "）"; }
std::string notFound(const std::string& id)
{
    return "アーカイブ内には指定されたID '" + id + "' を持つデータが見つかりません";
}
const std::string TooLong = damaged("展開したデータが項目のサイズを越えています");

// "ア" is 0x83 0x41 ("\203A"); 0x83 0x61 is another character, not its lower case.
TEST(QDArcTest, FindsTheFirstItemWhoseIdMatchesIgnoringAsciiLetterCase)
{
    const std::string longId(256, 'x');  // fills the ID field: no zero ends it
    const Bytes archive = makePlainQda({{"Title.BMP", bytesOf("1")},
                                        {"\203AB", bytesOf("2")},
                                        {"dup", bytesOf("3")},
                                        {"DUP", bytesOf("4")},
                                        {longId, bytesOf("5")},
                                        {"empty", bytesOf("")}});
    const struct {
        std::string id, data;
    } found[] = {{"TITLE.bmp", "1"}, {"\203Ab", "2"}, {"Dup", "3"}, {longId, "5"}, {"EMPTY", ""}};
    for (const auto& f : found) EXPECT_EQ(loaded(archive, f.id), f.data) << f.id;
    for (const std::string& id : {std::string("Title"), std::string("\203ab"), longId + "x"})
        EXPECT_EQ(loaded(archive, id), notFound(id));
    // Data offset 0 means "not found", even when a later entry has the ID too.
    EXPECT_EQ(loaded(withU32(archive, entryField(2, 0), 0), "dup"), notFound("dup"));
}

TEST(QDArcTest, ExpandsPairTablesAndRejectsBadBlocks)
{
    const std::string cut = damaged("圧縮ブロックが途中で切れています");
    const std::string badTable = damaged("ペア表が不正です");
    const std::string tooDeep = damaged("ペア表の入れ子が深すぎます");
    // clang-format off
    const struct { Bytes stored; int64_t size; std::string outcome; } cases[] = {
        {block(Nested, {0x82, 'x', 0x80, 0x7F}), 100, "abcdxab\x7F"},  // left before right, at every level
        {block(Nested, {0x82, 'x'}), 5, "abcdx"},
        {block(Nested, {0x82, 'x'}), 4, TooLong},
        {join(block(Nested, {0x82}), block(Literals, {0x82})), 10, "abcd\x82"},  // each block has its own table
        {block(chainTable(), {0xFF, 0x02}), 300, std::string(256 + 3, '\0')},  // 255 levels deep
        {block(Loops, {0x80}), 100000, tooDeep},  // a loop through the left bytes
        {block(Loops, {0x82}), 100000, tooDeep},  // through the right byte: the stack stays small
        {block(Loops, bytesOf("ok")), 2, "ok"},  // codes left unused may loop
        {{}, 10, ""},  // no blocks: an empty item
        {{0x00, 0x05}, 10, cut},  // the right byte of code 0 missing
        {{0xFF, 'a', 'b', 0xFE, 2, 0, 0, 0, 'a'}, 10, cut},  // one packed byte of two
        {{0xFF, 0x80, 0xFF}, 10, badTable},  // skips to code 257
        {{0xFF, 0x80, 0x7F}, 10, badTable},  // a run of 128 codes from 129
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        MemoryStream stream(c.stored);
        EXPECT_EQ(outcomeOf([&] { return QDAExpand(stream, c.size); }), c.outcome);
    }
}

TEST(QDArcTest, ReadsItemsByTheirEntryAndRejectsOtherDataAndDamagedArchives)
{
    const Bytes archive = makePlainQda({{"a", bytesOf("data")}});
    // Compressed: the item size is the length before packing.
    const Bytes packedArchive =
        withU32(makePlainQda({{"a", block(Literals, bytesOf("data"))}}, 1), entryField(0, 8), 4);
    const auto end = static_cast<uint32_t>(archive.size());
    const std::string directoryCut = damaged("ディレクトリが途中で切れています");
    const std::string itemCut = damaged("項目のデータが途中で切れています");
    // clang-format off
    const struct { Bytes archive; std::string outcome; } cases[] = {
        // A compression field other than 1 means plain, and the stored size goes unused.
        {withU32(withU32(archive, 0, 2), entryField(0, 4), 0xFFFFFFFF), "data"},
        {withU32(archive, 4, 0x31414451), "Rezadedur E Archiveの扱えるデータではありません"},  // "QDA1"
        {Bytes(archive.begin(), archive.begin() + 255), "Rezadedur E Archiveの扱えるデータではありません"},
        {withU32(archive, 8, 0xFFFFFFFF), directoryCut},
        {Bytes(archive.begin(), archive.begin() + 256 + 267), directoryCut},
        {withU32(archive, entryField(0, 0), 0xFFFFFFFF), itemCut},
        {withU32(archive, entryField(0, 8), 5), itemCut},
        {withU32(archive, entryField(0, 8), 0xFFFFFFFF), itemCut},
        {withU32(withU32(archive, entryField(0, 0), end), entryField(0, 8), 0), ""},  // empty, at the very end
        {packedArchive, "data"},
        {withU32(packedArchive, entryField(0, 4), 0xFFFFFFFF), itemCut},
        // The item size of a compressed item bounds only its expansion.
        {withU32(packedArchive, entryField(0, 8), 1000), "data"},
        {withU32(packedArchive, entryField(0, 8), 3), TooLong},
        {withU32(packedArchive, entryField(0, 8), 0xFFFFFFFF), damaged("項目のサイズが大きすぎます")},
        // clang-format on
    };
    for (const auto& c : cases) EXPECT_EQ(loaded(c.archive, "a"), c.outcome) << "case " << &c - cases;
}

}  // namespace
