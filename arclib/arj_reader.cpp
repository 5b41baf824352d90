// Our own ARJ reader: the main header, then each file's header and data, stored or
// packed with methods 1 to 4, each file checked against its CRC-32.
#include "arclib/archive_error.h"
#include "arclib/archive_format.h"
#include "arclib/arj_decoder.h"
#include "platform/little_endian.h"

#include <zlib.h>

#include <algorithm>
#include <ctime>
#include <fstream>

namespace {

constexpr uint8_t HeaderIdFirst = 0x60;
constexpr uint8_t HeaderIdSecond = 0xEA;
constexpr size_t MaxBasicHeaderSize = 2600;
constexpr size_t CrcSize = 4;

// Offsets in a basic header.
constexpr size_t FirstHeaderSizeOffset = 0;
constexpr size_t FlagsOffset = 4;
constexpr size_t MethodOffset = 5;
constexpr size_t FileTypeOffset = 6;
constexpr size_t ModifiedOffset = 8;
constexpr size_t CompressedSizeOffset = 12;
constexpr size_t OriginalSizeOffset = 16;
constexpr size_t OriginalCrcOffset = 20;
constexpr size_t MinFirstHeaderSize = 30;

constexpr uint8_t FlagGarbled = 0x01;
constexpr uint8_t FlagVolume = 0x04;

constexpr uint8_t FileTypeBinary = 0;
constexpr uint8_t FileTypeText = 1;
constexpr uint8_t FileTypeMain = 2;
constexpr uint8_t FileTypeFolder = 3;

// Packed data is read whole; more than an unpacking may write is refused unread.
constexpr uint64_t MaxPackedSize = uint64_t{1} << 30;

constexpr int MethodStored = 0;
constexpr int MethodFastest = 4;

uint32_t le32(const std::string& bytes, size_t offset)
{
    return readLE32(reinterpret_cast<const uint8_t*>(bytes.data()) + offset);
}

uint32_t crc32Of(const void* data, size_t size, uint32_t crc = 0)
{
    return static_cast<uint32_t>(::crc32(crc, static_cast<const Bytef*>(data), static_cast<uInt>(size)));
}

int64_t dosTime(uint32_t stamp)
{
    std::tm time{};
    time.tm_year = static_cast<int>((stamp >> 25) & 0x7F) + 80;
    time.tm_mon = static_cast<int>((stamp >> 21) & 0x0F) - 1;
    time.tm_mday = static_cast<int>((stamp >> 16) & 0x1F);
    time.tm_hour = static_cast<int>((stamp >> 11) & 0x1F);
    time.tm_min = static_cast<int>((stamp >> 5) & 0x3F);
    time.tm_sec = static_cast<int>((stamp & 0x1F) * 2);
    time.tm_isdst = -1;
    return static_cast<int64_t>(std::mktime(&time));
}

[[noreturn]] void damaged(const std::string& what) { throw ArchiveError(arcDamaged, "ARJ archive damaged: " + what); }

class ArjReader : public EntryReader {
public:
    explicit ArjReader(const std::string& path) : file_(path, std::ios::binary)
    {
        file_.seekg(0, std::ios::end);
        fileSize_ = file_ ? static_cast<uint64_t>(file_.tellg()) : 0;
        file_.seekg(0);
        std::string header;
        if (!file_ || !readHeader(header) || static_cast<uint8_t>(header[FileTypeOffset]) != FileTypeMain)
            throw ArchiveError(arcCannotOpen, "not a readable ARJ archive");
        nextHeader_ = static_cast<uint64_t>(file_.tellg());
    }

    bool next(EntryHeader& entry) override
    {
        if (atEnd_) return false;
        file_.clear();
        file_.seekg(static_cast<std::streamoff>(nextHeader_));
        std::string header;
        try {
            if (!readHeader(header)) {
                atEnd_ = true;
                return false;
            }
        } catch (const ArchiveError& error) {
            atEnd_ = true;
            throw ArchiveError(arcDamaged, error.what());
        }
        const uint64_t dataStart = static_cast<uint64_t>(file_.tellg());
        compressedSize_ = le32(header, CompressedSizeOffset);
        if (compressedSize_ > fileSize_ - dataStart) {
            atEnd_ = true;
            damaged("a file's data runs past the end of the archive");
        }
        nextHeader_ = dataStart + compressedSize_;
        flags_ = static_cast<uint8_t>(header[FlagsOffset]);
        method_ = static_cast<uint8_t>(header[MethodOffset]);
        originalSize_ = le32(header, OriginalSizeOffset);
        originalCrc_ = le32(header, OriginalCrcOffset);
        dataStart_ = dataStart;
        decoder_.reset();
        stored_.clear();
        storedOffset_ = 0;
        crc_ = 0;
        produced_ = 0;

        const size_t nameStart = static_cast<uint8_t>(header[FirstHeaderSizeOffset]);
        const size_t nameEnd = header.find('\0', nameStart);
        entry.storedName = header.substr(nameStart, nameEnd - nameStart);
        const auto fileType = static_cast<uint8_t>(header[FileTypeOffset]);
        entry.kind = fileType == FileTypeFolder                               ? EntryKind::folder
                     : fileType == FileTypeBinary || fileType == FileTypeText ? EntryKind::file
                                                                              : EntryKind::other;
        entry.size = originalSize_;
        entry.compressedSize = compressedSize_;
        entry.modified = dosTime(le32(header, ModifiedOffset));
        return true;
    }

    size_t read(std::span<char> buffer) override
    {
        if (produced_ == originalSize_) return 0;
        if (!decoder_ && stored_.empty()) startData();
        size_t count = 0;
        if (method_ == MethodStored) {
            count = std::min(buffer.size(), stored_.size() - storedOffset_);
            std::copy_n(stored_.data() + storedOffset_, count, reinterpret_cast<uint8_t*>(buffer.data()));
            storedOffset_ += count;
        } else {
            count = decoder_->read(buffer);
        }
        crc_ = crc32Of(buffer.data(), count, crc_);
        produced_ += count;
        if (produced_ == originalSize_ && crc_ != originalCrc_) damaged("CRC error");
        if (count == 0 && buffer.size() > 0) damaged("the data ends early");
        return count;
    }

private:
    // Reads the header at the current position; false for the end-of-archive marker.
    bool readHeader(std::string& header)
    {
        uint8_t prefix[4];
        if (!file_.read(reinterpret_cast<char*>(prefix), sizeof prefix)) damaged("the archive ends early");
        if (prefix[0] != HeaderIdFirst || prefix[1] != HeaderIdSecond) damaged("no header where one should be");
        const size_t size = readLE16(prefix + 2);
        if (size == 0) return false;
        if (size > MaxBasicHeaderSize || size < MinFirstHeaderSize) damaged("a header of a bad size");
        header.resize(size + CrcSize);
        if (!file_.read(header.data(), static_cast<std::streamsize>(header.size()))) damaged("the archive ends early");
        if (crc32Of(header.data(), size) != le32(header, size)) damaged("a header CRC error");
        header.resize(size);
        const size_t firstSize = static_cast<uint8_t>(header[FirstHeaderSizeOffset]);
        if (firstSize < MinFirstHeaderSize || firstSize >= size || header.find('\0', firstSize) == std::string::npos)
            damaged("a header of a bad size");
        skipExtendedHeaders();
        return true;
    }

    void skipExtendedHeaders()
    {
        for (;;) {
            uint8_t sizeBytes[2];
            if (!file_.read(reinterpret_cast<char*>(sizeBytes), 2)) damaged("the archive ends early");
            const size_t size = readLE16(sizeBytes);
            if (size == 0) return;
            file_.seekg(static_cast<std::streamoff>(size + CrcSize), std::ios::cur);
            if (!file_) damaged("the archive ends early");
        }
    }

    void startData()
    {
        if (flags_ & FlagGarbled) damaged("the file is encrypted");
        if (flags_ & FlagVolume) damaged("the file continues in another volume");
        if (method_ > MethodFastest) damaged("an unknown method " + std::to_string(method_));
        if (compressedSize_ > MaxPackedSize) throw ArchiveError(arcTooLarge, "ARJ archive: a file too large to unpack");
        packed_.resize(static_cast<size_t>(compressedSize_));
        file_.clear();
        file_.seekg(static_cast<std::streamoff>(dataStart_));
        if (!file_.read(reinterpret_cast<char*>(packed_.data()), static_cast<std::streamsize>(packed_.size())))
            damaged("the archive ends early");
        if (method_ == MethodStored) {
            if (compressedSize_ != originalSize_) damaged("a stored file of the wrong size");
            stored_.swap(packed_);
        } else {
            decoder_.emplace(packed_, method_, originalSize_);
        }
    }

    std::ifstream file_;
    uint64_t fileSize_ = 0;
    uint64_t nextHeader_ = 0;
    bool atEnd_ = false;
    uint64_t dataStart_ = 0;
    uint64_t compressedSize_ = 0;
    uint64_t originalSize_ = 0;
    uint32_t originalCrc_ = 0;
    uint8_t flags_ = 0;
    int method_ = 0;
    std::vector<uint8_t> packed_;
    std::vector<uint8_t> stored_;
    size_t storedOffset_ = 0;
    std::optional<ArjDecoder> decoder_;
    uint32_t crc_ = 0;
    uint64_t produced_ = 0;
};

std::unique_ptr<EntryReader> openArj(const std::string& path)
{
    try {
        return std::make_unique<ArjReader>(path);
    } catch (const ArchiveError&) {
        throw ArchiveError(arcCannotOpen, "not a readable ARJ archive");
    }
}

}  // namespace

const ArchiveFormat arjFormat{"ARJ", openArj, false};
