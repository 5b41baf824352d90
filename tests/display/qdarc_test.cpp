#include "display/qdarc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <span>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/text.h"
#include "tests/support/qda_writer.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Codes = std::array<uint8_t, 256>;

Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

void putU32(Bytes& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

Bytes withU32(Bytes bytes, size_t at, uint32_t value)
{
    putU32(bytes, at, value);
    return bytes;
}

// Where field 0 (data offset), 4 (stored size) or 8 (item size) of an entry lies.
size_t entryField(size_t entry, size_t field) { return 256 + entry * 268 + field; }

// --- A byte pair encoder, writing blocks in the archive's layout. ---

Codes literalCodes()
{
    Codes codes;
    std::iota(codes.begin(), codes.end(), uint8_t{0});
    return codes;
}

// Writes a pair table in runs: a count byte 127 + n skips n literal codes (n up to
// 128) before one entry; a count byte k up to 127 is followed by k + 1 entries.
Bytes encodeTable(const Codes& left, const Codes& right)
{
    const auto literal = [&](int code) { return left[code] == code; };
    Bytes out;
    for (int code = 0; code < 256;) {
        int skip = 0;
        int entries = 1;
        while (skip < 128 && code + skip < 256 && literal(code + skip)) ++skip;
        while (skip == 0 && entries < 128 && code + entries < 256 && !literal(code + entries)) ++entries;
        out.push_back(static_cast<uint8_t>(skip > 0 ? 127 + skip : entries - 1));
        code += skip;
        if (code == 256) break;
        for (const int end = code + entries; code < end; ++code) {
            out.push_back(left[code]);
            if (!literal(code)) out.push_back(right[code]);
        }
    }
    return out;
}

// One block: pair table, packed size (4 bytes little-endian), packed bytes.
Bytes blockOf(const Codes& left, const Codes& right, const Bytes& packed)
{
    Bytes block = encodeTable(left, right);
    block.resize(block.size() + 4);
    putU32(block, block.size() - 4, static_cast<uint32_t>(packed.size()));
    block.insert(block.end(), packed.begin(), packed.end());
    return block;
}

// Replaces the most frequent adjacent pair with a code the block does not use, again
// and again, while a pair occurs at least three times and a free code is left.
Bytes encodeBlock(std::span<const uint8_t> data)
{
    Codes left = literalCodes();
    Codes right{};
    Bytes packed(data.begin(), data.end());
    std::array<bool, 256> used{};
    for (const uint8_t byte : packed) used[byte] = true;
    for (int code = 0; code < 256; ++code) {
        if (used[code]) continue;
        std::vector<int> counts(65536); // by pair, left byte * 256 + right byte
        for (size_t i = 0; i + 1 < packed.size(); ++i) ++counts[packed[i] << 8 | packed[i + 1]];
        const auto best = std::ranges::max_element(counts) - counts.begin();
        if (counts[best] < 3) break;
        left[code] = static_cast<uint8_t>(best >> 8);
        right[code] = static_cast<uint8_t>(best & 0xFF);
        Bytes next;
        for (size_t i = 0; i < packed.size(); ++i) {
            const bool match = i + 1 < packed.size() && packed[i] == left[code] && packed[i + 1] == right[code];
            next.push_back(match ? static_cast<uint8_t>(code) : packed[i]);
            i += match ? 1 : 0;
        }
        packed = std::move(next);
    }
    return blockOf(left, right, packed);
}

Bytes encode(const std::string& data, size_t blockSize)
{
    Bytes out;
    for (size_t at = 0; at < data.size(); at += blockSize) {
        const Bytes block = encodeBlock(bytesOf(data.substr(at, blockSize)));
        out.insert(out.end(), block.begin(), block.end());
    }
    return out;
}

// --- Archives and reading back. ---

struct Item {
    std::string id;
    Bytes stored;  // the data as it lies in the archive
    uint32_t size; // the item size
};

Item plain(const std::string& id, const std::string& data) { return {id, bytesOf(data), static_cast<uint32_t>(data.size())}; }
Item packed(const std::string& id, const std::string& data, size_t blockSize = 4096)
{
    return {id, encode(data, blockSize), static_cast<uint32_t>(data.size())};
}

// makePlainQda gives every item its stored length as item size; an encoded item
// gets its length before encoding.
Bytes makeArchive(uint32_t compression, const std::vector<Item>& items)
{
    std::vector<QdaItem> stored;
    for (const Item& item : items) stored.emplace_back(item.id, item.stored);
    Bytes archive = makePlainQda(stored, compression);
    for (size_t i = 0; i < items.size(); ++i) putU32(archive, entryField(i, 8), items[i].size);
    return archive;
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

std::string expanded(const Bytes& blocks, int64_t size)
{
    MemoryStream stream(blocks);
    return outcomeOf([&] { return QDAExpand(stream, size); });
}

std::string damaged(const std::string& reason) { return "アーカイブのデータが壊れています（" + reason + "）"; }
std::string notFound(const std::string& id) { return "アーカイブ内には指定されたID '" + id + "' を持つデータが見つかりません"; }
const std::string TooLong = damaged("展開したデータが項目のサイズを越えています");

std::string repetitiveText(size_t length)
{
    std::string text;
    for (size_t i = 0; text.size() < length; ++i)
        text += "ぽめるーん! The quick brown fox jumps over the lazy dog; the lazy dog sleeps. " + std::to_string(i % 10);
    return text.substr(0, length);
}

TEST(QDArcTest, FindsTheFirstItemWhoseIdMatchesIgnoringAsciiLetterCase)
{
    const std::string longId(256, 'x'); // fills the ID field: no zero ends it
    const Bytes archive = makeArchive(0, {plain("Title.BMP", "1"), plain("\x83\x41" "B", "2"), plain("dup", "3"),
                                          plain("DUP", "4"), plain(longId, "5"), plain("empty", "")});
    const std::vector<std::pair<std::string, std::string>> found = {
        {"title.bmp", "1"}, {"TITLE.bmp", "1"}, {"\x83\x41" "b", "2"}, {"Dup", "3"}, {longId, "5"}, {"EMPTY", ""}};
    for (const auto& [id, data] : found) EXPECT_EQ(loaded(archive, id), data) << id;
    // "ア" is 0x83 0x41; 0x83 0x61 is another character, not its lower case.
    for (const std::string& id : std::vector<std::string>{"Title", "\x83\x61" "b", "ぽめ", longId + "x"})
        EXPECT_EQ(loaded(archive, id), notFound(id));
    // Data offset 0 means "not found", even when a later entry has the ID too.
    EXPECT_EQ(loaded(withU32(archive, entryField(2, 0), 0), "dup"), notFound("dup"));

    // Half-width katakana are single bytes; a lead byte at the very end keeps nothing.
    EXPECT_EQ(cp932LowerCase("A\x83\x41Z\x82\x60\xB1" "A\xE0"), "a\x83\x41z\x82\x60\xB1" "a\xE0");
    EXPECT_EQ(cp932UpperCase("a\x83\x61z\x82\x81\xFC" "ab"), "A\x83\x61Z\x82\x81\xFC" "aB");
}

TEST(QDArcTest, CompressionFieldOtherThanOneMeansPlainAndIgnoresTheStoredSize)
{
    for (const uint32_t compression : {0u, 2u, 0xFFFFFFFFu}) {
        const Bytes archive = makeArchive(compression, {plain("x", "\xFF\x01 raw bytes")});
        EXPECT_EQ(loaded(withU32(archive, entryField(0, 4), 0xFFFFFFFF), "x"), "\xFF\x01 raw bytes") << compression;
    }
}

TEST(QDArcTest, EncodedItemsRoundTrip)
{
    const std::string text = repetitiveText(20000);
    const Item textItem = packed("text", text, 4096);
    EXPECT_LT(textItem.stored.size(), text.size() / 3); // five blocks of real pairs
    const Bytes archive = makeArchive(1, {textItem, packed("one", "z")});
    EXPECT_EQ(loaded(archive, "text"), text);
    EXPECT_EQ(loaded(archive, "one"), "z");

    // QDAExpand reads from the stream's position to its end.
    Bytes source = bytesOf("prefix");
    const Bytes blocks = encode(text.substr(0, 5000), 1000);
    source.insert(source.end(), blocks.begin(), blocks.end());
    MemoryStream stream(source);
    stream.setPosition(6);
    EXPECT_EQ(outcomeOf([&] { return QDAExpand(stream, 5000); }), text.substr(0, 5000));
    EXPECT_EQ(outcomeOf([&] { return QDAExpand(stream, 5000); }), ""); // nothing left: an empty item
}

TEST(QDArcTest, ExpandsPairTablesAndRejectsBadBlocks)
{
    // Count byte 255 skips codes 0..127 and makes 128 the pair 'a', 'b'; 254 skips the rest.
    const auto withAb = [](const Bytes& packedBytes) {
        Bytes block = {0xFF, 'a', 'b', 0xFE, static_cast<uint8_t>(packedBytes.size()), 0, 0, 0};
        block.insert(block.end(), packedBytes.begin(), packedBytes.end());
        return block;
    };
    Codes chain = literalCodes(); // 1..255 each expand to the code below and a 0
    for (int code = 1; code < 256; ++code) chain[code] = static_cast<uint8_t>(code - 1);
    Codes left = literalCodes(); // 128 -> 129 'a', 129 -> 128 'b', 130 -> 'c' 130
    Codes right{};
    left[128] = 129;
    right[128] = 'a';
    left[129] = 128;
    right[129] = 'b';
    left[130] = 'c';
    right[130] = 130;
    const std::string cut = damaged("圧縮ブロックが途中で切れています");
    const std::string badTable = damaged("ペア表が不正です");
    const std::string tooDeep = damaged("ペア表の入れ子が深すぎます");
    const std::vector<std::tuple<Bytes, int64_t, std::string>> cases = {
        {withAb({0x80, 'x', 0x80, 0x7F}), 100, "abxab\x7F"},
        {withAb({0x80, 0x80, 'x'}), 5, "ababx"},
        {withAb({0x80, 0x80, 'x'}), 4, TooLong},
        {blockOf(chain, {}, {0xFF, 0x02}), 300, std::string(256 + 3, '\0')},
        {blockOf(left, right, {128}), 100000, tooDeep}, // a loop through the left bytes
        {blockOf(left, right, {130}), 100000, tooDeep}, // through the right byte: the stack stays small
        {blockOf(left, right, bytesOf("ok")), 2, "ok"}, // codes left unused may loop
        {{0x00, 0x05}, 10, cut},                        // the right byte of code 0 missing
        {{0xFF, 'a', 'b', 0xFE, 2, 0, 0, 0, 'a'}, 10, cut}, // one packed byte of two
        {{0xFF, 0x80, 0xFF}, 10, badTable}, // skips to code 257
        {{0xFF, 0x80, 0x7F}, 10, badTable}, // a run of 128 codes from 129
    };
    for (size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(expanded(std::get<0>(cases[i]), std::get<1>(cases[i])), std::get<2>(cases[i])) << "case " << i;
}

TEST(QDArcTest, RejectsOtherDataAndDamagedArchives)
{
    const Bytes archive = makeArchive(0, {plain("a", "data")});
    const Bytes packedArchive = makeArchive(1, {packed("a", "data")});
    const auto end = static_cast<uint32_t>(archive.size());
    const std::string directoryCut = damaged("ディレクトリが途中で切れています");
    const std::string itemCut = damaged("項目のデータが途中で切れています");
    const std::vector<std::pair<Bytes, std::string>> cases = {
        {withU32(archive, 4, 0x31414451), "Rezadedur E Archiveの扱えるデータではありません"}, // "QDA1"
        {Bytes(archive.begin(), archive.begin() + 255), "Rezadedur E Archiveの扱えるデータではありません"},
        {withU32(archive, 8, 0), "アーカイブ内には指定されたID 'a' を持つデータが見つかりません"},
        {withU32(archive, 8, 2), directoryCut},
        {withU32(archive, 8, 0xFFFFFFFF), directoryCut},
        {Bytes(archive.begin(), archive.begin() + 256 + 267), directoryCut},
        {withU32(archive, entryField(0, 0), end), itemCut},
        {withU32(archive, entryField(0, 0), 0xFFFFFFFF), itemCut},
        {withU32(archive, entryField(0, 8), 5), itemCut},
        {withU32(archive, entryField(0, 8), 0xFFFFFFFF), itemCut},
        {withU32(withU32(archive, entryField(0, 0), end), entryField(0, 8), 0), ""}, // empty, at the very end
        {withU32(packedArchive, entryField(0, 4), 0xFFFFFFFF), itemCut},
        // The item size of a compressed item bounds only its expansion.
        {withU32(packedArchive, entryField(0, 8), 1000), "data"},
        {withU32(packedArchive, entryField(0, 8), 3), TooLong},
        {withU32(packedArchive, entryField(0, 8), 0xFFFFFFFF), damaged("項目のサイズが大きすぎます")},
    };
    for (size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(loaded(cases[i].first, "a"), cases[i].second) << "case " << i;
}

TEST(QDArcTest, LoadFromFile)
{
    const std::string path = testing::TempDir() + "qdarc_test.qda";
    const Bytes archive = makeArchive(1, {packed("pic", "picture")});
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(archive.data()), static_cast<std::streamsize>(archive.size()));
    EXPECT_EQ(outcomeOf([&] { return QDALoadFromFile(path, "PIC"); }), "picture");
    std::filesystem::remove(path);
    try {
        outcomeOf([&] { return QDALoadFromFile(path, "pic"); }); // an EQDAError ends here
        ADD_FAILURE() << "a missing file raised no Exception other than EQDAError";
    } catch (const Exception& error) {
        EXPECT_EQ(error.message(), "ファイル " + path + " は開けません");
    }
}

} // namespace
