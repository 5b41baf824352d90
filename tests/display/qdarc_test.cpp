#include "display/qdarc.h"

#include <gtest/gtest.h>

#include <array>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "platform/text.h"
#include "tests/support/qda_writer.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Codes = std::array<uint8_t, 256>;

constexpr size_t EntryStart = 256;
constexpr size_t EntrySize = 268;

void appendU32(Bytes& bytes, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
}

void putU32(Bytes& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

// Where field 0 (data offset), 4 (stored size) or 8 (item size) of an entry lies.
size_t entryField(size_t entry, size_t field) { return EntryStart + entry * EntrySize + field; }

// --- A byte pair encoder, writing blocks in the archive's layout. ---

Codes literalCodes()
{
    Codes codes;
    for (int code = 0; code < 256; ++code) codes[code] = static_cast<uint8_t>(code);
    return codes;
}

// Writes a pair table in runs: a count byte above 127 skips literal codes (at most
// 128) and is followed by one entry; a count byte k up to 127 is followed by k + 1
// entries for a run of pair codes.
Bytes encodeTable(const Codes& left, const Codes& right)
{
    const auto literal = [&](int code) { return left[code] == code; };
    Bytes out;
    int code = 0;
    while (code < 256) {
        int skip = 0;
        while (skip < 128 && code + skip < 256 && literal(code + skip)) ++skip;
        int entries = 1;
        if (skip > 0) {
            out.push_back(static_cast<uint8_t>(127 + skip));
            code += skip;
            if (code == 256) break;
        } else {
            while (entries < 128 && code + entries < 256 && !literal(code + entries)) ++entries;
            out.push_back(static_cast<uint8_t>(entries - 1));
        }
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
    appendU32(block, static_cast<uint32_t>(packed.size()));
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
    std::vector<int> counts(65536); // by pair, left byte * 256 + right byte
    const auto pairAt = [&](size_t i) { return packed[i] << 8 | packed[i + 1]; };
    for (int code = 0; code < 256; ++code) {
        if (used[code]) continue;
        int best = 0;
        for (size_t i = 0; i + 1 < packed.size(); ++i) {
            if (++counts[pairAt(i)] > counts[best]) best = pairAt(i);
        }
        const int bestCount = counts[best];
        for (size_t i = 0; i + 1 < packed.size(); ++i) counts[pairAt(i)] = 0;
        if (bestCount < 3) break;
        left[code] = static_cast<uint8_t>(best >> 8);
        right[code] = static_cast<uint8_t>(best & 0xFF);
        Bytes next;
        for (size_t i = 0; i < packed.size();) {
            const bool match = i + 1 < packed.size() && packed[i] == left[code] && packed[i + 1] == right[code];
            next.push_back(match ? static_cast<uint8_t>(code) : packed[i]);
            i += match ? 2 : 1;
        }
        packed = std::move(next);
    }
    return blockOf(left, right, packed);
}

Bytes encode(const Bytes& data, size_t blockSize)
{
    Bytes out;
    for (size_t at = 0; at < data.size(); at += blockSize) {
        const Bytes block = encodeBlock(std::span(data).subspan(at, std::min(blockSize, data.size() - at)));
        out.insert(out.end(), block.begin(), block.end());
    }
    return out;
}

// --- Archives. ---

struct Item {
    std::string id;
    Bytes stored;  // the data as it lies in the archive
    uint32_t size; // the item size
};

Item plain(std::string id, const Bytes& data) { return {std::move(id), data, static_cast<uint32_t>(data.size())}; }
Item packed(std::string id, const Bytes& data, size_t blockSize = 4096)
{
    return {std::move(id), encode(data, blockSize), static_cast<uint32_t>(data.size())};
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

// --- Reading back. ---

Bytes contents(const std::unique_ptr<MemoryStream>& stream)
{
    EXPECT_EQ(stream->position(), 0);
    return stream->bytes();
}

Bytes load(const Bytes& archive, const std::string& id)
{
    MemoryStream stream(archive);
    return contents(QDALoadFromStream(stream, id));
}

Bytes expand(const Bytes& blocks, int64_t size)
{
    MemoryStream stream(blocks);
    return contents(QDAExpand(stream, size));
}

template <typename Action>
std::string errorOf(Action action)
{
    try {
        action();
    } catch (const EQDAError& error) {
        return error.message();
    }
    return "(no EQDAError)";
}

std::string loadError(const Bytes& archive, const std::string& id)
{
    return errorOf([&] { load(archive, id); });
}

std::string expandError(const Bytes& blocks, int64_t size)
{
    return errorOf([&] { expand(blocks, size); });
}

std::string damaged(const std::string& reason) { return "アーカイブのデータが壊れています（" + reason + "）"; }

const std::string NotAnArchive = "Rezadedur E Archiveの扱えるデータではありません";
std::string notFound(const std::string& id) { return "アーカイブ内には指定されたID '" + id + "' を持つデータが見つかりません"; }

Bytes repetitiveText(size_t length)
{
    const std::string phrase = "ぽめるーん! The quick brown fox jumps over the lazy dog; the lazy dog sleeps. ";
    Bytes text;
    for (size_t i = 0; text.size() < length; ++i) {
        text.insert(text.end(), phrase.begin(), phrase.end());
        text.push_back(static_cast<uint8_t>('0' + i % 10));
    }
    text.resize(length);
    return text;
}

// A table whose codes 0..127 and 129..255 are literals and 128 is the pair 'a', 'b':
// count byte 255 skips 128 codes and reads code 128; count byte 254 skips the rest.
const Bytes TableWith128AsAB = {0xFF, 'a', 'b', 0xFE};

// --- Tests. ---

TEST(QDArcTest, ReadsPlainItemsByIdAtPositionZero)
{
    const Bytes archive = makeArchive(0, {plain("first", bytesOf("one")), plain("second", bytesOf("two, longer")),
                                          plain("empty", {})});
    EXPECT_EQ(load(archive, "first"), bytesOf("one"));
    EXPECT_EQ(load(archive, "second"), bytesOf("two, longer"));
    EXPECT_EQ(load(archive, "empty"), Bytes{});
}

TEST(QDArcTest, CompressionFieldOtherThanOneMeansPlain)
{
    for (const uint32_t compression : {0u, 2u, 0xFFFFFFFFu}) {
        const Bytes archive = makeArchive(compression, {plain("x", bytesOf("\xFF\x01 raw bytes"))});
        EXPECT_EQ(load(archive, "x"), bytesOf("\xFF\x01 raw bytes")) << compression;
    }
    // A plain item ignores its stored size.
    Bytes archive = makeArchive(0, {plain("x", bytesOf("abc"))});
    putU32(archive, entryField(0, 4), 0xFFFFFFFF);
    EXPECT_EQ(load(archive, "x"), bytesOf("abc"));
}

TEST(QDArcTest, EncodedItemsRoundTrip)
{
    const Bytes text = repetitiveText(20000);
    const Item textItem = packed("text", text, 4096);
    EXPECT_LT(textItem.stored.size(), text.size() / 3); // five blocks of real pairs
    const Bytes archive = makeArchive(1, {textItem, packed("one", bytesOf("z"))});
    EXPECT_EQ(load(archive, "text"), text);
    EXPECT_EQ(load(archive, "one"), bytesOf("z"));
}

TEST(QDArcTest, ExpandStartsAtTheSourcePosition)
{
    const Bytes text = repetitiveText(5000);
    Bytes source = bytesOf("ignored prefix");
    const Bytes blocks = encode(text, 1000);
    source.insert(source.end(), blocks.begin(), blocks.end());
    MemoryStream stream(source);
    stream.setPosition(14);
    EXPECT_EQ(contents(QDAExpand(stream, 5000)), text);
    // Nothing left to expand gives an empty item.
    EXPECT_EQ(contents(QDAExpand(stream, 5000)), Bytes{});
}

TEST(QDArcTest, PairTableRuns)
{
    // The first count byte 255: codes 0..127 are literals, one entry for code 128.
    Bytes blocks = TableWith128AsAB;
    appendU32(blocks, 4);
    blocks.insert(blocks.end(), {0x80, 'x', 0x80, 0x7F});
    EXPECT_EQ(expand(blocks, 100), bytesOf("abxab\x7F"));

    // A table making every code a literal reproduces the packed bytes, whatever they are.
    Bytes packedBytes;
    for (int i = 0; i < 256; ++i) packedBytes.push_back(static_cast<uint8_t>(255 - i));
    const Bytes allLiteral = blockOf(literalCodes(), {}, packedBytes);
    EXPECT_EQ(Bytes(allLiteral.begin(), allLiteral.begin() + 3), (Bytes{0xFF, 0x80, 0xFE}));
    EXPECT_EQ(expand(allLiteral, 256), packedBytes);
}

TEST(QDArcTest, DeepestChainWithoutLoopExpands)
{
    // Codes 1..255 each expand to the code below and a 0: a chain through all 256 codes.
    Codes left = literalCodes();
    for (int code = 1; code < 256; ++code) left[code] = static_cast<uint8_t>(code - 1);
    EXPECT_EQ(expand(blockOf(left, Codes{}, {0xFF, 0x02}), 300), Bytes(256 + 3, 0));
}

TEST(QDArcTest, IdsIgnoreAsciiLetterCase)
{
    const Bytes archive = makeArchive(0, {plain("Title.BMP", bytesOf("1")), plain("lower", bytesOf("2"))});
    EXPECT_EQ(load(archive, "title.bmp"), bytesOf("1"));
    EXPECT_EQ(load(archive, "TITLE.bmp"), bytesOf("1"));
    EXPECT_EQ(load(archive, "LOWER"), bytesOf("2"));
    EXPECT_EQ(loadError(archive, "Title"), notFound("Title"));
}

TEST(QDArcTest, IdsKeepTheSecondByteOfShiftJisCharacters)
{
    // "ア" is 0x83 0x41; 0x83 0x61 is another character, not its lower case.
    const Bytes archive = makeArchive(0, {plain("\x83\x41" "B", bytesOf("katakana a"))});
    EXPECT_EQ(load(archive, "\x83\x41" "b"), bytesOf("katakana a"));
    EXPECT_EQ(loadError(archive, "\x83\x61" "b"), notFound("\x83\x61" "b"));

    EXPECT_EQ(cp932LowerCase("ABC\x83\x41Z\x82\x60"), "abc\x83\x41z\x82\x60");
    EXPECT_EQ(cp932UpperCase("abc\x83\x61z\x82\x81"), "ABC\x83\x61Z\x82\x81");
    // Half-width katakana are single bytes; a lead byte at the very end keeps nothing.
    EXPECT_EQ(cp932LowerCase("\xB1" "A\xE0"), "\xB1" "a\xE0");
    EXPECT_EQ(cp932UpperCase("\xFC" "a" "b"), "\xFC" "a" "B");
}

TEST(QDArcTest, FirstMatchingEntryWins)
{
    const Bytes archive =
        makeArchive(0, {plain("dup", bytesOf("first")), plain("DUP", bytesOf("second")), plain("dup", bytesOf("third"))});
    EXPECT_EQ(load(archive, "Dup"), bytesOf("first"));

    // Data offset 0 means "not found", even when a later entry has the ID too.
    Bytes atZero = archive;
    putU32(atZero, entryField(0, 0), 0);
    EXPECT_EQ(loadError(atZero, "dup"), notFound("dup"));
}

TEST(QDArcTest, IdFieldWithoutZeroIsAll256Bytes)
{
    const std::string longId(256, 'x');
    const Bytes archive = makeArchive(0, {plain(longId, bytesOf("long"))});
    EXPECT_EQ(load(archive, longId), bytesOf("long"));
    EXPECT_EQ(loadError(archive, longId + "x"), notFound(longId + "x"));
}

TEST(QDArcTest, NotAnArchiveAndMissingId)
{
    Bytes archive = makeArchive(0, {plain("a", bytesOf("a"))});
    EXPECT_EQ(loadError(archive, "b"), "アーカイブ内には指定されたID 'b' を持つデータが見つかりません");
    EXPECT_EQ(loadError(archive, "ぽめ"), "アーカイブ内には指定されたID 'ぽめ' を持つデータが見つかりません");
    EXPECT_EQ(loadError(makeArchive(0, {}), "a"), notFound("a"));

    archive[7] = '1';
    EXPECT_EQ(loadError(archive, "a"), "Rezadedur E Archiveの扱えるデータではありません");
    // Too short for a header, although the signature is there.
    const Bytes headerOnly = makeArchive(0, {});
    EXPECT_EQ(loadError(Bytes(headerOnly.begin(), headerOnly.end() - 1), "a"), NotAnArchive);
    EXPECT_EQ(loadError({}, "a"), NotAnArchive);

    Bytes header(256);
    std::copy_n("QDA0", 4, header.begin() + 4);
    EXPECT_TRUE(IsQDAHeader(header.data()));
    header[4] = 'q';
    EXPECT_FALSE(IsQDAHeader(header.data()));
}

TEST(QDArcTest, DirectoryPastTheEnd)
{
    const std::string cut = damaged("ディレクトリが途中で切れています");
    Bytes archive = makeArchive(0, {plain("a", bytesOf("data")), plain("b", bytesOf("more"))});
    for (const uint32_t count : {3u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        putU32(archive, 8, count);
        EXPECT_EQ(loadError(archive, "a"), cut) << count;
    }
    const Bytes full = makeArchive(0, {plain("a", {})});
    EXPECT_EQ(loadError(Bytes(full.begin(), full.end() - 1), "a"), cut);
}

TEST(QDArcTest, ItemDataPastTheEnd)
{
    const std::string cut = damaged("項目のデータが途中で切れています");
    const Bytes plainArchive = makeArchive(0, {plain("a", bytesOf("data"))});
    const auto size = static_cast<uint32_t>(plainArchive.size());
    const auto withField = [](Bytes archive, size_t field, uint32_t value) {
        putU32(archive, entryField(0, field), value);
        return archive;
    };
    EXPECT_EQ(loadError(withField(plainArchive, 0, size), "a"), cut);
    EXPECT_EQ(loadError(withField(plainArchive, 0, 0xFFFFFFFF), "a"), cut);
    EXPECT_EQ(loadError(withField(plainArchive, 8, 5), "a"), cut);
    EXPECT_EQ(loadError(withField(plainArchive, 8, 0xFFFFFFFF), "a"), cut);
    EXPECT_EQ(load(withField(withField(plainArchive, 0, size), 8, 0), "a"), Bytes{}); // empty, at the very end

    const Bytes packedArchive = makeArchive(1, {packed("a", bytesOf("data"))});
    EXPECT_EQ(loadError(withField(packedArchive, 4, static_cast<uint32_t>(packedArchive.size())), "a"), cut);
    EXPECT_EQ(loadError(withField(packedArchive, 4, 0xFFFFFFFF), "a"), cut);
    // The item size of a compressed item bounds only its expansion.
    EXPECT_EQ(loadError(withField(packedArchive, 8, 3), "a"),
              damaged("展開したデータが項目のサイズを越えています"));
    EXPECT_EQ(loadError(withField(packedArchive, 8, 0xFFFFFFFF), "a"), damaged("項目のサイズが大きすぎます"));
    EXPECT_EQ(load(withField(packedArchive, 8, 1000), "a"), bytesOf("data"));
}

TEST(QDArcTest, CutOrInvalidBlocks)
{
    const std::string cut = damaged("圧縮ブロックが途中で切れています");
    EXPECT_EQ(expandError({0x00}, 10), cut);              // entry of code 0 missing
    EXPECT_EQ(expandError({0x00, 0x05}, 10), cut);        // its right byte missing
    EXPECT_EQ(expandError({0xFF, 0x80, 0xFE, 1, 0}, 10), cut); // block size cut
    EXPECT_EQ(expandError({0xFF, 0x80, 0xFE, 2, 0, 0, 0, 'a'}, 10), cut);
    Bytes secondBlockCut = blockOf(literalCodes(), {}, bytesOf("ok"));
    secondBlockCut.push_back(0x05);
    EXPECT_EQ(expandError(secondBlockCut, 10), cut);

    const std::string badTable = damaged("ペア表が不正です");
    EXPECT_EQ(expandError({0xFF, 0x80, 0xFF}, 10), badTable); // skips to code 257
    EXPECT_EQ(expandError({0xFF, 0x80, 0x7F}, 10), badTable); // run of 128 codes from 129
}

TEST(QDArcTest, ExpansionLimits)
{
    Codes left = literalCodes();
    Codes right{};
    left[128] = 129; // 128 -> 129 'a', 129 -> 128 'b': a loop through the left bytes
    right[128] = 'a';
    left[129] = 128;
    right[129] = 'b';
    const std::string tooDeep = damaged("ペア表の入れ子が深すぎます");
    EXPECT_EQ(expandError(blockOf(left, right, {128}), 100000), tooDeep);
    // 130 -> 'c' 130: a loop through the right byte, which never deepens the stack.
    left[130] = 'c';
    right[130] = 130;
    EXPECT_EQ(expandError(blockOf(left, right, {130}), 100000), tooDeep);
    // A code left unused may loop.
    EXPECT_EQ(expand(blockOf(left, right, bytesOf("ok")), 2), bytesOf("ok"));

    Bytes blocks = TableWith128AsAB;
    appendU32(blocks, 3);
    blocks.insert(blocks.end(), {0x80, 0x80, 'x'});
    EXPECT_EQ(expand(blocks, 5), bytesOf("ababx"));
    const std::string tooLong = damaged("展開したデータが項目のサイズを越えています");
    EXPECT_EQ(expandError(blocks, 4), tooLong);
    EXPECT_EQ(expandError(blocks, -1), tooLong);
    EXPECT_EQ(expandError(blocks, int64_t{1} << 40), damaged("項目のサイズが大きすぎます"));
}

TEST(QDArcTest, LoadFromFile)
{
    const std::filesystem::path path = testing::TempDir() + "qdarc_test.qda";
    {
        const Bytes archive = makeArchive(1, {packed("pic", repetitiveText(3000))});
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(archive.data()),
                                                     static_cast<std::streamsize>(archive.size()));
    }
    EXPECT_EQ(contents(QDALoadFromFile(path.string(), "PIC")), repetitiveText(3000));
    EXPECT_EQ(errorOf([&] { QDALoadFromFile(path.string(), "other"); }), notFound("other"));
    std::filesystem::remove(path);

    try {
        QDALoadFromFile(path.string(), "pic");
        ADD_FAILURE() << "a missing file was opened";
    } catch (const EQDAError&) {
        ADD_FAILURE() << "a missing file is not an archive error";
    } catch (const Exception& error) {
        EXPECT_EQ(error.message(), "ファイル " + path.string() + " は開けません");
    }
}

} // namespace
