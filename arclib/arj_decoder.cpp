// The ARJ decompressor, methods 1 to 4.
#include "arclib/arj_decoder.h"

#include "arclib/archive_error.h"

#include <algorithm>

namespace {

constexpr int Threshold = 3;
constexpr int CharBits = 9;
constexpr int PositionBits = 5;
constexpr int LengthBits = 5;
constexpr int CharTableBits = 12;
constexpr int LengthTableBits = 8;
constexpr int MaxCodeLength = 16;
// Method 4: distances use widths 9 to 13, lengths widths 0 to 7.
constexpr int FastestFirstDistanceWidth = 9;
constexpr int FastestLastDistanceWidth = 13;
constexpr int FastestFirstLengthWidth = 0;
constexpr int FastestLastLengthWidth = 7;
// Reading this far past the packed data means it ends too early.
constexpr uint64_t MaxOverrunBits = 32;

[[noreturn]] void damaged(const char* what)
{
    throw ArchiveError(arcDamaged, std::string("ARJ data damaged: ") + what);
}

}  // namespace

ArjDecoder::ArjDecoder(std::span<const uint8_t> packed, int method, uint64_t originalSize)
        : packed_(packed),
          method_(method),
          remaining_(originalSize),
          dictionary_(DictionarySize, 0)
{
}

uint32_t ArjDecoder::peekBits(int count) const
{
    // count is at most 16, so three bytes from the current one hold every bit asked for.
    const uint64_t byte = bitPosition_ / 8;
    uint32_t window = 0;
    for (uint64_t i = 0; i < 3; ++i)
        window = (window << 8) | (byte + i < packed_.size() ? packed_[static_cast<size_t>(byte + i)] : 0u);
    const auto shift = static_cast<int>(24 - bitPosition_ % 8) - count;
    return (window >> shift) & ((1u << count) - 1);
}

void ArjDecoder::skipBits(int count)
{
    bitPosition_ += static_cast<uint64_t>(count);
    if (bitPosition_ > packed_.size() * 8 + MaxOverrunBits) damaged("the data ends early");
}

uint32_t ArjDecoder::getBits(int count)
{
    const uint32_t value = peekBits(count);
    skipBits(count);
    return value;
}

size_t ArjDecoder::read(std::span<char> out)
{
    size_t produced = 0;
    while (produced < out.size() && remaining_ > 0) {
        if (matchLeft_ == 0) {
            const Symbol symbol = nextSymbol();
            if (symbol.length == 0) {
                dictionary_[position_] = symbol.literal;
                position_ = (position_ + 1) % DictionarySize;
                out[produced++] = static_cast<char>(symbol.literal);
                --remaining_;
                continue;
            }
            if (symbol.distance >= DictionarySize) damaged("a distance beyond the dictionary");
            matchLeft_ = static_cast<uint32_t>(std::min<uint64_t>(symbol.length, remaining_));
            matchFrom_ = (position_ + DictionarySize - symbol.distance - 1) % DictionarySize;
        }
        while (matchLeft_ > 0 && produced < out.size()) {
            const uint8_t byte = dictionary_[matchFrom_];
            matchFrom_ = (matchFrom_ + 1) % DictionarySize;
            dictionary_[position_] = byte;
            position_ = (position_ + 1) % DictionarySize;
            out[produced++] = static_cast<char>(byte);
            --matchLeft_;
            --remaining_;
        }
    }
    return produced;
}

ArjDecoder::Symbol ArjDecoder::nextSymbol() { return method_ == 4 ? nextFastestSymbol() : nextHuffmanSymbol(); }

ArjDecoder::Symbol ArjDecoder::nextHuffmanSymbol()
{
    const int c = decodeChar();
    if (c <= 0xFF) return {static_cast<uint8_t>(c), 0, 0};
    const auto length = static_cast<uint32_t>(c - (0x100 - Threshold));
    return {0, length, static_cast<uint32_t>(decodePosition())};
}

uint32_t ArjDecoder::fastestCode(int firstWidth, int lastWidth)
{
    uint32_t plus = 0;
    uint32_t power = 1u << firstWidth;
    int width = firstWidth;
    for (; width < lastWidth; ++width) {
        if (getBits(1) == 0) break;
        plus += power;
        power <<= 1;
    }
    return plus + (width != 0 ? getBits(width) : 0);
}

ArjDecoder::Symbol ArjDecoder::nextFastestSymbol()
{
    const uint32_t c = fastestCode(FastestFirstLengthWidth, FastestLastLengthWidth);
    if (c == 0) return {static_cast<uint8_t>(getBits(8)), 0, 0};
    const uint32_t length = c - 1 + Threshold;
    return {0, length, fastestCode(FastestFirstDistanceWidth, FastestLastDistanceWidth)};
}

// Follows the tree below a table entry bit by bit, starting after the table's bits.
int ArjDecoder::walkTree(int symbol, int tableBits, int limit)
{
    uint32_t mask = 1u << (15 - tableBits);
    const uint32_t bits = peekBits(16);
    while (symbol >= limit) {
        if (symbol >= TreeSize || mask == 0) damaged("a bad Huffman code");
        symbol = (bits & mask) ? right_[static_cast<size_t>(symbol)] : left_[static_cast<size_t>(symbol)];
        mask >>= 1;
    }
    return symbol;
}

void ArjDecoder::readLengthLengths(int count, int countBits, int special)
{
    const int n = static_cast<int>(getBits(countBits));
    if (n == 0) {
        const uint32_t c = getBits(countBits);
        if (c >= static_cast<uint32_t>(count)) damaged("a bad code table");
        lengthLengths_.fill(0);
        lengthTable_.fill(static_cast<uint16_t>(c));
        return;
    }
    if (n > count) damaged("a bad code table");
    int i = 0;
    while (i < n) {
        int c = static_cast<int>(peekBits(3));
        if (c == 7) {
            uint32_t mask = 1u << 12;
            const uint32_t bits = peekBits(16);
            while (mask & bits) {
                mask >>= 1;
                ++c;
            }
        }
        skipBits(c < 7 ? 3 : c - 3);
        if (c > MaxCodeLength) damaged("a code too long");
        lengthLengths_[static_cast<size_t>(i++)] = static_cast<uint8_t>(c);
        if (i == special) {
            int zeros = static_cast<int>(getBits(2));
            if (i + zeros > count) damaged("a bad code table");
            while (zeros-- > 0) lengthLengths_[static_cast<size_t>(i++)] = 0;
        }
    }
    while (i < count) lengthLengths_[static_cast<size_t>(i++)] = 0;
    makeTable(count, lengthLengths_.data(), LengthTableBits, lengthTable_.data());
}

void ArjDecoder::readCharLengths()
{
    const int n = static_cast<int>(getBits(CharBits));
    if (n == 0) {
        const uint32_t c = getBits(CharBits);
        if (c >= static_cast<uint32_t>(CharCount)) damaged("a bad code table");
        charLengths_.fill(0);
        charTable_.fill(static_cast<uint16_t>(c));
        return;
    }
    if (n > CharCount) damaged("a bad code table");
    int i = 0;
    while (i < n) {
        int c = walkTree(lengthTable_[peekBits(8)], LengthTableBits, LengthCodeCount);
        skipBits(lengthLengths_[static_cast<size_t>(c)]);
        if (c <= 2) {
            int zeros = c == 0   ? 1
                        : c == 1 ? static_cast<int>(getBits(4)) + 3
                                 : static_cast<int>(getBits(CharBits)) + 20;
            if (i + zeros > CharCount) damaged("a bad code table");
            while (zeros-- > 0) charLengths_[static_cast<size_t>(i++)] = 0;
        } else {
            charLengths_[static_cast<size_t>(i++)] = static_cast<uint8_t>(c - 2);
        }
    }
    while (i < CharCount) charLengths_[static_cast<size_t>(i++)] = 0;
    makeTable(CharCount, charLengths_.data(), CharTableBits, charTable_.data());
}

int ArjDecoder::decodeChar()
{
    if (blockLeft_ == 0) {
        blockLeft_ = getBits(16);
        if (blockLeft_ == 0) damaged("an empty block");
        readLengthLengths(LengthCodeCount, LengthBits, 3);
        readCharLengths();
        readLengthLengths(PositionCount, PositionBits, -1);
    }
    --blockLeft_;
    const int c = walkTree(charTable_[peekBits(CharTableBits)], CharTableBits, CharCount);
    skipBits(charLengths_[static_cast<size_t>(c)]);
    return c;
}

int ArjDecoder::decodePosition()
{
    int j = walkTree(lengthTable_[peekBits(8)], LengthTableBits, PositionCount);
    skipBits(lengthLengths_[static_cast<size_t>(j)]);
    if (j != 0) {
        --j;
        j = static_cast<int>((1u << j) + getBits(j));
    }
    return j;
}

// The canonical Huffman decoding table: codes of up to tableBits bits index the table
// directly; longer ones continue in the tree of left_ and right_.
void ArjDecoder::makeTable(int count, const uint8_t* lengths, int tableBits, uint16_t* table)
{
    std::array<uint32_t, MaxCodeLength + 1> counts{};
    std::array<uint32_t, MaxCodeLength + 2> start{};
    std::array<uint32_t, MaxCodeLength + 1> weight{};
    for (int i = 0; i < count; ++i) ++counts[lengths[i]];
    for (int i = 1; i <= MaxCodeLength; ++i)
        start[static_cast<size_t>(i) + 1] =
            start[static_cast<size_t>(i)] + (counts[static_cast<size_t>(i)] << (MaxCodeLength - i));
    if (start[MaxCodeLength + 1] != (1u << MaxCodeLength)) damaged("an incomplete code table");

    const int jutBits = MaxCodeLength - tableBits;
    for (int i = 1; i <= MaxCodeLength; ++i) {
        if (i <= tableBits) {
            start[static_cast<size_t>(i)] >>= jutBits;
            weight[static_cast<size_t>(i)] = 1u << (tableBits - i);
        } else {
            weight[static_cast<size_t>(i)] = 1u << (MaxCodeLength - i);
        }
    }
    const uint32_t tableSize = 1u << tableBits;
    for (uint32_t i = start[static_cast<size_t>(tableBits) + 1] >> jutBits; i < tableSize; ++i) table[i] = 0;

    int available = count;
    const uint32_t mask = 1u << (15 - tableBits);
    for (int symbol = 0; symbol < count; ++symbol) {
        const int length = lengths[symbol];
        if (length == 0) continue;
        const uint32_t nextCode = start[static_cast<size_t>(length)] + weight[static_cast<size_t>(length)];
        if (length <= tableBits) {
            for (uint32_t i = start[static_cast<size_t>(length)]; i < nextCode; ++i)
                table[i] = static_cast<uint16_t>(symbol);
        } else {
            uint32_t code = start[static_cast<size_t>(length)];
            uint16_t* node = &table[code >> jutBits];
            for (int i = length - tableBits; i != 0; --i) {
                if (*node == 0) {
                    if (available >= TreeSize) damaged("a bad code table");
                    right_[static_cast<size_t>(available)] = left_[static_cast<size_t>(available)] = 0;
                    *node = static_cast<uint16_t>(available++);
                }
                if (*node >= TreeSize) damaged("a bad code table");
                node = (code & mask) ? &right_[*node] : &left_[*node];
                code <<= 1;
            }
            *node = static_cast<uint16_t>(symbol);
        }
        start[static_cast<size_t>(length)] = nextCode;
    }
}
