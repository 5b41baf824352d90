// Byte streams over files and memory: the one reading interface of the display
// layer's loaders. Reads report the number of bytes delivered (short at the end of
// the data) or -1 when the underlying file reports an error.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

enum class SeekOrigin { Begin, Current, End };

class Stream {
public:
    virtual ~Stream() = default;
    Stream() = default;
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // Copies up to count bytes to buffer; returns the number copied, or -1 on an I/O error.
    virtual int64_t read(void* buffer, int64_t count) = 0;
    // Moves the position; positions past the end are allowed (reads there return 0).
    // Returns the new position, or -1 when it would be negative or the file refuses.
    virtual int64_t seek(int64_t offset, SeekOrigin origin) = 0;
    virtual int64_t size() const = 0;

    // The next count bytes in place, moving past them, when the stream holds them in
    // memory; otherwise nullptr and the position is unchanged.
    virtual const uint8_t* readInPlace(int64_t /*count*/) { return nullptr; }

    int64_t position() { return seek(0, SeekOrigin::Current); }
    void setPosition(int64_t position) { seek(position, SeekOrigin::Begin); }
    // Reads exactly count bytes; false when fewer arrive.
    bool readExact(void* buffer, int64_t count) { return read(buffer, count) == count; }
};

class MemoryStream final : public Stream {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    int64_t read(void* buffer, int64_t count) override;
    int64_t seek(int64_t offset, SeekOrigin origin) override;
    int64_t size() const override { return static_cast<int64_t>(bytes_.size()); }
    const uint8_t* readInPlace(int64_t count) override
    {
        if (count < 0 || position_ > size() || count > size() - position_) return nullptr;
        const uint8_t* at = bytes_.data() + position_;
        position_ += count;
        return at;
    }

    // Writes at the position, growing the stream as needed.
    void write(const void* buffer, int64_t count);
    std::vector<uint8_t>& bytes() { return bytes_; }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    int64_t position_ = 0;
};

class FileStream final : public Stream {
public:
    // Opens an existing regular file for reading; nullptr when it cannot be opened,
    // with the system's reason in *reason when given ("No such file or directory",
    // "Is a directory", ...). A FIFO, a device or a socket is refused without
    // blocking and without reading from it.
    static std::unique_ptr<FileStream> openRead(const std::string& path, std::string* reason = nullptr);
    ~FileStream() override;

    int64_t read(void* buffer, int64_t count) override;
    int64_t seek(int64_t offset, SeekOrigin origin) override;
    int64_t size() const override { return size_; }

private:
    FileStream(std::FILE* file, int64_t size, std::unique_ptr<char[]> buffer)
            : file_(file),
              size_(size),
              buffer_(std::move(buffer))
    {
    }
    std::FILE* file_;
    int64_t size_;
    std::unique_ptr<char[]> buffer_;  // the file's stdio buffer; outlives file_, closed first
};
