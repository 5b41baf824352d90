// The ARJ decompressor: methods 1 to 3 (sliding dictionary with Huffman-coded
// literals, lengths and distances) and method 4 (the fastest, with simple
// variable-length codes). Output comes in pieces of any size.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class ArjDecoder {
public:
    static constexpr size_t DictionarySize = 26624;

    // method is 1 to 4; originalSize is the number of bytes the data unpacks to.
    ArjDecoder(std::span<const uint8_t> packed, int method, uint64_t originalSize);

    // Up to out.size() further bytes; 0 once originalSize bytes came out. Damaged data
    // raises ArchiveError with arcDamaged.
    size_t read(std::span<char> out);

private:
    static constexpr int CharCount = 510;  // 256 literals and 254 match lengths
    static constexpr int PositionCount = 17;
    static constexpr int LengthCodeCount = 19;
    static constexpr int TreeSize = 2 * CharCount - 1;

    uint32_t peekBits(int count) const;
    void skipBits(int count);
    uint32_t getBits(int count);

    // The next symbol: a literal (length 0) or a match of length and distance.
    struct Symbol {
        uint8_t literal = 0;
        uint32_t length = 0;
        uint32_t distance = 0;
    };
    Symbol nextSymbol();
    Symbol nextHuffmanSymbol();
    Symbol nextFastestSymbol();
    uint32_t fastestCode(int firstWidth, int lastWidth);

    void readLengthLengths(int count, int countBits, int special);
    void readCharLengths();
    int decodeChar();
    int decodePosition();
    void makeTable(int count, const uint8_t* lengths, int tableBits, uint16_t* table);
    int walkTree(int symbol, int tableBits, int limit);

    std::span<const uint8_t> packed_;
    uint64_t bitPosition_ = 0;
    int method_;
    uint64_t remaining_;
    std::vector<uint8_t> dictionary_;
    size_t position_ = 0;
    uint32_t matchLeft_ = 0;
    size_t matchFrom_ = 0;
    uint32_t blockLeft_ = 0;

    std::array<uint8_t, CharCount> charLengths_{};
    std::array<uint16_t, 4096> charTable_{};
    std::array<uint8_t, LengthCodeCount> lengthLengths_{};
    std::array<uint16_t, 256> lengthTable_{};
    std::array<uint16_t, TreeSize> left_{};
    std::array<uint16_t, TreeSize> right_{};
};
